// Rule values of the aztec board that a changed constant would quietly alter: how hard stones shake after a clear,
// how far an explosion reaches, how long a combo lasts, how fast and where stones fall and land.
#include "boardfixture.h"
#include "effects/particles.h"

#include <vector>

namespace {
class BoardRules : public AztecBoard {
protected:
    // A row of three colour-3 stones in columns 0..2 on the floor, cleared by the last one landing.
    void clear_row_of_three() {
        put(0, 0, 3);
        put(1, 0, 3);
        drop(2, 0, 3);
        frames(20);
    }
    int shake(int slot) { return stone_shake[p][slot]; }
};
}  // namespace

TEST_F(BoardRules, StonesShakeByTheirDistanceFromTheClearedGroupUpToTwenty) {
    floor();
    // Bystanders of no colour, measured from the group's centre (column 1, row 0).
    int above = put(1, 1, 71);      // 64 away: the cap of 20
    int beside = put(3, 0, 71);     // 128: trunc(72 * 0.2) = 14
    int diagonal = put(3, 1, 71);   // 143: trunc(57 * 0.2) = 11
    int further = put(4, 0, 71);    // 192: trunc(8 * 0.2) = 1
    int far = put(6, 0, 71);        // 320: none
    clear_row_of_three();
    EXPECT_EQ(count(3), 0);
    EXPECT_EQ(timerbar, 100 + 3 * 10);
    EXPECT_EQ(shake(beside), 14);
    EXPECT_EQ(shake(diagonal), 11);
    EXPECT_EQ(shake(further), 1);
    EXPECT_EQ(shake(far), 0);
    EXPECT_EQ(shake(above), 20);
}

TEST_F(BoardRules, GroupsOfSevenAndExplosionsShakeTheWholeBoard) {
    // Six in a group shake by distance; seven shake every stone at 30.
    for (int n : {6, 7}) {
        SetUp();
        floor();
        int far = put(11, 0, 71);
        for (int c = 0; c < n - 1; ++c) put(c, 0, 5);
        drop(n - 1, 0, 5);
        lastshotx = -1;  // no superstone to keep the count simple
        frames(20);
        EXPECT_EQ(count(5), 0) << n;
        EXPECT_EQ(shake(far), n == 7 ? 30 : 0) << n;
    }
    // A superstone going off with its group shakes everything at 40.
    SetUp();
    floor();
    int far = put(11, 0, 71);
    put(0, 0, 13);
    put(1, 0, 3);
    drop(2, 0, 3);
    frames(20);
    EXPECT_EQ(count(13), 0);
    EXPECT_EQ(shake(far), 40);
}

TEST_F(BoardRules, AnExplosionReachesBelowOneHundredAndFiftyOnly) {
    floor();
    put(5, 0, 13);                // the superstone
    put(6, 0, 3);
    int two_over = put(3, 0, 72);   // 128 away: destroyed
    put(3, 1, 72);                  // 143 away: destroyed
    int corner = put(3, 2, 72);     // 181 away: stays (and falls two rows)
    int three_over = put(8, 0, 72); // 192 away: stays
    drop(7, 0, 3);
    frames(30);
    EXPECT_EQ(count(13), 0);
    EXPECT_LE(stone_kind[p][two_over], 0);
    EXPECT_EQ(stone_kind[p][corner], 72);
    EXPECT_EQ(stone_y[p][corner], rowy(0));
    EXPECT_EQ(stone_kind[p][three_over], 72);
    EXPECT_EQ(count(72), 2);
}

