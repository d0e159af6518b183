#include "boardfixture.h"

TEST_F(AztecBoard, TheCannonAimsByColumnsOf64) {
    EXPECT_EQ(aimcolumn(boardleft + 18), 32);
    EXPECT_EQ(aimcolumn(boardleft + 81), 32);
    EXPECT_EQ(aimcolumn(boardleft + 82), 96);
    EXPECT_EQ(aimcolumn(boardleft + 2000), 736);
    EXPECT_EQ(aimcolumn(0), 32);
    EXPECT_EQ(aimcolumn(-500), 32);
}

TEST_F(AztecBoard, TheCannonEasesTowardItsColumnAndClosesTheLastPixels) {
    floor();
    put(0, 0, 3);
    cannonx = boardleft + 96 - 10;
    mx = boardleft + 96;
    drawcannon();
    EXPECT_EQ(cannontarget, boardleft + 96);
    EXPECT_EQ(cannonx, boardleft + 96 - 7);
    for (int i = 0; i < 10; ++i) drawcannon();
    EXPECT_EQ(cannonx, boardleft + 96);
    // With a popup open it stays where it is.
    popupkind = 5;
    mx = boardleft + 700;
    drawcannon();
    EXPECT_EQ(cannonx, boardleft + 96);
}

TEST_F(AztecBoard, IntroAimingUsesAFinerGridWithALowerRightLimit) {
    mx = boardleft + 100;
    introaiming();
    EXPECT_EQ(cannontarget, boardleft + 96);
    mx = boardleft + 2000;
    introaiming();
    EXPECT_EQ(cannontarget, boardleft + 608);
}

TEST_F(AztecBoard, LoadSwapAndFire) {
    floor();
    put(0, 0, 3);
    put(1, 0, 5);
    mx = boardleft + 160;
    mhit1 = mhit2 = 0;
    drawcannon();  // loads
    ASSERT_GT(cannonslot, 0);
    int loaded = cannonslot;
    int first = shotcolour, second = nextcolour;
    EXPECT_EQ(stone_kind[p][loaded], first);
    EXPECT_NE(first, second);
    EXPECT_EQ(cannoncooldown, 10);
    // A right click while cooling down does nothing.
    mhit2 = 1;
    drawcannon();
    EXPECT_EQ(shotcolour, first);
    mhit2 = 0;
    for (int i = 0; i < 9; ++i) drawcannon();
    EXPECT_EQ(shotcolour, first);
    EXPECT_EQ(cannoncooldown, 0);
    // Ready: a swap, and a shot in the same frame fires the swapped colour.
    mhit1 = mhit2 = 1;
    drawcannon();
    EXPECT_EQ(shotcolour, second);
    EXPECT_EQ(cannonslot, 0);
    EXPECT_EQ(stone_kind[p][loaded], second);
    EXPECT_EQ(stone_falling[p][loaded], 1);
    EXPECT_EQ(stone_x[p][loaded], 160);
    EXPECT_EQ(lastshotx, 160);
    EXPECT_EQ(lastfiredslot, loaded);
    EXPECT_EQ(playshots[p], 1);
    mhit1 = mhit2 = 0;
    drawcannon();  // reloads on the next frame
    EXPECT_GT(cannonslot, 0);
    EXPECT_NE(cannonslot, loaded);
    // A swap alone blocks both buttons for ten frames.
    for (int i = 0; i < 10; ++i) drawcannon();
    int before = shotcolour;
    mhit2 = 1;
    drawcannon();
    EXPECT_NE(shotcolour, before);
    mhit2 = 0;
    mhit1 = 1;
    drawcannon();
    EXPECT_NE(cannonslot, 0);
    EXPECT_EQ(playshots[p], 1);
}

TEST_F(AztecBoard, TheLoadedColourFollowsTheBoard) {
    floor();
    int three = put(0, 0, 3);
    put(1, 0, 5);
    drawcannon();
    ASSERT_GT(cannonslot, 0);
    stone_kind[p][cannonslot] = 3;
    shotcolour = 3;
    nextcolour = 3;
    stone_kind[p][three] = 0;
    drawcannon();
    EXPECT_EQ(stone_kind[p][cannonslot], 5);
    EXPECT_EQ(shotcolour, 5);
    EXPECT_EQ(nextcolour, 5);
    // With no colour stone left, the loaded stone and the next colour are colour 1.
    for (int s = 1; s < BOARDSLOTS; ++s)
        if (s != cannonslot && stone_kind[p][s] != 10) stone_kind[p][s] = 0;
    nextcolour = 4;
    drawcannon();
    EXPECT_EQ(stone_kind[p][cannonslot], 1);
    EXPECT_EQ(shotcolour, 1);
    EXPECT_EQ(nextcolour, 1);
}

TEST_F(AztecBoard, AFullBoardFiresNothingAndLoadsAgain) {
    for (int s = 1; s <= 156; ++s) addstone(colx(s % 12), rowy(s / 12), 21, 0);
    shotcolour = 2;
    drawcannon();
    EXPECT_EQ(cannonslot, 157);
    for (int i = 0; i < 10; ++i) drawcannon();
    mhit1 = 1;
    drawcannon();
    mhit1 = 0;
    EXPECT_EQ(playshots[p], 1);
    EXPECT_EQ(cannonslot, 0);
    EXPECT_EQ(stone_kind[p][157], -1);
}
