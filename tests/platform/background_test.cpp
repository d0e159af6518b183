#include "platform/background.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <vector>

#include "app/display.h"
#include "app/screenflow.h"
#include "effects/effects.h"
#include "platform/paths.h"
#include "platform/random.h"
#include "storage/settings.h"
#include "support/headless.h"
#include "support/datafolder.h"

namespace {

class Background : public ::testing::Test {
protected:
    std::string base;

    void SetUp() override {
        base = own_data_folder();
        bganimation = 1;
        freefireflies();
        freebutterflies();
    }
    void TearDown() override {
        freegamebg();
        bganimation = 1;
        build_data_folder();
    }

    void image(const std::string& name, int w, int h, uint8_t r, uint8_t g, uint8_t b) {
        ASSERT_TRUE(write_solid_png(base + "data/bg/" + name, w, h, r, g, b));
    }

    // Draws one frame of the background alone, and reads it back.
    void draw(float target_x) {
        clear_screen();
        resetdrawing();
        set_color(255, 255, 255);
        drawbackground(target_x);
    }
    std::vector<uint8_t> frame(float target_x) {
        draw(target_x);
        return read_frame_rgba(&w, &h);
    }
    uint32_t at(const std::vector<uint8_t>& px, int x, int y) { return frame_pixel(px.data(), w, x, y); }
    int w = 0, h = 0;
};

}  // namespace

TEST_F(Background, ParallaxSettlesWithTheMouseStill) {
    image("bg11/1.jpg", 1100, 768, 40, 40, 40);
    image("bg11/3.png", 20, 768, 0, 255, 0);
    image("bg11/4.png", 20, 768, 255, 255, 255);
    loadgamebg_dynamic(11);
    EXPECT_EQ(bgphase, 0.0f);

    draw((float)virtw);
    EXPECT_FLOAT_EQ(bgphase, 0.1f * virtw);  // a tenth of the way per frame
    for (int i = 0; i < 200; ++i) draw((float)virtw);
    EXPECT_NEAR(bgphase, virtw, 0.01);

    // Mouse at the right edge of a 1024-wide screen: layer 4 sits 46 pixels left of centre, layer 3 26 pixels,
    // layer 1 does not move.
    std::vector<uint8_t> px = frame((float)virtw);
    EXPECT_EQ(at(px, centerx - 46, centery), 0xffffffffu);
    EXPECT_EQ(at(px, centerx - 26, centery), 0x00ff00ffu);
    EXPECT_EQ(at(px, centerx, centery), 0x282828ffu);
    EXPECT_EQ(at(px, centerx - 70, centery), 0x282828ffu);
}

TEST_F(Background, LayersFromPngOrJpegAndMissingOnesStayEmpty) {
    image("bg1/1.jpg", 1100, 768, 40, 40, 40);
    image("bg1/2.png", 100, 100, 255, 0, 0);
    image("bg1/2.jpg", 100, 100, 0, 0, 255);  // the PNG wins
    ::testing::internal::CaptureStdout();
    loadgamebg_dynamic(1);
    EXPECT_EQ(::testing::internal::GetCapturedStdout(), "");  // absent layers are not errors
    EXPECT_TRUE(bglayer[1]);
    EXPECT_TRUE(bglayer[2]);
    EXPECT_FALSE(bglayer[3]);
    EXPECT_FALSE(bglayer[4]);
    EXPECT_FALSE(bgfull);

    bgphase = (float)centerx;  // settled on the centre: no shift
    std::vector<uint8_t> px = frame((float)centerx);
    EXPECT_EQ(at(px, centerx, centery), 0xff0000ffu);
    EXPECT_EQ(at(px, 100, 100), 0x282828ffu);
}

