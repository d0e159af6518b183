#include <gtest/gtest.h>

#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <set>
#include <string>
#include <vector>

#include "app/display.h"
#include "app/screenflow.h"
#include "app/shell.h"
#include "aztec/boardrender.h"
#include "aztec/catalogue.h"
#include "aztec/levelrun.h"
#include "effects/particles.h"
#include "platform/inject.h"
#include "platform/input.h"
#include "platform/paths.h"
#include "platform/random.h"
#include "platform/system.h"
#include "storage/players.h"
#include "storage/settings.h"
#include "support/headless.h"
#include "texts/fonts.h"
#include "texts/texttables.h"
#include "ui/helppages.h"
#include "ui/popups.h"

namespace {
// How many wrapped lines each text of a page may take before it runs into the illustration, the next text or
// the buttons: {line of section 13, width, lines allowed}.
struct Slot {
    int line, width, lines;
};
const std::vector<Slot> PAGE_TEXTS[HELPPAGES + 1] = {
    {},
    {{6, 460, 1}, {7, 460, 2}},                             // the cannon's light hangs just under the first line
    {{12, 460, 1}, {13, 460, 1}},                           // both above the light
    {{18, 460, 2}, {19, 460, 2}},
    {{24, 460, 3}, {25, 460, 3}},
    {{30, 460, 3}, {31, 460, 3}},
    {{36, 460, 2}, {37, 460, 2}},
    {{42, 460, 2}, {43, 460, 2}},
    {{48, 460, 2}, {49, 460, 2}},
    {{54, 460, 2}, {55, 460, 2}},
    {{59, 460, 1}, {60, 460, 3}, {61, 460, 2}},
    {{65, 460, 1}, {66, 590, 1}, {67, 590, 2}, {68, 590, 3}},
    {{72, 460, 2}, {73, 460, 2}},
    {{78, 460, 2}, {79, 460, 2}},
};

TEST(HelpTexts, EveryPageHasItsTextsAndTheyFitTheirPlaces) {
    const std::string file = build_dir() + "/data/texts/gametexts.txt";
    if (!std::filesystem::exists(file)) GTEST_SKIP() << "no generated text tables";
    basedir = build_dir() + "/";
    readgametexts();
    buildfonttables();
    for (int n = 1; n <= 4; ++n) EXPECT_FALSE(gametext(13, n).empty()) << "line " << n;
    for (int p = 1; p <= HELPPAGES; ++p) {
        for (const Slot& s : PAGE_TEXTS[p]) {
            const std::string& t = gametext(13, s.line);
            EXPECT_FALSE(t.empty()) << "page " << p << " line " << s.line;
            std::string lines[WRAPLINES];
            const int n = wraptext(4, t, s.width, 1, lines, WRAPLINES);
            EXPECT_LE(n, s.lines) << "page " << p << " line " << s.line << ": " << t;
            // No line of a wrapped paragraph is left with a single short word.
            if (n > 1) {
                EXPECT_GT(lines[n - 1].size(), 8u) << "page " << p << " line " << s.line << ": " << t;
            }
        }
    }
    // Button captions fit the small buttons.
    for (int n = 2; n <= 4; ++n) EXPECT_LE(textwidth(2, gametext(13, n), 1), 130) << gametext(13, n);
}
}  // namespace

namespace {
// Levels played by the real loop from their entry; without a catalogue every board is just its floor.
class HelpLoop : public ::testing::Test {
protected:
    static void SetUpTestSuite() {
        headless();
        loadmaingraphics();
    }

    void SetUp() override {
        userpath = temp_folder("helppages");
        curplayer = 1;
        mouseactive = 1;
        devkeys = 0;
        // Effects are kept, not dropped as on a struggling machine: the frame rate is held where it is.
        secondtimer.manual = 0;
        harness_frames(1);
        fps = 50;
        wincount = losecount = 0;
        popupkind = popupfade = popupfadedir = 0;
        playseconds[1] = 0;
    }

    void TearDown() override {
        secondtimer.manual = -1;
        inject_key(VK_ESCAPE, 0);
        popupkind = popupfade = popupfadedir = 0;
        fullhelp = 0;
    }

