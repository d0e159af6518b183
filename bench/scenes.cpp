// Whole-game measurements in a real X display (make bench starts Xvfb): each run is one process, started with
// its own scene, so that the renderer is chosen afresh and the start-up cost is counted from exec.
//
//   bench_scenes BUILD startup     start to the first presented frame: CPU seconds of the whole process
//   bench_scenes BUILD heavy S     the heaviest scene (fullest board, 1000 live particles, the interface),
//                                  paced at 50 Hz for S seconds: fps and whole-process CPU per frame
//   bench_scenes BUILD level L S   level L as it plays (no input), paced, S seconds: fps, CPU per frame, the
//                                  dearest frame (level 4: the storm theme's rain and lightning)
//   bench_scenes BUILD session     a scripted session, paced: intro, splash, loading, menu, map, a level with
//                                  superstone explosions, its win, the map, a match-3 level; the longest frame,
//                                  the longest frame of steady play, the slowest frame of the exploding level
//
// Each prints one line "key=value ..." for bench/run.sh. CPU is getrusage(RUSAGE_SELF): every thread of the
// process, the rasteriser's and the audio callback's included. The renderer follows the environment
// (OMBRIVALE_RENDERER, or SDL's own SDL_RENDER_DRIVER / SDL_FRAMEBUFFER_ACCELERATION). OMBRIVALE_SCALED_COPIES=0
// makes the software renderer stretch every scaled draw afresh, for a comparison with the copies it keeps.
#include <algorithm>
#include <cstdio>
#include <string>
#include <vector>

#include "gamescene.h"
#include "ui/menu.h"

