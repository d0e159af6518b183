#include <gtest/gtest.h>

#include "platform/inject.h"
#include "platform/input.h"
#include "support/headless.h"

class Input : public ::testing::Test {
protected:
    void SetUp() override {
        headless();
        input_pump();
        flush_keys();
        flush_mouse();
        while (next_app_event() != -1) {
        }
    }
};

TEST_F(Input, HeldKeyWithAutoRepeatCountsOneHit) {
    for (int i = 0; i < 20; ++i) inject_key('A', 1);  // auto-repeat sends more presses
    EXPECT_EQ(key_hit('A'), 1);
    EXPECT_EQ(key_hit('A'), 0);
    EXPECT_EQ(key_down('A'), 1);
    input_newframe();  // a frame later
    inject_key('A', 0);
    EXPECT_EQ(key_down('A'), 0);
}

TEST_F(Input, ShortClickBetweenReadsIsNotLost) {
    // A tap: pressed and released between two frames, it counts one hit and reads as held for that frame.
    input_newframe();
    inject_mouse_button(1, 1);
    inject_mouse_button(1, 0);
    input_newframe();
    EXPECT_EQ(mouse_down(1), 1);
    EXPECT_EQ(mouse_hit(1), 1);
    input_newframe();
    EXPECT_EQ(mouse_down(1), 0);
    EXPECT_EQ(mouse_hit(1), 0);
    // A held click is released when it is.
    inject_mouse_button(1, 1);
    input_newframe();
    input_newframe();
    EXPECT_EQ(mouse_down(1), 1);
    inject_mouse_button(1, 0);
    EXPECT_EQ(mouse_down(1), 0);
    mouse_hit(1);
    inject_mouse_button(2, 1);
    inject_mouse_button(2, 0);
    inject_mouse_button(2, 1);
    inject_mouse_button(2, 0);
    EXPECT_EQ(mouse_hit(2), 2);
}

TEST_F(Input, CharacterQueueKeepsTheFirst256) {
    std::string chunk(16, 'x');
    for (int i = 0; i < 16; ++i) inject_text(chunk);
    inject_text("yz");
    input_pump();
    int n = 0, last = 0;
    for (int c = get_char(); c != 0; c = get_char()) {
        ++n;
        last = c;
    }
    EXPECT_EQ(n, 256);
    EXPECT_EQ(last, 'x');
}

TEST_F(Input, TypedTextBackspaceEnterAndLatin1) {
    inject_text("Ab");
    inject_key(VK_BACK, 1);
    inject_key(VK_BACK, 0);
    inject_text("\xc3\xa9");  // e acute
    inject_text("\xd0\x96");  // outside 8 bits: not typed
    inject_key(VK_RETURN, 1);
    inject_key(VK_RETURN, 0);
    EXPECT_EQ(get_char(), 'A');
    EXPECT_EQ(get_char(), 'b');
    EXPECT_EQ(get_char(), 8);
    EXPECT_EQ(get_char(), 0xE9);
    EXPECT_EQ(get_char(), 13);
    EXPECT_EQ(get_char(), 0);
}

TEST_F(Input, FocusChangeForgetsKeysAndClicks) {
    inject_key('Q', 1);
    inject_mouse_button(1, 1);
    inject_focus(0);
    EXPECT_EQ(app_suspended(), 1);
    EXPECT_EQ(key_down('Q'), 0);
    EXPECT_EQ(key_hit('Q'), 0);
    EXPECT_EQ(mouse_hit(1), 0);
    EXPECT_EQ(mouse_down(1), 0);
    inject_focus(1);
    EXPECT_EQ(next_app_event(), 1);
    EXPECT_EQ(next_app_event(), 0);
    EXPECT_EQ(next_app_event(), -1);
}

TEST_F(Input, CloseRequestReportedOnce) {
    inject_close();
    EXPECT_EQ(app_terminate_requested(), 1);
    EXPECT_EQ(app_terminate_requested(), 0);
}
