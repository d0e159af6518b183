#include <gtest/gtest.h>

#include <vector>

#include "app/display.h"
#include "app/screenflow.h"
#include "app/shell.h"
#include "aztec/board.h"
#include "aztec/catalogue.h"
#include "aztec/levelfile.h"
#include "aztec/gamescreen.h"
#include "aztec/levelrun.h"
#include "aztec/winlose.h"
#include "effects/particles.h"
#include "platform/inject.h"
#include "platform/input.h"
#include "storage/players.h"
#include "storage/settings.h"
#include "support/headless.h"
#include "ui/popups.h"

namespace {
class GameScreen : public ::testing::Test {
protected:
    void SetUp() override {
        headless();
        time_level_nine("gamescreen");
        resetgamescreen();
    }
};
}  // namespace

TEST_F(GameScreen, UpperStarRowWarnsFrom56SecondsAndFadesFrom61) {
    auto step = [](int seconds) {
        playseconds[1] = seconds;
        drawstarpanel();
    };
    step(55);
    EXPECT_EQ(starwarnframes[1], 0);
    step(56);
    EXPECT_EQ(starwarnframes[1], 1);
    step(60);
    EXPECT_EQ(starwarnframes[1], 2);
    EXPECT_EQ(starpassedframes[1], 0);
    step(61);
    EXPECT_EQ(starpassedframes[1], 1);
    EXPECT_EQ(starwarnframes[1], 2);  // a passed row no longer blinks
    EXPECT_EQ(starwarnframes[2], 0);  // the 90-second row is still far off
}

TEST_F(GameScreen, MoveLevelRowsCountShotsAgainstTheDifficultyMark) {
    level_challenge[9] = 2;
    level_moves3[9] = 20;
    level_moves2[9] = 30;
    playdifficulty[1] = 3;  // marks 16 and 26
    playshots[1] = 14;
    drawstarpanel();
    EXPECT_EQ(starwarnframes[1], 0);
    playshots[1] = 16;  // the next shot would pass the mark
    drawstarpanel();
    EXPECT_EQ(starwarnframes[1], 1);
    playshots[1] = 17;
    drawstarpanel();
    EXPECT_EQ(starpassedframes[1], 1);
}

TEST_F(GameScreen, DifficultyDialogHoldsTheClockAndLiftsALowBar) {
    level_frames = 35;
    timerbar = 90;
    timerbar_shown[1] = 90;
    // Option 2 lies at centery - 120 + 175.
    mx = centerx + 100;
    my = centery - 120 + 175;
    mhit1 = 1;
    popupkind = 777;
    popupfade = 16;
    drawdifficultydialog();
    EXPECT_EQ(playdifficulty[1], 2);
    EXPECT_EQ(level_frames, 36);
    EXPECT_EQ(timerbar, 90);  // still open
    mhit1 = 0;
    key_escape = 1;
    drawdifficultydialog();
    key_escape = 0;
    EXPECT_EQ(popupfadedir, 2);
    EXPECT_EQ(timerbar, 150);
    EXPECT_EQ(timerbar_shown[1], 150);
    popupkind = popupfade = popupfadedir = 0;
}

TEST_F(GameScreen, DeveloperWinNeedsTheDeveloperKeys) {
    level_type[9] = 3;  // neither board: an empty match-3 board would be won at once
    level_frames = 300;
    devkeys = 0;
    key_f3 = 1;
    showgame();
    EXPECT_EQ(wincount, 0);
    devkeys = 1;
    showgame();
    EXPECT_GE(wincount, 1);
    key_f3 = 0;
    devkeys = 0;
    wincount = 0;
}

TEST_F(GameScreen, FrameClockStandsStillUnderAPopupOrThePause) {
    level_type[9] = 2;
    level_frames = 40;
    showgame();
    EXPECT_EQ(level_frames, 41);
    popupfade = 5;
    showgame();
    EXPECT_EQ(level_frames, 41);
    popupfade = 0;
    paused = 1;
    showgame();
    EXPECT_EQ(level_frames, 41);
    paused = -1;
}

TEST_F(GameScreen, LoseScreenButtonsAppearOnlyFromFrame150) {
    level_type[9] = 2;
    nextscreen = screen_none;
    losecount = 1;
    // A click where the "play again" button will be does nothing before it is drawn.
    for (int l = 2; l < 150; ++l) {
        mx = centerx + 150;
        my = 620;
        mhit1 = 1;
        fadestate = 1;
        makelose();
        ASSERT_NE(nextscreen, screen_game) << "frame " << l;
    }
    mhit1 = 0;
    losecount = 0;
}

namespace {
// A level entered through the screen flow and played by the real loop. Without a catalogue the board holds only
// its floor, which is all the win and lose screens need.
class GameLoop : public ::testing::Test {
protected:
    static void SetUpTestSuite() {
        headless();
        loadmaingraphics();
    }

    void SetUp() override {
        userpath = temp_folder("gameloop");
        curplayer = 1;
        mouseactive = 1;
        devkeys = 0;
        curlevel = 12;
        level_type[12] = 1;
        level_challenge[12] = 1;
        level_time3[12] = 60;
        level_time2[12] = 90;
        fadestate = 1;
        gotoscreen(screen_game, 0);
        harness_frames(17 + 16);
        popupkind = popupfade = popupfadedir = 0;
    }

