#include <gtest/gtest.h>

#include <algorithm>
#include <string>
#include <vector>

#include "app/display.h"
#include "app/screenflow.h"
#include "app/shell.h"
#include "aztec/board.h"
#include "aztec/catalogue.h"
#include "aztec/levelfile.h"
#include "aztec/gamescreen.h"
#include "aztec/levelrun.h"
#include "aztec/rules.h"
#include "aztec/winlose.h"
#include "effects/particles.h"
#include "effects/textpop.h"
#include "match3/match3.h"
#include "platform/draw.h"
#include "platform/paths.h"
#include "platform/inject.h"
#include "platform/input.h"
#include "storage/players.h"
#include "storage/settings.h"
#include "support/headless.h"
#include "texts/fonts.h"
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

namespace {
// Glyphs of the counters' font as they are drawn: their left edge, the handle's y and the scale.
struct Glyph {
    float x, y, scale;
    int frame;
};
std::vector<Glyph> glyphs;
void seeglyph(const TImage& image, float x, float y, int frame) {
    if (!image || image != fontimage[2] || y < virth / 2) return;  // the counters, not the top bar's captions
    float sx, sy;
    get_scale(&sx, &sy);
    glyphs.push_back({x, y, sx, frame});
}

struct Box {
    float left, top, right, bottom;
};

// Where a glyph of font 2 puts ink: its cells are 28 x 36, drawn from their left edge, 20 above the baseline.
Box inkbox(const Glyph& g) {
    int x0 = 28, y0 = 36, x1 = -1, y1 = -1;
    for (int y = 0; y < 36; ++y)
        for (int x = 0; x < 28; ++x)
            if ((image_pixel(fontimage[2], g.frame, x, y) >> 24) > 48) {
                x0 = std::min(x0, x), x1 = std::max(x1, x);
                y0 = std::min(y0, y), y1 = std::max(y1, y);
            }
    if (x1 < 0) return {g.x, g.y, g.x, g.y};
    return {g.x + x0 * g.scale, g.y + (y0 - 20) * g.scale, g.x + (x1 + 1) * g.scale, g.y + (y1 + 1 - 20) * g.scale};
}

class Counters : public ::testing::Test {
protected:
    void SetUp() override {
        headless();
        basedir = build_dir() + "/";
        loadfonts();
        if (!fontimage[2]) GTEST_SKIP() << "fonts not generated";
        time_level_nine("counters");
        resetgamescreen();
        resetdrawing();
        glyphs.clear();
        set_draw_observer(seeglyph);
    }
    void TearDown() override {
        set_draw_observer(nullptr);
        resetdrawing();
        level_type[9] = 1;
        level_challenge[9] = 1;
        level_animals[9] = levelrescued[1] = 0;
        playerscore[1] = playshots[1] = playseconds[1] = 0;
        mudcount = 0;
    }
    // Every glyph drawn lies in one of the panels' fields (1 px for the slant); returns how many were seen.
    static int inside(const std::vector<Box>& fields, const std::string& what) {
        for (const Glyph& g : glyphs) {
            const Box b = inkbox(g);
            bool in = false;
            for (const Box& f : fields)
                in = in || (b.left >= f.left - 1 && b.right <= f.right + 1 && b.top >= f.top - 1 &&
                            b.bottom <= f.bottom + 1);
            EXPECT_TRUE(in) << what << ": glyph " << g.frame << " inked over " << b.left << ".." << b.right << " x "
                            << b.top << ".." << b.bottom;
        }
        return (int)glyphs.size();
    }
};
}  // namespace

