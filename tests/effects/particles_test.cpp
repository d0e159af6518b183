#include <gtest/gtest.h>

#include <vector>

#include "app/display.h"
#include "app/screenflow.h"
#include "app/shell.h"
#include "aztec/board.h"
#include "aztec/gamescreen.h"
#include "effects/effects.h"
#include "effects/particles.h"
#include "match3/match3.h"
#include "platform/draw.h"
#include "platform/random.h"
#include "storage/players.h"
#include "storage/settings.h"
#include "support/headless.h"

namespace {

TImage solid(int w, int h, int r, int g, int b) {
    std::vector<uint8_t> px((size_t)w * h * 4);
    for (size_t i = 0; i < px.size(); i += 4) {
        px[i] = (uint8_t)r;
        px[i + 1] = (uint8_t)g;
        px[i + 2] = (uint8_t)b;
        px[i + 3] = 255;
    }
    TImage im = image_from_rgba(px.data(), w, h, IMAGE_MASKED);
    set_image_handle(im, (float)(w / 2), (float)(h / 2));
    return im;
}

// The red channel of a logical point of the frame drawn so far (800 x 600 window over 1024 x 768).
int redat(int lx, int ly) {
    int w, h, wx, wy;
    std::vector<uint8_t> px = read_frame_rgba(&w, &h);
    harness_window_point(lx, ly, &wx, &wy);
    return px[((size_t)wy * w + wx) * 4];
}

class Particles : public ::testing::Test {
protected:
    void SetUp() override {
        headless();
        seed_rnd(1234);
        clearparticles();
        clearlights();
        fps = 50;
        framecount = 0;
        boardalpha = 1;
        curscreen = screen_game;
        curplayer = 1;
        resetdrawing();
        set_color(255, 255, 255);
        clear_screen();
    }
    void TearDown() override {
        clearparticles();
        clearlights();
        curplayer = -1;
        curscreen = screen_none;
        resetdrawing();
    }

    // One frame of a screen that shows effects.
    static void frame() {
        ++framecount;
        draweff();
    }

    // Frames until the slot is freed (at most `limit`).
    static int lifetime(int slot, int limit) {
        int n = 0;
        while (part_kind[slot] != 0 && n < limit) {
            frame();
            ++n;
        }
        return n;
    }