    void TearDown() override {
        inject_key(VK_ESCAPE, 0);
        harness_frames(1);
        wincount = losecount = 0;
        popupkind = popupfade = popupfadedir = 0;
    }
};

int live(int kind) {
    int n = 0;
    for (int i = 1; i < PARTICLESLOTS; ++i) n += part_kind[i] == kind;
    return n;
}
}  // namespace

TEST_F(GameLoop, OneStarAtEasyFillsOnlyTheFirstSlot) {
    ASSERT_EQ(curscreen, screen_game);
    playdifficulty[1] = 1;
    playseconds[1] = 200;  // past both marks: one star
    wincount = 1;
    std::vector<int> bursts;  // win counter values at which a star burst was thrown
    std::vector<float> where;
    while (wincount > 0 && wincount < 460) {
        const int before = live(904);
        harness_frames(1);
        if (live(904) > before) {
            bursts.push_back(wincount);
            for (int i = 1; i < PARTICLESLOTS; ++i)
                if (part_kind[i] == 904 && part_age[i] <= 1) where.push_back(part_x[i]);
        }
    }
    EXPECT_EQ(winstars, 2);
    EXPECT_EQ(bursts, std::vector<int>{295});
    ASSERT_FALSE(where.empty());
    EXPECT_NEAR(where.front(), centerx + 75 - 225, 60);
}

TEST_F(GameLoop, DifficultyDialogHoldsTheLevelUntilClosed) {
    ASSERT_EQ(curscreen, screen_game);
    timerbar = 90;
    timerbar_shown[1] = 90;
    playdifficulty[1] = 3;
    for (int i = 0; i < 40 && popupkind != 777; ++i) harness_frames(1);
    ASSERT_EQ(popupkind, 777);  // opened at frame 35, which the dialog holds at 36
    harness_frames(30);
    EXPECT_EQ(level_frames, 36);
    harness_click(centerx + 100, centery - 120 + 175);  // option 2
    harness_frames(1);
    EXPECT_EQ(playdifficulty[1], 2);
    EXPECT_EQ(popupkind, 777);
    harness_click(centerx, centery + 200);  // close
    harness_frames(1);
    EXPECT_EQ(timerbar, 150);
    EXPECT_EQ(timerbar_shown[1], 150);
    harness_frames(20);
    EXPECT_EQ(popupkind, 0);
    EXPECT_GT(level_frames, 36);
}

TEST_F(GameLoop, EscapeDuringTheWinDoesNotOpenTheMenu) {
    ASSERT_EQ(curscreen, screen_game);
    inject_key(VK_ESCAPE, 1);
    harness_frames(1);
    inject_key(VK_ESCAPE, 0);
    EXPECT_EQ(popupkind, 298);  // while playing it does
    popupkind = popupfade = popupfadedir = 0;

    level_frames = 60;  // past the difficulty dialog
    wincount = 1;
    harness_frames(3);
    inject_key(VK_ESCAPE, 1);
    harness_frames(2);
    EXPECT_NE(popupkind, 298);
    EXPECT_EQ(popupfadedir, 0);
}

TEST_F(GameLoop, DeveloperKeyF3IsDeadWithoutTheDeveloperKeys) {
    ASSERT_EQ(curscreen, screen_game);
    inject_key(VK_F3, 1);
    harness_frames(2);
    inject_key(VK_F3, 0);
    EXPECT_EQ(wincount, 0);
}

TEST_F(GameLoop, TimeRunsOutAtTheHardestPaceAndTryAgainReplays) {
    ASSERT_EQ(curscreen, screen_game);
    levelrecord rec = emptylevelrecord();
    for (int c = 1; c <= 12; c += 2) rec.stonecode[levelcell(c, 0)] = c % 3;  // stones that form no group
    prepare_board(&rec);
    playdifficulty[1] = 4;
    level_frames = 220;  // past the dialog and the banner; the countdown runs
    timerbar = timerbar_shown[1] = 4;
    int lostat = 0;
    for (int i = 0; i < 200 && !lostat; ++i) {
        harness_frames(1);
        if (losecount > 0) lostat = i;
    }
    ASSERT_GT(losecount, 0);
    EXPECT_EQ(wincount, 0);
    EXPECT_GE(lostat, 100);  // the bar stays empty for 100 frames first
    losecount = 158;  // on to the buttons
    harness_frames(2);
    harness_click(centerx + 150, 620);  // try again
    harness_frames(1);
    EXPECT_EQ(nextscreen, screen_game);
    harness_frames(17);
    EXPECT_EQ(losecount, 0);
    EXPECT_LE(level_frames, 1);  // the level starts over
}

TEST_F(GameScreen, ClosingTheDifficultyDialogLiftsEitherBarBelow150) {
    // The shown bar trails the bar by a few frames, so either one can be the low one.
    const struct {
        int bar, shown;
        bool lifted;
    } cases[] = {{145, 200, true}, {200, 145, true}, {149, 149, true}, {150, 150, false}, {300, 280, false}};
    for (const auto& c : cases) {
        timerbar = c.bar;
        timerbar_shown[1] = c.shown;
        popupkind = 777;
        popupfade = 16;
        mhit1 = 0;
        key_escape = 1;
        drawdifficultydialog();
        key_escape = 0;
        EXPECT_EQ(timerbar, c.lifted ? 150 : c.bar) << c.bar << " " << c.shown;
        EXPECT_EQ(timerbar_shown[1], c.lifted ? 150 : c.shown) << c.bar << " " << c.shown;
    }
    popupkind = popupfade = popupfadedir = 0;
}
