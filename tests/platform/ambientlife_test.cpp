// The life in the game backgrounds, frame by frame: fireflies and insects rising and wandering, leaving by the
// nearer side as their time runs out; butterflies flapping, climbing and leaning into their flight; rain in two
// layers falling slantwise and coming back in at the top.
#include <gtest/gtest.h>

#include <cmath>
#include <vector>

#include "app/display.h"
#include "app/shell.h"
#include "platform/background.h"
#include "platform/draw.h"
#include "platform/random.h"
#include "storage/settings.h"
#include "support/datafolder.h"

namespace {
struct Seen {
    const ImageData* image;
    float x, y, alpha, scale, rotation;
    int frame;
};
std::vector<Seen> seen;
void record(const TImage& image, float x, float y, int frame) {
    float sx, sy;
    get_scale(&sx, &sy);
    seen.push_back({image.get(), x, y, get_alpha(), sx, get_rotation(), frame});
}

class AmbientLife : public ::testing::Test {
protected:
    void SetUp() override {
        folder = own_data_folder();  // no layer files: only the life is drawn
        virtw = 1024;
        virth = 768;
        centerx = 512;
        centery = 384;
        bganimation = 1;
        freefireflies();
        freebutterflies();
        kept = {insect, glowworm, rain2, butterfly[1], butterfly[2], butterfly[3], butterfly[4]};
        // Small stand-ins, so that every draw is seen whether or not the effect images were generated.
        std::vector<uint8_t> px(4 * 4 * 4, 255);
        insect = image_from_rgba(px.data(), 4, 4, 0);
        glowworm = image_from_rgba(px.data(), 4, 4, 0);
        rain2 = image_from_rgba(px.data(), 4, 4, 0);
        for (int k = 1; k <= 4; ++k) butterfly[k] = load_frames(k);
        seen.clear();
        set_draw_observer(record);
        seed_rnd(7);
    }
    void TearDown() override {
        set_draw_observer(nullptr);
        insect = kept[0];
        glowworm = kept[1];
        rain2 = kept[2];
        for (int k = 1; k <= 4; ++k) butterfly[k] = kept[2 + k];
        freegamebg();
        freefireflies();
        freebutterflies();
        build_data_folder();
        resetdrawing();
    }
    // A butterfly sheet of ten 4 x 4 frames.
    TImage load_frames(int k) {
        const std::string path = folder + "wings" + std::to_string(k) + ".png";
        write_solid_png(path, 4, 40, 255, 255, 255);
        return load_anim_image(path, 4, 4, 0, 10, 0);
    }
    // One frame of the background at the frame count f (the loop counts frames before it draws).
    void frame(int f) {
        framecount = f;
        resetdrawing();
        drawbackground((float)centerx);
    }
    std::vector<Seen> draws_of(const TImage& image) const {
        std::vector<Seen> out;
        for (const Seen& s : seen)
            if (s.image == image.get()) out.push_back(s);
        return out;
    }
    std::vector<TImage> kept;
    std::string folder;
};

double sindeg(double a) { return std::sin(a * M_PI / 180.0); }
}  // namespace

TEST_F(AmbientLife, AFireflyRisesAtItsDepthsPaceAndWandersBackOverItsCycle) {
    loadgamebg_dynamic(1);
    const int i = addfirefly((float)centerx, 500, 7, 1000);
    ASSERT_EQ(i, 1);
    fireflydepth[i] = 30;
    fireflylife[i] = 1170;  // the top of its bob (1170 = 3 * 360 + 90 degrees)
    frame(0);
    EXPECT_NEAR(fireflyy[i], 500 - 0.75f, 1e-3f);
    // Starting at 33 degrees into its wander: a tenth of its depth per frame, a bit more for the quick ripple.
    EXPECT_NEAR(fireflyx[i], centerx + 30 * (0.1 * std::cos(33 * M_PI / 180) + 0.03 * sindeg(33)), 1e-3f);
    // The deepest ones are the slowest: at depth 2 the same bob rises a fifteenth as far.
    const int far = addfirefly((float)centerx, 500, 7, 1000);
    fireflydepth[far] = 2;
    fireflylife[far] = 1170;
    fireflyage[far] = 10;
    const float y0 = fireflyy[i];
    frame(1);
    EXPECT_NEAR(500 - fireflyy[far], (y0 - fireflyy[i]) / 15, 1e-3f);
    // It wanders a tenth of its depth across per frame on a slow 360-frame swing, plus a ripple three times as
    // quick. Over the whole cycle the wander and the bob cancel: it has risen 0.2 * 0.05 of its depth per frame
    // and is back where it started across.
    for (int f = 2; f < 360; ++f) {
        const float x = fireflyx[i];
        frame(f);
        EXPECT_NEAR(fireflyx[i] - x, 30 * (0.1 * std::cos((33.0 + f) * M_PI / 180) + 0.03 * sindeg(33.0 + 3 * f)),
                    1e-3f)
            << f;
    }
    ASSERT_EQ(fireflytype[i], 7);
    EXPECT_NEAR(fireflyx[i], (float)centerx, 1.0f);
    EXPECT_NEAR(fireflyy[i], 500 - 0.2f * 0.05f * 30 * 360, 1.0f);
    EXPECT_EQ(fireflylife[i], 1170 - 360);
}

