#include <gtest/gtest.h>

#include "app/screenflow.h"
#include "app/shell.h"
#include "support/headless.h"

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
