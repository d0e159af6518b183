// The level run as the player sees it: how fast the countdown bar empties at each difficulty and how it is drawn,
// the level banner, the win screen's stars flying in, the pause overlay's click and the developer win key.
#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <vector>

#include "app/display.h"
#include "app/screenflow.h"
#include "app/shell.h"
#include "aztec/board.h"
#include "aztec/catalogue.h"
#include "aztec/gamescreen.h"
#include "aztec/levelrun.h"
#include "aztec/winlose.h"
#include "effects/effects.h"
#include "effects/particles.h"
#include "platform/audio.h"
#include "platform/paths.h"
#include "screens/map.h"
#include "app/profiles.h"
#include "storage/players.h"
#include "storage/settings.h"
#include "support/headless.h"
#include "texts/fonts.h"
#include "effects/textpop.h"
#include "texts/texttables.h"
#include "ui/buttons.h"
#include "ui/menu.h"
#include "ui/popups.h"

namespace {
struct Drawn {
    ImageData* image;
    float x, y, alpha, scale;
    int frame, blend;
};
std::vector<Drawn> drawn;
void record(const TImage& image, float x, float y, int frame) {
    float sx, sy;
    get_scale(&sx, &sy);
    drawn.push_back({image.get(), x, y, get_alpha(), sx, frame, get_blend()});
}
std::vector<Drawn> draws_of(const TImage& image) {
    std::vector<Drawn> out;
    for (const Drawn& d : drawn)
        if (image && d.image == image.get()) out.push_back(d);
    return out;
}
int live(int kind) {
    int n = 0;
    for (int i = 1; i < PARTICLESLOTS; ++i) n += part_kind[i] == kind;
    return n;
}

class RunRules : public ::testing::Test {
protected:
    void SetUp() override {
        headless();
        // The images may have been dropped by the state reset between tests: load what is missing.
        basedir = build_dir() + "/";
        set_auto_midhandle(1);
        loadfonts();
        readgametexts();
        readmenutexts();
        if (!popupimage) loadmenustuff();
        if (!gamestar1img) loadmapstuff();
        if (!levelbanner) loadeffects();
        if (!timerfill1img) loadgamestuff_dynamic();
        if (!timerfill1img || !gamestar1img || !levelbanner) GTEST_SKIP() << "game images not generated";
        time_level_nine("runrules");
        levelinprogress[1] = 0;
        screenshake = 0;
        devkeys = 0;
        key_f3 = key_f4 = 0;
        mhit1 = mhit2 = 0;
        centerx = 512;
        centery = 384;
        virtw = 1024;
        virth = 768;
        fps = 50;
        resetdrawing();
        resetgamescreen();
        clearparticles();
        drawn.clear();
        set_draw_observer(record);
    }
    void TearDown() override {
        set_draw_observer(nullptr);
        resetdrawing();
        devkeys = 0;
        key_f3 = key_f4 = 0;
        curscreen = screen_none;
    }
    // Frames the countdown bar takes from full to empty at a difficulty, counted from the clock's start.
    int frames_to_empty(int difficulty) {
        playdifficulty[1] = difficulty;
        timerbar = timerbar_shown[1] = 340;
        level_frames = 300;
        framecount = 0;
        for (int f = 1; f <= 5000; ++f) {
            ++framecount;
            drawn.clear();  // only the bar's value counts here
            timerbarstep();
            if (timerbar == 0) return f;
        }
        return -1;
    }
};
}  // namespace

