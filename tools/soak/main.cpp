// Soak driver: runs the real game loop headless, as fast as it goes, under a seeded random stream of input (mouse
// moves, clicks, taps within one frame, drags, wheel, keys, typed characters, focus loss, close requests), steered
// toward every screen and dialog by clicking what the current frame drew as buttons, by the developer keys, and by
// leaving any state that lasts too long. Everything goes through the window-event path the game reads.
//
// It prints the frames spent per screen, level kind and popup, the resident memory at the start, at 100k frames
// and at the end, flags any state that stays put for more than five minutes of game time, and checks at the end
// that every profile and the settings still load. With --kills N it first kills a process that keeps saving the
// player's files N times with SIGKILL and checks that each file is always the old or the new version.
//
//   ombrivale-soak [--frames N] [--seed S] [--data DIR] [--kills N] [--progress N]
// Exit status: 0 clean, 1 a finding (watchdog, a damaged file, a torn save), 2 bad arguments or no data.
#include <fcntl.h>
#include <signal.h>
#include <sys/mman.h>
#include <sys/wait.h>
#include <unistd.h>

#include <time.h>

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <map>
#include <random>
#include <set>
#include <string>
#include <vector>

#include "app/display.h"
#include "app/harness.h"
#include "app/screenflow.h"
#include "app/shell.h"
#include "aztec/catalogue.h"
#include "aztec/levelrun.h"
#include "platform/audio.h"
#include "platform/draw.h"
#include "platform/inject.h"
#include "platform/input.h"
#include "screens/map.h"
#include "screens/story.h"
#include "app/profiles.h"
#include "storage/players.h"
#include "storage/safefile.h"
#include "storage/settings.h"
#include "ui/buttons.h"
#include "ui/helppages.h"
#include "ui/menu.h"
#include "ui/popups.h"

namespace fs = std::filesystem;

