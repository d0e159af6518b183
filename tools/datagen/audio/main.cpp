// audiogen <data folder> <score folder>: synthesises the sound bank into <data>/sound and the music into <data>/music.
#include <atomic>
#include <chrono>
#include <cstdio>
#include <functional>
#include <string>
#include <thread>
#include <vector>

#include "../common/canvas.h"
#include "effects.h"
#include "music.h"

int main(int argc, char** argv) {
    if (argc < 3) {
        std::printf("usage: audiogen <data folder> <score folder>\n");
        return 2;
    }
    const std::string data = argv[1], scores = argv[2];
    const std::string sound_dir = data + "/sound", music_dir = data + "/music";
    gen::make_dirs(sound_dir);
    gen::make_dirs(music_dir);
    auto started = std::chrono::steady_clock::now();

    // Longest jobs first so the two workers finish together.
    std::vector<std::function<bool()>> jobs;
    for (const snd::Track& t : snd::music_tracks()) jobs.push_back([&, t] { return snd::write_track(t, scores, music_dir); });
    for (const snd::Effect& e : snd::effect_bank()) jobs.push_back([&, e] { return snd::write_effect(e, sound_dir); });

    std::atomic<size_t> next{0};
    std::atomic<int> failures{0};
    auto worker = [&] {
        for (size_t i; (i = next++) < jobs.size();)
            if (!jobs[i]()) ++failures;
    };
    unsigned n = std::max(1u, std::min(4u, std::thread::hardware_concurrency()));
    std::vector<std::thread> pool;
    for (unsigned k = 0; k < n; ++k) pool.emplace_back(worker);
    for (auto& th : pool) th.join();

    double took = std::chrono::duration<double>(std::chrono::steady_clock::now() - started).count();
    std::printf("audiogen: %zu files in %.1f s on %u threads%s\n", jobs.size(), took, n,
                failures ? " (with failures)" : "");
    return failures ? 1 : 0;
}
