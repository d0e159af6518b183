// Gamepads and the device in use: taps shorter than a frame, the stick's dead zone, a pad pulled out, and which
// device the last input came from.
#include <gtest/gtest.h>

#include "platform/inject.h"
#include "platform/input.h"
#include "support/headless.h"

class Pad : public ::testing::Test {
protected:
    void SetUp() override {
        headless();
        input_pump();
        flush_keys();
        flush_mouse();
        input_newframe();
    }
    void TearDown() override { flush_keys(); }
};

TEST_F(Pad, ATapWithinOneFrameReadsAsHeldForThatFrame) {
    inject_pad_button(PAD_CONFIRM, 1);
    inject_pad_button(PAD_CONFIRM, 0);
    input_newframe();
    EXPECT_EQ(pad_down() & PAD_CONFIRM, PAD_CONFIRM);
    input_newframe();
    EXPECT_EQ(pad_down() & PAD_CONFIRM, 0);
    // Held over frames, let go when it is.
    inject_pad_button(PAD_SWAP, 1);
    input_newframe();
    input_newframe();
    EXPECT_EQ(pad_down(), PAD_SWAP);
    inject_pad_button(PAD_SWAP, 0);
    EXPECT_EQ(pad_down(), 0);
}

TEST_F(Pad, TheStickPressesPastHalfWayAndLetsGoNearTheMiddle) {
    inject_pad_axis(0, 12000);  // inside the dead zone
    EXPECT_EQ(pad_down(), 0);
    inject_pad_axis(0, 20000);
    EXPECT_EQ(pad_down(), PAD_RIGHT);
    inject_pad_axis(0, 13000);  // back a little: still held, no chatter at the edge
    EXPECT_EQ(pad_down(), PAD_RIGHT);
    inject_pad_axis(0, 5000);
    EXPECT_EQ(pad_down(), 0);
    inject_pad_axis(1, -32768);
    inject_pad_axis(0, -30000);
    EXPECT_EQ(pad_down(), PAD_UP | PAD_LEFT);
    inject_pad_axis(0, 0);
    inject_pad_axis(1, 0);
    EXPECT_EQ(pad_down(), 0);
}

TEST_F(Pad, FocusLossAndScreenChangesLetGoOfEverything) {
    inject_pad_button(PAD_LEFT, 1);
    inject_pad_axis(1, 30000);
    input_newframe();
    ASSERT_EQ(pad_down(), PAD_LEFT | PAD_DOWN);
    inject_focus(0);
    EXPECT_EQ(pad_down(), 0);
    inject_focus(1);
    while (next_app_event() != -1) {
    }
    inject_pad_button(PAD_NEXT, 1);
    input_newframe();
    flush_keys();  // a screen transition
    EXPECT_EQ(pad_down(), 0);
}

TEST_F(Pad, TheDeviceIsTheOneUsedLast) {
    inject_mouse_move(10, 10);
    inject_mouse_move(20, 30);
    EXPECT_EQ(input_device(), DEVICE_MOUSE);
    inject_key(40, 1);
    EXPECT_EQ(input_device(), DEVICE_KEYS);
    inject_key(40, 0);
    // Escape, letters and the function keys are a mouse player's keys too: they keep the device.
    inject_mouse_move(25, 30);
    inject_key(27, 1);
    inject_key(27, 0);
    inject_key('K', 1);
    inject_key('K', 0);
    EXPECT_EQ(input_device(), DEVICE_MOUSE);
    inject_pad_axis(0, 8000);  // a stick resting off centre is not a player's hand
    EXPECT_EQ(input_device(), DEVICE_MOUSE);
    inject_pad_button(PAD_BACK, 1);
    EXPECT_EQ(input_device(), DEVICE_PAD);
    inject_pad_button(PAD_BACK, 0);
    // The pointer the game moves itself is not the player's: only a move of the hand takes the mouse back.
    move_mouse(300, 200);
    inject_mouse_move(300, 200);
    EXPECT_EQ(input_device(), DEVICE_PAD);
    inject_mouse_move(301, 200);
    EXPECT_EQ(input_device(), DEVICE_MOUSE);
    inject_key(13, 1);
    inject_key(13, 0);
    inject_mouse_button(1, 1);
    EXPECT_EQ(input_device(), DEVICE_MOUSE);
    inject_mouse_button(1, 0);
}