    // Enters a time level and runs it until a popup opens or frame 40 has passed.
    static void enter(int level) {
        curlevel = level;
        level_type[level] = 1;
        level_challenge[level] = 1;
        level_time3[level] = 60;
        level_time2[level] = 90;
        curscreen = screen_map;
        instgame();
        for (int i = 0; i < 200 && popupkind == 0 && level_frames < 40; ++i) harness_frames(1);
    }
    // A board level that opens no page of its own (the catalogue decides where the variant and sleeping stones
    // are explained).
    static int pageless() {
        for (int l = 11; l <= 105; ++l)
            if (level_type[l] == 1 && levelhelppage(l) == 0) return l;
        return 150;
    }
    static void click(int dx, int dy) {
        harness_click(centerx + dx, centery + dy);
        harness_frames(1);
    }
    static void next() { click(165, 218); }
    static void previous() { click(-165, 218); }
    static void closebutton() { click(0, 218); }
    static void escape() {
        inject_key(VK_ESCAPE, 1);
        harness_frames(1);
        inject_key(VK_ESCAPE, 0);
        harness_frames(1);
    }
    // Runs the level past its start and opens the help from the pause menu.
    static void helpfrompause() {
        for (int i = 0; i < 40 && (popupkind != 0 || level_frames < 60); ++i) {
            if (popupkind == 777) popupfadedir = 2;
            harness_frames(1);
        }
        harness_frames(31);  // Escape's repeat delay runs out
        escape();
        ASSERT_EQ(popupkind, 298);
        click(-110, 20);
    }
    static int live(int kind) {
        int n = 0;
        for (int i = 1; i < PARTICLESLOTS; ++i) n += part_kind[i] == kind;
        return n;
    }
};
}  // namespace

TEST_F(HelpLoop, LevelOneOpensThePageOneAndBrowsesOnlyTheFirstFour) {
    enter(1);
    ASSERT_EQ(popupkind, 102);
    EXPECT_EQ(level_frames, 31);  // opened at frame 30 and held there
    EXPECT_EQ(helppage, 1);
    EXPECT_EQ(fullhelp, 0);
    harness_frames(20);
    previous();  // page 1 has no way back
    EXPECT_EQ(helppage, 1);
    for (int p = 2; p <= 4; ++p) {
        next();
        EXPECT_EQ(helppage, p);
        EXPECT_LE(helpframes, 1);  // each page starts its animation afresh
        harness_frames(5);
    }
    next();  // the first tutorial ends at page 4
    EXPECT_EQ(helppage, 4);
    for (int p = 3; p >= 1; --p) {
        previous();
        EXPECT_EQ(helppage, p);
    }
    EXPECT_EQ(popupkind, 102);
    EXPECT_EQ(popupfadedir, 1);
}

TEST_F(HelpLoop, LevelFiveOpensTheMatchThreePageWithOnlyClose) {
    enter(5);
    ASSERT_EQ(popupkind, 102);
    EXPECT_EQ(helppage, 10);
    harness_frames(20);
    next();
    previous();
    EXPECT_EQ(helppage, 10);
    EXPECT_EQ(popupfadedir, 1);
    closebutton();
    EXPECT_EQ(popupfadedir, 2);
    harness_frames(18);
    EXPECT_EQ(popupkind, 0);
}

TEST_F(HelpLoop, ALevelWithoutAPageOpensNothingButTheDifficultyDialog) {
    const int plain = pageless();
    enter(plain);
    EXPECT_EQ(popupkind, 777);  // the first popup of the level, at frame 35
    EXPECT_EQ(level_frames, 36);

    // The page a level has of its own wins also when the pause menu asks for the pages.
    playlevel = 2;
    fullhelp = 1;
    EXPECT_EQ(choosehelppage(), 6);
    playlevel = plain;
    EXPECT_EQ(choosehelppage(), 1);
    fullhelp = 0;
    EXPECT_EQ(choosehelppage(), 0);
}

TEST_F(HelpLoop, ThePauseMenuReachesEveryPageAndLeavesTheLevelWhereItWas) {
    enter(pageless());
    helpfrompause();
    ASSERT_EQ(popupkind, 102);
    EXPECT_EQ(fullhelp, 1);
    EXPECT_EQ(helppage, 1);
    const int frames = level_frames;
    std::set<int> seen{helppage};
    for (int i = 0; i < 14; ++i) {
        harness_frames(3);
        next();
        seen.insert(helppage);
    }
    EXPECT_EQ(seen, (std::set<int>{1, 2, 3, 4, 5, 6, 7, 8, 9, 10, 11, 12, 13}));
    EXPECT_EQ(helppage, 13);  // no page after the last
    previous();
    EXPECT_EQ(helppage, 12);
    EXPECT_EQ(level_frames, frames);  // a level under way is not sent back to its start
    escape();
    EXPECT_EQ(popupfadedir, 2);
    harness_frames(18);
    EXPECT_EQ(popupkind, 0);
    EXPECT_EQ(paused, -1);

    // Entering a level again gives it its own page only.
    enter(4);
    EXPECT_EQ(fullhelp, 0);
    EXPECT_EQ(helppage, 7);
    next();
    EXPECT_EQ(helppage, 7);
}

