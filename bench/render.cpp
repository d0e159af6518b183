// The cost of drawing the board and text: a full board of 156 stones with shadows, chains and the superstone
// and armoured-stone extras, and 100 lines of text in one frame. Uses the generated data in the build folder.
#include <benchmark/benchmark.h>

#include <string>

#include "app/display.h"
#include "app/harness.h"
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

namespace {

void setup() {
    static bool done = false;
    if (done) return;
    harness_open(".");  // run from the build folder, beside data/
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
    for (int s = 1; s < BOARDSLOTS; ++s) stone_kind[1][s] = 0;
    const int kinds[] = {1, 2, 3, 4, 5, 6, 7, 8, 9, 12, 21, 61, 71, 91, 15, 65, 72, 93};
    int n = 0;
    for (int r = 0; r < 13; ++r)
        for (int c = 0; c < 12; ++c) {
            int kind = r == 0 ? 10 : kinds[n++ % 18];
            addstone(32 + 64 * c, 32 + 64 * r, kind, r > 0 && c % 5 == 0 ? 2 : 0);
        }
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
    }
}
BENCHMARK(BM_DrawFullBoard)->Unit(benchmark::kMicrosecond);

void BM_HundredTextLines(benchmark::State& state) {
    setup();
    const std::string line = "The jaguar sleeps beside the temple stones, 12345 points!";
    for (auto _ : state) {
        clear_screen();
        for (int i = 0; i < 100; ++i)
            drawtext(1 + i % 4, line, 20, 20 + 7 * (float)i, ALIGN_LEFT, i % 4 == 1 || i % 4 == 3 ? 1.0f : 0.4f, 1, 1, 1);
    }
}
BENCHMARK(BM_HundredTextLines)->Unit(benchmark::kMicrosecond);

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

BENCHMARK_MAIN();