TEST_F(Counters, EveryCounterFitsItsPanelAtTheLargestValueItCanShow) {
    const float cx = (float)centerx, vh = (float)virth;
    // The plaques of the back panel (1024 x 400, drawn centred at centerx + 2, virth - 200): the dark fields of
    // the left one (score and animals) and of the right one (star marks, clock or shots).
    const Box left{cx - 500, vh - 286, cx - 416, vh - 194}, right{cx + 388, vh - 326, cx + 504, vh - 172};
    playerscore[1] = SCORE_MAX;
    levelrescued[1] = level_animals[9] = 9;
    for (int challenge : {1, 2}) {
        level_challenge[9] = challenge;
        playseconds[1] = 59 * 60 + 59;  // the clock shows minutes of the hour: 59:59 is its widest
        playshots[1] = 999;
        level_time3[9] = level_time2[9] = 59 * 60 + 59;
        level_moves3[9] = level_moves2[9] = 999 + 2 * playdifficulty[1] - 2;
        glyphs.clear();
        draw_gameui_and_buttons_and_texts();
        drawstarpanel();
        // 11 score glyphs (999.999.999), 3 of the animals, 5 or 3 of the clock or shots, two marks of 5 or 3
        EXPECT_EQ(inside({left, right}, challenge == 1 ? "time level" : "shot level"),
                      challenge == 1 ? 11 + 3 + 5 + 10 : 11 + 3 + 3 + 6);
    }

    // A match-3 level: the counters stand on the walls left and right of the tray (824 wide, drawn centred at
    // centerx + 10), inside the screen.
    level_type[9] = 2;
    level_challenge[9] = 1;
    mudcount = 144;
    const Box wall{cx - 512, 0, cx - 402, vh}, rightwall{cx + 422, 0, cx + 512, vh};
    glyphs.clear();
    draw_gameui_and_buttons_and_texts();
    drawstarpanel();
    EXPECT_EQ(inside({wall, rightwall}, "match-3 level"), 11 + 5 + 3 + 10);
}

TEST_F(Counters, ScoresThatFitStayWhereTheyAreAndLongerOnesShrinkNoMoreThanNeeded) {
    auto drawscore = [](int value) {
        glyphs.clear();
        playerscore[1] = value;
        draw_gameui_and_buttons_and_texts();
        std::vector<Glyph> score;
        for (const Glyph& g : glyphs)
            if (g.y > virth - 225 && g.y < virth - 205) score.push_back(g);  // the score's row, not the animals'
        return score;
    };
    // Up to four digits the number stands as it always did: the units digit at centerx - 468 + 5 per dot.
    for (int value : {0, 7, 999, 9999}) {
        std::vector<Glyph> g = drawscore(value);
        ASSERT_FALSE(g.empty());
        EXPECT_FLOAT_EQ(g[0].x, (float)(centerx - 468 + (value > 999 ? 5 : 0))) << value;
        EXPECT_FLOAT_EQ(g[0].scale, 1.0f) << value;
    }
    // Longer numbers keep to the field; the more digits, the smaller, never larger than at first.
    float last = 1;
    for (int value : {12345, 123456, 1234567, 12345678, SCORE_MAX}) {
        std::vector<Glyph> g = drawscore(value);
        ASSERT_FALSE(g.empty());
        EXPECT_LE(g[0].scale, last) << value;
        EXPECT_GE(g[0].scale, 0.6f) << value;  // still readable
        last = g[0].scale;
        for (const Glyph& k : g) EXPECT_FLOAT_EQ(k.scale, g[0].scale);
    }
    EXPECT_LT(last, 1.0f);
    float sx, sy;
    get_scale(&sx, &sy);
    EXPECT_FLOAT_EQ(sx, 1.0f);  // the scale in force is given back
}

TEST(PlayerScore, StopsAtItsLargestValueInsteadOfRunningOver) {
    headless();
    time_level_nine("scorecap");
    playerscore[1] = SCORE_MAX - 100;
    combomult = 3;
    awardpoints(2000, 100, 100, 1, 0);
    EXPECT_EQ(playerscore[1], SCORE_MAX);
    awardpoints(2000, 100, 100, 1, 0);
    EXPECT_EQ(playerscore[1], SCORE_MAX);
    playerscore[1] = 1000;
    awardpoints(50, 100, 100, 1, 0);
    EXPECT_EQ(playerscore[1], 1150);
    combomult = 1;
    clearfloatnumbers();
}
