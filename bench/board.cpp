// The aztec board's cost per frame on a full board, and the level solver on a whole level.
#include <benchmark/benchmark.h>

#include "benchmain.h"

#include "app/display.h"
#include "aztec/board.h"
#include "aztec/rules.h"
#include "aztec/solver.h"
#include "storage/settings.h"
#include "aztec/testboards.h"

namespace {
// 144 cells in three colours laid so that no two neighbours match: nothing clears.
levelrecord fullboard() {
    levelrecord rec = emptylevelrecord();
    for (int r = 0; r < 12; ++r)
        for (int c = 0; c < 12; ++c) rec.stonecode[levelcell(c, r)] = (c + 2 * r) % 3;
    return rec;
}

void setup() {
    curplayer = 1;
    virtw = 1024;
    virth = 768;
}
}  // namespace

static void BM_UpdateBoardFull(benchmark::State& state) {
    setup();
    startsolverlevel(fullboard());
    boardsnapshot start;
    saveboardstate(&start);
    int stones = 0;
    for (int s = 1; s < BOARDSLOTS; ++s) stones += stone_kind[curplayer][s] > 0;
    for (auto _ : state) {
        state.PauseTiming();
        restoreboardstate(start);
        state.ResumeTiming();
        updateboard();
        benchmark::DoNotOptimize(topslot);
    }
    state.counters["stones"] = stones;
}
BENCHMARK(BM_UpdateBoardFull);

// The solver on each of the hand-made test boards (it wins every one of them).
static void BM_SolveLevel(benchmark::State& state) {
    setup();
    levelrecord rec = testboards()[(size_t)state.range(0)];
    solveresult r{};
    for (auto _ : state) r = solvelevel(rec, 300);
    state.counters["won"] = r.won;
    state.counters["shots"] = r.shots;
    state.counters["seconds"] = r.seconds;
}
BENCHMARK(BM_SolveLevel)->DenseRange(0, 5)->Unit(benchmark::kMillisecond);

OMBRIVALE_BENCHMARK_MAIN()
