#include <gtest/gtest.h>

#include "app/screenflow.h"
#include "app/shell.h"
#include "aztec/board.h"
#include "aztec/levelrun.h"
#include "storage/players.h"
#include "match3/match3.h"
#include "screens/intro.h"
#include "screens/map.h"
#include "screens/story.h"
#include "storage/settings.h"
#include "support/headless.h"
#include "ui/menu.h"

TEST(ScreenFlow, FadeOutIs17FramesAndTheEntryRunsAtMinus16) {
    headless();
    fadestate = 1;
    fadelevel = 256;
    curscreen = screen_none;
    mhit1 = 1;
    gotoscreen(1234, 0);  // an id without an entry function stays black
    EXPECT_EQ(mhit1, 0);
    EXPECT_EQ(fadelevel, 256);
    int frames = 0;
    while (fadelevel > -16) {
        updatefade();
        ++frames;
    }
    EXPECT_EQ(frames, 17);
    updatefade();
    EXPECT_EQ(fadestate, 2);
    EXPECT_EQ(fadelevel, -16);

    startfadein();
    frames = 0;
    while (fadelevel < 256) {
        updatefade();
        ++frames;
    }
    EXPECT_EQ(frames, 16);
}

TEST(ScreenFlow, QuitTargetEndsTheLoop) {
    headless();
    quitrequested = 0;
    gotoscreen(screen_quit, 0);
    for (int i = 0; i < 17; ++i) updatefade();
    EXPECT_EQ(quitrequested, 1);
    quitrequested = 0;
}

TEST(ScreenFlow, AChangeShowsTheOldScreenDarkeningThenTheNewOneBrightening) {
    headless();
    curscreen = screen_none;
    fadestate = 1;
    fadelevel = 256;
    gotoscreen(screen_intro, 1);
    std::vector<int> levels;
    for (int f = 1; f <= 16; ++f) {
        harness_frames(1);
        ASSERT_EQ(curscreen, screen_none) << "frame " << f;
        levels.push_back(fadelevel);
    }
    EXPECT_EQ(levels.front(), 240);
    EXPECT_EQ(levels.back(), 0);
    // The frame that reaches black enters the new screen, which is drawn in that same frame.
    harness_frames(1);
    EXPECT_NE(curscreen, screen_none);
    EXPECT_EQ(fadestate, 1);
    EXPECT_EQ(fadelevel, 0);
    int entered = curscreen;
    for (int f = 1; f <= 16; ++f) {
        harness_frames(1);
        EXPECT_EQ(fadelevel, 16 * f);
    }
    EXPECT_EQ(curscreen, entered);
    EXPECT_EQ(fadelevel, 256);
}

TEST(ScreenFlow, ANewerRequestDuringTheFadeRestartsIt) {
    headless();
    fadestate = 1;
    gotoscreen(screen_quit, 0);
    for (int i = 0; i < 10; ++i) updatefade();
    quitrequested = 0;
    gotoscreen(1234, 0);
    EXPECT_EQ(fadelevel, 256);
    for (int i = 0; i < 30; ++i) updatefade();
    EXPECT_EQ(quitrequested, 0);
    EXPECT_EQ(nextscreen, 1234);
}

TEST(ScreenFlow, LevelsThatOpenAChapterShowTheStoryFirst) {
    headless();
    curplayer = -1;
    for (int level : {1, 16, 31, 46, 61, 76, 91}) {
        startlevel(level);
        EXPECT_EQ(nextscreen, screen_story) << level;
        EXPECT_EQ(nextscreenarg, (level - 1) / 15 + 1);
    }
    for (int level : {2, 15, 17, 90, 105, 106, 121}) {
        startlevel(level);
        EXPECT_EQ(nextscreen, screen_game) << level;
        EXPECT_EQ(nextscreenarg, 0);
    }

    // A fresh profile starts its adventure at level 1.
    curplayer = 4;
    resetplayer(4);
    curlevel = 0;
    resumeflag = 0;
    startlevel(1);
    EXPECT_EQ(playerlevel[4], 1);
    EXPECT_EQ(maxlevel[4], 1);
    EXPECT_EQ(curlevel, 1);
    EXPECT_EQ(resumeflag, 1);
    EXPECT_EQ(nextscreen, screen_story);

    // A profile under way keeps its levels.
    playerlevel[4] = 17;
    maxlevel[4] = 17;
    curlevel = 17;
    resumeflag = 0;
    startlevel(17);
    EXPECT_EQ(playerlevel[4], 17);
    EXPECT_EQ(resumeflag, 0);
    EXPECT_EQ(nextscreen, screen_game);
    curplayer = -1;
    fadestate = 1;
    fadelevel = 256;
}

TEST(ScreenFlow, EnteringAScreenFreesEveryOtherScreensPerVisitMedia) {
    headless();
    // Every screen has exactly one row, with all three functions.
    const int ids[] = {screen_intro, screen_load, screen_menu, screen_game, screen_map, screen_story};
    EXPECT_EQ(screenrows, 6);
    for (int id : ids) {
        int rows = 0;
        for (int i = 0; i < screenrows; ++i)
            if (screentable[i].id == id) {
                ++rows;
                EXPECT_TRUE(screentable[i].enter && screentable[i].show && screentable[i].freedynamic) << id;
            }
        EXPECT_EQ(rows, 1) << id;
    }

    // Leftovers of every other screen, as if each had just been on screen.
    const uint8_t pixel[4] = {255, 255, 255, 255};
    const TImage left = image_from_rgba(pixel, 1, 1, 0);
    menubg1img = navfullimg = gameboardimg = m3backdrop = loadbarimage = pageimage[1] = left;
    storybgimg = nullptr;
    curscreen = screen_map;
    fadestate = 1;
    gotoscreen(screen_story, 3);
    for (int f = 0; f < 17; ++f) updatefade();
    EXPECT_EQ(curscreen, screen_story);
    EXPECT_EQ(storychapter, 3);
    EXPECT_FALSE(menubg1img);
    EXPECT_FALSE(navfullimg);
    EXPECT_FALSE(gameboardimg);
    EXPECT_FALSE(m3backdrop);
    EXPECT_FALSE(loadbarimage);
    EXPECT_FALSE(pageimage[1]);
}