TEST_F(RunRules, TheCountdownEmptiesFasterAtEachDifficultyAndNotAtAll) {
    EXPECT_EQ(frames_to_empty(2), 340 * 6);
    EXPECT_EQ(frames_to_empty(3), 340 * 5);
    EXPECT_EQ(frames_to_empty(4), 340 * 3);
    EXPECT_EQ(frames_to_empty(1), -1);
    // The bar stands still before the clock starts at frame 220, and never holds more than 340.
    playdifficulty[1] = 4;
    timerbar = 400;
    timerbar_shown[1] = 340;
    framecount = 0;
    int lost = 0;
    for (level_frames = 200; level_frames < 220; ++level_frames) {
        ++framecount;
        const int before = timerbar;
        timerbarstep();
        lost += before > timerbar && before <= 340;
    }
    EXPECT_EQ(lost, 0);
    EXPECT_EQ(timerbar, 340);
    // What is shown follows the bar by a fifth of the gap per frame.
    timerbar_shown[1] = 340;
    timerbar = 240;
    level_frames = 100;
    timerbarstep();
    EXPECT_EQ(timerbar_shown[1], 320);
}

TEST_F(RunRules, TheCountdownBarIsDrawnInTenAndOnePixelSlicesAndWarnsBelowEighty) {
    playdifficulty[1] = 2;
    level_frames = 100;  // before the clock: the value stays put
    timerbarx = (float)centerx;
    timerbary = (float)(virth + 150);
    timerbar = timerbar_shown[1] = 123;
    framecount = 1;
    timerbarstep();
    // The bar slides in from below by a tenth of the way per frame.
    EXPECT_FLOAT_EQ(timerbary, (float)(virth + 150) - 175 * 0.1f);
    const float x = timerbarx, y = timerbary;
    ASSERT_EQ(draws_of(timerimg).size(), 1u);
    EXPECT_FLOAT_EQ(draws_of(timerimg)[0].x, x);
    std::vector<Drawn> tens = draws_of(timerfill10img);
    ASSERT_EQ(tens.size(), 12u);  // slices 0..11 for i = 1..12; slice -1 of i = 0 is not drawn
    for (size_t k = 0; k < tens.size(); ++k) {
        EXPECT_EQ(tens[k].frame, (int)k);
        EXPECT_FLOAT_EQ(tens[k].x, x + 10 * (k + 1) - 174);
        EXPECT_FLOAT_EQ(tens[k].y, y - 1);
    }
    std::vector<Drawn> ones = draws_of(timerfill1img);
    ASSERT_EQ(ones.size(), 4u + 2u);  // 120..123, then the glowing edge: slice 121 additively and 122
    for (int k = 0; k < 4; ++k) {
        EXPECT_EQ(ones[k].frame, 119 + k);
        EXPECT_FLOAT_EQ(ones[k].x, x + 120 + k - 169);
    }
    EXPECT_EQ(ones[4].frame, 121);
    EXPECT_FLOAT_EQ(ones[4].x, x + 123 - 170);
    EXPECT_FLOAT_EQ(ones[4].alpha, 0.5f);
    EXPECT_EQ(ones[5].frame, 122);
    EXPECT_FLOAT_EQ(ones[5].x, x + 123 - 169);
    EXPECT_TRUE(draws_of(timerwarnimg).empty());
    // Below 80 the warning blinks over the bar.
    for (int s : {80, 79, 72}) {
        drawn.clear();
        timerbar = timerbar_shown[1] = s;
        framecount = 8;  // sin(96°) > 0: visible
        timerbarstep();
        EXPECT_EQ(draws_of(timerwarnimg).size(), s < 80 ? 1u : 0u) << s;
    }
}

TEST_F(RunRules, TheLevelBannerGrowsInBetweenFrames51And179AndFadesAfter130) {
    struct Expect {
        int f;
        bool shown;
        float alpha, scale;
    } cases[] = {{50, false, 0, 0},   {51, true, 0.03f, 1.97f}, {60, true, 0.3f, 1.7f}, {100, true, 1, 1},
                 {140, true, 0.6f, 1}, {175, true, -0.8f, 1},    {179, true, -0.96f, 1}, {180, false, 0, 0}};
    for (const Expect& e : cases) {
        drawn.clear();
        set_alpha(1);
        level_frames = e.f;
        drawlevelbanner();
        std::vector<Drawn> b = draws_of(levelbanner);
        ASSERT_EQ(b.size(), e.shown ? 1u : 0u) << e.f;
        if (!e.shown) continue;
        if (e.alpha >= 0) {
            EXPECT_NEAR(b[0].alpha, e.alpha, 0.01f) << e.f;
        }
        EXPECT_NEAR(b[0].scale, e.scale, 0.001f) << e.f;
        EXPECT_FLOAT_EQ(b[0].x, (float)centerx);
        EXPECT_FLOAT_EQ(b[0].y, (float)centery);
        EXPECT_FLOAT_EQ(get_alpha(), 1.0f);  // the alpha in force is given back
    }
}