TEST_F(HelpLoop, TheLevelWaitsAtItsStartWhileThePageIsReadAndEscapeLetsItGo) {
    enter(1);
    ASSERT_EQ(popupkind, 102);
    const int bar = timerbar;
    for (int i = 0; i < 150; ++i) {
        harness_frames(1);
        ASSERT_EQ(level_frames, 31) << "frame " << i;
    }
    EXPECT_EQ(playseconds[1], 0);
    EXPECT_EQ(timerbar, bar);
    escape();
    EXPECT_EQ(popupfadedir, 2);
    harness_frames(15);
    EXPECT_EQ(popupfade, 0);
    EXPECT_EQ(level_frames, 31);  // still held while the page fades out
    for (int i = 0; i < 10 && popupkind != 777; ++i) harness_frames(1);
    EXPECT_EQ(popupkind, 777);  // the level went on to its difficulty dialog
    EXPECT_EQ(level_frames, 36);
}

TEST_F(HelpLoop, PageTwoBurstsAGroupOfOneOfItsFiveColoursWhereTheStonesLie) {
    enter(1);
    ASSERT_EQ(popupkind, 102);
    next();
    ASSERT_EQ(helppage, 2);
    static const int colours[6] = {0, 1, 2, 5, 7, 8};
    // The three stones of each arrangement, as offsets from the centre (the row lies 115 below it).
    static const int stones[6][3][2] = {{},
                                        {{-32, 0}, {32, 0}, {0, 0}},
                                        {{-32, 0}, {-64, 0}, {0, 0}},
                                        {{32, 0}, {64, 0}, {0, 0}},
                                        {{-32, 0}, {-32, -32}, {0, 0}},
                                        {{32, 0}, {32, -32}, {0, 0}}};
    seed_rnd(2024);
    std::set<int> chosen;
    for (int round = 0; round < 30; ++round) {
        clearparticles();
        helpframes = 0;
        harness_frames(1);  // frame 1 picks the colour
        const int k = helpcolour;
        ASSERT_TRUE(k >= 1 && k <= 5) << k;
        chosen.insert(k);
        helpframes = 92;
        harness_frames(2);  // frame 94: the group bursts
        const int c = colours[k];
        for (int other = 861; other <= 869; ++other) EXPECT_EQ(live(other), other == 860 + c ? 24 : 0) << other;
        for (int i = 1; i < PARTICLESLOTS; ++i) {
            if (part_kind[i] != 860 + c) continue;
            bool near = false;
            for (const auto& s : stones[k])
                near = near || (std::abs(part_x[i] - (centerx + s[0])) <= 40 &&
                                std::abs(part_y[i] - (centery + 115 + s[1])) <= 40);
            ASSERT_TRUE(near) << "arrangement " << k << " dirt at " << part_x[i] << "," << part_y[i];
        }
    }
    EXPECT_EQ(chosen, (std::set<int>{1, 2, 3, 4, 5}));
}

namespace {
struct Put {
    ImageData* image;
    float x, y, scale;
};
std::vector<Put> seen;
void seeput(const TImage& image, float x, float y, int) {
    float sx, sy;
    get_scale(&sx, &sy);
    seen.push_back({image.get(), x, y, sx});
}
}  // namespace

TEST_F(HelpLoop, TheAnimalPageBurstsTheTwoStonesUnderTheAnimalAndKeepsTheOneBeside) {
    enter(6);
    ASSERT_EQ(popupkind, 102);
    ASSERT_EQ(helppage, 8);
    clearparticles();
    helpframes = 168;
    harness_frames(1);
    set_draw_observer(seeput);
    seen.clear();
    harness_frames(1);  // frame 170
    set_draw_observer(nullptr);
    EXPECT_EQ(live(861), 16);
    // Both in the animal's column: the dirt spreads 36 px either way around it.
    float sum = 0;
    for (int i = 1; i < PARTICLESLOTS; ++i)
        if (part_kind[i] == 861) sum += part_x[i];
    EXPECT_NEAR(sum / 16, (float)centerx, 8.0f);
    // The stone dropped beside them stays where it landed.
    int beside = 0;
    for (const Put& p : seen)
        beside += p.image == stoneimage[1][1].get() && p.x == centerx - 32 && p.y == centery + 34;
    EXPECT_EQ(beside, 1);
}

