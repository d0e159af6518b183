// What recording the journal costs a frame: taking the frame's input into the journal, coding it, the state
// checksum every 50 frames and writing a block every 500, against the 20 ms a frame has at 50 frames per second.
// The input is the long session of tests/replays/long/ (more than ten minutes of mixed play, the pointer moving
// in most frames), played into the recorder over and over.
#include <benchmark/benchmark.h>

#include "benchmain.h"

#include <unistd.h>

#include <filesystem>
#include <fstream>
#include <iterator>

#include "app/journal.h"
#include "app/replay.h"
#include "app/shell.h"
#include "platform/system.h"
#include "storage/settings.h"

namespace {
std::vector<jframe> sessionframes() {
    std::ifstream f(std::string(OMBRIVALE_SOURCE_DIR) + "/tests/replays/long/session.ojr", std::ios::binary);
    std::string bytes((std::istreambuf_iterator<char>(f)), std::istreambuf_iterator<char>());
    journaldata j;
    std::string error;
    std::vector<jframe> frames;
    journal_parse((const uint8_t*)bytes.data(), bytes.size(), &j, &error);
    for (const jrun& r : j.runs)
        for (int i = 0; i < r.count; ++i) frames.push_back(i == 0 ? r.frame : jframe_held(r.frame));
    return frames;
}

void BM_RecordFrame(benchmark::State& state) {
    static const std::vector<jframe> frames = sessionframes();
    if (frames.empty()) {
        state.SkipWithError("tests/replays/long/session.ojr cannot be read");
        return;
    }
    std::string folder = std::filesystem::temp_directory_path().string() + "/ombrivale-bench-" +
                         std::to_string(getpid()) + "/";
    std::filesystem::create_directories(folder);
    userpath = folder;
    secondtimer = create_timer(1);
    clocktimer = create_timer(1);
    journal_record_to(folder + "bench.ojr");
    journal_paceclock(1);
    journal_userfiles();
    journal_seed(12345);
    size_t n = 0;
    for (auto _ : state) {
        jframe in = frames[n % frames.size()];
        in.tick1 = in.tick2 = 0;  // the recorder makes its own
        journal_frame(&in);
        journal_afterframe();
        ++n;
    }
    journal_end();
    journal_paceclock(0);
    const double bytes = (double)std::filesystem::file_size(folder + "bench.ojr");
    state.counters["bytes/frame"] = bytes / (double)n;
    state.counters["KB/hour"] = bytes / (double)n * 50 * 3600 / 1000;
    std::filesystem::remove_all(folder);
}
BENCHMARK(BM_RecordFrame)->Unit(benchmark::kMicrosecond);

// The state checksum alone (taken every 50 frames).
void BM_StateSum(benchmark::State& state) {
    for (auto _ : state) benchmark::DoNotOptimize(gamestatesum());
}
BENCHMARK(BM_StateSum)->Unit(benchmark::kMicrosecond);
}  // namespace

OMBRIVALE_BENCHMARK_MAIN()