namespace {
// ---------------------------------------------------------------------------------------------------------------
// Memory

long rss_kb() {
    long pages = 0, resident = 0;
    FILE* f = std::fopen("/proc/self/statm", "r");
    if (!f) return -1;
    if (std::fscanf(f, "%ld %ld", &pages, &resident) != 2) resident = -1;
    std::fclose(f);
    return resident < 0 ? -1 : resident * (sysconf(_SC_PAGESIZE) / 1024);
}

bool read_file(const std::string& path, std::string& out) {
    std::ifstream f(path, std::ios::binary);
    if (!f) return false;
    out.assign(std::istreambuf_iterator<char>(f), std::istreambuf_iterator<char>());
    return !f.bad();
}

// ---------------------------------------------------------------------------------------------------------------
// Kill during save

// Two versions of the current player and the settings: the save loop writes them in turn.
struct Version {
    std::string profile, settings;
};

void set_version(int which) {
    resetplayer(1);
    playername[1] = which ? "BRAVO" : "ALPHA";
    playerlevel[1] = maxlevel[1] = which ? 42 : 7;
    playerscore[1] = which ? 84300 : 1200;
    adventurestarted[1] = 1;
    for (int l = 1; l <= 41; ++l) levelstars[1][l] = which ? 3 : (l < 7 ? 1 : 0);
    curplayer = 1;
    musicvolume = which ? 500 : 100;
    soundvolume = which ? 20 : 400;
}

Version version_bytes(int which, const std::string& folder) {
    set_version(which);
    saveplayer(1);
    savesettings(0);
    Version v;
    read_file(folder + "players1.ppp", v.profile);
    read_file(folder + "settings.txt", v.settings);
    return v;
}

// Returns the number of damaged outcomes (torn, missing or a third version).
int kill_trials(int trials, unsigned seed) {
    std::string folder = fs::temp_directory_path() / ("ombrivale-kill-" + std::to_string(getpid()));
    fs::remove_all(folder);
    fs::create_directories(folder);
    userpath = folder + "/";
    Version v[2] = {version_bytes(0, userpath), version_bytes(1, userpath)};
    if (v[0].profile.size() < 28708 || v[0].profile == v[1].profile || v[0].settings == v[1].settings) {
        std::printf("kill: the two versions could not be prepared\n");
        return 1;
    }
    // The child tells through shared memory whether it is inside a save and how many it finished.
    auto* shared = (volatile int*)mmap(nullptr, 4096, PROT_READ | PROT_WRITE, MAP_SHARED | MAP_ANONYMOUS, -1, 0);
    std::mt19937 rng(seed ^ 0x5eed);
    int torn = 0, missing = 0, midsave = 0, saves = 0, sawold = 0, sawnew = 0;
    for (int t = 0; t < trials; ++t) {
        shared[0] = 0;
        shared[1] = 0;
        std::fflush(stdout);
        pid_t pid = fork();
        if (pid == 0) {
            std::freopen("/dev/null", "w", stdout);
            for (int which = 1;; which ^= 1) {
                set_version(which);
                shared[0] = 1;
                saveplayer(1);
                savesettings(0);
                shared[0] = 0;
                shared[1] = shared[1] + 1;
            }
        }
        if (pid < 0) {
            std::printf("kill: fork failed\n");
            return 1;
        }
        usleep(std::uniform_int_distribution<int>(500, 30000)(rng));
        midsave += shared[0];
        kill(pid, SIGKILL);
        int status = 0;
        waitpid(pid, &status, 0);
        saves += shared[1];
        const struct {
            const char* name;
            std::string Version::*field;
        } files[2] = {{"players1.ppp", &Version::profile}, {"settings.txt", &Version::settings}};
        for (const auto& f : files) {
            std::string now;
            if (!read_file(userpath + f.name, now)) {
                ++missing;
                std::printf("kill: trial %d left no %s\n", t + 1, f.name);
            } else if (now == v[0].*f.field) {
                ++sawold;
            } else if (now == v[1].*f.field) {
                ++sawnew;
            } else {
                ++torn;
                std::printf("kill: trial %d left %s torn (%zu bytes)\n", t + 1, f.name, now.size());
            }
        }
    }
    munmap((void*)shared, 4096);
    fs::remove_all(folder);
    std::printf("kill: %d trials, %d killed inside a save, %d saves finished in all; files found as version A %d, "
                "version B %d, torn %d, missing %d\n",
                trials, midsave, saves, sawold, sawnew, torn, missing);
    return torn + missing;
}

// ---------------------------------------------------------------------------------------------------------------
// What the frame drew: the buttons and check boxes are the places worth clicking.

struct Target {
    float x, y;
};
std::vector<Target> drawn, targets;

void observe(const TImage& image, float x, float y, int) {
    if (!image) return;
    bool clickable = image == cbimg || image == barimg;
    for (int k = 0; k < 21 && !clickable; ++k) clickable = image == buttonimage[k];
    if (clickable && drawn.size() < 400) drawn.push_back({x, y});
}

// ---------------------------------------------------------------------------------------------------------------
// Coverage

std::map<std::string, long> frames_in;
std::map<std::string, double> cpu_in;  // processor seconds spent in the frames of each label

double cpu_seconds() {
    timespec t{};
    clock_gettime(CLOCK_PROCESS_CPUTIME_ID, &t);
    return (double)t.tv_sec + 1e-9 * (double)t.tv_nsec;
}

const char* popupname(int k) {
    switch (k) {
        case 99: return "quit";
        case 100: return "options";
        case 102: return "help page";
        case 103: return "player list";
        case 105: return "name entry";
        case 106: return "delete player";
        case 107: return "continue or new";
        case 111: return "ranking";
        case 298: return "pause menu";
        case 432: return "new adventure";
        case 777: return "difficulty";
        case 779: return "restart level";
        case 781: return "duplicate name";
        default: return "other";
    }
}

std::string levelkind(int l) {
    if (l < 1 || l >= LEVELSLOTS) return "no level";
    if (level_type[l] == 2) return "match-3";
    if (level_challenge[l] == 1) return "aztec, time";
    if (level_challenge[l] == 2) return "aztec, moves";
    return "aztec, no challenge";
}

// The labels this frame counts toward.
std::vector<std::string> labels() {
    std::vector<std::string> out;
    switch (curscreen) {
        case screen_intro: out.push_back("screen intro"); break;
        case screen_load: out.push_back("screen loading"); break;
        case screen_menu: out.push_back("screen menu"); break;
        case screen_map:
            out.push_back("screen map");
            if (previewfade > 0) out.push_back("map: level preview");
            break;
        case screen_story:
            out.push_back("screen story");
            out.push_back("story chapter " + std::to_string(storychapter));
            if (storychapter == STORYCHAPTERS && storyfade > 0) out.push_back("story: the ending");
            break;
        case screen_game:
            out.push_back("screen game");
            out.push_back("level: " + levelkind(playlevel));
            if (wincount > 0) out.push_back("game: win screen");
            if (losecount > 0) out.push_back("game: lose screen");
            break;
        default: out.push_back("screen other"); break;
    }
    if (popupkind > 0) {
        out.push_back(std::string("popup ") + std::to_string(popupkind) + " " + popupname(popupkind));
        if (popupkind == 102) out.push_back("help page " + std::to_string(helppage));
    }
    if (paused == 1 && popupkind == 0 && curscreen >= 0) out.push_back("pause overlay");
    return out;
}

const char* const wanted[] = {"screen intro", "screen loading", "screen menu", "screen map", "screen game",
                              "screen story", "map: level preview", "level: aztec, time", "level: aztec, moves",
                              "level: match-3", "game: win screen", "game: lose screen", "story: the ending",
                              "popup 99 quit", "popup 100 options", "popup 102 help page", "popup 103 player list",
                              "popup 105 name entry", "popup 106 delete player", "popup 107 continue or new",
                              "popup 111 ranking", "popup 298 pause menu", "popup 432 new adventure",
                              "popup 777 difficulty", "popup 779 restart level", "popup 781 duplicate name",
                              "pause overlay"};

// ---------------------------------------------------------------------------------------------------------------
// The input stream

struct Driver {
    std::mt19937 rng;
    int held_left = 0;   // frames left of a drag with the left button down
    int held_key = 0, held_frames = 0;
    int unfocused = 0;   // frames left without the focus
    int wx = 400, wy = 300;
    int plan = 0;        // what this visit of a level aims at: 0 win by F3, 1 play on, 2 leave by the menu
    int planframes = 0;  // frames of the visit before the plan acts
    int lastlevelvisit = -1;