TEST_F(Background, FlatPictureWithAnimationOffAndTheTent) {
    image("bg3/1.jpg", 1100, 768, 40, 40, 40);
    image("bg3/full.jpg", 1024, 768, 200, 200, 0);
    image("tentbg.jpg", 1024, 768, 0, 200, 200);
    bganimation = 0;
    loadgamebg_dynamic(3);
    EXPECT_FALSE(bglayer[1]);
    EXPECT_EQ(at(frame(0), centerx, centery), 0xc8c800ffu);

    ::testing::internal::CaptureStdout();
    loadgamebg(5);
    EXPECT_EQ(::testing::internal::GetCapturedStdout(), "loadgamebg(5)\n");
    EXPECT_EQ(bgnumber, 3);  // the theme stays
    EXPECT_EQ(at(frame(0), centerx, centery), 0x00c8c8ffu);
    bganimation = 1;
    EXPECT_EQ(at(frame(0), centerx, centery), 0x00c8c8ffu);

    // No picture at all: a line on standard output, and nothing drawn.
    bganimation = 0;
    ::testing::internal::CaptureStdout();
    loadgamebg_dynamic(2);
    EXPECT_NE(::testing::internal::GetCapturedStdout().find("error LoadIm"), std::string::npos);
    EXPECT_EQ(at(frame(0), centerx, centery), 0x000000ffu);
}

TEST_F(Background, AmbientPoolsAreFixedAndButterfliesLeaveBySideways) {
    for (int i = 1; i <= FIREFLIES; ++i) ASSERT_EQ(addfirefly(100, 100, 7, 1000), i);
    EXPECT_EQ(addfirefly(100, 100, 7, 1000), 0);  // full: refused
    fireflytype[37] = 0;
    EXPECT_EQ(addfirefly(100, 100, 7, 1000), 37);
    EXPECT_GE(fireflydepth[37], 2);
    EXPECT_LE(fireflydepth[37], 30);
    EXPECT_GE(fireflylife[37], 200);
    EXPECT_LE(fireflylife[37], 1000);
    for (int i = 1; i <= BUTTERFLIES; ++i) ASSERT_EQ(addbutterfly(100, 100, 1000), i);
    EXPECT_EQ(addbutterfly(100, 100, 1000), 0);
    EXPECT_GE(butterflyspecies[60], 1);
    EXPECT_LE(butterflyspecies[60], 4);

    // Loading background 2 clears the butterflies; every load clears the fireflies.
    loadgamebg_dynamic(2);
    for (int i = 1; i <= BUTTERFLIES; ++i) ASSERT_EQ(butterflyspecies[i], 0);
    for (int i = 1; i <= FIREFLIES; ++i) ASSERT_EQ(fireflytype[i], 0);

    // A butterfly whose time is up drifts to the nearer side and lives until it is off screen.
    int slot = addbutterfly(300, 400, 1000);
    butterflylife[slot] = -1;
    float lastx = butterflyx[slot];
    int frames = 0;
    while (butterflyspecies[slot] != 0 && frames < 5000) {
        draw((float)centerx);
        ++frames;
        if (butterflyspecies[slot] == 0) break;
        ASSERT_LT(butterflyx[slot], lastx);
        ASSERT_GE(butterflyx[slot], -10.0f);
        lastx = butterflyx[slot];
    }
    EXPECT_LT(butterflylife[slot], -10);
    EXPECT_LT(butterflyx[slot], -10.0f);

    // A firefly is freed as its life runs out.
    loadgamebg_dynamic(0);
    slot = addfirefly(500, 400, 7, 1000);
    fireflylife[slot] = 1;
    frame((float)centerx);
    EXPECT_EQ(fireflytype[slot], 0);
}

TEST_F(Background, BoltStartsTheSkyFlashInTheSameFrame) {
    loadgamebg_dynamic(4);
    EXPECT_EQ(boltcount, 0);
    EXPECT_EQ(skyflashcount, 0);
    // A seed whose first draw is the 1-in-400 chance: the bolt chance is the first draw of the frame.
    int seed = 1;
    for (;; ++seed) {
        seed_rnd(seed);
        if (rand_range(400, 1) == 1) break;
    }
    seed_rnd(seed);
    frame((float)centerx);
    EXPECT_EQ(boltcount, 2);
    EXPECT_EQ(skyflashcount, 2);
    EXPECT_GE(boltx, centerx);
    EXPECT_LE(boltx, virtw - 50);

    // No second bolt until the counter has run to 60.
    const int x = boltx;
    for (int n = 3; n < 60; ++n) {
        draw((float)centerx);
        ASSERT_EQ(boltcount, n);
        ASSERT_EQ(boltx, x);
    }
    frame((float)centerx);
    EXPECT_EQ(boltcount, 0);
}

