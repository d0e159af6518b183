#include <gtest/gtest.h>

#include <array>
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

namespace {
struct Glyph {
    float x, y, rotation, alpha, scale;
    int frame, blend;
};
std::vector<Glyph> seen;
const ImageData* watched = nullptr;
void watch(const TImage& image, float x, float y, int frame) {
    if (image.get() != watched) return;
    float sx, sy;
    get_scale(&sx, &sy);
    seen.push_back({x, y, get_rotation(), get_alpha(), sx, frame, get_blend()});
}

// The slanted counters, drawn from a font 2 sheet of 128 blank cells whose frames the test reads back.
class SlantedDigits : public ::testing::Test {
protected:
    void SetUp() override {
        headless();
        saved = fontimage[2];
        std::string dir = temp_folder("slanted");
        std::vector<uint8_t> px((size_t)8 * 16 * 8 * 8 * 4, 255);
        write_png_file(dir + "f2.png", px.data(), 8 * 16, 8 * 8);
        fontimage[2] = load_anim_image(dir + "f2.png", 8, 8, 0, 128, -1);
        ASSERT_TRUE(fontimage[2]);
        watched = fontimage[2].get();
        seen.clear();
        set_rotation(0);
        set_scale(1, 1);
        set_draw_observer(watch);
    }
    void TearDown() override {
        set_draw_observer(nullptr);
        fontimage[2] = saved;
        set_scale(1, 1);
        set_rotation(0);
    }
    // Each glyph drawn: frame, where, and at what rotation; the rotation is given back afterwards.
    void expect(const std::vector<std::array<float, 3>>& glyphs, float rotation) {
        ASSERT_EQ(seen.size(), glyphs.size());
        for (size_t g = 0; g < glyphs.size(); ++g) {
            EXPECT_EQ(seen[g].frame, (int)glyphs[g][0]) << "glyph " << g;
            EXPECT_NEAR(seen[g].x, glyphs[g][1], 1e-3f) << "glyph " << g;
            EXPECT_NEAR(seen[g].y, glyphs[g][2], 1e-3f) << "glyph " << g;
            EXPECT_FLOAT_EQ(seen[g].rotation, rotation) << "glyph " << g;
        }
        EXPECT_FLOAT_EQ(get_rotation(), 0);
        float sx, sy;
        get_scale(&sx, &sy);
        EXPECT_FLOAT_EQ(sx, 1);
        seen.clear();
    }
    TImage saved;
};
}  // namespace

TEST_F(SlantedDigits, TheScoreRunsFromItsUnitsLeftwardsWithAGapBeforeEachDot) {
    // 1.234.567: 7 6 5 . 4 3 2 . 1, starting 5 per dot right and 1 per dot down, each glyph 10 left and 0.8 down,
    // 4 back after the third and the seventh.
    drawdigits_slanted(100, 200, 1234567);
    expect({{65, 110, 202},
            {64, 100, 202.8f},
            {63, 90, 203.6f},
            {80, 84, 204.4f},
            {62, 74, 205.2f},
            {61, 64, 206},
            {60, 54, 206.8f},
            {80, 48, 207.6f},
            {59, 38, 208.4f}},
           -3);
    drawdigits_slanted(100, 200, 42);
    expect({{60, 100, 200}, {62, 90, 200.8f}}, -3);
    // Below zero shows 0; the counter holds nine digits at most.
    drawdigits_slanted(100, 200, -5);
    expect({{58, 100, 200}}, -3);
    drawdigits_slanted(0, 0, 2000000000);
    ASSERT_EQ(seen.size(), 11u);
    EXPECT_EQ(seen.back().frame, 58 + 9);
    seen.clear();
}

TEST_F(SlantedDigits, TheAnimalCountIsADigitASlashAndADigitRisingToTheRight) {
    drawfraction_slanted(300, 100, 2, 5);
    expect({{60, 285, 101}, {74, 295, 100.2f}, {63, 305, 99.4f}}, -3);
}