    static int used() {
        int n = 0;
        for (int i = 1; i < PARTICLESLOTS; ++i) n += part_kind[i] != 0;
        return n;
    }
};

TEST_F(Particles, SlotsAreTakenFirstFreeAndAFullPoolReusesTheLastSlot) {
    EXPECT_EQ(addparticle(1, 2, 891, 0, 0), 1);
    EXPECT_EQ(addparticle(1, 2, 891, 0, 0), 2);
    EXPECT_EQ(addparticle(1, 2, 891, 0, 0), 3);
    part_kind[2] = 0;
    EXPECT_EQ(addparticle(1, 2, 891, 0, 0), 2);

    for (int i = 4; i < PARTICLESLOTS; ++i) addparticle(0, 0, 999, 0, 0);
    EXPECT_EQ(used(), 1000);
    setparticlefollow(1000, 17);
    EXPECT_EQ(addparticle(5, 6, 9999, 0.5f, -0.5f), 1000);
    EXPECT_EQ(part_kind[1000], 9999);
    EXPECT_EQ(part_x[1000], 5);
    EXPECT_EQ(part_y[1000], 6);
    EXPECT_EQ(part_a[1000], 0.5f);
    EXPECT_EQ(part_b[1000], -0.5f);
    EXPECT_EQ(part_age[1000], 0);
    EXPECT_EQ(part_follow[1000], 0);
    EXPECT_EQ(used(), 1000);

    clearparticles();
    EXPECT_EQ(used(), 0);
    // Slots outside the pool are ignored.
    setparticlefollow(0, 5);
    setparticlefollow(PARTICLESLOTS, 5);
    EXPECT_EQ(part_follow[0], 0);
}

TEST_F(Particles, LowKindsStartAtARandomAgeHighKindsAtZero) {
    bool young = false, old = false;
    for (int n = 0; n < 200; ++n) {
        int s = addparticle(0, 0, 199, 0, 0);
        EXPECT_GE(part_age[s], 0);
        EXPECT_LE(part_age[s], 50);
        young |= part_age[s] < 10;
        old |= part_age[s] > 40;
        EXPECT_EQ(part_age[addparticle(0, 0, 200, 0, 0)], 0);
    }
    EXPECT_TRUE(young);
    EXPECT_TRUE(old);
}

TEST_F(Particles, LifetimesFollowTheKind) {
    // A falling glow starts at age 0..50 and ages 2 or 4 per frame.
    int shortest = 1000, longest = 0;
    for (int n = 0; n < 300; ++n) {
        int s = addparticle(500, 300, 101, 0, 0);
        int life = lifetime(s, 1000);
        shortest = std::min(shortest, life);
        longest = std::max(longest, life);
    }
    EXPECT_GE(shortest, 13);
    EXPECT_LE(longest, 50);
    EXPECT_LT(shortest, 20);
    EXPECT_GT(longest, 40);

    // Smoke lives 32 frames at most, a ring pulse exactly 30, an explosion 16 ages stepped on even frames.
    EXPECT_LE(lifetime(addparticle(0, 0, 891, 0, 0), 100), 32);
    EXPECT_EQ(lifetime(addparticle(0, 0, 983, 0, 0), 100), 30);
    framecount = 0;
    EXPECT_EQ(lifetime(addparticle(0, 0, 9999, 0, 0), 100), 32);
    EXPECT_EQ(lifetime(addparticle(0, 0, 11011, 0, 0), 100), 31);
    EXPECT_EQ(lifetime(addparticle(0, 0, 10003, 0, 0), 100), 10);

    // A falling star has no age: it lives until it drops below the screen.
    int s = addparticle(500, 700, 904, 0, -6);
    int life = lifetime(s, 1000);
    EXPECT_GT(life, 20);
    EXPECT_LT(life, 60);
}

TEST_F(Particles, AKindOutsideEveryRangeKeepsItsSlotUntilCleared) {
    int s = addparticle(0, 0, 840, 1, 1);
    for (int n = 0; n < 700; ++n) frame();
    EXPECT_EQ(part_kind[s], 840);
    EXPECT_EQ(part_x[s], 0);
    EXPECT_EQ(part_age[s], 0);
    clearparticles();
    EXPECT_EQ(part_kind[s], 0);
}

TEST_F(Particles, BelowTenFramesPerSecondMostKindsShowOneFrame) {
    glb[7] = solid(64, 64, 255, 0, 0);
    fps = 9;
    // Glow smoke squashes by a random factor per axis (now and then to nothing): spawn a few.
    for (int k = 0; k < 5; ++k) part_age[addparticle(100.0f + 150 * k, 300, 7, 0, 0)] = 10;
    int boom = addparticle(700, 600, 9999, 0, 0);
    int heavy = addparticle(100, 100, 830, 0, 0);
    frame();
    for (int s = 1; s <= 5; ++s) EXPECT_EQ(part_kind[s], 0);
    int drawn = 0;
    for (int k = 0; k < 5; ++k) drawn += redat(100 + 150 * k, 300) > 40;
    EXPECT_GE(drawn, 1);  // drawn in the frame they were freed
    EXPECT_EQ(part_kind[boom], 9999);
    EXPECT_EQ(part_kind[heavy], 830);
    // The explosion still plays all 16 frames (ageing on even frames).
    EXPECT_EQ(lifetime(boom, 100) + 1, 32);
    glb[7].reset();
}

TEST_F(Particles, AFireRingFollowsItsStoneAndStaysWhereTheStoneVanished) {
    boardleft = 200;
    stone_kind[1][5] = 11;
    stone_x[1][5] = 96;
    stone_y[1][5] = 300;
    int s = addparticle(0, 0, 881, 0, 0);
    setparticlefollow(s, 5);
    frame();
    EXPECT_EQ(part_x[s], 296);
    EXPECT_EQ(part_y[s], 768 - 300);
    stone_y[1][5] = 268;  // the stone falls a row
    frame();
    EXPECT_EQ(part_y[s], 768 - 268);
    stone_kind[1][5] = 0;
    stone_x[1][5] = 500;
    for (int n = 3; n < 38; ++n) {
        frame();
        ASSERT_EQ(part_kind[s], 881);
    }
    EXPECT_EQ(part_x[s], 296);
    EXPECT_EQ(part_y[s], 500);
    frame();
    EXPECT_EQ(part_kind[s], 0);

    // Following without a player or with a slot outside the board leaves the ring where it is.
    s = addparticle(50, 60, 882, 0, 0);
    setparticlefollow(s, 100000);
    frame();
    curplayer = -1;
    setparticlefollow(s, 5);
    frame();
    EXPECT_EQ(part_x[s], 50);
    EXPECT_EQ(part_y[s], 60);
}

TEST_F(Particles, KindsWithoutAlphaOfTheirOwnDrawWithTheAlphaLeftBeforeThem) {
    m3itemimage[1][2] = solid(20, 20, 255, 255, 255);
    boardalpha = 0.5f;
    addparticle(900, 100, 890, 0, 0);      // smoke: leaves alpha 1 x boardalpha
    addparticle(300, 300, 10002, 0, 0);    // item inherits it
    addparticle(900, 100, 9999, 0, 0);     // explosion: leaves alpha 1
    addparticle(600, 300, 10002, 0, 0);
    frame();
    EXPECT_NEAR(redat(300, 300), 127, 12);  // half alpha
    EXPECT_GT(redat(600, 300), 240);
    m3itemimage[1][2].reset();
}

TEST_F(Particles, EffectsOffTheGameScreenIgnoreTheFadedBoard) {
    // After a won level the board has faded to nothing; a chain breaking on the map must still show.
    chainpart[3] = solid(20, 20, 255, 255, 255);
    boardalpha = 0;
    curscreen = screen_map;
    addparticle(400, 400, 830, 0, 0);
    frame();
    EXPECT_GT(redat(400, 400), 200);
    clear_screen();
    curscreen = screen_game;
    addparticle(600, 400, 830, 0, 0);
    frame();
    EXPECT_EQ(redat(600, 400), 0);
    chainpart[3].reset();
}

TEST_F(Particles, ARescuedAnimalFliesToTheCounterAndRaisesTheRescuedCount) {
    levelrescued[1] = 2;
    int s = addparticle(300, 600, 792, 0, 0);
    for (int n = 1; n <= 49; ++n) frame();
    // Close to the centre halfway...
    EXPECT_NEAR(part_x[s], 512, 30);
    EXPECT_NEAR(part_y[s], 384, 30);
    for (int n = 50; n <= 99; ++n) frame();
    EXPECT_EQ(levelrescued[1], 2);
    // ...then at the counter, where it bursts into twinkles.
    EXPECT_NEAR(part_x[s], 52, 60);
    EXPECT_NEAR(part_y[s], 500, 60);
    frame();
    EXPECT_EQ(levelrescued[1], 3);
    EXPECT_EQ(part_kind[s], 0);
    int twinkles = 0;
    for (int i = 1; i < PARTICLESLOTS; ++i) twinkles += part_kind[i] == 4001;
    EXPECT_EQ(twinkles, 20);
    EXPECT_LE(lifetime(s + 1, 200), 90);

    // Without a current player the flight still ends cleanly.
    curplayer = -1;
    s = addparticle(300, 600, 791, 0, 0);
    EXPECT_EQ(lifetime(s, 200), 100);
    EXPECT_EQ(levelrescued[1], 3);
}

TEST_F(Particles, TheDrawingStateIsRestoredAfterAPass) {
    set_alpha(0.7f);
    addparticle(100, 100, 11060, 1, 1);  // rotates and scales
    addparticle(100, 100, 11021, 0, 0);  // additive
    addparticle(100, 100, 4002, 0, 0);   // leaves alpha at 1
    frame();
    float sx, sy;
    get_scale(&sx, &sy);
    EXPECT_EQ(sx, 1);
    EXPECT_EQ(sy, 1);
    EXPECT_EQ(get_rotation(), 0);
    EXPECT_FLOAT_EQ(get_alpha(), 0.7f);
    EXPECT_EQ(get_blend(), BLEND_ALPHA);
}

class Lights : public Particles {};

TEST_F(Lights, AMoteRisesByItsDepthAndSlowsWhenItsLifeRunsOut) {
    addlight(100.4f, 500, 100, 3);
    EXPECT_EQ(light_colour[1], 3);
    EXPECT_GE(light_life[1], 20);
    EXPECT_LE(light_life[1], 100);
    EXPECT_GE(light_depth[1], 2);
    EXPECT_LE(light_depth[1], 30);
    light_depth[1] = 30;
    light_life[1] = 100;
    drawlights(1);
    EXPECT_NEAR(light_y[1], 500 - 0.3f, 1e-4);
    EXPECT_EQ(light_life[1], 99);
    EXPECT_EQ(light_age[1], 1);
    light_life[1] = 20;
    float y = light_y[1];
    drawlights(1);
    EXPECT_NEAR(light_y[1], y - 0.075f, 1e-4);
    // It drifts sideways by at most 0.3 pixels a frame.
    EXPECT_NEAR(light_x[1], 100.4f, 0.61f);
}

TEST_F(Lights, MotesEndAtTheTopOrWhenTheirLifeIsOverAndAFullPoolDropsNewOnes) {
    for (int n = 0; n < 105; ++n) addlight(10, 10, 50, 1 + n % 9);
    int live = 0;
    for (int j = 1; j < LIGHTSLOTS; ++j) live += light_colour[j] != 0;
    EXPECT_EQ(live, 100);
    EXPECT_EQ(light_colour[LIGHTSLOTS - 1], 1 + 99 % 9);

    clearlights();
    addlight(10, -39.99f, 50, 2);
    light_depth[1] = 30;
    drawlights(1);
    EXPECT_EQ(light_colour[1], 0);
    addlight(10, 400, 3, 2);
    EXPECT_LE(light_life[1], 3);
    for (int n = 0; n < 3; ++n) drawlights(1);
    EXPECT_EQ(light_colour[1], 0);
    // A mote without a colour is not a mote.
    addlight(10, 400, 50, 0);
    addlight(10, 400, 50, -2);
    EXPECT_EQ(light_colour[1], 0);
}

TEST_F(Lights, DeeperMotesAreLargerAndBrighter) {
    glb[1] = solid(16, 16, 255, 0, 0);
    glb[2] = solid(16, 16, 0, 255, 0);
    curscreen = screen_map;
    addlight(300, 300, 100, 2);
    addlight(300, 300, 100, 1);
    light_depth[1] = 30;
    light_depth[2] = 2;
    light_age[1] = light_age[2] = 100;
    light_life[1] = light_life[2] = 100;
    drawlights(1);
    int w, h, wx, wy;
    std::vector<uint8_t> px = read_frame_rgba(&w, &h);
    harness_window_point(300, 300, &wx, &wy);
    const uint8_t* p = &px[((size_t)wy * w + wx) * 4];
    EXPECT_GT(p[1], 150);  // the deep green one, on top and near full strength
    EXPECT_LT(p[0], 60);   // the shallow red one, faint
    EXPECT_EQ(get_blend(), BLEND_ALPHA);
    EXPECT_EQ(get_alpha(), 1);
    glb[1].reset();
    glb[2].reset();
}

}  // namespace
