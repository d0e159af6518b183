#include <gtest/gtest.h>

#include <cmath>
#include <cstdlib>
#include <filesystem>

#include "app/display.h"
#include "app/harness.h"
#include "app/screenflow.h"
#include "app/shell.h"
#include "aztec/board.h"
#include "aztec/levelrun.h"
#include "effects/particles.h"
#include "platform/input.h"
#include "platform/inject.h"
#include "screens/map.h"
#include "app/profiles.h"
#include "storage/settings.h"
#include "support/datafolder.h"
#include "support/headless.h"
#include "aztec/catalogue.h"
#include "effects/textpop.h"
#include "texts/texttables.h"
#include "ui/menu.h"
#include "ui/popups.h"

namespace {

// Logical point away from every node and button: between the first two rows, right of the last column.
const int RESTX = 1020, RESTY = 190;

class Map : public ::testing::Test {
protected:
    void SetUp() override {
        headless();
        resident_media();
        if (!buttonimage[13] || !buttonimage[10]) GTEST_SKIP() << "map button images not generated";
        userpath = temp_folder("map");
        curplayer = 1;
        resetplayer(1);
        playername[1] = "TESTER";
        devkeys = 0;
        newlevelwon = 0;
        playlevel = curlevel = 0;
        wincount = losecount = 0;
        screenshake = 0;
        popupkind = popupfade = 0;
        paused = -1;
        clearparticles();
        rest();
    }

    static void rest() {
        int wx, wy;
        harness_window_point(RESTX, RESTY, &wx, &wy);
        inject_mouse_move(wx, wy);
    }

    static void unlockupto(int highest) {
        for (int l = 1; l < highest; ++l) levelstate[1][l] = 101;
        levelstate[1][highest] = 101;
        maxlevel[1] = highest;
        playerlevel[1] = highest;
    }

    // Enters the map through the real fade from `from`; the entry frame is the map's first frame.
    static void enterfrom(int from) {
        curscreen = from;
        fadestate = 1;
        gotoscreen(screen_map, 0);
        harness_frames(17);
        ASSERT_EQ(curscreen, screen_map);
        ASSERT_EQ(mapframes, 1);
    }

    static void runto(int frame) {
        while (mapframes < frame) harness_frames(1);
    }

    static void click(int x, int y) {
        harness_click(x, y);
        harness_frames(1);
        rest();
    }

    // Where level l's node sits on the 1024-wide screen once the scroll has come to rest on its section.
    static int nodex(int l) { return 188 * ((l - 1) % 5 + 1) - 28 - 25; }
    static int nodey(int l) { return 180 * (((l - 1) % 15) / 5 + 1) - 80; }

    static int liveparticles() {
        int n = 0;
        for (int i = 1; i < PARTICLESLOTS; ++i) n += part_kind[i] != 0;
        return n;
    }
};

}  // namespace

TEST_F(Map, OpensOnTheSectionOfTheLastLevelOrTheHighestReached) {
    unlockupto(20);
    levelstate[1][3] = 0;  // a level below the highest that never got its state
    enterfrom(screen_menu);
    EXPECT_EQ(mapsection, 2);
    EXPECT_EQ(levelstate[1][3], 101);
    EXPECT_EQ(levelstate[1][21], 0);
    EXPECT_FLOAT_EQ(mapscroll, -1366 + 100 - 10);  // starts 100 right of its place, one slide step already made
    runto(120);
    EXPECT_NEAR(mapscroll, -1366, 0.5);

    playlevel = 47;
    enterfrom(screen_game);
    EXPECT_EQ(mapsection, 4);
    playlevel = 12;
    enterfrom(screen_game);
    EXPECT_EQ(mapsection, 1);

    playlevel = 0;
    resetplayer(1);
    enterfrom(screen_menu);
    EXPECT_EQ(mapsection, 1);
}

TEST_F(Map, NodeTableHoldsSevenSectionsOfFifteen) {
    buildlevelnodes();
    EXPECT_EQ(levelnode[1].x, 160);
    EXPECT_EQ(levelnode[1].y, 100);
    EXPECT_EQ(levelnode[15].x, 912);
    EXPECT_EQ(levelnode[15].y, 460);
    EXPECT_EQ(levelnode[23].x, 1366 + 536);
    EXPECT_EQ(levelnode[23].y, 280);
    EXPECT_EQ(levelnode[105].x, 6 * 1366 + 912);
    int active = 0;
    for (int l = 0; l < MAPNODES; ++l) active += levelnode[l].active;
    EXPECT_EQ(active, 105);
    EXPECT_EQ(levelnode[106].active, 0);
    EXPECT_EQ(levelnode[0].active, 0);
}

