#include <gtest/gtest.h>

#include <cmath>
#include <filesystem>
#include <map>
#include <string>
#include <vector>

#include "app/display.h"
#include "app/screenflow.h"
#include "app/shell.h"
#include "aztec/gamescreen.h"
#include "aztec/levelrun.h"
#include "effects/effects.h"
#include "effects/particles.h"
#include "platform/draw.h"
#include "platform/imagefile.h"
#include "platform/paths.h"
#include "platform/random.h"
#include "storage/settings.h"
#include "support/headless.h"
#include "ui/popups.h"

namespace {

class Effects : public ::testing::Test {
protected:
    void SetUp() override {
        headless();
        seed_rnd(99);
        clearparticles();
        clearlights();
        fps = 50;
        boardalpha = 1;
        curscreen = screen_game;
        popupfade = 0;
        resetdrawing();
    }
    void TearDown() override {
        clearparticles();
        clearlights();
        curscreen = screen_none;
    }

    static std::map<int, int> kinds() {
        std::map<int, int> count;
        for (int i = 1; i < PARTICLESLOTS; ++i)
            if (part_kind[i]) ++count[part_kind[i]];
        return count;
    }

    // The live particles of one kind, in slot order.
    static std::vector<int> slots(int kind) {
        std::vector<int> out;
        for (int i = 1; i < PARTICLESLOTS; ++i)
            if (part_kind[i] == kind) out.push_back(i);
        return out;
    }
};

TEST_F(Effects, ASuperstoneExplodesInARingOfGlowsThatFallBack) {
    superstoneexplosion(400, 300, 5);
    EXPECT_EQ(kinds(), (std::map<int, int>{{865, 2}, {104, 36}, {9999, 1}, {999, 1}, {985, 1}}));
    std::vector<int> ring = slots(104);
    ASSERT_EQ(ring.size(), 36u);
    for (int k = 1; k <= 36; ++k) {
        int i = ring[k - 1];
        EXPECT_EQ(part_x[i], 400);
        EXPECT_EQ(part_y[i], 300);
        EXPECT_NEAR(std::atan2(part_b[i], part_a[i]) * 180 / M_PI, k <= 18 ? 10 * k : 10 * k - 360, 1e-3);
        EXPECT_NEAR(std::hypot(part_a[i], part_b[i]), 2, 1e-5);
    }
    float b = part_b[ring[0]];
    ++framecount;
    draweff();
    EXPECT_NEAR(part_b[ring[0]], b + 0.3f, 1e-5);
}

TEST_F(Effects, RecipesSpawnTheirPieces) {
    landingdust(100, 100);
    EXPECT_EQ(kinds(), (std::map<int, int>{{891, 2}}));
    EXPECT_EQ(part_x[1], 64);
    EXPECT_EQ(part_x[2], 136);
    EXPECT_EQ(part_y[2], 136);
    clearparticles();

    stoneburst(100, 100, 3);
    EXPECT_EQ(kinds(), (std::map<int, int>{{863, 8}, {891, 2}}));
    for (int i = 1; i <= 10; ++i) {
        EXPECT_LE(std::fabs(part_x[i] - 100), 36);
        EXPECT_LE(std::fabs(part_a[i]), 3.0f + 1e-5f);
    }
    clearparticles();

    chainbreak(100, 100);
    EXPECT_EQ(kinds(), (std::map<int, int>{{850, 10}, {7, 3}, {11051, 1}}));
    clearparticles();
    chainshatter(100, 100);
    EXPECT_EQ(kinds(), (std::map<int, int>{{850, 5}, {7, 3}, {891, 1}}));
    EXPECT_EQ(part_x[1], 88);
    EXPECT_EQ(part_y[5], 120);
    clearparticles();

    mapchainbreak(200, 200);
    EXPECT_EQ(kinds(), (std::map<int, int>{{830, 20}, {891, 1}}));
    EXPECT_EQ(part_x[17], 275);  // k = 5, four corners
    EXPECT_EQ(part_x[20], 125);
    EXPECT_EQ(part_y[20], 125);
    clearparticles();

    granitebreak(100, 100);
    EXPECT_EQ(kinds(), (std::map<int, int>{{868, 30}, {891, 2}}));
    clearparticles();
    granitehit(100, 100);
    EXPECT_EQ(kinds(), (std::map<int, int>{{868, 10}, {891, 2}}));
}

TEST_F(Effects, WinStarsAreThrownUpAndHalfOfThemShowAStar) {
    winstarburst(300, 500, 4);
    EXPECT_EQ(kinds(), (std::map<int, int>{{904, 5}, {104, 20}}));
    for (int i = 1; i <= 25; ++i) {
        float d = part_x[i] - 300, e = part_y[i] - 500;
        EXPECT_GE(d, -20);
        EXPECT_LE(d, 20);
        EXPECT_GE(e, -20);
        EXPECT_LE(e, 6);
        EXPECT_FLOAT_EQ(part_a[i], 0.3f * d);
        EXPECT_FLOAT_EQ(part_b[i], 0.3f * e);
    }

    // Odd slots draw the star image, even slots the glow of the same colour.
    clearparticles();
    std::vector<uint8_t> red(32 * 32 * 4, 255), green(32 * 32 * 4, 255);
    for (size_t p = 0; p < red.size(); p += 4) red[p + 1] = red[p + 2] = green[p] = green[p + 2] = 0;
    star[4] = image_from_rgba(red.data(), 32, 32, IMAGE_MASKED);
    glb[4] = image_from_rgba(green.data(), 32, 32, IMAGE_MASKED);
    set_color(255, 255, 255);
    set_alpha(1);
    clear_screen();
    addparticle(200, 200, 904, 0, 0);
    addparticle(600, 200, 904, 0, 0);
    framecount = 0;
    draweff();
    int w, h;
    std::vector<uint8_t> px = read_frame_rgba(&w, &h);
    auto at = [&](int lx, int ly, int c) {
        int wx, wy;
        harness_window_point(lx, ly, &wx, &wy);
        return px[((size_t)wy * w + wx) * 4 + c];
    };
    EXPECT_GT(at(200, 200, 0), 200);
    EXPECT_LT(at(200, 200, 1), 50);
    EXPECT_GT(at(600, 200, 1), 200);
    EXPECT_LT(at(600, 200, 0), 50);
    star[4].reset();
    glb[4].reset();
}

TEST_F(Effects, MudExplosionsByVariant) {
    mudexplosion(300, 300, 1);
    EXPECT_EQ(kinds(), (std::map<int, int>{{864, 11}, {104, 20}, {11071, 1}}));
    // The burst sits where the last glow started.
    EXPECT_EQ(part_x[32], part_x[31]);
    EXPECT_EQ(part_y[32], part_y[31]);
    clearparticles();
    mudexplosion(300, 300, 2);
    EXPECT_EQ(kinds(), (std::map<int, int>{{866, 11}, {106, 20}, {11072, 1}}));
    clearparticles();
    mudexplosion(300, 300, 3);
    EXPECT_EQ(kinds(), (std::map<int, int>{{868, 30}, {891, 2}, {11073, 1}}));
    EXPECT_EQ(part_x[33], 300);
    clearparticles();
    mudexplosion(300, 300, 4);
    EXPECT_EQ(kinds(), (std::map<int, int>{{850, 10}, {7, 3}, {11051, 1}, {11071, 1}}));
    clearparticles();
    mudexplosion(300, 300, 0);
    mudexplosion(300, 300, 5);
    EXPECT_TRUE(kinds().empty());
}

TEST_F(Effects, ALostStarLeavesFiveMotes) {
    level_frames = 10;
    starlost(500.7f, 60.9f);
    int motes = 0;
    for (int j = 1; j < LIGHTSLOTS; ++j) {
        if (!light_colour[j]) continue;
        ++motes;
        EXPECT_EQ(light_colour[j], 4);
        EXPECT_EQ(light_y[j], 60);
        EXPECT_EQ(light_x[j], std::trunc(light_x[j]));
        EXPECT_GE(light_x[j], 490);
        EXPECT_LE(light_x[j], 510);
    }
    EXPECT_EQ(motes, 5);
}

// Images with their frames and pivots, from a data folder the test writes.
TEST_F(Effects, LoadEffectsCutsFramesAndSetsPivots) {
    std::string base = temp_folder("effects-load");
    auto sheet = [&](const std::string& name, int w, int h) {
        std::vector<uint8_t> px((size_t)w * h * 4, 200);
        std::string dir = base + (name.rfind("animal", 0) == 0 ? "data/game/" : "data/effects/");
        std::filesystem::create_directories(dir);
        ASSERT_TRUE(write_png_file(dir + name + ".png", px.data(), w, h));
    };
    sheet("explosion", 512, 512);             // 4 x 4 cells of 128
    sheet("explosion3", 2048, 1024);          // 8 x 4 cells of 256
    sheet("match3mudexplosion2", 1024, 512);  // 8 x 4 cells of 128
    sheet("smoke1", 432, 220);                // 8 x 4 cells of 54 x 55
    sheet("roundfire1", 450, 360);            // 5 x 4 cells of 90
    sheet("butterfly3", 234, 162);            // 3 x 3 cells of 78 x 54
    sheet("lightning", 168, 400);
    sheet("blitz", 100, 60);
    sheet("dirt3-2", 20, 24);
    sheet("animal2", 70, 50);

    std::string saved = basedir;
    basedir = base;
    set_auto_midhandle(0);
    testing::internal::CaptureStdout();
    loadeffects();
    std::string out = testing::internal::GetCapturedStdout();
    basedir = saved;

    EXPECT_EQ(image_frames(explosion), 16);
    EXPECT_EQ(image_width(explosion), 128);
    EXPECT_EQ(image_handle_x(explosion), 64);
    EXPECT_EQ(image_frames(explosion3), 32);
    EXPECT_EQ(image_handle_x(explosion3), 128);
    EXPECT_EQ(image_handle_y(explosion3), 128);
    EXPECT_EQ(image_frames(match3mudexplosion[2]), 32);
    EXPECT_EQ(image_handle_x(match3mudexplosion[2]), 64);
    EXPECT_EQ(image_frames(smoke1), 32);
    EXPECT_EQ(image_height(smoke1), 55);
    EXPECT_EQ(image_frames(roundfire1), 20);
    EXPECT_EQ(image_frames(butterfly[3]), 9);
    EXPECT_EQ(image_handle_x(lightning), 84);
    EXPECT_EQ(image_handle_y(lightning), 0);
    EXPECT_EQ(image_handle_x(flash), 50);
    EXPECT_EQ(image_handle_y(flash), 30);
    EXPECT_EQ(image_width(dirt2[3]), 20);
    EXPECT_FALSE(dirt[3]);
    EXPECT_EQ(image_handle_y(animal[2]), 25);
    // The loader leaves the mid-handle switch as it found it.
    EXPECT_EQ(get_auto_midhandle(), 0);
    set_auto_midhandle(1);

    // Missing images are reported one line each and stay null; their particles still live and die.
    EXPECT_NE(out.find("error LoadIm data\\effects\\glowstar.png\n"), std::string::npos);
    EXPECT_NE(out.find("error LoadAnimIm data\\effects\\smokechain.png\n"), std::string::npos);
    EXPECT_NE(out.find("error LoadIm data\\game\\animal1.png\n"), std::string::npos);
    EXPECT_EQ(out.find("explosion.png"), std::string::npos);
    EXPECT_FALSE(glowstar);
    int s = addparticle(10, 10, 11051, 0, 0);
    for (int n = 0; n < 32 && part_kind[s]; ++n) draweff();
    EXPECT_EQ(part_kind[s], 0);
}

}  // namespace