TEST_F(HelpLoop, ThePageThreeStonesSlideStraightFourPixelsAFrame) {
    enter(1);
    ASSERT_EQ(popupkind, 102);
    for (int p = 2; p <= 3; ++p) next();
    ASSERT_EQ(helppage, 3);
    set_draw_observer(seeput);
    float last1 = 0, last2 = 0;
    for (int f = 1; f <= 140; ++f) {
        seen.clear();
        helpframes = f - 1;
        harness_frames(1);
        ASSERT_EQ(helpframes, f);
        const Put *one = nullptr, *two = nullptr;
        for (const Put& p : seen) {
            if (p.image == stoneimage[1][1].get()) one = &p;
            if (p.image == stoneimage[1][2].get()) two = &p;
        }
        ASSERT_TRUE(one && two) << "frame " << f;
        EXPECT_EQ(one->x, (float)centerx) << "frame " << f;
        EXPECT_EQ(two->x, (float)centerx) << "frame " << f;
        const bool moving = (f > 50 && f <= 70) || (f > 120 && f <= 140);
        if (f > 1) {
            EXPECT_FLOAT_EQ(std::abs(one->y - last1), moving ? 4.0f : 0.0f) << "frame " << f;
            EXPECT_FLOAT_EQ(std::abs(two->y - last2), moving ? 4.0f : 0.0f) << "frame " << f;
        }
        last1 = one->y;
        last2 = two->y;
        if (f == 90) {  // swapped: stone 1 big below, stone 2 small above
            EXPECT_FLOAT_EQ(one->y, centery + 40.0f);
            EXPECT_FLOAT_EQ(one->scale, 1.0f);
            EXPECT_FLOAT_EQ(two->y, centery - 40.0f);
            EXPECT_FLOAT_EQ(two->scale, 0.5f);
        }
    }
    set_draw_observer(nullptr);
}

TEST(HelpPages, VariantAndSleepingStonesAreExplainedWhereTheyFirstTurnUp) {
    // The catalogue's tables as they are, put back afterwards.
    static int kinds[LEVELSLOTS][LEVELSTONES], types[LEVELSLOTS];
    std::memcpy(kinds, level_stone_kind, sizeof kinds);
    std::memcpy(types, level_type, sizeof types);
    auto blank = [] {
        for (int n = 1; n < LEVELSLOTS; ++n) {
            level_type[n] = 1;
            for (int s = 1; s < LEVELSTONES; ++s) level_stone_kind[n][s] = s <= 12 ? 10 : 0;
        }
    };
    blank();
    for (int n = 1; n <= 150; ++n) EXPECT_EQ(levelhelppage(n) >= 12, false) << n;
    // A level that opens a page of its own keeps it; the next level with such a stone explains it.
    level_stone_kind[4][20] = 63;
    level_stone_kind[14][30] = 69;
    level_stone_kind[33][13] = 61;
    level_stone_kind[7][13] = 21;
    level_stone_kind[9][50] = 29;
    level_stone_kind[12][13] = 21;
    EXPECT_EQ(levelhelppage(4), 7);
    EXPECT_EQ(levelhelppage(14), 12);
    EXPECT_EQ(levelhelppage(33), 0);
    EXPECT_EQ(levelhelppage(7), 9);
    EXPECT_EQ(levelhelppage(9), 13);
    EXPECT_EQ(levelhelppage(12), 0);
    // Both first in one level: the variant page there, the sleeping stones on their next level. A match-3
    // level has no stones.
    blank();
    level_stone_kind[20][13] = 62;
    level_stone_kind[20][14] = 24;
    level_type[25] = 2;
    level_stone_kind[25][14] = 24;
    level_stone_kind[31][14] = 22;
    EXPECT_EQ(levelhelppage(20), 12);
    EXPECT_EQ(levelhelppage(25), 0);
    EXPECT_EQ(levelhelppage(31), 13);
    std::memcpy(level_stone_kind, kinds, sizeof kinds);
    std::memcpy(level_type, types, sizeof types);
}

TEST_F(HelpLoop, TheVariantStoneOutlastsItsGroupAndGoesInTheBlast) {
    enter(1);
    ASSERT_EQ(popupkind, 102);
    helppage = 12;
    clearparticles();
    helpframes = 88;
    harness_frames(2);  // frame 90: the two stones of its colour break (eight grains of dirt each), it stays
    EXPECT_EQ(live(861), 16);
    clearparticles();
    helpframes = 260;
    harness_frames(2);  // frame 262: the superstone's group goes off beside it and takes it along
    EXPECT_EQ(live(862), 18);  // two stones, and two grains of the blast itself
    EXPECT_EQ(live(861), 8);

    // The sleeping stone: the blast beside it breaks its two neighbours of colour 2 and the one of colour 3,
    // and nothing where it lies.
    helppage = 13;
    clearparticles();
    helpframes = 220;
    harness_frames(2);  // frame 222
    EXPECT_EQ(live(862), 18);  // two stones, and two grains of the blast itself
    EXPECT_EQ(live(863), 8);
    EXPECT_EQ(live(861), 0);
}
