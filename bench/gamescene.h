// The game brought up as main() does, and the scenes the benches measure, shared by the bench programs.
#pragma once
#include <sys/resource.h>
#include <sys/stat.h>

#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <string>

#include "app/display.h"
#include "app/screenflow.h"
#include "app/shell.h"
#include "aztec/board.h"
#include "aztec/levelrun.h"
#include "effects/effects.h"
#include "effects/particles.h"
#include "platform/audio.h"
#include "platform/draw.h"
#include "platform/inject.h"
#include "platform/input.h"
#include "platform/paths.h"
#include "platform/random.h"
#include "platform/system.h"
#include "storage/players.h"
#include "storage/settings.h"
#include "ui/popups.h"

namespace benchscene {

inline double cpu_now() { return process_cpu_seconds(); }

inline double wall_now() {
    using namespace std::chrono;
    return duration<double>(steady_clock::now().time_since_epoch()).count();
}

inline long peak_rss_mb() {
    rusage ru;
    getrusage(RUSAGE_SELF, &ru);
    return ru.ru_maxrss / 1024;
}

// OMBRIVALE_BENCH_OUTPUT=WxH: full screen on a desktop of that size, in its best mode (a borderless window of
// the output's size, as full screen is); otherwise the 800 x 600 window.
inline void open_bench_display() {
    int w = 0, h = 0;
    const char* o = std::getenv("OMBRIVALE_BENCH_OUTPUT");
    if (o && std::sscanf(o, "%dx%d", &w, &h) == 2 && w >= 320 && h >= 200) {
        fakedesktopw = w;
        fakedesktoph = h;
        set_window_override(w, h);
        fullscreen = 1;
        displaymode = 1;
    } else {
        fullscreen = 0;
    }
    checkvideo();
    instgraphic();
}

// The start-up of the game as main() runs it, with the data of the build folder and a fresh user folder,
// windowed 800 x 600 (or full screen, above).
inline void start_game(const std::string& build) {
    if (std::getenv("DISPLAY")) setenv("SDL_VIDEODRIVER", "x11", 0);
    setenv("SDL_AUDIODRIVER", "dummy", 0);  // an audio thread mixing in real time, as with a sound card
    platform_init();
    basedir = build;
    if (basedir.back() != '/') basedir += '/';
    frametimer = create_timer(50);
    secondtimer = create_timer(1);
    clocktimer = create_timer(1);
    char tmpl[] = "/tmp/ombrivale-bench-XXXXXX";
    userpath = std::string(mkdtemp(tmpl)) + "/";
    newuserfolder = 1;
    timing_step("platform");
    loadall();
    timing_step("settings and players");
    open_bench_display();
    timing_step("display");
    input_start();
    initsound();
    timing_step("sound bank");
    instmain();
}

inline void closepopups() {
    if ((popupkind == 102 || popupkind == 777) && popupfade == 16) popupfadedir = 2;
}

inline void mouse_at(int lx, int ly) {
    inject_mouse_move(lx * windoww / virtw, ly * windowh / virth);
}

inline void click_at(int lx, int ly) {
    mouse_at(lx, ly);
    inject_mouse_button(1, 1);
    inject_mouse_button(1, 0);
}

// Particles of a busy board until all 1000 slots are taken (the estimates of each effect's share keep the
// loop short; a request beyond the pool is dropped by the pool).
inline void refillparticles() {
    int free = 0;
    for (int i = 1; i < PARTICLESLOTS; ++i) free += part_kind[i] == 0;
    while (free > 0) {
        float x = (float)rand_range(150, 850), y = (float)rand_range(150, 650);
        int before = free;
        // Mostly stone bursts, chains, granite and smoke; now and then a superstone going off.
        const int pick = rand_range(1, 24);
        if (pick == 1) {
            superstoneexplosion(x, y, rand_range(1, 9));
            addparticle(x, y, 11020, 0, 0);
            free -= 42;
        } else if (pick <= 9) {
            stoneburst(x, y, rand_range(1, 9));
            free -= 10;
        } else if (pick <= 13) {
            chainbreak(x, y);
            free -= 14;
        } else if (pick <= 17) {
            granitehit(x, y);
            free -= 12;
        } else {
            for (int k = 0; k < 12; ++k) addparticle(x, y, 3, 0.03f * rand_range(-100, 100), -1);
            for (int k = 0; k < 4; ++k) addparticle(x, y, 103, 0.2f * rand_range(-10, 10), 0);
            free -= 16;
        }
        if (free >= before) break;
    }
}

// Every cell of the board taken, with shadows, chains, superstones and armoured stones.
inline void fullboard() {
    const int p = curplayer;
    for (int s = 1; s < BOARDSLOTS; ++s) stone_kind[p][s] = 0;
    const int kinds[] = {1, 2, 3, 4, 5, 6, 7, 8, 9, 12, 21, 61, 71, 91, 15, 65, 72, 93};
    int n = 0;
    for (int r = 0; r < 13; ++r)
        for (int c = 0; c < 12; ++c) {
            int kind = r == 0 ? 10 : kinds[n++ % 18];
            addstone(32 + 64 * c, 32 + 64 * r, kind, r > 0 && c % 5 == 0 ? 2 : 0);
        }
}

inline void newplayer() {
    curplayer = 1;
    playername[1] = "BENCH";
    playerlevel[1] = maxlevel[1] = 10;
    for (int l = 1; l < 10; ++l) {
        levelstate[1][l] = 101;
        levelstars[1][l] = 2;
    }
    levelstate[1][10] = 101;
    adventurestarted[1] = 1;
}

// Into a level straight from the map, with its help page and difficulty dialog closed.
template <typename Frame>
inline void enterlevel(int level, int settle, Frame frame) {
    curlevel = level;
    reset_player_data_for_new_level();
    gotoscreen(screen_game, 0);
    for (int i = 0; i < 60 && !(curscreen == screen_game && fadestate == 1); ++i) frame();
    for (int i = 0; i < settle; ++i) {
        closepopups();
        frame();
    }
}

// The heaviest scene: level 2 (four layers and butterflies), every board cell taken, the whole particle pool
// alive, the interface around. Call heavyframe() for each frame after heavyscene().
inline void heavyscene(const std::string& build) {
    start_game(build);
    newplayer();
    mouseactive = 1;
    mouse_at(512, 400);
    enterlevel(2, 150, [] { mainloop_frame(0); });
}

inline void heavyframe() {
    fullboard();
    refillparticles();
    closepopups();
    mainloop_frame(0);
}

}  // namespace benchscene
