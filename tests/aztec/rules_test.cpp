#include "boardfixture.h"

TEST_F(AztecBoard, AnLOfThreeClearsForThreeHundredTimesTheMultiplierWhichThenRises) {
    floor();
    put(0, 0, 3);
    put(1, 0, 3);
    put(5, 0, 4);
    drop(1, 1, 3);
    frames(20);
    EXPECT_EQ(count(3), 0);
    EXPECT_EQ(playerscore[p], 300);
    EXPECT_EQ(combomult, 2);
    EXPECT_EQ(timerbar, 130);
    // A second clear within 50 frames pays double; the multiplier keeps rising.
    put(5, 1, 4);
    drop(5, 2, 4);
    for (int i = 0; i < 20; ++i) {
        updateboard();
        comboclock();
    }
    EXPECT_EQ(count(4), 0);
    EXPECT_EQ(playerscore[p], 300 + 600);
    EXPECT_EQ(combomult, 3);
    // Fifty quiet frames bring it back to 1.
    for (int i = 0; i < 50; ++i) comboclock();
    EXPECT_EQ(combomult, 1);
}

TEST_F(AztecBoard, VerticalNeighboursFormAGroupButTwoDoNot) {
    floor();
    put(2, 0, 6);
    drop(2, 1, 6);
    frames(20);
    EXPECT_EQ(count(6), 2);
    drop(2, 2, 6);
    frames(20);
    EXPECT_EQ(count(6), 0);
}

TEST_F(AztecBoard, AGroupOfFiveLeavesOneSuperstoneInTheShotColumnAndASecondGroupNone) {
    floor();
    for (int c = 0; c < 4; ++c) put(c, 0, 2);
    for (int c = 4; c < 8; ++c) {
        put(c, 0, 21);
        put(c, 1, 21);
    }
    for (int c = 4; c < 8; ++c) put(c, 2, 5);
    int x = drop(3, 1, 2);  // lands on (3,0): a group of five with the shot column's (3,0) first in slot order
    int y = drop(3, 2, 5);  // lands on x in the same frame: a second group of five
    ASSERT_LT(x, y);
    frames(20);
    EXPECT_EQ(at(3, 0), 12);
    EXPECT_EQ(count(12), 1);
    EXPECT_EQ(count(2), 0);
    EXPECT_EQ(count(5), 0);
    EXPECT_EQ(count(15), 0);
}

TEST_F(AztecBoard, AGroupOfFourNeverMakesASuperstone) {
    floor();
    for (int c = 0; c < 3; ++c) put(c, 0, 2);
    drop(2, 1, 2);
    frames(20);
    EXPECT_EQ(count(2), 0);
    EXPECT_EQ(count(12), 0);
}

TEST_F(AztecBoard, AChainedStoneLosesOneChainStaysAndStillScores) {
    floor();
    int chained = put(0, 0, 3, 2);
    put(1, 0, 3);
    drop(1, 1, 3);
    frames(20);
    EXPECT_EQ(stone_kind[p][chained], 3);
    EXPECT_EQ(stone_chain[p][chained][1] + stone_chain[p][chained][2] + stone_chain[p][chained][3], 1);
    EXPECT_EQ(count(3), 1);
    EXPECT_EQ(playerscore[p], 300);
    // Groups are searched only from landing stones: it stays until a stone of its colour lands beside it.
    put(1, 0, 3);
    frames(5);
    EXPECT_EQ(count(3), 2);
    drop(0, 1, 3);
    frames(20);
    EXPECT_EQ(count(3), 1);
    EXPECT_EQ(stone_chain[p][chained][1] + stone_chain[p][chained][2] + stone_chain[p][chained][3], 0);
}