TEST_F(Map, WonSectionEndDropsStarsThenScrollsOnAndBreaksTheNextChain) {
    unlockupto(30);
    levelstate[1][31] = 1;  // as the win left it
    maxlevel[1] = 31;
    levelstars[1][30] = 3;
    newlevelwon = 30;
    playlevel = 30;
    enterfrom(screen_game);
    ASSERT_EQ(mapsection, 2);

    // The stars of level 30 land one after another, 8 frames apart, the first from frame 38.
    const int sx1 = nodex(30) - 44, sx3 = nodex(30), sy = nodey(30) + 37;
    runto(37);
    int w, h;
    auto f38 = harness_frame_rgba(&w, &h);
    ASSERT_EQ(mapframes, 38);
    runto(49);
    auto f50 = harness_frame_rgba(&w, &h);
    runto(69);
    auto f70 = harness_frame_rgba(&w, &h);
    // A star that lands changes its place's colour; the map still settling moves it by a shade at most.
    auto landed = [&](const std::vector<uint8_t>& a, const std::vector<uint8_t>& b, int x) {
        const uint32_t p = frame_pixel(a.data(), w, x, sy), q = frame_pixel(b.data(), w, x, sy);
        int d = 0;
        for (int s = 8; s < 32; s += 8) d += std::abs((int)(p >> s & 255) - (int)(q >> s & 255));
        return d > 24;
    };
    EXPECT_TRUE(landed(f38, f70, sx1));
    EXPECT_TRUE(landed(f50, f38, sx1));
    EXPECT_FALSE(landed(f50, f38, sx3));
    EXPECT_TRUE(landed(f70, f38, sx3));

    runto(87);
    EXPECT_EQ(mapsection, 2);
    EXPECT_EQ(levelstate[1][31], 88);
    EXPECT_EQ(liveparticles(), 0);
    runto(88);
    EXPECT_EQ(mapsection, 3);
    EXPECT_EQ(levelstate[1][31], 2);  // restarted at 1, then counted this frame
    runto(100);
    EXPECT_EQ(newlevelwon, 0);
    runto(175);
    EXPECT_EQ(levelstate[1][31], 89);
    EXPECT_EQ(liveparticles(), 0);
    runto(176);
    EXPECT_EQ(levelstate[1][31], 90);
    EXPECT_GT(liveparticles(), 0);
    runto(200);
    EXPECT_EQ(levelstate[1][31], 90);
    EXPECT_NEAR(mapscroll, -2 * 1366, 1);
}

TEST_F(Map, NewRankCountsCelebratesAndSettles) {
    unlockupto(5);
    playerscore[1] = 35000;
    enterfrom(screen_menu);
    const float home = (float)(virth - 70);
    runto(50);
    EXPECT_EQ(rankcounter[1][1], 0);
    EXPECT_FLOAT_EQ(rankbary, home);
    runto(52);
    EXPECT_EQ(rankcounter[1][1], 2);
    EXPECT_EQ(rankcelebration, 2);
    EXPECT_GT(liveparticles(), 0);
    runto(149);
    EXPECT_EQ(heldrank(1), 0);
    EXPECT_NEAR(rankbary, centery + 50, 0.01);  // flown to the middle
    EXPECT_NEAR(rankbarscale, 1, 0.01);
    runto(150);
    EXPECT_EQ(heldrank(1), 1);
    runto(249);
    EXPECT_NEAR(rankbary, centery + 50, 0.01);  // held there until the celebration nears its end
    runto(250);
    EXPECT_GT(rankbary, centery + 50 + 20);
    runto(300);
    EXPECT_EQ(rankcounter[1][1], 250);
    EXPECT_EQ(rankcounter[1][2], 0);
    runto(302);
    EXPECT_EQ(rankcounter[1][1], 250);
    EXPECT_EQ(rankcelebration, 0);
    EXPECT_NEAR(rankbary, home, 0.01);
    EXPECT_NEAR(rankbarscale, 0.75, 0.01);
}

TEST_F(Map, RankBarFillAndScoreLine) {
    setrankthresholds();
    const std::string points = " " + gametext(7, 3);
    EXPECT_EQ(rankfillpixels_for(200000, 2), 67);
    EXPECT_EQ(rankscoretext(200000, 2), "200.000/500.000" + points);
    EXPECT_EQ(rankfillpixels_for(0, 0), 0);
    EXPECT_EQ(rankfillpixels_for(15000, 0), 135);
    EXPECT_EQ(rankscoretext(15000, 0), "15.000/30.000" + points);
    // While a new rank's counter still runs the score is already past the next threshold: the bar stays full.
    EXPECT_EQ(rankfillpixels_for(150000, 0), 270);
    EXPECT_EQ(rankfillpixels_for(2147483647, 9), 270);
    // The top rank has nothing above it: a full bar and the score alone.
    EXPECT_EQ(rankfillpixels_for(123456789, 10), 270);
    EXPECT_EQ(rankscoretext(123456789, 10), "123.456.789" + points);
}

