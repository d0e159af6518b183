#include <gtest/gtest.h>

#include "app/screenflow.h"
#include "app/shell.h"
#include "aztec/board.h"
#include "aztec/catalogue.h"
#include "aztec/levelrun.h"
#include "aztec/winlose.h"
#include "storage/players.h"
#include "storage/settings.h"
#include "support/headless.h"
#include "ui/popups.h"

namespace {

class LevelRun : public ::testing::Test {
protected:
    void SetUp() override {
        headless();
        userpath = temp_folder("levelrun");
        curplayer = 1;
        playlevel = curlevel = 7;
        level_type[7] = 1;
        playdifficulty[1] = 3;
        wincount = losecount = 0;
        level_frames = 300;
        paused = -1;
        popupfade = popupkind = 0;
        restartpending = 0;
        levelleft = 0;
        emptybarframes = 0;
        newlevelwon = 0;
        recordedresult = 999;
        winstars = -99;
    }

    // The stars a finished level earns for a recorded result.
    int stars(int result) {
        recordedresult = result;
        return starsearned();
    }
};

TEST_F(LevelRun, TimeLevelStarsByRecordedSeconds) {
    level_challenge[7] = 1;
    level_time3[7] = 60;
    level_time2[7] = 90;
    EXPECT_EQ(stars(60), 3);
    EXPECT_EQ(stars(61), 2);
    EXPECT_EQ(stars(90), 2);
    EXPECT_EQ(stars(91), 1);
}

TEST_F(LevelRun, MoveLevelStarsShiftWithDifficulty) {
    level_challenge[7] = 2;
    level_moves3[7] = 20;
    level_moves2[7] = 30;
    playdifficulty[1] = 3;
    EXPECT_EQ(stars(16), 3);
    EXPECT_EQ(stars(17), 2);
    EXPECT_EQ(stars(26), 2);
    EXPECT_EQ(stars(27), 1);
    playdifficulty[1] = 1;  // easiest: the marks are as designed
    EXPECT_EQ(stars(20), 3);
    level_challenge[7] = 0;  // neither kind of level: one star
    EXPECT_EQ(stars(0), 1);
}

TEST_F(LevelRun, WinAtDifficultyFourWithThreeStarsStoresSixAndUnlocks) {
    level_challenge[7] = 1;
    level_time3[7] = 60;
    level_time2[7] = 90;
    playdifficulty[1] = 4;
    playseconds[1] = 42;
    levelstars[1][7] = 2;
    maxlevel[1] = playerlevel[1] = 7;
    levelstate[1][3] = 0;
    levelstate[1][6] = 1;
    colourstones = 0;

    makewin();
    EXPECT_EQ(wincount, 2);
    EXPECT_EQ(recordedresult, 42);
    EXPECT_EQ(winstars, 7);
    playseconds[1] = 100;  // later seconds do not change the recorded result
    for (int i = 0; i < 30; ++i) makewin();
    mhit1 = 1;  // a click within the first 50 frames does not leave
    makewin();
    EXPECT_EQ(levelleft, 0);
    for (int i = 0; i < 20; ++i) makewin();
    EXPECT_EQ(levelleft, 1);
    mhit1 = 0;
    EXPECT_EQ(levelstars[1][7], 6);
    EXPECT_EQ(newlevelwon, 7);
    EXPECT_EQ(maxlevel[1], 8);
    EXPECT_EQ(playerlevel[1], 8);
    EXPECT_EQ(levelstate[1][8], 1);
    EXPECT_EQ(levelstate[1][3], 50);
    EXPECT_EQ(levelstate[1][6], 1);
    EXPECT_EQ(stone_kind[1][5], -1);
    EXPECT_EQ(nextscreen, screen_map);
}

TEST_F(LevelRun, WinningAnOlderLevelUnlocksNothingAndKeepsBetterStars) {
    level_challenge[7] = 2;
    level_moves3[7] = 20;
    level_moves2[7] = 30;
    playdifficulty[1] = 1;
    playshots[1] = 25;
    levelstars[1][7] = 5;
    maxlevel[1] = 12;
    playerlevel[1] = 7;
    colourstones = 0;
    makewin();
    for (int i = 0; i < 700 && !levelleft; ++i) makewin();  // leaves by itself after 700 frames
    EXPECT_EQ(levelleft, 1);
    EXPECT_EQ(wincount, 700);
    EXPECT_EQ(levelstars[1][7], 5);
    EXPECT_EQ(newlevelwon, 0);
    EXPECT_EQ(maxlevel[1], 12);
    EXPECT_EQ(playerlevel[1], 7);
}

TEST_F(LevelRun, NoWinBeforeFrame101OrWhileARestartIsPending) {
    colourstones = 0;
    level_frames = 100;
    makewin();
    EXPECT_EQ(wincount, 0);
    level_frames = 101;
    restartpending = 1;
    makewin();
    EXPECT_EQ(wincount, 0);
    restartpending = 0;
    losecount = 5;  // a lost level cannot be won
    makewin();
    EXPECT_EQ(wincount, 0);
}

TEST_F(LevelRun, CountdownAtDifficultyTwoEmptiesIn2040FramesThenLoses) {
    level_challenge[7] = 1;
    playdifficulty[1] = 2;
    timerbar = 340;
    timerbar_shown[1] = 340;
    framecount = 0;
    int empty_at = -1, lost_at = -1;
    for (int f = 1; f <= 2200 && lost_at < 0; ++f) {
        ++framecount;
        timerbarstep();
        makelose();
        if (timerbar == 0 && empty_at < 0) empty_at = f;
        if (losecount > 0) lost_at = f;
    }
    EXPECT_EQ(empty_at, 2040);
    EXPECT_EQ(lost_at, 2040 + 100 - 1);  // the hundredth empty frame starts the lose sequence
    EXPECT_EQ(losecount, 2);
    EXPECT_EQ(timerbar_shown[1], 0);
}

TEST_F(LevelRun, CountdownHoldsAtDifficultyOneAndOnMoveLevels) {
    level_challenge[7] = 1;
    playdifficulty[1] = 1;
    timerbar = 10;
    for (int f = 0; f < 500; ++f) {
        ++framecount;
        timerbarstep();
        makelose();
    }
    EXPECT_EQ(timerbar, 10);
    EXPECT_EQ(losecount, 0);
    level_challenge[7] = 2;
    playdifficulty[1] = 4;
    for (int f = 0; f < 500; ++f) timerbarstep();
    EXPECT_EQ(timerbar, 10);
}

TEST_F(LevelRun, PlayClockCountsOneSecondPerNewTick) {
    playseconds[1] = 0;
    clocktimer.manual = 10;
    clockseen = 10;
    level_frames = 219;
    clocktimer.manual = 11;
    playclockstep();
    EXPECT_EQ(playseconds[1], 0);  // not before frame 220
    level_frames = 220;
    clocktimer.manual = 14;  // several ticks at once still count one second per frame
    playclockstep();
    playclockstep();
    EXPECT_EQ(playseconds[1], 1);
    popupfade = 3;
    clocktimer.manual = 15;
    playclockstep();
    EXPECT_EQ(playseconds[1], 1);  // stopped while a popup shows
    popupfade = 0;
    playclockstep();
    EXPECT_EQ(playseconds[1], 2);
    clocktimer.manual = -1;
}

}  // namespace