    explicit Driver(unsigned seed) : rng(seed) {}
    int in(int a, int b) { return std::uniform_int_distribution<int>(a, b)(rng); }
    bool chance(double p) { return std::uniform_real_distribution<double>(0, 1)(rng) < p; }

    void move_logical(float lx, float ly) {
        harness_window_point((int)lx, (int)ly, &wx, &wy);
        wx = std::clamp(wx, 0, std::max(1, windoww) - 1);
        wy = std::clamp(wy, 0, std::max(1, windowh) - 1);
        inject_mouse_move(wx, wy);
    }
    void tap_left() {
        inject_mouse_button(1, 1);
        inject_mouse_button(1, 0);
    }
    void tap_key(int vk) {
        inject_key(vk, 1);
        inject_key(vk, 0);
    }
    void click_target() {
        if (targets.empty()) return;
        // A popup is drawn over its screen: its own buttons are the last ones drawn.
        const int n = (int)targets.size();
        const int first = popupkind > 0 && chance(0.8) ? std::max(0, n - 6) : 0;
        const Target& t = targets[in(first, n - 1)];
        move_logical(t.x + in(-8, 8), t.y + in(-6, 6));
        tap_left();
    }
    void type_some() {
        static const char* const extra[] = {"é", "ß", "€", "\t", " ", "~", "ü"};
        std::string s;
        int n = in(1, 3);
        for (int i = 0; i < n; ++i) {
            if (chance(0.1)) s += extra[in(0, 6)];
            else s += (char)in(32, 126);
        }
        inject_text(s);
    }

