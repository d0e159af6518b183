// What recording the journal costs a frame: taking the frame's input into the journal, the state checksum every
// 50 frames and the deflate and write every 500, against the 20 ms a frame has at 50 frames per second.
// The mouse moves every frame and a button goes down now and then, which is busier than real play.
#include <benchmark/benchmark.h>

#include <unistd.h>

#include <filesystem>

#include "app/journal.h"
#include "app/replay.h"
#include "app/shell.h"
#include "platform/system.h"
#include "storage/settings.h"

namespace {
void BM_RecordFrame(benchmark::State& state) {
    std::string folder = std::filesystem::temp_directory_path().string() + "/ombrivale-bench-" +
                         std::to_string(getpid()) + "/";
    std::filesystem::create_directories(folder);
    userpath = folder;
    secondtimer = create_timer(1);
    clocktimer = create_timer(1);
    journal_record_to(folder + "bench.ojr");
    journal_userfiles();
    journal_seed(12345);
    long n = 0;
    for (auto _ : state) {
        jframe in;
        in.mx = (int)(n * 7 % 1024);
        in.my = (int)(n * 3 % 768);
        in.down1 = (n / 40) % 2;
        in.hit1 = n % 80 == 0;
        journal_frame(&in);
        journal_afterframe();
        ++n;
    }
    journal_end();
    state.counters["bytes/frame"] = (double)std::filesystem::file_size(folder + "bench.ojr") / (double)n;
    std::filesystem::remove_all(folder);
}
BENCHMARK(BM_RecordFrame)->Unit(benchmark::kMicrosecond);

// The state checksum alone (taken every 50 frames).
void BM_StateSum(benchmark::State& state) {
    for (auto _ : state) benchmark::DoNotOptimize(gamestatesum());
}
BENCHMARK(BM_StateSum)->Unit(benchmark::kMicrosecond);
}  // namespace

BENCHMARK_MAIN();