namespace {
// The map's generated background (four layers, no ambient life) with the mouse at rest: the first frame draws
// the layers one by one, the second keeps them as one picture, the third puts that picture back. All three
// must look exactly the same, and a step of the mouse goes back to drawing layer by layer.
TEST_F(Background, StillLayersKeptAsOnePictureLookTheSame) {
    build_data_folder();
    loadgamebg_dynamic(11);
    if (!bglayer[4]) GTEST_SKIP() << "backgrounds not generated";
    bgphase = 300;
    std::vector<uint8_t> first = frame(300), second = frame(300), third = frame(300);
    EXPECT_EQ(first, second);
    EXPECT_EQ(second, third);
    std::vector<uint8_t> moved = frame(900);
    EXPECT_NE(moved, third);
    bgphase = 300;
    EXPECT_EQ(frame(300), first);  // back at rest: drawn again layer by layer, the same picture
    EXPECT_EQ(frame(300), first);
}
}  // namespace

namespace {
// Theme 4 has rain between its layers and a storm over the back one. While no bolt or flash shows, its two
// back layers are kept as one picture: the same frame (the same drops, the same dice) drawn layer by layer,
// into the picture, and from the picture must look exactly the same; a frame with a bolt is drawn layer by
// layer with the bolt in it, and the dice fall as they always did.
TEST_F(Background, TheStormThemeKeepsItsBackLayersWhileNoBoltShows) {
    build_data_folder();
    loadgamebg_dynamic(4);
    if (!rain2 || !lightning) loadeffects();
    if (!bglayer[4] || !rain2) GTEST_SKIP() << "backgrounds or effects not generated";
    bgphase = 300;
    float rx[RAINDROPS + 1], ry[RAINDROPS + 1];
    std::copy(rainx, rainx + RAINDROPS + 1, rx);
    std::copy(rainy, rainy + RAINDROPS + 1, ry);
    const int fc = 4001;  // a frame in which the storm's strobe is lit
    auto same_frame = [&](int32_t seed) {  // the same drops, the same dice, the same frame number
        std::copy(rx, rx + RAINDROPS + 1, rainx);
        std::copy(ry, ry + RAINDROPS + 1, rainy);
        framecount = fc;
        boltcount = skyflashcount = 0;
        set_rnd_state(seed);
        return frame(300);
    };
    int32_t calm = 1, stormy = 1;
    for (seed_rnd(1);; ) {  // a state whose first draw is the bolt's 1 in 400, and one where nothing strikes
        const int32_t s = rnd_state();
        const int a = rand_range(400, 1), b = rand_range(400, 1);
        if (a == 1 && stormy == 1) stormy = s;
        if (a != 1 && b != 1 && calm == 1) calm = s;
        if (stormy != 1 && calm != 1) break;
    }
    const std::vector<uint8_t> first = same_frame(calm);
    const int32_t dice = rnd_state();
    const std::vector<uint8_t> second = same_frame(calm), third = same_frame(calm);
    EXPECT_EQ(rnd_state(), dice);  // from the picture, the same dice fall
    EXPECT_EQ(boltcount, 0);
    EXPECT_EQ(first, second);
    EXPECT_EQ(second, third);

    const std::vector<uint8_t> lit = same_frame(stormy);
    EXPECT_EQ(boltcount, 2);
    EXPECT_NE(lit, third);
    const std::vector<uint8_t> lit_again = same_frame(stormy);
    EXPECT_EQ(lit, lit_again);
    EXPECT_EQ(same_frame(calm), first);  // calm again: the picture, still right
}
}  // namespace
