// The aztec board's cost per frame on a full board, and the level solver on a whole level.
#include <benchmark/benchmark.h>

#include "app/display.h"
#include "aztec/board.h"
#include "aztec/rules.h"
#include "aztec/solver.h"
#include "storage/settings.h"

namespace {
// 144 cells in three colours laid so that no two neighbours match: nothing clears.
levelrecord fullboard() {
    levelrecord rec = emptylevelrecord();
    for (int r = 0; r < 12; ++r)
        for (int c = 0; c < 12; ++c) rec.stonecode[levelcell(c, r)] = (c + 2 * r) % 3;
    return rec;
}

// A level of six rows in four colours with chains, granite, an animal and inert stones.
levelrecord mixedlevel() {
    levelrecord rec = emptylevelrecord();
    const char* rows[6] = {"1G2H3J1G2H3J", "A1B2C3A1B2C3", "123412341234", "341234123412", "I12I34I12I34",
                           "2.3.4.1.2.3."};
    for (int r = 0; r < 6; ++r)
        for (int c = 0; c < 12; ++c) {
            int code = -1;
            char ch = rows[r][c];
            if (ch >= '1' && ch <= '9') code = ch - '1';
            if (ch == 'G') code = 71;
            if (ch == 'H') code = 72;
            if (ch == 'J') code = 73;
            if (ch == 'A') code = 91;
            if (ch == 'B') code = 92;
            if (ch == 'C') code = 93;
            if (ch == 'I') code = 20 + c % 9;
            rec.stonecode[levelcell(c, r)] = code;
            if (code >= 0 && code < 9 && (c + r) % 5 == 0) rec.chaincode[levelcell(c, r)] = 0;
        }
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

static void BM_SolveLevel(benchmark::State& state) {
    setup();
    levelrecord rec = mixedlevel();
    solveresult r{};
    for (auto _ : state) r = solvelevel(rec, 400);
    state.counters["won"] = r.won;
    state.counters["shots"] = r.shots;
    state.counters["seconds"] = r.seconds;
}
BENCHMARK(BM_SolveLevel)->Unit(benchmark::kMillisecond);

BENCHMARK_MAIN();