TEST_F(AmbientLife, AFireflyFadesInOverFiveFramesAndOutOverItsLastFifty) {
    loadgamebg_dynamic(1);
    const int i = addfirefly(300, 500, 7, 1000);
    fireflydepth[i] = 10;
    fireflylife[i] = 900;
    std::vector<float> alpha;
    for (int f = 0; f < 8; ++f) {
        seen.clear();
        frame(f);
        std::vector<Seen> d = draws_of(insect);
        ASSERT_FALSE(d.empty());
        alpha.push_back(d[0].alpha);
    }
    const float full = 10 * 0.033f * 3;
    for (int f = 0; f < 8; ++f) EXPECT_NEAR(alpha[f], full * std::min(1.0f, 0.2f * f), 1e-4f) << f;
    fireflylife[i] = 50;
    fireflyx[i] = 300;
    seen.clear();
    frame(8);
    EXPECT_NEAR(draws_of(insect)[0].alpha, full, 1e-4f);
    seen.clear();
    frame(9);
    EXPECT_NEAR(draws_of(insect)[0].alpha, full * 49 * 0.02f, 1e-4f);
}

TEST_F(AmbientLife, InItsLast200FramesAFireflyLeavesByTheNearerSideAndIsFreedOffScreen) {
    loadgamebg_dynamic(1);
    const int left = addfirefly(200, 400, 7, 1000), right = addfirefly(800, 400, 7, 1000);
    for (int s : {left, right}) {
        fireflydepth[s] = 20;
        fireflylife[s] = 199;
        fireflyage[s] = 10;
    }
    float lx = fireflyx[left], rx = fireflyx[right];
    bool leftgone = false, rightgone = false;
    int f = 0;
    for (; f < 199 && !(leftgone && rightgone); ++f) {
        frame(f);
        // A tenth of its depth per frame outwards, give or take the ripple of 0.03; a freed slot may be taken by
        // a newcomer in a later frame, so each is followed only until it goes.
        if (!leftgone) {
            EXPECT_LE(fireflyx[left] - lx, -0.07f * 20 + 1e-3f) << f;
            EXPECT_GE(fireflyx[left] - lx, -0.13f * 20 - 1e-3f) << f;
            lx = fireflyx[left];
            leftgone = fireflytype[left] == 0;
        }
        if (!rightgone) {
            EXPECT_GE(fireflyx[right] - rx, 0.07f * 20 - 1e-3f) << f;
            EXPECT_LE(fireflyx[right] - rx, 0.13f * 20 + 1e-3f) << f;
            rx = fireflyx[right];
            rightgone = fireflytype[right] == 0;
        }
    }
    // Both gone past the edge (10 pixels beyond it) before their time ran out.
    EXPECT_TRUE(leftgone);
    EXPECT_TRUE(rightgone);
    EXPECT_LT(f, 150);
    EXPECT_LT(lx, -10.0f);
    EXPECT_GT(rx, (float)(virtw + 10));
}

TEST_F(AmbientLife, GlowwormsOfTheThirdThemeOnlySwayAndDrawLarger) {
    loadgamebg_dynamic(3);
    const int i = addfirefly(200, 400, 7, 1000);
    fireflydepth[i] = 20;
    fireflylife[i] = 150;  // late in life: a glowworm still does not run for the side
    fireflyage[i] = 10;
    float x = fireflyx[i];
    for (int f = 0; f < 100; ++f) {
        seen.clear();
        frame(f);
        ASSERT_EQ(fireflytype[i], 7);
        EXPECT_NEAR(fireflyx[i] - x, 0.01 * sindeg(2.0 * f + 33.0) * 20, 1e-4f) << f;
        x = fireflyx[i];
    }
    EXPECT_TRUE(draws_of(insect).empty());
    std::vector<Seen> d = draws_of(glowworm);
    ASSERT_FALSE(d.empty());
    const float v = 1;  // neither new nor dying
    const float size = (float)(v * 20 * 0.033f * 0.3f * (0.15 + 0.15 * sindeg(2.0 * 51)));  // life 51 when drawn
    EXPECT_NEAR(d[0].scale, 1.5f * size, 1e-4f);
}

