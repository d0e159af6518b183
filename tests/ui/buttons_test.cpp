#include <gtest/gtest.h>

#include <vector>

#include "app/screenflow.h"
#include "app/shell.h"
#include "support/headless.h"
#include "ui/buttons.h"
#include "ui/menu.h"
#include "ui/popups.h"

namespace {
class Buttons : public ::testing::Test {
protected:
    void SetUp() override {
        headless();
        std::vector<uint8_t> px(100 * 40 * 4, 200);
        set_auto_midhandle(1);
        buttonimage[3] = image_from_rgba(px.data(), 100, 40, 3);
        buttonimage[5] = image_from_rgba(px.data(), 100, 40, 3);
        set_auto_midhandle(0);
        fadestate = 1;
        paused = -1;
        buttonlayer = 1;
        popupkind = 0;
        mhit1 = 0;
        for (int& h : buttonhover) h = 0;
    }
};
}  // namespace

TEST_F(Buttons, ReactsStrictlyInsideItsBox) {
    mx = 300 + 49;
    my = 200;
    EXPECT_EQ(drawbutton(1, 300, 200, 3, 1, "OK"), 2);
    mx = 300 + 50;
    EXPECT_EQ(drawbutton(1, 300, 200, 3, 1, "OK"), 0);
    mx = 300;
    my = 200 - 20;
    EXPECT_EQ(drawbutton(1, 300, 200, 3, 1, "OK"), 0);
    my = 200 - 19;
    EXPECT_EQ(drawbutton(1, 300, 200, 3, 1, "OK"), 2);
}

TEST_F(Buttons, OneClickIsSpentOnOneButton) {
    mx = 300;
    my = 200;
    mhit1 = 1;
    EXPECT_EQ(drawbutton(1, 300, 200, 3, 1, "A"), 3);
    EXPECT_EQ(mhit1, 0);
    EXPECT_EQ(drawbutton(2, 300, 200, 3, 1, "B"), 2);
}

TEST_F(Buttons, NoReactionWhileFadingOutPausedOrOnAnotherLayer) {
    mx = 300;
    my = 200;
    mhit1 = 1;
    fadestate = 2;
    EXPECT_EQ(drawbutton(1, 300, 200, 3, 1, ""), 0);
    fadestate = 1;
    paused = 1;
    EXPECT_EQ(drawbutton(1, 300, 200, 3, 1, ""), 0);
    paused = -1;
    EXPECT_EQ(drawbutton(1, 300, 200, 3, 2, ""), 0);  // a popup button while the screen layer is active
    EXPECT_EQ(drawbutton(1, 300, 200, 3, -1, ""), 0); // an inactive button
    EXPECT_EQ(mhit1, 1);
}

TEST_F(Buttons, HoverCounterRisesToEightAndFallsBack) {
    mx = 300;
    my = 200;
    for (int i = 0; i < 12; ++i) drawbutton(7, 300, 200, 3, 1, "");
    EXPECT_EQ(buttonhover[7], 8);
    mx = 0;
    for (int i = 0; i < 3; ++i) drawbutton(7, 300, 200, 3, 1, "");
    EXPECT_EQ(buttonhover[7], 5);
}

TEST_F(Buttons, SliderKnobReportsHeldOnlyInTheOptions) {
    mx = 300;
    my = 200;
    mdown1 = 1;
    EXPECT_EQ(drawbutton(12, 300, 200, 5, 1, ""), 2);
    popupkind = 100;
    EXPECT_EQ(drawbutton(12, 300, 200, 5, 1, ""), 4);
    EXPECT_EQ(drawbutton(11, 300, 200, 3, 1, ""), 2);  // only knobs are held
    mdown1 = 0;
    popupkind = 0;
}
