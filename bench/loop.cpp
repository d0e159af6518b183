// The game loop's pacing and the cost of drawing, under a real X display (make bench starts Xvfb); the renderer
// is the game's own choice (OMBRIVALE_RENDERER forces one). CPU columns count the whole process, the
// rasteriser's threads included.
#include <benchmark/benchmark.h>

#include "benchmain.h"

#include <chrono>
#include <cstdio>
#include <vector>

#include "gamescene.h"

namespace {

// The game started as main() does, in the heaviest scene; run from the build folder.
void open_display() {
    static bool open = false;
    if (open) return;
    benchscene::heavyscene(".");
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

// Whole frames of the real loop in the heaviest scene (fullest board, 1000 live particles, the interface),
// paced by the 50 Hz timer, for five seconds.
void BM_LoopFrameRate(benchmark::State& state) {
    open_display();
    for (auto _ : state) {
        auto t0 = std::chrono::steady_clock::now();
        int frames = 0;
        frametimer = create_timer(50);
        while (std::chrono::steady_clock::now() - t0 < std::chrono::seconds(5)) {
            benchscene::heavyframe();
            wait_timer(frametimer);
            ++frames;
        }
        double secs = std::chrono::duration<double>(std::chrono::steady_clock::now() - t0).count();
        state.counters["fps"] = frames / secs;
        state.counters["frames"] = frames;
        state.SetLabel(renderer_name());
    }
}
BENCHMARK(BM_LoopFrameRate)->Iterations(1)->Unit(benchmark::kSecond)->MeasureProcessCPUTime()->UseRealTime();

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
BENCHMARK(BM_Draw1000Quads)->Unit(benchmark::kMillisecond)->MinTime(2.0)->MeasureProcessCPUTime()->UseRealTime();

}  // namespace

OMBRIVALE_BENCHMARK_MAIN()