    // Random input any screen may get.
    void noise() {
        if (chance(0.25)) {
            wx = std::clamp(wx + in(-40, 40), 0, std::max(1, windoww) - 1);
            wy = std::clamp(wy + in(-40, 40), 0, std::max(1, windowh) - 1);
            inject_mouse_move(wx, wy);
        }
        if (chance(0.01)) {
            inject_mouse_move(in(-20, windoww + 20), in(-20, windowh + 20));  // also off the window
        }
        if (held_left > 0) {
            if (--held_left == 0) inject_mouse_button(1, 0);
        } else if (chance(0.004)) {
            inject_mouse_button(1, 1);  // a drag: held for a while, moved meanwhile
            held_left = in(2, 60);
        }
        if (chance(0.02)) tap_left();
        if (chance(0.008)) {
            inject_mouse_button(2, 1);
            inject_mouse_button(2, 0);
        }
        if (chance(0.003)) {
            inject_mouse_button(3, 1);
            inject_mouse_button(3, 0);
        }
        if (chance(0.005)) inject_wheel(in(-3, 3));
        if (held_key) {
            if (--held_frames <= 0) {
                inject_key(held_key, 0);
                held_key = 0;
            }
        } else if (chance(0.01)) {
            static const int keys[] = {VK_ESCAPE, VK_RETURN, VK_SPACE, VK_BACK, 'A', 'Z', '5', 37, 38, 39, 40, 9,
                                       46, VK_F2, VK_F7, VK_F8};
            held_key = keys[in(0, 15)];
            inject_key(held_key, 1);
            held_frames = chance(0.5) ? 0 : in(1, 70);  // 0: a tap within one frame
            if (held_frames == 0) {
                inject_key(held_key, 0);
                held_key = 0;
            }
        }
        if (chance(0.006)) type_some();
        if (unfocused > 0) {
            if (--unfocused == 0) inject_focus(1);
        } else if (chance(1.0 / 4000)) {
            inject_focus(0);
            unfocused = in(1, 50);
        }
        if (chance(1.0 / 5000)) inject_close();
    }