namespace {
using namespace benchscene;

struct Frame {
    double wall, cpu;
    int from, screen;
    bool steady;  // fully faded in before and after, no screen entry inside
    int tag;
};
std::vector<Frame> frames;
int tag = 0;

// One frame of the main loop, timed without the wait for the next tick.
void frame(bool wait = true) {
    const int screen = curscreen;
    const bool shown = fadestate == 1 && fadelevel >= 255;
    const double w0 = wall_now(), c0 = cpu_now();
    mainloop_frame(0);
    const double w1 = wall_now(), c1 = cpu_now();
    if (curscreen != screen) timing_step("rest of the frame");
    frames.push_back({w1 - w0, c1 - c0, screen, curscreen, shown && fadestate == 1 && curscreen == screen, tag});
    if (wait) wait_timer(frametimer);
}

int run_startup(const std::string& build) {
    start_game(build);
    mainloop_show();
    timing_step("first frame");
    std::printf("startup_cpu_s=%.3f rss_mb=%ld renderer=%s\n", cpu_now(), peak_rss_mb(), renderer_name().c_str());
    return 0;
}

int run_heavy(const std::string& build, double seconds) {
    heavyscene(build);
    const int warm = 50;
    int n = 0;
    double w0 = 0, c0 = 0;
    frametimer = create_timer(50);
    for (;;) {
        if (n == warm) {
            w0 = wall_now();
            c0 = cpu_now();
        }
        heavyframe();
        wait_timer(frametimer);
        ++n;
        if (n > warm && wall_now() - w0 >= seconds) break;
    }
    const double w = wall_now() - w0, c = cpu_now() - c0;
    const int counted = n - warm;
    std::printf("fps=%.1f cpu_ms_per_frame=%.2f renderer=%s\n", counted / w, c / counted * 1000.0,
                renderer_name().c_str());
    return 0;
}

// A level played as it comes (no input), paced at 50 Hz: its background theme is the level's.
int run_level(const std::string& build, int level, double seconds) {
    start_game(build);
    newplayer();
    mouseactive = 1;
    mouse_at(512, 400);
    enterlevel(level, 150, [] { mainloop_frame(0); });
    frametimer = create_timer(50);
    int n = 0;
    double worst = 0;
    const double w0 = wall_now(), c0 = cpu_now();
    while (wall_now() - w0 < seconds) {
        const double c = cpu_now();
        closepopups();
        mainloop_frame(0);
        worst = std::max(worst, cpu_now() - c);
        wait_timer(frametimer);
        ++n;
    }
    std::printf("fps=%.1f cpu_ms_per_frame=%.2f cpu_max_ms=%.1f renderer=%s\n", n / (wall_now() - w0),
                (cpu_now() - c0) / n * 1000.0, worst * 1000, renderer_name().c_str());
    return 0;
}

double maxof(int wanted_tag, bool steady_only, bool cpu, int* at) {
    double m = 0;
    for (size_t i = 0; i < frames.size(); ++i) {
        const Frame& f = frames[i];
        if (wanted_tag >= 0 && f.tag != wanted_tag) continue;
        if (steady_only && !f.steady) continue;
        double v = cpu ? f.cpu : f.wall;
        if (v > m) {
            m = v;
            if (at) *at = (int)i;
        }
    }
    return m;
}

int run_session(const std::string& build) {
    start_game(build);
    newplayer();
    frametimer = create_timer(50);
    // Intro pages, splash and the loading screen play out by themselves into the menu.
    tag = 1;
    for (int i = 0; i < 3000 && !(curscreen == screen_menu && menuframes > 100); ++i) frame();
    // The map, with the mouse sweeping over it.
    tag = 2;
    gotoscreen(screen_map, 0);
    for (int i = 0; i < 200; ++i) {
        mouse_at(100 + (i * 7) % 800, 300 + (i * 3) % 300);
        frame();
    }
    // A level: the cannon follows the mouse; superstones explode now and then.
    tag = 3;
    enterlevel(2, 100, [] { frame(); });
    for (int i = 0; i < 600; ++i) {
        mouse_at(150 + (i * 5) % 700, 300);
        if (i % 60 == 30) {
            superstoneexplosion((float)(200 + (i * 37) % 600), (float)(300 + (i * 53) % 300), 1 + i % 9);
            playsound(57, (float)centerx);
        }
        frame();
    }
    // Won (the developers' key), the win screen counts up, then back to the map.
    tag = 4;
    devkeys = 1;
    inject_key(VK_F3, 1);
    frame();
    inject_key(VK_F3, 0);
    for (int i = 0; i < 500 && levelleft == 0; ++i) {
        if (i > 100 && i % 20 == 0) click_at(centerx, centery);
        frame();
    }
    for (int i = 0; i < 150; ++i) frame();
    // A match-3 level.
    tag = 5;
    enterlevel(5, 300, [] { frame(); });

    // With OMBRIVALE_TIMES set: the ten dearest frames (CPU), where they fell, and every frame's CPU in
    // BUILD/bench/session-frames.txt (frame, part, screen before, after, steady, CPU ms, wall ms).
    if (std::getenv("OMBRIVALE_TIMES")) {
        std::vector<size_t> order(frames.size());
        for (size_t i = 0; i < order.size(); ++i) order[i] = i;
        std::sort(order.begin(), order.end(), [](size_t a, size_t b) { return frames[a].cpu > frames[b].cpu; });
        for (size_t k = 0; k < std::min<size_t>(10, order.size()); ++k) {
            const Frame& f = frames[order[k]];
            std::fprintf(stderr, "dear frame %5zu part %d screen %d -> %d %s cpu %.1f ms wall %.1f ms\n", order[k],
                         f.tag, f.from, f.screen, f.steady ? "steady" : "      ", f.cpu * 1000, f.wall * 1000);
        }
        if (FILE* out = std::fopen((build + "/bench/session-frames.txt").c_str(), "w")) {
            for (size_t i = 0; i < frames.size(); ++i)
                std::fprintf(out, "%zu %d %d %d %d %.2f %.2f\n", i, frames[i].tag, frames[i].from, frames[i].screen,
                             (int)frames[i].steady, frames[i].cpu * 1000, frames[i].wall * 1000);
            std::fclose(out);
        }
    }
    int at = 0;
    const double longest = maxof(-1, false, false, &at);
    const double steady = maxof(-1, true, false, nullptr);
    const double steady_cpu = maxof(-1, true, true, nullptr);
    const double expl = maxof(3, true, false, nullptr);
    const double expl_cpu = maxof(3, true, true, nullptr);
    std::vector<double> cpus;
    for (const Frame& f : frames)
        if (f.steady) cpus.push_back(f.cpu);
    std::sort(cpus.begin(), cpus.end());
    const double median = cpus.empty() ? 0 : cpus[cpus.size() / 2];
    std::printf("frames=%zu longest_ms=%.1f longest_at=%d/%d steady_longest_ms=%.1f steady_cpu_max_ms=%.1f "
                "steady_cpu_median_ms=%.2f explosions_longest_ms=%.1f explosions_cpu_max_ms=%.1f rss_mb=%ld "
                "renderer=%s\n",
                frames.size(), longest * 1000, frames[at].tag, frames[at].screen, steady * 1000, steady_cpu * 1000,
                median * 1000, expl * 1000, expl_cpu * 1000, peak_rss_mb(), renderer_name().c_str());
    return 0;
}

}  // namespace

int main(int argc, char** argv) {
    if (argc < 3) {
        std::printf("usage: bench_scenes BUILD startup|heavy SECONDS|level L SECONDS|session\n");
        return 2;
    }
    std::setvbuf(stdout, nullptr, _IOLBF, 0);
    const std::string build = argv[1], what = argv[2];
    if (const char* copies = std::getenv("OMBRIVALE_SCALED_COPIES")) set_scaled_copies(std::atoi(copies));
    int rc = 2;
    if (what == "startup") rc = run_startup(build);
    if (what == "heavy") rc = run_heavy(build, argc > 3 ? std::atof(argv[3]) : 5.0);
    if (what == "session") rc = run_session(build);
    if (what == "level" && argc > 3) rc = run_level(build, std::atoi(argv[3]), argc > 4 ? std::atof(argv[4]) : 5.0);
    std::fflush(stdout);
    exitgame(rc);
}
