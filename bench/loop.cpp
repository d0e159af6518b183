// The game loop's pacing and the cost of drawing. Run under a real X display (Xvfb is fine) so the renderer
// uses OpenGL; on SDL's dummy driver the software renderer is measured instead.
#include <benchmark/benchmark.h>

#include <chrono>
#include <cstdio>
#include <vector>

#include "app/display.h"
#include "app/shell.h"
#include "platform/draw.h"
#include "platform/input.h"
#include "platform/random.h"
#include "platform/system.h"

namespace {

void open_display() {
    static bool open = false;
    if (open) return;
    platform_init();
    graphics_open(800, 600, 0, 60, 0);
    set_virtual_resolution(1024, 768);
    windoww = 800;
    windowh = 600;
    virtw = 1024;
    virth = 768;
    frametimer = create_timer(50);
    secondtimer = create_timer(1);
    open = true;
}

TImage sprite() {
    // A soft round 64 x 64 sprite with alpha, like the particles the game draws by the hundred.
    std::vector<uint8_t> px(64 * 64 * 4);
    for (int y = 0; y < 64; ++y)
        for (int x = 0; x < 64; ++x) {
            float dx = x - 31.5f, dy = y - 31.5f;
            float d = 1.0f - (dx * dx + dy * dy) / (32.0f * 32.0f);
            uint8_t* p = &px[(y * 64 + x) * 4];
            p[0] = 255;
            p[1] = (uint8_t)(120 + x * 2);
            p[2] = (uint8_t)(60 + y * 2);
            p[3] = (uint8_t)(d > 0 ? d * 255 : 0);
        }
    set_auto_midhandle(1);
    TImage im = image_from_rgba(px.data(), 64, 64, 3);
    set_auto_midhandle(0);
    return im;
}

// Whole frames of the real loop body paced by the 50 Hz timer, for five seconds.
void BM_LoopFrameRate(benchmark::State& state) {
    open_display();
    TImage im = sprite();
    for (auto _ : state) {
        auto t0 = std::chrono::steady_clock::now();
        int frames = 0;
        frametimer = create_timer(50);
        while (std::chrono::steady_clock::now() - t0 < std::chrono::seconds(5)) {
            clear_screen();
            pollinput();
            doall();
            set_blend(BLEND_ALPHA);
            for (int i = 0; i < 200; ++i) draw_image(im, (float)(i * 5 % 1024), (float)(i * 7 % 768), 0);
            flip(1);
            wait_timer(frametimer);
            ++frames;
        }
        double secs = std::chrono::duration<double>(std::chrono::steady_clock::now() - t0).count();
        state.counters["fps"] = frames / secs;
        state.SetLabel(renderer_name());
    }
}
BENCHMARK(BM_LoopFrameRate)->Iterations(1)->Unit(benchmark::kSecond);

// One frame with 1,000 rotated, scaled, alpha-blended 64 x 64 quads, presented without waiting.
void BM_Draw1000Quads(benchmark::State& state) {
    open_display();
    TImage im = sprite();
    seed_rnd(1);
    std::vector<float> xs(1000), ys(1000), rs(1000), ss(1000);
    for (int i = 0; i < 1000; ++i) {
        xs[i] = (float)rand_range(0, 1023);
        ys[i] = (float)rand_range(0, 767);
        rs[i] = (float)rand_range(0, 359);
        ss[i] = rand_range(50, 150) / 100.0f;
    }
    for (auto _ : state) {
        clear_screen();
        set_blend(BLEND_ALPHA);
        set_alpha(0.8f);
        for (int i = 0; i < 1000; ++i) {
            set_rotation(rs[i]);
            set_scale(ss[i], ss[i]);
            draw_image(im, xs[i], ys[i], 0);
        }
        set_rotation(0);
        set_scale(1, 1);
        set_alpha(1);
        flip(0);
    }
    state.SetLabel(renderer_name());
}
BENCHMARK(BM_Draw1000Quads)->Unit(benchmark::kMillisecond)->MinTime(2.0);

}  // namespace

BENCHMARK_MAIN();