TEST_F(AztecBoard, ASuperstoneExplodesWithinItsRadiusWithItsExceptionsAndSetsOffAnother) {
    floor();
    put(2, 0, 6);                 // 192 away: survives
    int near = put(3, 0, 4);      // 128 away: destroyed
    put(3, 1, 7);                 // 143 away on the diagonal: destroyed
    put(4, 0, 2);                 // its own group
    put(5, 0, 12);                // the superstone of colour 2
    int granite = put(5, 1, 71);  // destroyed, chains or not
    put(5, 2, 9, 3);              // 128 away and chained: destroyed
    int inert = put(6, 0, 21);    // inert stones survive
    int second = put(6, 1, 14);   // another superstone in range explodes too
    int animal = put(7, 0, 91);   // animals survive
    put(8, 0, 21);
    int far = put(8, 1, 1);  // out of the first radius, in the second one
    put(9, 0, 21);
    int beyond = put(9, 1, 1);  // out of both
    drop(4, 1, 2);
    frames(20);
    EXPECT_LE(stone_kind[p][near], 0);
    EXPECT_LE(stone_kind[p][granite], 0);
    EXPECT_EQ(at(3, 1), 0);
    EXPECT_EQ(count(9), 0);
    EXPECT_EQ(count(12), 0);
    EXPECT_LE(stone_kind[p][second], 0);
    EXPECT_LE(stone_kind[p][far], 0);
    EXPECT_EQ(stone_kind[p][beyond], 1);
    EXPECT_EQ(stone_kind[p][inert], 21);
    EXPECT_EQ(stone_kind[p][animal], 91);
    EXPECT_EQ(at(2, 0), 6);
    EXPECT_EQ(count(10), 12);
    // Two explosions at 1000 each and the group of three.
    EXPECT_EQ(playerscore[p], 1000 + 1000 + 300);
}

TEST_F(AztecBoard, GraniteBreaksAfterThreeTwoOrOneHardLandings) {
    for (int start : {71, 72, 73}) {
        SetUp();
        floor();
        int g = put(0, 0, start);
        int hits = 0;
        while (stone_kind[p][g] > 0 && hits < 5) {
            int s = drop(0, 1, 5);
            frames(20);
            stone_kind[p][s] = 0;
            hits += 1;
            if (stone_kind[p][g] > 0) {
                EXPECT_EQ(stone_kind[p][g], start + hits);
            }
        }
        EXPECT_EQ(hits, 74 - start) << start;
        EXPECT_EQ(playerscore[p], 1000) << start;
    }
}

TEST_F(AztecBoard, AnAnimalLandingOnTheFloorIsRescuedAndRefillsTheBar) {
    for (int difficulty : {1, 2}) {
        SetUp();
        playdifficulty[p] = difficulty;
        floor();
        int under = put(0, 0, 5);
        int animal = put(0, 1, 92);
        frames(3);
        EXPECT_EQ(stone_kind[p][animal], 92);
        stone_kind[p][under] = 0;
        frames(10);
        EXPECT_LE(stone_kind[p][animal], 0);
        EXPECT_EQ(playerscore[p], 2000);
        EXPECT_EQ(timerbar, difficulty == 1 ? 100 : 340);
    }
}

TEST_F(AztecBoard, AStoneThatStartsFallingAndLandsInTheSameFrameIsNoHardLanding) {
    floor();
    int animal = addstone(colx(0), boardtop + 48, 91, 0);  // not exactly on the floor: falls, then lands at once
    int g = put(1, 0, 72);
    int s = addstone(colx(1), rowy(1) - 16, 4, 0);
    updateboard();
    EXPECT_EQ(stone_kind[p][animal], 91);
    EXPECT_EQ(stone_y[p][animal], rowy(0));
    EXPECT_EQ(stone_kind[p][g], 72);
    EXPECT_EQ(stone_y[p][s], rowy(1));
    EXPECT_EQ(stone_falling[p][s], 0);
    EXPECT_EQ(playerscore[p], 0);
}

TEST_F(AztecBoard, AFallingStoneCatchesOnAFallingStoneBelowItInALowerSlot) {
    floor();
    int upper = addstone(colx(0), rowy(4), 21, 0);
    int lower = addstone(colx(0), rowy(3), 22, 0);
    updateboard();
    // The upper one was tested first and caught on the lower one; the lower one fell on.
    EXPECT_EQ(stone_falling[p][upper], 0);
    EXPECT_EQ(stone_y[p][upper], rowy(4));
    EXPECT_EQ(stone_y[p][lower], rowy(3) - 16);
    updateboard();
    EXPECT_EQ(stone_falling[p][upper], 1);
    EXPECT_EQ(stone_y[p][upper] - stone_y[p][lower], 80);
    frames(30);
    EXPECT_EQ(stone_y[p][lower], rowy(0));
    EXPECT_EQ(stone_y[p][upper], rowy(1));
}