TEST_F(AmbientLife, ButterfliesFlapClimbAndLeanIntoTheirFlight) {
    loadgamebg_dynamic(2);
    const int i = addbutterfly(400, 600, 2000);
    butterflydepth[i] = 30;
    butterflylife[i] = 1500;
    const int kind = butterflyspecies[i];
    std::vector<int> wings;
    float x = butterflyx[i];
    for (int f = 0; f < 120; ++f) {
        seen.clear();
        frame(f);
        ASSERT_NE(butterflyspecies[i], 0) << f;
        std::vector<Seen> d = draws_of(butterfly[kind]);
        ASSERT_FALSE(d.empty());
        const Seen& me = d[0];  // the first slot is drawn first
        wings.push_back(me.frame);
        // A slow swing of a tenth of its depth per frame and a quick flutter; it leans by 500 degrees per pixel
        // of its step at depth 1: into the way it flies.
        const float step = (butterflyx[i] - x) / 30;
        EXPECT_NEAR(step, 0.1 * std::cos((f + 33.0) * M_PI / 180) + 0.03 * sindeg(33.0 + 4 * f), 1e-4f) << f;
        EXPECT_NEAR(me.rotation, step * 500, 0.05f) << f;
        EXPECT_NEAR(me.scale, 30 * 0.033f * 0.3f, 1e-5f);
        x = butterflyx[i];
    }
    const std::vector<int> flap = {0, 1, 2, 3, 4, 5, 6, 5, 4, 3, 2, 1};
    for (int f = 0; f < 120; ++f) EXPECT_EQ(wings[f], flap[f % 12]) << f;
    // Over 120 frames its wing beats cancel and it has climbed 0.2 * 0.05 of its depth per frame.
    EXPECT_NEAR(butterflyy[i], 600 - 0.2f * 0.05f * 30 * 120, 0.5f);
}

TEST_F(AmbientLife, RainFallsSlantwiseInASlowBackLayerAndAFastFrontLayerAndComesBackAtTheTop) {
    loadgamebg_dynamic(4);
    for (int d = 1; d <= RAINDROPS; ++d) {
        rainx[d] = 100;
        rainy[d] = 0;
    }
    frame(0);
    for (int d = 1; d <= 60; ++d) {
        // Back drops (1..30) fall 8..17 pixels per step, front drops (31..60) 12..21, twice as far down as across.
        const float s = (float)(d % 10 + (d <= 30 ? 8 : 12));
        EXPECT_NEAR(rainy[d], 0.6f * s, 1e-4f) << d;
        EXPECT_NEAR(rainx[d], 100 + 0.3f * s, 1e-4f) << d;
    }
    for (int d = 61; d <= RAINDROPS; ++d) EXPECT_EQ(rainy[d], 0) << d;  // spare drops stay put
    // Each drop drawn once, sized by its speed, the back layer first.
    std::vector<Seen> drops = draws_of(rain2);
    ASSERT_EQ(drops.size(), 60u);
    for (int d = 1; d <= 60; ++d) EXPECT_NEAR(drops[d - 1].scale, 0.05f * (d % 10 + (d <= 30 ? 8 : 12)), 1e-5f);
    // A drop past 100 below the screen starts again 100 above it, somewhere across.
    for (int n = 0; n < 50; ++n) {
        rainy[7] = (float)(virth + 100);
        rainy[41] = (float)(virth + 95);
        frame(1 + n);
        EXPECT_EQ(rainy[7], -100) << n;
        EXPECT_GE(rainx[7], -300) << n;
        EXPECT_LE(rainx[7], (float)(virtw - 100)) << n;
        EXPECT_EQ(rainy[41], -100) << n;
    }
    // Just on the line it goes on falling.
    rainy[7] = (float)(virth + 100) - 0.6f * 15 - 1;
    frame(60);
    EXPECT_GT(rainy[7], (float)(virth + 90));
}
