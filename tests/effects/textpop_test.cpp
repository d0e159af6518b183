#include <gtest/gtest.h>

#include <vector>

#include "platform/draw.h"
#include "platform/imagefile.h"
#include "support/headless.h"
#include "texts/fonts.h"
#include "effects/textpop.h"

TEST(Formatting, TimesAndThousands) {
    EXPECT_EQ(timetext(75), "1:15");
    EXPECT_EQ(timetext(600), "10:00");
    EXPECT_EQ(timetext(3605), "0:05");  // hours are dropped
    EXPECT_EQ(timetext(0), "0:00");
    EXPECT_EQ(numbertext(999), "999");
    EXPECT_EQ(numbertext(1000), "1.000");
    EXPECT_EQ(numbertext(1234567), "1.234.567");
    EXPECT_EQ(numbertext(0), "0");
    EXPECT_EQ(dotgroups("999"), "999");
    EXPECT_EQ(dotgroups("1234"), "1.234");
    EXPECT_EQ(dotgroups("1234567"), "1.234.567");
    EXPECT_EQ(dotgroups("200000"), "200.000");
}

TEST(FloatingNumbers, RiseToTheirTargetFadeAndFree) {
    headless();
    clearfloatnumbers();
    addfloatnumber(300, 100, 100, 3);
    EXPECT_FLOAT_EQ(floattargety[1], 20);  // 100 - 100, raised to 20
    addfloatnumber(50, 10, 500, 1);
    EXPECT_FLOAT_EQ(floattargety[2], 400);
    for (int i = 0; i < 100; ++i) drawfloatnumbers();
    EXPECT_EQ(floatvalue[1], 300);
    EXPECT_NEAR(floaty[1], 20, 0.01);
    drawfloatnumbers();  // the 101st drawing frees it
    EXPECT_EQ(floatvalue[1], 0);
    EXPECT_FLOAT_EQ(get_alpha(), 1);

    // When all slots are taken, the last one is overwritten.
    for (int i = 1; i <= 25; ++i) addfloatnumber(i, 0, 300, 2);
    EXPECT_EQ(floatvalue[19], 19);
    EXPECT_EQ(floatvalue[20], 25);
    clearfloatnumbers();
}

namespace {
// A font sheet of solid white cells so the headline has something to draw.
void load_test_effect_font() {
    std::string dir = temp_folder("popfont");
    const int cw = 8, ch = 8, cols = 10, rows = 11;
    std::vector<uint8_t> px((size_t)cw * cols * ch * rows * 4, 255);
    write_png_file(dir + "f.png", px.data(), cw * cols, ch * rows);
    buildfonttables();
    fontimage[3] = load_anim_image(dir + "f.png", cw, ch, 0, 110, -1);
}
}  // namespace

TEST(Headline, LettersLandInTurnAndTheCallLeavesNoStateBehind) {
    headless();
    load_test_effect_font();
    ASSERT_TRUE(fontimage[3]);
    // Five letters: one every 6 frames; each lands 10 frames after it appears (letter 1 appears at t = 7).
    std::vector<int> landed;
    set_blend(BLEND_ALPHA);
    for (int t = 0; t <= 60; ++t) {
        screenshake = 0;
        set_alpha(0.8f);
        drawtextpop(3, "HELLO", 512, 300, 3, 1.0f, t, 0, 100, 0.5f, 1, 1, 0.5f, 0);
        if (screenshake == 10) landed.push_back(t);
        EXPECT_FLOAT_EQ(get_alpha(), 0.8f);
        EXPECT_EQ(get_blend(), BLEND_ALPHA);
        float sx, sy;
        get_scale(&sx, &sy);
        EXPECT_FLOAT_EQ(sx, 1);
    }
    EXPECT_EQ(landed, (std::vector<int>{16, 22, 28, 34, 40}));
    // Thirteen letters or more: one per frame.
    landed.clear();
    for (int t = 0; t <= 40; ++t) {
        screenshake = 0;
        drawtextpop(3, "ABCDEFGHIJKLMN", 512, 300, 3, 1.0f, t, 0, 100, 0, 1, 1, 1, 0);
        if (screenshake == 10) landed.push_back(t);
    }
    ASSERT_FALSE(landed.empty());
    EXPECT_EQ(landed.front(), 11);
    EXPECT_EQ(landed[1], 12);
    // Outside its window it draws nothing and touches nothing.
    set_blend(BLEND_LIGHT);
    drawtextpop(3, "HELLO", 512, 300, 3, 1.0f, 100, 0, 100, 0, 1, 1, 1, 0);
    EXPECT_EQ(get_blend(), BLEND_LIGHT);
    set_blend(BLEND_ALPHA);
    set_alpha(1);
}