TEST_F(AztecBoard, TheBoardScrollsDownARowWhenTheStackIsHighAndBackUpWhenItShrinks) {
    floor();
    int col[7];
    for (int r = 0; r < 7; ++r) col[r] = put(0, r, 21 + r % 3);
    int falling = addstone(colx(5), rowy(8), 25, 0);
    stone_falling[p][falling] = 1;
    frames(3);
    EXPECT_EQ(scrollleft, 0);  // nothing scrolls while a stone falls
    frames(30);
    EXPECT_EQ(stone_falling[p][falling], 0);
    int moved = 0;
    for (int i = 0; i < 20 && floorline > boardtop - 64; ++i) {
        updateboard();
        moved += 1;
    }
    EXPECT_EQ(moved, 16);
    EXPECT_EQ(floorline, boardtop - 64);
    EXPECT_EQ(stone_y[p][col[6]], rowy(6) - 64);
    frames(5);
    EXPECT_EQ(floorline, boardtop - 64);  // 416 is low enough
    for (int r = 3; r < 7; ++r) stone_kind[p][col[r]] = 0;
    frames(16);
    EXPECT_EQ(floorline, boardtop);
    EXPECT_EQ(scrollleft, 0);
    EXPECT_EQ(stone_y[p][col[0]], rowy(0));
    frames(5);
    EXPECT_EQ(floorline, boardtop);
}

TEST_F(AztecBoard, FloorStonesAboveTheFloorLineTakeTheLoadedColour) {
    floor();
    floorline = boardtop - 64;
    cannonslot = put(3, 9, 7);
    updateboard();
    EXPECT_EQ(count(10), 0);
    EXPECT_EQ(count(7), 13);
}

TEST_F(AztecBoard, TheColourTwoSuperstoneLandsOnTheGridLikeEveryStoneEvenDuringAScroll) {
    floor();
    int super = addstone(colx(0), rowy(0) + 8, 12, 0);
    int plain = addstone(colx(1), rowy(0) + 8, 13, 0);
    updateboard();
    EXPECT_EQ(stone_y[p][super], rowy(0));
    EXPECT_EQ(stone_y[p][plain], rowy(0));
    EXPECT_EQ(stone_falling[p][super], 0);
    updateboard();
    EXPECT_EQ(settled, 1);

    // A stack tall enough to scroll the board down a row; the superstone is let go while the scroll runs, so
    // the stones it falls past are 4 units off their rows in every frame.
    for (int r = 1; r <= 6; ++r) put(0, r, 21 + r % 3);
    updateboard();
    ASSERT_NE(scrollleft, 0);
    updateboard();
    int late = addstone(colx(5), rowy(1) + 16, 12, 0);
    stone_falling[p][late] = 1;
    for (int f = 0; f < 60; ++f) updateboard();
    EXPECT_EQ(stone_kind[p][late], 12);
    EXPECT_EQ(stone_falling[p][late], 0);
    EXPECT_EQ(settled, 1) << "the board comes to rest";
    EXPECT_EQ(scrollleft, 0);
    for (int s = 1; s <= topslot; ++s)
        if (stone_kind[p][s] > 0) {
            EXPECT_EQ((stone_y[p][s] - floorline) % 64, 0) << "slot " << s << " off the grid";
        }
    // And the next scroll still starts: the board is not stuck.
    const int floorbefore = floorline;
    addstone(colx(0), floorline + 64 * 8, 21, 0);
    for (int f = 0; f < 40; ++f) updateboard();
    EXPECT_NE(floorline, floorbefore);
}

TEST_F(AztecBoard, MoreLandingsInOneFrameThanGroupIdsStopEveryStone) {
    floor();
    // Twelve columns of inert stones falling together, the upper ones in lower slots: each one catches on the
    // stone below it and the lowest row on the floor, so 132 stones land in one frame, more than there are
    // group ids.
    for (int r = 10; r >= 0; --r)
        for (int c = 0; c < 12; ++c) {
            int s = put(c, r, 21 + (r % 3));
            stone_falling[p][s] = 1;
        }
    updateboard();
    int resting = 0;
    for (int s = 1; s <= topslot; ++s) resting += stone_kind[p][s] > 10 && stone_falling[p][s] == 0;
    EXPECT_EQ(resting, 132);
    for (int c = 0; c < 12; ++c) EXPECT_EQ(at(c, 10), 22) << c;
}