TEST_F(RunRules, TheWinScreenFliesInEveryStarAndTheBonusStarAtTheirFrames) {
    playdifficulty[1] = 4;
    winstars = 7;  // three stars at the hardest difficulty
    static const float flyx[6] = {0, -100, -50, 0, 50, 100};
    for (int w = 2; w <= 460; ++w) {
        drawn.clear();
        clearparticles();  // the pool would fill up with confetti
        const int bursts4 = live(904), bursts1 = live(901);
        wincount = w;
        drawwinscreen();
        std::vector<Drawn> filled = draws_of(gamestar1img);
        // Stars of the star row (y about 590 and above): the result lines draw theirs at 280 and 490.
        std::vector<Drawn> row;
        for (const Drawn& d : filled)
            if (d.y > 480 && d.y != 490.0f) row.push_back(d);
        int flying = 0;
        for (int i = 1; i <= 5; ++i) {
            const float slot = (float)(centerx + 75 * i - 225);
            const float t = std::min(1.0f, 0.05f * (w - 25 * i - 250));
            if (t <= 0) continue;
            ASSERT_LT(flying, (int)row.size()) << "w " << w << " star " << i;
            const Drawn& d = row[flying++];
            EXPECT_NEAR(d.x, slot + flyx[i] * (1 - t), 0.01f) << "w " << w << " star " << i;
            EXPECT_NEAR(d.y, 590 - 100 * (1 - t), 0.01f) << "w " << w << " star " << i;
            EXPECT_NEAR(d.scale, 3 - 2 * t, 0.001f);
            EXPECT_NEAR(d.alpha, t, 0.001f);
        }
        EXPECT_EQ((int)row.size(), flying) << "w " << w;
        // Each star bursts as it lands, the bonus star at 440.
        const bool lands = w >= 295 && w <= 395 && (w - 270) % 25 == 0;
        EXPECT_EQ(live(904) > bursts4, lands) << "w " << w;
        EXPECT_EQ(live(901) > bursts1, w == 440) << "w " << w;
        if (w == 440) {
            // The bonus star's burst comes out of the star where it landed, 7 px above the row.
            for (int i = 1; i < PARTICLESLOTS; ++i) {
                if (part_kind[i] != 901 && part_kind[i] != 101) continue;
                EXPECT_GE(part_y[i], 583 - 20.0f) << "spark " << i;
                EXPECT_LE(part_y[i], 583 + 6.0f) << "spark " << i;
                EXPECT_NEAR(part_x[i], (float)centerx, 20.0f) << "spark " << i;
            }
        }
        std::vector<Drawn> bonus = draws_of(gamestar2img);
        if (w <= 420) {
            EXPECT_TRUE(bonus.empty()) << "w " << w;
        } else {
            ASSERT_EQ(bonus.size(), 1u) << "w " << w;
            const float t = std::min(1.0f, 0.05f * (w - 420));
            EXPECT_NEAR(bonus[0].y, 590 - 7 * t, 0.001f);
            EXPECT_NEAR(bonus[0].scale, 0.72f + 0.28f * t, 0.001f);
            EXPECT_NEAR(bonus[0].alpha, t, 0.001f);
        }
    }
    // Fewer stars fill fewer slots and show no bonus star.
    for (int stars : {2, 6}) {
        drawn.clear();
        winstars = stars;
        wincount = 460;
        drawwinscreen();
        int row = 0;
        for (const Drawn& d : draws_of(gamestar1img)) row += d.y == 590.0f;
        EXPECT_EQ(row, stars - 1) << stars;
        EXPECT_TRUE(draws_of(gamestar2img).empty());
    }
}

