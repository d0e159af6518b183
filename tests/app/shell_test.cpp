#include <gtest/gtest.h>
#include <sys/wait.h>
#include <unistd.h>

#include "app/display.h"
#include "app/screenflow.h"
#include "app/shell.h"
#include "platform/inject.h"
#include "platform/input.h"
#include "platform/system.h"
#include "support/headless.h"

class Shell : public ::testing::Test {
protected:
    void SetUp() override {
        headless();
        curscreen = screen_none;
        mouseactive = 1;
        escapedelay = 0;
        input_pump();
        flush_keys();
        flush_mouse();
        windoww = 800;
        windowh = 600;
        virtw = 1024;
        virth = 768;
    }
    void TearDown() override {
        windoww = 800;
        windowh = 600;
        virtw = 1024;
        virth = 768;
        mouseactive = 0;
    }
};

TEST_F(Shell, MouseMapsWindowToLogicalWithTheFixedFactors) {
    inject_mouse_move(400, 300);
    pollinput();
    EXPECT_EQ(mx, 511);
    EXPECT_EQ(my, 383);

    windoww = 1024;
    windowh = 600;
    virtw = 1366;
    inject_mouse_move(512, 300);
    pollinput();
    EXPECT_EQ(mx, 682);
    EXPECT_EQ(my, 383);

    virtw = 1280;
    pollinput();
    EXPECT_EQ(mx, 640);

    // The small fallback window divides exactly.
    windoww = 600;
    windowh = 450;
    virtw = 1024;
    inject_mouse_move(300, 225);
    pollinput();
    EXPECT_EQ(mx, 512);
    EXPECT_EQ(my, 384);
}

TEST_F(Shell, MouseIsNotReadBeforeTheMenu) {
    mouseactive = 0;
    mx = my = 0;
    inject_mouse_move(400, 300);
    inject_mouse_button(1, 1);
    inject_mouse_button(1, 0);
    pollinput();
    EXPECT_EQ(mx, 0);
    EXPECT_EQ(mhit1, 0);
}

TEST_F(Shell, HeldEscapeFiresEvery30Frames) {
    auto fires = [] { return key_escape == 1 && escapedelay == 30; };
    inject_key(VK_ESCAPE, 1);
    std::vector<int> fired;
    for (int f = 1; f <= 70; ++f) {
        pollinput();
        if (fires()) fired.push_back(f);
    }
    EXPECT_EQ(fired, (std::vector<int>{1, 31, 61}));
    inject_key(VK_ESCAPE, 0);

    // Two taps within 30 frames fire once.
    for (int f = 0; f < 40; ++f) pollinput();
    int count = 0;
    for (int f = 1; f <= 30; ++f) {
        if (f == 1 || f == 10) inject_key(VK_ESCAPE, 1);
        if (f == 2 || f == 11) inject_key(VK_ESCAPE, 0);
        pollinput();
        if (fires()) ++count;
    }
    EXPECT_EQ(count, 1);

    // A quick tap, pressed and released between two frames, still reads as held for one frame.
    for (int f = 0; f < 40; ++f) pollinput();
    inject_key(VK_ESCAPE, 1);
    inject_key(VK_ESCAPE, 0);
    pollinput();
    EXPECT_TRUE(fires());
    pollinput();
    EXPECT_EQ(key_escape, 0);
}

TEST_F(Shell, ClicksAndHeldFrames) {
    inject_mouse_button(1, 1);
    pollinput();
    EXPECT_EQ(mhit1, 1);
    EXPECT_EQ(mdown1, 1);
    EXPECT_EQ(mheld1, 1);
    pollinput();
    EXPECT_EQ(mhit1, 0);
    EXPECT_EQ(mheld1, 2);
    inject_mouse_button(1, 0);
    pollinput();
    EXPECT_EQ(mheld1, 0);
}

TEST_F(Shell, DeveloperKeysCountHeldFrames) {
    inject_key(VK_F7, 1);
    pollinput();
    pollinput();
    EXPECT_EQ(f7held, 2);
    inject_key(VK_F7, 0);
    pollinput();
    EXPECT_EQ(f7held, 0);
}

TEST_F(Shell, SuspendPausesOnceAndResumeKeepsThePause) {
    paused = -1;
    appsuspended = 0;
    inject_focus(0);
    pollinput();
    EXPECT_EQ(appsuspended, 2);
    EXPECT_EQ(paused, 1);
    inject_focus(1);
    pollinput();
    EXPECT_EQ(appsuspended, 0);
    EXPECT_EQ(paused, 1);
    paused = -1;
}

TEST_F(Shell, FrameCounterAndWidthShift) {
    int before = framecount;
    virtw = 1280;
    harness_frames(3);
    EXPECT_EQ(framecount, before + 3);
    EXPECT_EQ(widthshift, -43);
    EXPECT_EQ(centerx, 640);
    virtw = 1024;
    harness_frames(1);
    EXPECT_EQ(widthshift, -171);
}

TEST(SingleInstance, ASecondHolderOfTheNameExitsSilently) {
    std::string name = "test-" + std::to_string(getpid());
    ASSERT_EQ(acquire_instance_name(name.c_str()), 1);
    pid_t child = fork();
    if (child == 0) {
        checksingleinstance(name.c_str());
        _exit(7);  // only reached when the guard let a second instance run
    }
    int status = 0;
    waitpid(child, &status, 0);
    ASSERT_TRUE(WIFEXITED(status));
    EXPECT_EQ(WEXITSTATUS(status), 0);

    // Another name is free.
    std::string other = name + "-other";
    pid_t child2 = fork();
    if (child2 == 0) {
        checksingleinstance(other.c_str());
        _exit(7);
    }
    waitpid(child2, &status, 0);
    EXPECT_EQ(WEXITSTATUS(status), 7);
}
