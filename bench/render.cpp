// The cost of drawing the board and text: a full board of 156 stones with shadows, chains and the superstone
// and armoured-stone extras, and 100 lines of text in one frame. Uses the generated data in the build folder.
#include <benchmark/benchmark.h>

#include "benchmain.h"

#include <cstdlib>
#include <string>

#include "app/display.h"
#include "app/harness.h"
#include "platform/draw.h"
#include "app/screenflow.h"
#include "app/shell.h"
#include "aztec/board.h"
#include "aztec/boardframe.h"
#include "aztec/boardrender.h"
#include "aztec/gamescreen.h"
#include "effects/effects.h"
#include "effects/particles.h"
#include "storage/settings.h"
#include "texts/fonts.h"
#include "gamescene.h"

namespace {

void setup() {
    static bool done = false;
    if (done) return;
    // Run from the build folder, beside data/; under X (make bench starts Xvfb) with the game's own renderer.
    if (std::getenv("DISPLAY")) setenv("SDL_VIDEODRIVER", "x11", 0);
    harness_open(".");
    set_auto_midhandle(1);
    loadfonts();
    loadeffects();
    loadaztecstuff();
    fadelevel = 256;
    done = true;
}

void fullboard() {
    curplayer = 1;
    boardleft = 120;
    boardalpha = 1;
    stonerow = 1;
    benchscene::fullboard();
    topslot = 156;
}

void BM_DrawFullBoard(benchmark::State& state) {
    setup();
    fullboard();
    for (auto _ : state) {
        clear_screen();
        ++framecount;
        drawkarostonesflat();
        drawhiddenhints();
        clearlights();
        clearparticles();
        flip(0);  // presented, so that every frame is drawn, not only queued
    }
}
BENCHMARK(BM_DrawFullBoard)->Unit(benchmark::kMicrosecond)->MeasureProcessCPUTime()->UseRealTime();

void BM_HundredTextLines(benchmark::State& state) {
    setup();
    const std::string line = "The jaguar sleeps beside the temple stones, 12345 points!";
    for (auto _ : state) {
        clear_screen();
        for (int i = 0; i < 100; ++i)
            drawtext(1 + i % 4, line, 20, 20 + 7 * (float)i, ALIGN_LEFT, i % 4 == 1 || i % 4 == 3 ? 1.0f : 0.4f, 1, 1, 1);
        flip(0);
    }
}
BENCHMARK(BM_HundredTextLines)->Unit(benchmark::kMicrosecond)->MeasureProcessCPUTime()->UseRealTime();

void BM_WrapParagraph(benchmark::State& state) {
    setup();
    const std::string para =
        "Inside the walls, glowing karo stones sealed a family of sleepy tree-frogs. Drop stones of one colour "
        "together, they croaked, and the spell breaks! Granite needs patience; strike it again and it gives.";
    std::string lines[WRAPLINES];
    for (auto _ : state) benchmark::DoNotOptimize(wraptext(4, para, 460, 1, lines, WRAPLINES));
}
BENCHMARK(BM_WrapParagraph);

}  // namespace

OMBRIVALE_BENCHMARK_MAIN()
