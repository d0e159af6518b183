// The main of the benchmark binaries: the library's own run, then the game's one exit, so that the sound thread
// stops before anything it mixes is freed and nothing is torn down twice.
#pragma once
#include <benchmark/benchmark.h>

#include "app/shell.h"

#define OMBRIVALE_BENCHMARK_MAIN()                                               \
    int main(int argc, char** argv) {                                            \
        benchmark::Initialize(&argc, argv);                                      \
        if (benchmark::ReportUnrecognizedArguments(argc, argv)) exitgame(1);     \
        benchmark::RunSpecifiedBenchmarks();                                     \
        benchmark::Shutdown();                                                   \
        exitgame(0);                                                             \
    }