TEST_F(BoardRules, TheComboLastsFiftyQuietFramesAndEachLevelStartsAtOne) {
    awardpoints(100, 0, 0, 1, 1);
    EXPECT_EQ(combomult, 2);
    EXPECT_EQ(combotimer, 50);
    level_frames = 300;
    for (int i = 0; i < 49; ++i) comboclock();
    EXPECT_EQ(combomult, 2);
    EXPECT_EQ(combotimer, 1);
    awardpoints(100, 0, 0, 1, 1);  // caught in time: pays double and raises again
    EXPECT_EQ(playerscore[p], 100 + 200);
    EXPECT_EQ(combomult, 3);
    for (int i = 0; i < 50; ++i) comboclock();
    EXPECT_EQ(combomult, 1);
    EXPECT_EQ(combotimer, 0);
    // Points that do not count as a combo keep the multiplier where it is.
    awardpoints(1000, 0, 0, 8, 0);
    EXPECT_EQ(combomult, 1);
    EXPECT_EQ(playerscore[p], 1300);
    // The first frame of a level starts the count afresh.
    awardpoints(100, 0, 0, 1, 1);
    awardpoints(100, 0, 0, 1, 1);
    level_frames = 1;
    comboclock();
    EXPECT_EQ(combomult, 1);
    EXPECT_EQ(combotimer, 0);
}

TEST_F(BoardRules, StonesFallSixteenPerFrameLandSnappedAndGlint) {
    floor();
    int s = addstone(colx(4), 678, 2, 0);  // let go from the cannon's height
    stone_falling[p][s] = 1;
    updateboard();
    EXPECT_EQ(stone_y[p][s], 678 - 16);
    updateboard();
    EXPECT_EQ(stone_y[p][s], 678 - 32);
    int frames_to_land = 0;
    while (stone_falling[p][s] == 1 && frames_to_land < 100) {
        updateboard();
        ++frames_to_land;
    }
    // 678 falls in steps of 16 to 102, within 80 of the floor stone at 32: snapped onto it.
    EXPECT_EQ(stone_y[p][s], boardtop + 64);
    EXPECT_EQ(frames_to_land, (646 - 102) / 16 + 1);
    EXPECT_EQ(stone_glint[p][s], 10);
    // A stone falling high above the board is still on it; only beyond 800 it leaves.
    int high = addstone(colx(8), 790, 4, 0);
    stone_falling[p][high] = 1;
    updateboard();
    EXPECT_EQ(stone_kind[p][high], 4);
    EXPECT_EQ(stone_y[p][high], 774);
}

TEST_F(BoardRules, VariantStonesRestAndCarryAndSuperstonesOfColourOneJoinTheirGroup) {
    floor();
    int variant = put(4, 0, 61);  // a variant stone of colour 1: it rests and carries like any stone
    int carried = put(4, 1, 5);
    frames(5);
    EXPECT_EQ(stone_falling[p][variant], 0);
    EXPECT_EQ(stone_falling[p][carried], 0);
    EXPECT_EQ(stone_y[p][carried], rowy(1));
    EXPECT_EQ(settled, 1);
    // A superstone of colour 1 clears with its colour and goes off.
    put(0, 0, 11);
    put(1, 0, 1);
    drop(2, 0, 1);
    frames(20);
    EXPECT_EQ(count(11), 0);
    EXPECT_EQ(playerscore[p], 1000 + 300);
}

TEST_F(BoardRules, AFallingSuperstoneOverlappingAStoneIsPutOnTopAndLandsOnIt) {
    floor();
    put(6, 0, 4);
    int s = addstone(colx(6), rowy(0) + 16, 13, 0);  // half inside the stone below: pushed up, then lands on it
    stone_falling[p][s] = 1;
    frames(10);
    EXPECT_EQ(stone_falling[p][s], 0);
    EXPECT_EQ(stone_y[p][s], rowy(1));
}

TEST_F(BoardRules, ARescuedAnimalFliesToTheCounterAsItsOwnParticle) {
    floor();
    clearparticles();
    int animal = addstone(colx(3), rowy(0) + 64 * 2, 92, 0);
    stone_falling[p][animal] = 1;
    frames(20);
    EXPECT_LE(stone_kind[p][animal], 0);
    EXPECT_EQ(playerscore[p], 2000);
    int flying = 0;
    for (int i = 1; i < PARTICLESLOTS; ++i) flying += part_kind[i] == 792;
    EXPECT_EQ(flying, 1);
}

