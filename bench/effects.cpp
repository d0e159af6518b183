// The cost of one effects pass with the whole particle pool alive: every one of the 1000 slots is advanced and
// drawn, as in the busiest moments of a level (a chain of superstone explosions). The game's frame is 20 ms.
// Run under a real X display (Xvfb is fine) to measure the OpenGL renderer; the dummy driver measures the
// software renderer.
#include <benchmark/benchmark.h>

#include "benchmain.h"

#include <cstdio>
#include <cstdlib>
#include <string>
#include <vector>

#include "app/harness.h"
#include "app/screenflow.h"
#include "app/shell.h"
#include "aztec/gamescreen.h"
#include "effects/effects.h"
#include "effects/particles.h"
#include "platform/draw.h"
#include "platform/imagefile.h"
#include "platform/random.h"
#include "gamescene.h"

namespace {

void open_display() {
    static bool open = false;
    if (open) return;
    // Under X (Xvfb is fine) measure the OpenGL renderer; without a display the dummy driver's software one.
    if (std::getenv("DISPLAY")) setenv("SDL_VIDEODRIVER", "x11", 0);
    harness_open("");
    open = true;
}

// A soft round glow of the given size and number of frames (one row of cells), standing in for the effect
// images.
TImage glow(int size, int frames) {
    int w = size * frames;
    std::vector<uint8_t> px((size_t)w * size * 4);
    for (int y = 0; y < size; ++y)
        for (int x = 0; x < w; ++x) {
            float dx = (float)(x % size) - size / 2.0f, dy = (float)y - size / 2.0f;
            float d = 1.0f - (dx * dx + dy * dy) / (size * size / 4.0f);
            uint8_t* p = &px[((size_t)y * w + x) * 4];
            p[0] = 255;
            p[1] = 200;
            p[2] = 120;
            p[3] = (uint8_t)(d > 0 ? d * 255 : 0);
        }
    TImage im;
    if (frames == 1) {
        im = image_from_rgba(px.data(), w, size, 3);
    } else {
        std::string path = "/tmp/ombrivale-bench-effects-" + std::to_string(size) + ".png";
        write_png_file(path, px.data(), w, size);
        im = load_anim_image(path, size, size, 0, frames, 3);
    }
    set_image_handle(im, size / 2.0f, size / 2.0f);
    return im;
}

void stand_in_images() {
    for (int k = 1; k <= 9; ++k) {
        glb[k] = glow(64, 1);
        dirt[k] = glow(20, 1);
        dirt2[k] = glow(20, 1);
        circle[k] = glow(128, 1);
        star[k] = glow(48, 1);
    }
    for (int k = 1; k <= 4; ++k) konfetti[k] = glow(16, 1);
    for (int k = 1; k <= 3; ++k) chainpart[k] = glow(24, 1);
    glowstar = glow(64, 1);
    spikes = glow(128, 1);
    smoke1 = glow(54, 32);
    smokechain = smoke1;
    roundfire1 = glow(90, 20);
    explosion = glow(128, 16);
    explosion3 = glow(256, 32);
}

void refill() { benchscene::refillparticles(); }

void setup(bool images) {
    open_display();
    seed_rnd(7);
    fps = 50;
    boardalpha = 1;
    curscreen = screen_game;
    if (images) {
        // The game's own effect images when the data folder is at hand (run from build/), else stand-ins.
        std::printf("loading effect images (a missing data folder falls back to stand-ins):\n");
        loadeffects();
        if (!glb[1] || !explosion3) stand_in_images();
    }
    clearparticles();
    refill();
}

// Advancing the whole pool without drawing anything (every image missing).
void BM_DrawEffAdvanceOnly(benchmark::State& state) {
    setup(false);
    for (auto _ : state) {
        ++framecount;
        draweff();
        refill();
    }
}
BENCHMARK(BM_DrawEffAdvanceOnly)->Unit(benchmark::kMicrosecond);

// Advancing and drawing all 1000 particles, and presenting the frame.
void BM_DrawEffFullPool(benchmark::State& state) {
    setup(true);
    for (auto _ : state) {
        clear_screen();
        ++framecount;
        draweff();
        refill();
        flip(0);
    }
    state.SetLabel(renderer_name());
}
BENCHMARK(BM_DrawEffFullPool)->Unit(benchmark::kMillisecond)->MinTime(2.0)->MeasureProcessCPUTime()->UseRealTime();

}  // namespace

OMBRIVALE_BENCHMARK_MAIN()