TEST_F(Map, NodesStartOnlyUnlockedLevelsAndPreviewAfterFrame100) {
    unlockupto(7);
    levelinprogress[1] = 1;
    playerlevel[1] = 7;
    stone_kind[1][10] = 3;
    enterfrom(screen_menu);
    runto(110);

    // A locked level: nothing starts, nothing is reset.
    click(nodex(8), nodey(8));
    EXPECT_EQ(fadestate, 1);
    EXPECT_EQ(curlevel, 0);
    EXPECT_EQ(playerlevel[1], 7);
    EXPECT_EQ(levelinprogress[1], 1);

    // Resting on an unlocked node opens its preview, fading in over 20 frames.
    int wx, wy;
    harness_window_point(nodex(3), nodey(3), &wx, &wy);
    inject_mouse_move(wx, wy);
    harness_frames(5);
    EXPECT_EQ(hoveredlevel, 3);
    EXPECT_EQ(previewfade, 5);
    harness_frames(30);
    EXPECT_EQ(previewfade, 20);

    // Choosing another level than the one in progress drops the stored board.
    click(nodex(3), nodey(3));
    EXPECT_EQ(curlevel, 3);
    EXPECT_EQ(playerlevel[1], 3);
    EXPECT_EQ(levelinprogress[1], 0);
    EXPECT_EQ(stone_kind[1][10], -1);
}

TEST_F(Map, SectionBarArrowsAndButtons) {
    unlockupto(5);
    enterfrom(screen_menu);
    click(centerx + 250, virth - 180);
    EXPECT_EQ(mapsection, 2);
    click(centerx - 256 + 64 * 7, virth - 179);
    EXPECT_EQ(mapsection, 7);
    click(centerx + 250, virth - 180);  // no section past the last
    EXPECT_EQ(mapsection, 7);
    click(centerx - 250, virth - 180);
    EXPECT_EQ(mapsection, 6);
    click(centerx - 256 + 64, virth - 179);
    click(centerx - 250, virth - 180);
    EXPECT_EQ(mapsection, 1);
}

TEST_F(Map, BottomButtonsSaveForTheMenuContinueOrOpenTheFinale) {
    namespace fs = std::filesystem;
    unlockupto(12);
    playerlevel[1] = 5;
    levelinprogress[1] = 1;
    enterfrom(screen_menu);
    click(centerx + 350, virth - 50);
    EXPECT_EQ(curlevel, 12);
    EXPECT_EQ(playerlevel[1], 12);
    EXPECT_EQ(levelinprogress[1], 0);

    maxlevel[1] = 106;
    enterfrom(screen_menu);
    click(centerx + 350, virth - 50);
    EXPECT_EQ(fadestate, 2);
    EXPECT_EQ(nextscreen, screen_story);
    EXPECT_EQ(nextscreenarg, 8);

    enterfrom(screen_menu);
    ASSERT_FALSE(fs::exists(playerfile(1)));
    click(centerx - 350, virth - 50);
    EXPECT_EQ(nextscreen, screen_menu);
    EXPECT_TRUE(fs::exists(playerfile(1)));
}

// A fresh profile plays its way in: menu, the first chapter, level 1 won, back on the map where level 2 opens,
// and on to level 2 from its node.
TEST_F(Map, FreshProfileRunsFromTheMenuThroughLevelOneToLevelTwo) {
    playerlevel[1] = 0;
    // The menu as the loading screen hands it over: the picture already faded in.
    curscreen = screen_load;
    fadestate = 1;
    fadelevel = 255;
    instmenu();
    harness_frames(30);
    click(centerx + 300, centery);  // the menu's first button: play
    ASSERT_EQ(nextscreen, screen_story);
    ASSERT_EQ(nextscreenarg, 1);
    EXPECT_EQ(playerlevel[1], 1);
    EXPECT_EQ(curlevel, 1);
    harness_frames(17);
    ASSERT_EQ(curscreen, screen_story);
    harness_frames(30);
    click(virtw - 140, virth - 40);  // the chapter's button on to the level
    for (int f = 0; f < 80 && curscreen != screen_game; ++f) harness_frames(1);
    ASSERT_EQ(curscreen, screen_game);
    ASSERT_EQ(playlevel, 1);

    // Win at once with the developer key, then let the win screen run out.
    devkeys = 1;
    inject_key(VK_F3, 1);
    harness_frames(2);
    inject_key(VK_F3, 0);
    for (int f = 0; f < 1200 && curscreen != screen_map; ++f) harness_frames(1);
    ASSERT_EQ(curscreen, screen_map);
    EXPECT_EQ(maxlevel[1], 2);
    EXPECT_GT(levelstars[1][1], 0);
    EXPECT_EQ(newlevelwon, 1);
    EXPECT_EQ(mapsection, 1);
    EXPECT_GT(levelstate[1][2], 0);
    EXPECT_LT(levelstate[1][2], 90);  // its chain is breaking
    runto(120);
    EXPECT_GE(levelstate[1][2], 90);

    click(nodex(2), nodey(2));
    EXPECT_EQ(curlevel, 2);
    for (int f = 0; f < 40 && curscreen != screen_game; ++f) harness_frames(1);
    ASSERT_EQ(curscreen, screen_game);
    EXPECT_EQ(playlevel, 2);
}