TEST_F(SlantedDigits, ShotsAndTimesFollowTheirAngle) {
    // Shots: from the units digit leftwards, rising by a fifth of the angle per digit (0.7 of it per step).
    drawdigits_slanted_angle(400, 300, 42, 5);
    expect({{60, 410, 302}, {62, 400, 301.3f}}, 5);
    drawdigits_slanted_angle(400, 300, 7, -3);
    expect({{65, 405, 299.4f}}, -3);
    drawdigits_slanted_angle(400, 300, 1234, 0);  // three digits at most
    expect({{67, 415, 300}, {67, 405, 300}, {67, 395, 300}}, 0);
    // Time: MM:SS left to right, the colon's gap 4 narrower; hours are dropped.
    drawtime_slanted(500, 300, 754, 5);  // 12:34
    expect({{59, 475, 305}, {60, 485, 305.7f}, {85, 495, 306.4f}, {61, 501, 307.1f}, {62, 511, 307.8f}}, 5);
    drawtime_slanted(500, 300, 3725, 0);  // 1:02:05 shows 02:05
    expect({{58, 475, 300}, {60, 485, 300}, {85, 495, 300}, {58, 501, 300}, {63, 511, 300}}, 0);
}

TEST_F(SlantedDigits, WithoutTheFontNothingIsDrawn) {
    fontimage[2] = nullptr;
    drawdigits_slanted(0, 0, 5);
    drawfraction_slanted(0, 0, 1, 2);
    drawdigits_slanted_angle(0, 0, 5, 5);
    drawtime_slanted(0, 0, 5, 5);
    EXPECT_TRUE(seen.empty());
    EXPECT_FLOAT_EQ(get_rotation(), 0);
}

TEST(Headline, EachLetterShrinksFromDoubleSizeAndFadesInOverTenFramesThenAllFadeOutTogether) {
    headless();
    load_test_effect_font();
    ASSERT_TRUE(fontimage[3]);
    watched = fontimage[3].get();
    set_draw_observer(watch);
    // Five letters, one every 6 frames from start 0: letter 1 appears at t = 7, letter 2 at t = 13.
    auto at = [](int t, float a0, float glow = 0, float b = 1) {
        seen.clear();
        set_alpha(a0);
        drawtextpop(3, "HELLO", 512, 300, 3, 0.8f, t, 0, 100, glow, 1, 1, b, 0);
        return seen;
    };
    EXPECT_TRUE(at(6, 1).empty());
    std::vector<Glyph> g = at(7, 0.5f);
    ASSERT_EQ(g.size(), 1u);
    EXPECT_NEAR(g[0].alpha, 0.05f, 1e-5f);
    EXPECT_NEAR(g[0].scale, 1.9f * 0.8f, 1e-5f);
    g = at(12, 1);
    ASSERT_EQ(g.size(), 1u);
    EXPECT_NEAR(g[0].alpha, 0.6f, 1e-5f);
    EXPECT_NEAR(g[0].scale, 1.4f * 0.8f, 1e-5f);
    g = at(16, 1);
    ASSERT_EQ(g.size(), 2u);
    EXPECT_NEAR(g[0].alpha, 1, 1e-5f);
    EXPECT_NEAR(g[0].scale, 0.8f, 1e-5f);  // landed: its own size from now on
    EXPECT_NEAR(g[1].alpha, 0.4f, 1e-5f);
    EXPECT_NEAR(g[1].scale, 1.6f * 0.8f, 1e-5f);
    EXPECT_GT(g[1].x, g[0].x);
    // From 20 frames before the end every letter fades together, whatever alpha was in force.
    for (int t : {80, 90, 99}) {
        g = at(t, 1);
        ASSERT_EQ(g.size(), 5u) << t;
        for (const Glyph& l : g) {
            EXPECT_NEAR(l.alpha, t == 80 ? 1.0f : (100 - t) * 0.05f, 1e-5f) << t;
            EXPECT_NEAR(l.scale, 0.8f, 1e-5f);
        }
    }
    EXPECT_NEAR(at(60, 0.7f)[4].alpha, 0.7f, 1e-5f);
    // A tinted headline draws each letter twice, a glowing one adds a third pass that adds light.
    g = at(60, 0.6f, 0.5f, 0.5f);
    ASSERT_EQ(g.size(), 15u);
    EXPECT_EQ(g[0].blend, BLEND_ALPHA);
    EXPECT_NEAR(g[1].alpha, 0.6f, 1e-5f);
    EXPECT_EQ(g[2].blend, BLEND_LIGHT);
    EXPECT_NEAR(g[2].alpha, 0.6f * 0.5f, 1e-5f);
    set_draw_observer(nullptr);
    set_alpha(1);
    set_blend(BLEND_ALPHA);
}