TEST_F(RunRules, TheResultLinesSlideInOneAfterAnotherFromFrames151To211) {
    winstars = 4;
    for (int w = 2; w <= 260; ++w) {
        wincount = w;
        drawwinscreen();
        static const int starts[5] = {0, 150, 170, 190, 210};
        for (int i = 1; i <= 4; ++i) {
            if (w <= starts[i]) {
                EXPECT_FLOAT_EQ(winlinex[i], -1000) << "w " << w << " line " << i;
            } else {
                const float expected = (float)(centerx - 310) + (-1000.0f - (centerx - 310)) *
                                                                    std::pow(0.9f, (float)(w - starts[i]));
                EXPECT_NEAR(winlinex[i], expected, 0.5f) << "w " << w << " line " << i;
            }
        }
    }
}

TEST_F(RunRules, AClickOnThePauseOverlayResumesAndTheLevelIsNoLongerStoredAsRunning) {
    level_type[9] = 3;  // no board to run
    level_frames = 300;
    paused = 1;
    levelinprogress[1] = 1;
    mhit2 = 1;  // the right button does not resume
    showgame();
    EXPECT_EQ(paused, 1);
    EXPECT_EQ(levelinprogress[1], 1);
    mhit2 = 0;
    mhit1 = 1;
    showgame();
    EXPECT_EQ(paused, -1);
    EXPECT_EQ(levelinprogress[1], 0);
    // Under a popup the click belongs to the popup.
    paused = 1;
    levelinprogress[1] = 1;
    popupfade = 8;
    popupkind = 298;
    mhit1 = 1;
    showgame();
    EXPECT_EQ(paused, 1);
    EXPECT_EQ(levelinprogress[1], 1);
    mhit1 = 0;
}

TEST_F(RunRules, F4WinsAnAztecLevelAndOpensTheMapUpToLevel104) {
    level_type[9] = 3;
    level_frames = 300;
    devkeys = 1;
    key_f4 = 1;
    showgame();
    EXPECT_EQ(wincount, 0);  // not on a level without the aztec board
    level_type[9] = 1;
    maxlevel[1] = playerlevel[1] = 9;
    for (int l = 1; l <= 200; ++l) levelstars[1][l] = 0;
    playdifficulty[1] = 3;
    colourstones = 100;  // stones left: nothing wins by itself
    wincount = 0;
    key_f4 = 1;
    level_frames = 20;  // the board only settles in its first frames
    curscreen = screen_game;
    showgame();
    EXPECT_GE(wincount, 1);
    EXPECT_EQ(maxlevel[1], 104);
    EXPECT_EQ(playerlevel[1], 104);
    EXPECT_EQ(curlevel, 104);
    EXPECT_EQ(levelstars[1][1], 1);
    EXPECT_EQ(levelstars[1][103], 1);
    EXPECT_EQ(levelstars[1][104], 0);
}

TEST_F(RunRules, TheDifficultyDialogOpensAtFrame35AndAWonLevelIsWonFrom101AndLeftAt700AtTheLatest) {
    level_type[9] = 3;
    level_frames = 34;
    showgame();
    EXPECT_EQ(popupkind, 777);
    EXPECT_EQ(level_frames, 36);  // the dialog holds the level's clock while it is open
    popupkind = popupfade = 0;
    // A board without colour stones is won from frame 101 on.
    colourstones = 0;
    level_type[9] = 1;
    for (int f : {100, 101}) {
        wincount = 0;
        level_frames = f;
        wintest();
        EXPECT_EQ(wincount, f > 100 ? 1 : 0) << f;
    }
    // Leaving a won level: not by a click before frame 51, by itself after 699.
    curscreen = screen_game;
    wincount = 1;
    levelleft = 0;
    int left_at = -1;
    for (int i = 0; i < 800 && left_at < 0; ++i) {
        mhit1 = wincount == 45 ? 1 : 0;
        wincounting();
        if (levelleft) left_at = wincount;
    }
    EXPECT_EQ(left_at, 700);
    mhit1 = 0;
}