TEST_F(BoardRules, VariantStonesOfColourNineMatchButStayAndTheBoardHolds156Stones) {
    floor();
    int variant = put(0, 0, 69);
    put(1, 0, 9);
    drop(2, 0, 9);
    frames(20);
    EXPECT_EQ(count(9), 0);
    EXPECT_EQ(stone_kind[p][variant], 69);
    EXPECT_EQ(playerscore[p], 300);
    // 12 floor stones and the variant: slots up to 156 fill, then there is no room.
    int last = 0;
    for (int n = 14; n <= 156; ++n) last = addstone(colx(n % 12), 2000 + n, 21, 0);
    EXPECT_EQ(last, 156);
    EXPECT_EQ(addstone(colx(0), 5000, 21, 0), 157);
}

TEST_F(BoardRules, TheCannonFiresFromTheLevelsFrame151) {
    floor();
    put(0, 0, 2);
    put(1, 0, 3);
    for (int f : {150, 151}) {
        level_frames = f;
        cannonslot = 0;
        swapflag = 0;
        mhit1 = 0;
        drawcannon();  // loads
        ASSERT_NE(cannonslot, 0);
        cannoncooldown = 0;
        playshots[p] = 0;
        mhit1 = 1;
        drawcannon();
        EXPECT_EQ(playshots[p], f > 150 ? 1 : 0) << f;
    }
    mhit1 = 0;
}

TEST_F(BoardRules, TheLastChainHoldsAStoneWhicheverLayerItIs) {
    // Chains break in random order: any one layer left still holds the stone through one more clear.
    for (int layer = 1; layer <= 3; ++layer) {
        SetUp();
        floor();
        int chained = put(0, 0, 3);
        for (int l = 1; l <= 3; ++l) stone_chain[p][chained][l] = l == layer ? 1 : 0;
        put(1, 0, 3);
        drop(2, 0, 3);
        frames(20);
        EXPECT_EQ(stone_kind[p][chained], 3) << layer;
        EXPECT_EQ(stone_chain[p][chained][layer], 0) << layer;
        EXPECT_EQ(count(3), 1) << layer;
        EXPECT_EQ(playerscore[p], 300) << layer;
    }
}

TEST_F(BoardRules, TheCannonGlidesAFifthOfTheWayAndAPixelPerFrame) {
    floor();
    put(0, 0, 3);
    cannonx = boardleft + 32;
    mx = boardleft + 700;  // column 10, 640 pixels to the right
    std::vector<int> gaps;
    for (int f = 0; f < 40 && (gaps.empty() || gaps.back() != 0); ++f) {
        drawcannon();
        gaps.push_back(boardleft + 672 - cannonx);
    }
    EXPECT_EQ(cannontarget, boardleft + 672);
    ASSERT_GE(gaps.size(), 4u);
    EXPECT_EQ(gaps[0], 511);
    EXPECT_EQ(gaps[1], 408);
    EXPECT_EQ(gaps[2], 326);
    EXPECT_EQ(gaps.size(), 24u);  // there in 24 frames
    // And back to the left just the same.
    mx = boardleft + 18;
    drawcannon();
    EXPECT_EQ(cannonx - (boardleft + 32), 511);
}

TEST_F(BoardRules, AfterASwapTheCannonWaitsTenFramesBeforeTheNextSwap) {
    floor();
    put(0, 0, 2);
    put(1, 0, 3);
    level_frames = 300;
    drawcannon();  // loads, cooling down
    for (int i = 0; i < 10; ++i) drawcannon();
    ASSERT_EQ(cannoncooldown, 0);
    const int first = shotcolour;
    mhit2 = 1;
    drawcannon();
    ASSERT_NE(shotcolour, first);
    // The right button held down from here: the next swap comes in the tenth frame.
    int frames_to_swap = 0;
    while (shotcolour != first && frames_to_swap < 30) {
        drawcannon();
        ++frames_to_swap;
    }
    mhit2 = 0;
    EXPECT_EQ(frames_to_swap, 10);
}