    // Input with a purpose: what a player of this screen would do next.
    void steer(long frame, long stuck) {
        if (frame < 40 && curscreen == screen_intro) inject_key(VK_F3, frame < 39);  // developer keys on
        if (curscreen == screen_intro || curscreen == screen_load) {
            if (chance(0.02)) tap_key(chance(0.5) ? VK_SPACE : VK_RETURN);
            return;
        }
        if (stuck > 4000 && stuck % 500 == 0) {
            // Long enough here: leave the way a player would.
            if (curscreen == screen_game && popupkind == 0 && wincount == 0 && losecount == 0) tap_key(VK_F3);
            else if (popupkind > 0 && chance(0.5)) tap_key(VK_ESCAPE);
            else click_target();
            return;
        }
        if (popupkind == 105) {  // name entry: a few letters, then confirm
            if (chance(0.05)) inject_text(std::string(1, (char)in('A', 'H')));
            if (chance(0.01)) tap_key(VK_RETURN);
        }
        if (curscreen == screen_map && chance(0.002) && maxlevel[std::max(0, curplayer)] < 100) tap_key(VK_F3);
        if (curscreen == screen_game && popupkind == 0 && wincount == 0 && losecount == 0) {
            if (playlevel != lastlevelvisit || level_frames < 5) {
                lastlevelvisit = playlevel;
                plan = in(0, 9) < 5 ? 0 : in(0, 9) < 7 ? 1 : 2;
                planframes = in(200, 2500);
            }
            if (level_frames > 150 && chance(0.03)) {  // aim somewhere on the board and press
                move_logical((float)in(100, virtw - 100), (float)in(150, virth - 60));
                tap_left();
            }
            if (level_frames > planframes) {
                if (plan == 0 && chance(0.05)) tap_key(playlevel >= 100 || chance(0.9) ? VK_F3 : VK_F4);
                if (plan == 2 && chance(0.05)) tap_key(VK_ESCAPE);
            }
            return;
        }
        if (chance(curscreen == screen_game && popupkind == 0 ? 0.01 : 0.03)) click_target();
        // Hover over the map's nodes so their previews open.
        if (curscreen == screen_map && chance(0.01) && !targets.empty()) {
            const Target& t = targets[in(0, (int)targets.size() - 1)];
            move_logical(t.x, t.y);
        }
    }
};

// Every profile and the settings must still load: sizes and name lengths as the game writes them.
int check_files() {
    int bad = 0;
    for (int s = 1; s <= MAXPLAYERS; ++s) {
        std::string bytes, file = playerfile(s);
        if (!read_file(file, bytes)) {
            std::printf("soak: %s cannot be read\n", file.c_str());
            ++bad;
            continue;
        }
        int32_t n = -1;
        if (bytes.size() >= 28708) std::memcpy(&n, bytes.data() + 28704, 4);
        if (bytes.size() < 28708 || n < 0 || n > 12 || bytes.size() != 28708u + (size_t)n) {
            std::printf("soak: %s is damaged (%zu bytes, name length %d)\n", file.c_str(), bytes.size(), n);
            ++bad;
        }
    }
    std::string settings;
    if (!read_file(userpath + "settings.txt", settings) ||
        std::count(settings.begin(), settings.end(), '\n') != 7 || settings.find("\r\n") == std::string::npos) {
        std::printf("soak: settings.txt is damaged\n");
        ++bad;
    }
    // And the game reads them back without complaint or harm.
    std::string names[PLAYERSLOTS];
    for (int s = 1; s <= MAXPLAYERS; ++s) names[s] = playername[s];
    loadplayers(0);
    loadsettings();
    return bad;
}

void print_coverage(long frames) {
    std::printf("soak: frames per screen, level kind and popup (of %ld):\n", frames);
    for (const auto& [label, n] : frames_in)
        std::printf("  %-28s %9ld   %6.2f ms of processor time per frame\n", label.c_str(), n,
                    1000.0 * cpu_in[label] / (double)std::max(1L, n));
    std::string missing;
    for (const char* w : wanted)
        if (!frames_in.count(w)) missing += std::string(missing.empty() ? "" : ", ") + w;
    std::printf("soak: not reached: %s\n", missing.empty() ? "none" : missing.c_str());
}
}  // namespace