TEST_F(RunRules, UnlockingMarksEveryUnmarkedLevelUpToTheOldHighestAndOpensTheNext) {
    maxlevel[1] = playerlevel[1] = curlevel = 7;
    for (int l = 1; l <= 200; ++l) levelstate[1][l] = 0;
    levelstate[1][2] = 1;
    unlocklevel();
    EXPECT_EQ(maxlevel[1], 8);
    EXPECT_EQ(playerlevel[1], 8);
    EXPECT_EQ(curlevel, 8);
    EXPECT_EQ(levelstate[1][1], 50);
    EXPECT_EQ(levelstate[1][2], 1);
    EXPECT_EQ(levelstate[1][7], 50);
    EXPECT_EQ(levelstate[1][8], 1);
    EXPECT_EQ(levelstate[1][9], 0);
}

TEST_F(RunRules, APassedStarRowFadesToFortyPercentInTenFramesAndTheOtherStaysLit) {
    playseconds[1] = 61;  // past the 60-second row, not the 90-second one
    set_alpha(1);
    std::vector<float> upper, lower;
    for (int f = 0; f < 14; ++f) {
        drawn.clear();
        drawstarpanel();
        std::vector<Drawn> stars = draws_of(mapstar1img);
        ASSERT_EQ(stars.size(), 5u);  // three in the upper row, two in the lower
        upper.push_back(stars[0].alpha);
        lower.push_back(stars[3].alpha);
        EXPECT_FLOAT_EQ(get_alpha(), 1.0f);
    }
    EXPECT_NEAR(upper[0], 0.94f, 1e-5f);
    EXPECT_NEAR(upper[4], 0.7f, 1e-5f);
    EXPECT_NEAR(upper[9], 0.4f, 1e-5f);
    EXPECT_NEAR(upper[13], 0.4f, 1e-5f);
    for (float a : lower) EXPECT_FLOAT_EQ(a, 1.0f);
}

TEST_F(RunRules, TheLoseScreenButtonsFadeInFromFrame150AndTakeAClickAtOnce) {
    fadestate = 1;
    buttonlayer = 1;
    mx = my = -1000;
    set_alpha(1);
    const float again_x = (float)(centerx + 150);
    for (int l : {149, 150, 155, 160}) {
        drawn.clear();
        losecount = l;
        drawlosescreen();
        std::vector<Drawn> buttons = draws_of(buttonimage[10]);
        if (l < 150) {
            EXPECT_TRUE(buttons.empty()) << l;
            continue;
        }
        ASSERT_EQ(buttons.size(), 2u) << l;
        EXPECT_FLOAT_EQ(buttons[1].x, again_x);
        EXPECT_NEAR(buttons[0].alpha, std::min(1.0f, 0.1f * (l - 150)), 1e-5f) << l;
    }
    // "Try again" in the very frame it appears: the level starts over.
    levelinprogress[1] = 1;
    nextscreen = screen_none;
    mx = (int)again_x;
    my = 620;
    mhit1 = 1;
    losecount = 150;
    drawlosescreen();
    EXPECT_EQ(nextscreen, screen_game);
    EXPECT_EQ(levelinprogress[1], 0);
    mhit1 = 0;
    losecount = 0;
    nextscreen = screen_none;
}

TEST_F(RunRules, AResumedLevelGetsItsBarBackTo150WhenItWasLowerAndANewLevelStartsFull) {
    curscreen = screen_game;  // from one level straight into the next: the game images stay loaded
    curlevel = 10;            // the tent: one picture to load
    level_type[10] = 1;
    level_challenge[10] = 1;
    for (int shown : {145, 149, 150, 200}) {
        levelinprogress[1] = 1;
        timerbar = timerbar_shown[1] = shown;
        instgame();
        EXPECT_EQ(timerbar_shown[1], std::max(shown, 150)) << shown;
        EXPECT_EQ(timerbar, std::max(shown, 150)) << shown;
    }
    levelinprogress[1] = 0;
    timerbar = timerbar_shown[1] = 90;
    instgame();
    EXPECT_EQ(timerbar, 340);
    EXPECT_EQ(timerbar_shown[1], 340);
    stopmusic();
}

TEST_F(RunRules, ThePaceDialogSaysWhichPacesRunACountdownBarInsideThePanel) {
    popupkind = 777;
    popupfade = 16;
    mx = my = -100;  // no option hovered
    const float cx = (float)centerx, cy = (float)centery;
    // The panel's inside, and the room between the lowest option and the top of the close button.
    const float half = image_width(popupimage) * 0.8f / 2 - 40;
    const float top = cy + 115 + image_height(mapstar0img) / 2.0f;
    const float bottom = cy + 200 - image_height(buttonimage[3]) / 2.0f;
    const float glyph = image_height(fontimage[4]);
    for (int challenge : {1, 2}) {
        level_challenge[9] = challenge;
        const std::string& note = gametext(4, challenge == 1 ? 20 : 21);
        ASSERT_FALSE(note.empty()) << challenge;
        // The shipped lines are drawn at their full size.
        EXPECT_LE(textwidth(4, note, 1), PACENOTE_WIDTH) << note;
        drawn.clear();
        drawdifficultydialog();
        float lo = 1e9f, hi = -1e9f;
        int glyphs = 0;
        for (const Drawn& d : draws_of(fontimage[4])) {
            if (std::abs(d.y - (cy + PACENOTE_Y)) > 1) continue;
            ++glyphs;
            lo = std::min(lo, d.x - glyph / 2);
            hi = std::max(hi, d.x + glyph / 2);
        }
        EXPECT_GE(glyphs, 20) << challenge;
        EXPECT_GE(lo, cx - half) << note;
        EXPECT_LE(hi, cx + half) << note;
        EXPECT_GE(cy + PACENOTE_Y - glyph / 2, top) << note;
        EXPECT_LE(cy + PACENOTE_Y + glyph / 2, bottom) << note;
    }
    popupkind = popupfade = popupfadedir = 0;
}

TEST_F(RunRules, TheHoveredPaceGlowsFromBehindItsPlate) {
    popupkind = 777;
    popupfade = 16;
    const float y = (float)(centery - 60 * 2 + 175);  // option 2
    mx = centerx + 100;
    my = (int)y;
    drawn.clear();
    drawdifficultydialog();
    std::vector<int> order;  // what was drawn on option 2's row: 1 bar, 2 plate, 3 plate lit up
    for (const Drawn& d : drawn) {
        if (d.y != y) continue;
        if (d.image == barimg.get()) order.push_back(d.blend == BLEND_LIGHT ? 1 : -1);
        if (d.image == cbimg.get()) order.push_back(d.blend == BLEND_LIGHT && d.alpha < 0.5f ? 3 : 2);
    }
    EXPECT_EQ(order, (std::vector<int>{1, 2, 3}));
    // The other rows show their plate only.
    for (int i : {1, 3, 4}) {
        int plates = 0, bars = 0;
        for (const Drawn& d : drawn) {
            if (d.y != (float)(centery - 60 * i + 175)) continue;
            plates += d.image == cbimg.get();
            bars += d.image == barimg.get();
        }
        EXPECT_EQ(plates, 1) << i;
        EXPECT_EQ(bars, 0) << i;
    }
    EXPECT_EQ(get_blend(), BLEND_ALPHA);
    popupkind = popupfade = popupfadedir = 0;
}