int main(int argc, char** argv) {
    long frames = 1000000;
    unsigned seed = 1;
    int kills = 0;
    long progress = 100000;
    std::string data;
    for (int i = 1; i < argc; ++i) {
        std::string a = argv[i];
        auto next = [&]() -> std::string { return i + 1 < argc ? argv[++i] : ""; };
        if (a == "--frames") frames = std::atol(next().c_str());
        else if (a == "--seed") seed = (unsigned)std::strtoul(next().c_str(), nullptr, 10);
        else if (a == "--data") data = next();
        else if (a == "--kills") kills = std::atoi(next().c_str());
        else if (a == "--progress") progress = std::max(1L, std::atol(next().c_str()));
        else {
            std::fprintf(stderr, "usage: ombrivale-soak [--frames N] [--seed S] [--data DIR] [--kills N] [--progress N]\n");
            return 2;
        }
    }
    if (data.empty()) data = fs::canonical("/proc/self/exe").parent_path().string();
    if (!fs::exists(fs::path(data) / "data" / "levelz" / "levels.lvl")) {
        std::fprintf(stderr, "soak: no game data under %s (build the game first, or pass --data)\n", data.c_str());
        return 2;
    }
    std::setvbuf(stdout, nullptr, _IOLBF, 0);
    int findings = 0;
    if (kills > 0) findings += kill_trials(kills, seed) > 0;

    // A user folder of its own, found the way the game finds it.
    std::string home = fs::temp_directory_path() / ("ombrivale-soak-" + std::to_string(getpid()));
    fs::remove_all(home);
    fs::create_directories(home);
    setenv("XDG_DATA_HOME", home.c_str(), 1);

    // Start-up as the game does it, on the headless window; game output goes to a log, not the console.
    std::string gamelog = home + "/game.log";
    std::fflush(stdout);
    int console = dup(1);
    if (!std::freopen(gamelog.c_str(), "w", stdout)) return 2;
    std::setvbuf(stdout, nullptr, _IOLBF, 0);
    auto say = [console](const char* fmt, auto... args) {
        char line[512];
        int n = std::snprintf(line, sizeof line, fmt, args...);
        if (n > 0 && write(console, line, (size_t)std::min(n, (int)sizeof line - 1)) < 0) {}
    };
    harness_open(data);
    makepath();
    loadall();
    checkvideo();  // the display modes the options offer
    initsound();
    instmain();
    set_draw_observer(observe);

    Driver drive(seed);
    const long start_rss = rss_kb();
    long rss_100k = -1, rss_warm = -1, peak = start_rss;
    say("soak: seed %u, %ld frames, user folder %s\n", seed, frames, home.c_str());
    say("soak: RSS at start %ld kB\n", start_rss);
    long stuck = 0, worst = 0;
    int lastscreen = 99999, lastpopup = -1, lastpaused = 0, restarts = 0;
    for (long f = 1; f <= frames; ++f) {
        drive.noise();
        drive.steer(f, stuck);
        drawn.clear();
        const double t0 = cpu_seconds();
        mainloop_frame(0);
        const double spent = cpu_seconds() - t0;
        targets.swap(drawn);
        for (const std::string& l : labels()) {
            ++frames_in[l];
            cpu_in[l] += spent;
        }
        if (curscreen == lastscreen && popupkind == lastpopup && paused == lastpaused) {
            if (++stuck == 15000) {
                say("soak: WATCHDOG: screen %d popup %d unchanged for 15000 frames (frame %ld)\n", curscreen,
                    popupkind, f);
                ++findings;
            }
        } else {
            worst = std::max(worst, stuck);
            stuck = 0;
            lastscreen = curscreen;
            lastpopup = popupkind;
            lastpaused = paused;
        }
        if (quitrequested == 1) {
            // The player quit: start the game again over the same user folder, as a player would.
            ++restarts;
            quitrequested = 0;
            loadall();
            instmain();
        }
        if (f == 20000) rss_warm = rss_kb();
        if (f == 100000) {
            rss_100k = rss_kb();
            say("soak: RSS at 100k frames %ld kB\n", rss_100k);
        }
        if (f % 1000 == 0) peak = std::max(peak, rss_kb());
        if (f % progress == 0)
            say("soak: %ld frames, screen %d, popup %d, RSS %ld kB\n", f, curscreen, popupkind, rss_kb());
    }
    set_draw_observer(nullptr);
    const long end_rss = rss_kb();
    worst = std::max(worst, stuck);
    say("soak: RSS at end %ld kB (after warm-up at 20k frames %ld kB, peak %ld kB)\n", end_rss, rss_warm, peak);
    say("soak: longest stay in one state %ld frames; %d restarts after quitting\n", worst, restarts);

    int bad = check_files();
    std::fflush(stdout);
    dup2(console, 1);
    print_coverage(frames);
    if (bad) std::printf("soak: %d damaged user files\n", bad);
    findings += bad;
    std::printf("soak: %s (%d findings); game output in %s\n", findings ? "FAILED" : "clean", findings,
                gamelog.c_str());
    mixer_close_device();
    harness_close();
    return findings ? 1 : 0;
}
