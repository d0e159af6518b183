// Soak driver: runs the real game loop headless, as fast as it goes, under a seeded random stream of input (mouse
// moves, clicks, taps within one frame, drags, wheel, keys, typed characters, focus loss, close requests), steered
// toward every screen and dialog by clicking what the current frame drew as buttons, by the developer keys, and by
// leaving any state that lasts too long. Now and then it sets out for a required place it has not reached yet (the
// lose screen, the ending, a duplicate name, every help page ...) by the buttons a player would press, and wanders
// again in between. Everything goes through the window-event path the game reads.
//
// It prints the frames spent per screen, level kind and popup, the resident memory at the start, at 5k and 20k
// frames, every 100k frames and at the end (and where it rises), flags any state that stays put for more than five
// minutes of game time, and checks at the end that every profile and the settings still load. A run of 20,000
// frames or more fails when a required place was never reached. With --kills N it first kills a process that
// keeps saving the player's files N times with SIGKILL and checks that each file is always the old or the new
// version. With --quit-at F it quits through the quit dialog from frame F on and leaves by the game's own exit.
// With --no-raster every draw is still worked out in full by the game's own code, but SDL's software rasteriser
// never fills a pixel: nine tenths of a frame's time is spent there, in a library the sanitizers do not see, so
// long runs use it to put ten times as many frames of the game's own code under the sanitizers.
//
//   ombrivale-soak [--frames N] [--seed S] [--data DIR] [--kills N] [--progress N] [--quit-at F] [--no-raster]
// Exit status: 0 clean, 1 a finding (watchdog, a damaged file, a torn save, a required place not reached),
// 2 bad arguments or no data.
#include <fcntl.h>
#include <signal.h>
#include <sys/mman.h>
#include <sys/wait.h>
#include <unistd.h>

#include <malloc.h>
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

// Bytes the program holds from the allocator (0 under AddressSanitizer, whose allocator keeps its own books).
// Set beside the resident size it tells a leak (this grows) from memory the allocator keeps for reuse.
// Bytes the program holds from the allocator (AddressSanitizer's own allocator answers for itself: its resident
// size also carries the quarantine of freed blocks).
#if defined(__SANITIZE_ADDRESS__)
extern "C" size_t __sanitizer_get_current_allocated_bytes();
#endif
long heap_kb() {
#if defined(__SANITIZE_ADDRESS__)
    return (long)(__sanitizer_get_current_allocated_bytes() / 1024);
#else
    const struct mallinfo2 m = mallinfo2();
    return (long)((m.uordblks + m.hblkhd) / 1024);
#endif
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
                              "pause overlay", "story chapter 1", "help page 1", "help page 2", "help page 3",
                              "help page 4", "help page 5", "help page 6", "help page 7", "help page 8",
                              "help page 9", "help page 10", "help page 11", "help page 12", "help page 13"};

// ---------------------------------------------------------------------------------------------------------------
// The input stream

// A button the last frame drew where a click reaches it now (popup buttons while a popup is open).
bool shown(int id) {
    return id >= 1 && id <= 300 && buttonseenframe[id] == framecount &&
           buttonseenlayer[id] == (popupkind > 0 ? 2 : 1);
}

bool seen(const std::string& label) { return frames_in.count(label) > 0; }

bool timelevel(int l) { return l >= 1 && l < LEVELSLOTS && level_type[l] == 1 && level_challenge[l] == 1; }

struct Driver {
    std::mt19937 rng;
    int held_left = 0;   // frames left of a drag with the left button down
    int held_key = 0, held_frames = 0;
    int unfocused = 0;   // frames left without the focus
    int wx = 400, wy = 300;
    int plan = 0;        // what this visit of a level aims at: 0 win by F3, 1 play on, 2 leave by the menu
    int planframes = 0;  // frames of the visit before the plan acts
    int lastlevelvisit = -1;
    // Seeking: now and then the driver sets out for a required place it has not reached yet, and wanders between.
    int goal = -1;               // index into `wanted`, -1 while wandering
    long goalends = 0, wanderends = 300;
    int cooldown = 0;            // frames before the next purposeful step
    int pickedlevel = 0;         // the level a seeking run walks to on the map
    int hover = 0;               // frames left resting the pointer on a map node

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

    // Random input any screen may get. While seeking (`calm`) new random events are rarer; a drag, a held key
    // or a lost focus already under way always runs its course.
    void noise(bool calm) {
        if (held_left > 0 && --held_left == 0) inject_mouse_button(1, 0);
        if (held_key && --held_frames <= 0) {
            inject_key(held_key, 0);
            held_key = 0;
        }
        if (unfocused > 0 && --unfocused == 0) inject_focus(1);
        if (calm && !chance(0.1)) return;
        if (chance(0.25)) {
            wx = std::clamp(wx + in(-40, 40), 0, std::max(1, windoww) - 1);
            wy = std::clamp(wy + in(-40, 40), 0, std::max(1, windowh) - 1);
            inject_mouse_move(wx, wy);
        }
        if (chance(0.01)) {
            inject_mouse_move(in(-20, windoww + 20), in(-20, windowh + 20));  // also off the window
        }
        if (held_left == 0 && chance(0.004)) {
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
        if (!held_key && chance(0.01)) {
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
        if (unfocused == 0 && chance(1.0 / 4000)) {
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

    // ------------------------------------------------------------------------------------------------------------
    // Seeking a place

    // Chooses between wandering and seeking; returns whether this frame seeks.
    bool seeking(long frame) {
        if (goal >= 0 && (seen(wanted[goal]) || frame > goalends)) {
            goal = -1;
            wanderends = frame + in(100, 800);
        }
        if (goal < 0 && frame > wanderends) {
            std::vector<int> open;
            for (int g = 0; g < (int)std::size(wanted); ++g)
                if (!seen(wanted[g])) open.push_back(g);
            if (open.empty()) {
                wanderends = frame + 5000;  // everything reached: look again now and then
                return false;
            }
            goal = open[(size_t)in(0, (int)open.size() - 1)];
            goalends = frame + 4000;
            pickedlevel = 0;
        }
        return goal >= 0 && curscreen != screen_intro && curscreen != screen_load;
    }

    int player() const { return curplayer >= 1 && curplayer <= MAXPLAYERS ? curplayer : 0; }

    bool press(int id) {
        if (!shown(id)) return false;
        move_logical(buttonseenx[id] + (float)in(-4, 4), buttonseeny[id] + (float)in(-3, 3));
        tap_left();
        return true;
    }
    void escape() {
        if (escapedelay == 0) tap_key(VK_ESCAPE);
    }

    // Closes the popup in front; the confirmations without Escape step back by their buttons.
    void close_popup() {
        if (popupkind == 432) press(12);
        else if (popupkind == 781) press(11);
        else if (popupkind == 298) press(16);
        else escape();
    }

    // Name entry: a fresh name of four letters (or the one given), then Enter.
    void name_entry(const std::string& name = "") {
        const int p = player();
        if (p && playername[p].empty()) {
            if (!name.empty()) {
                inject_text(name);
            } else {
                std::string fresh;
                for (int i = 0; i < 4; ++i) fresh += (char)in('A', 'Z');
                inject_text(fresh);
            }
        } else {
            tap_key(VK_RETURN);
        }
    }

    // Steps that lead out of a level: the win and lose screens, the pause overlay, the pause menu.
    bool leave_level(int pausebutton) {
        if (popupkind == 298) return press(pausebutton);
        if (popupkind > 0) return close_popup(), true;
        if (losecount >= 150) return press(5);
        if (losecount > 0) return true;
        if (wincount > 0) {
            if (wincount > 60) tap_left();
            return true;
        }
        escape();
        return true;
    }

    void to_menu() {
        if (paused == 1 && popupkind == 0) return tap_left();  // the pause overlay goes on with a click
        if (curscreen == screen_game) return (void)leave_level(14);
        if (popupkind > 0) return close_popup();
        if (curscreen == screen_map) press(2);
        else if (curscreen == screen_story) press(1);
    }

    void to_map() {
        if (paused == 1 && popupkind == 0) return tap_left();
        if (curscreen == screen_game) return (void)leave_level(15);
        if (curscreen == screen_map) {
            if (popupkind > 0) close_popup();
            return;
        }
        if (curscreen == screen_story) {
            press(storychapter == STORYCHAPTERS ? 1 : 2);
            return;
        }
        // The menu: Play, and Continue when the adventure has begun.
        if (popupkind == 107) press(12);
        else if (popupkind == 105) name_entry();
        else if (popupkind > 0) close_popup();
        else press(1);
    }

    // Walks the map to a level that `fits` and starts it; unlocks the whole map with F3 when none is open.
    template <class Fits>
    void start_level(Fits fits) {
        if (curscreen != screen_map || popupkind > 0 || paused == 1) return to_map();
        const int p = player();
        if (!p) return to_menu();
        if (pickedlevel == 0 || !fits(pickedlevel) || levelstate[p][pickedlevel] <= 0) {
            std::vector<int> open;
            for (int l = 1; l <= MAPLEVELS; ++l)
                if (levelstate[p][l] > 0 && fits(l)) open.push_back(l);
            if (open.empty()) {
                if (devkeys == 1 && mapframes > 30) tap_key(VK_F3);
                return;
            }
            pickedlevel = open[(size_t)in(0, (int)open.size() - 1)];
        }
        const int section = (pickedlevel - 1) / 15 + 1;
        if (mapsection != section) {
            press(5 + section);
            return;
        }
        if (mapframes > 40 && std::abs(mapscroll + (float)(section - 1) * MAPSECTIONWIDTH) < 2)
            press(20 + pickedlevel);
    }

    // In a level started for a goal: answer its first popups, then play on, win or wait.
    void in_level(int difficulty) {
        if (popupkind == 102) return escape();
        if (popupkind == 777) {
            const int p = player();
            if (difficulty && p && playdifficulty[p] != difficulty) {
                move_logical((float)centerx, (float)(centery - 60 * difficulty + 175));
                tap_left();
            } else {
                press(11);
            }
            return;
        }
        if (popupkind > 0) return close_popup();
        if (paused == 1) tap_left();
    }

    // To the menu, its quit button, and Yes in the quit dialog.
    void quit() {
        if (cooldown > 0) {
            --cooldown;
            return;
        }
        cooldown = in(4, 24);
        if (curscreen == screen_intro || curscreen == screen_load) tap_key(VK_SPACE);
        else if (popupkind == 99) press(12);
        else if (curscreen == screen_menu && popupkind == 0 && paused != 1) press(4);
        else to_menu();
    }

    void seek(long frame) {
        if (hover > 0) {
            --hover;
            return;
        }
        if (cooldown > 0) {
            --cooldown;
            return;
        }
        cooldown = in(4, 24);
        const std::string g = wanted[goal];
        const int p = player();
        auto popup_from_menu = [&](int button, int kind) {
            if (curscreen == screen_menu && popupkind == 0 && paused != 1) press(button);
            else if (popupkind != kind) to_menu();
        };
        auto popup_from_pause = [&](int button) {
            if (curscreen != screen_game || wincount > 0 || losecount > 0) return start_level([](int) { return true; });
            if (popupkind == 298) press(button);
            else if (popupkind == 0 && paused != 1 && level_frames > 40) escape();
            else in_level(0);
        };
        if (g == "screen menu" || g == "popup 99 quit") {
            popup_from_menu(4, 99);
        } else if (g == "popup 100 options") {
            popup_from_menu(3, 100);
        } else if (g == "popup 111 ranking") {
            popup_from_menu(2, 111);
        } else if (g == "popup 103 player list" || g == "popup 105 name entry" || g == "popup 106 delete player" ||
                   g == "popup 781 duplicate name") {
            // Through the player panel: the list, a new name (a copy of another player's name when a duplicate is
            // sought), or the delete dialog.
            if (curscreen != screen_menu || (popupkind != 0 && popupkind != 103 && popupkind != 105 && popupkind != 106))
                return to_menu();
            if (popupkind == 0) {
                press(9);
            } else if (popupkind == 106) {
                press(freeplayerslot() ? 15 : 16);  // delete a player only to make room for a new one
            } else if (popupkind == 103) {
                press(g == "popup 106 delete player" || !freeplayerslot() ? 13 : 12);
            } else {
                std::string copy;
                for (int s = 1; s <= MAXPLAYERS && g == "popup 781 duplicate name"; ++s)
                    if (s != p && !playername[s].empty() &&
                        std::all_of(playername[s].begin(), playername[s].end(), [](char c) { return c >= 'A' && c <= 'Z'; }))
                        copy = playername[s];
                name_entry(copy);
            }
        } else if (g == "popup 107 continue or new" || g == "popup 432 new adventure") {
            if (curscreen != screen_menu || (popupkind != 0 && popupkind != 107 && popupkind != 105)) return to_menu();
            if (popupkind == 107) press(11);  // on to the confirmation of a new adventure
            else if (popupkind == 105) name_entry();
            else press(1);
        } else if (g == "popup 298 pause menu" || g == "pause overlay") {
            if (curscreen != screen_game || wincount > 0 || losecount > 0) return start_level([](int) { return true; });
            if (popupkind > 0) return in_level(0);
            if (level_frames > 40 && g == "pause overlay") {
                inject_focus(0);  // the window loses the focus for a moment: the game pauses
                unfocused = in(1, 10);
            } else if (level_frames > 40) {
                escape();
            }
        } else if (g == "popup 779 restart level") {
            popup_from_pause(13);
        } else if (g.rfind("popup 102", 0) == 0 || g.rfind("help page", 0) == 0) {
            // Every page: the pause menu's help, then Next page by page.
            if (popupkind == 102 && fullhelp == 1) {
                if (!press(12)) escape();
            } else {
                popup_from_pause(11);
            }
        } else if (g == "level: aztec, time" || g == "game: lose screen") {
            // The countdown runs only on time levels above the easiest difficulty: the hardest, then wait.
            if (curscreen == screen_game && timelevel(playlevel)) {
                in_level(g == "game: lose screen" ? 4 : 0);
                if (losecount >= 150) press(6);
                cooldown += 60;  // hands off the board while the bar runs down
            } else {
                start_level(timelevel);
            }
        } else if (g == "level: aztec, moves") {
            start_level([](int l) { return level_type[l] == 1 && level_challenge[l] == 2; });
        } else if (g == "level: match-3") {
            start_level([](int l) { return level_type[l] == 2; });
        } else if (g == "screen story" || g == "story chapter 1") {
            start_level([](int l) { return l == 1; });
        } else if (g == "popup 777 difficulty" || g == "screen game") {
            if (curscreen != screen_game) start_level([](int) { return true; });
        } else if (g == "game: win screen") {
            if (curscreen != screen_game) return start_level([](int) { return true; });
            in_level(0);
            if (popupkind == 0 && level_frames > 40) tap_key(VK_F3);
        } else if (g == "story: the ending") {
            // The last level won, then the map's last button tells the ending.
            if (curscreen == screen_story) {
                if (storychapter == STORYCHAPTERS) press(2);
                else press(1);
            } else if (curscreen == screen_game && playlevel == MAPLEVELS) {
                in_level(0);
                if (popupkind == 0 && wincount == 0 && level_frames > 40) tap_key(VK_F3);
                else if (wincount > 60) tap_left();
            } else if (curscreen == screen_map && popupkind == 0 && p && maxlevel[p] > MAPLEVELS) {
                press(3);
            } else if (curscreen == screen_map && popupkind == 0 && p && maxlevel[p] < MAPLEVELS) {
                if (devkeys == 1 && mapframes > 30) tap_key(VK_F3);
            } else {
                start_level([](int l) { return l == MAPLEVELS; });
            }
        } else if (g == "map: level preview") {
            if (curscreen != screen_map || popupkind > 0) return to_map();
            const int l = in(1, MAPLEVELS);
            if (p && levelstate[p][l] > 0 && shown(20 + l)) {
                move_logical(buttonseenx[20 + l], buttonseeny[20 + l]);
                hover = 150;
            }
        } else if (g == "screen map") {
            to_map();
        }
        (void)frame;
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

// Prints the coverage; returns how many required places were never reached.
int print_coverage(long frames) {
    std::printf("soak: frames per screen, level kind and popup (of %ld):\n", frames);
    for (const auto& [label, n] : frames_in)
        std::printf("  %-28s %9ld   %6.2f ms of processor time per frame\n", label.c_str(), n,
                    1000.0 * cpu_in[label] / (double)std::max(1L, n));
    std::string missing;
    int count = 0;
    for (const char* w : wanted)
        if (!frames_in.count(w)) {
            missing += std::string(missing.empty() ? "" : ", ") + w;
            ++count;
        }
    std::printf("soak: not reached: %s\n", missing.empty() ? "none" : missing.c_str());
    return count;
}
}  // namespace

int main(int argc, char** argv) {
    long frames = 1000000;
    unsigned seed = 1;
    int kills = 0;
    long progress = 100000;
    long quitat = 0;  // from this frame on: quit through the dialog and leave by the game's exit path
    bool raster = true;
    std::string data;
    for (int i = 1; i < argc; ++i) {
        std::string a = argv[i];
        auto next = [&]() -> std::string { return i + 1 < argc ? argv[++i] : ""; };
        if (a == "--frames") frames = std::atol(next().c_str());
        else if (a == "--seed") seed = (unsigned)std::strtoul(next().c_str(), nullptr, 10);
        else if (a == "--data") data = next();
        else if (a == "--kills") kills = std::atoi(next().c_str());
        else if (a == "--progress") progress = std::max(1L, std::atol(next().c_str()));
        else if (a == "--quit-at") quitat = std::max(1L, std::atol(next().c_str()));
        else if (a == "--no-raster") raster = false;
        else {
            std::fprintf(stderr, "usage: ombrivale-soak [--frames N] [--seed S] [--data DIR] [--kills N] [--progress N] "
                                 "[--quit-at FRAME] [--no-raster]\n");
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
    if (!raster) set_render_off(RENDER_NO_RASTER);
    makepath();
    loadall();
    checkvideo();  // the display modes the options offer
    initsound();
    instmain();
    set_draw_observer(observe);

    Driver drive(seed);
    const long start_rss = rss_kb();
    long peak = start_rss, rss_warm = -1, risen = start_rss;
    int rises = 0;
    say("soak: seed %u, %ld frames%s, user folder %s\n", seed, frames, raster ? "" : " (no rasterising)",
        home.c_str());
    say("soak: RSS at start %ld kB, heap in use %ld kB\n", start_rss, heap_kb());
    long stuck = 0, worst = 0;
    int lastscreen = 99999, lastpopup = -1, lastpaused = 0, restarts = 0;
    timespec wall0{};
    clock_gettime(CLOCK_MONOTONIC, &wall0);
    for (long f = 1; f <= frames; ++f) {
        const bool seeking = drive.seeking(f);
        drive.noise(seeking || quitat > 0);
        if (quitat > 0 && f >= quitat) drive.quit();
        else if (seeking) drive.seek(f);
        else drive.steer(f, stuck);
        drawn.clear();
        const double t0 = cpu_seconds();
        mainloop_frame(0);
        const double spent = cpu_seconds() - t0;
        targets.swap(drawn);
        const std::vector<std::string> now = labels();
        for (const std::string& l : now) {
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
        if (quitrequested == 1 && quitat > 0) {
            // Out through the game's own exit: sound closed, then the process ends with its static destructors.
            say("soak: quit through the dialog at frame %ld; leaving as the game does\n", f);
            std::fflush(stdout);
            exitgame(0);
        }
        if (quitrequested == 1) {
            // The player quit: start the game again over the same user folder, as a player would.
            ++restarts;
            quitrequested = 0;
            popupkind = popupfade = 0;  // a new process starts with no dialog open
            loadall();
            instmain();
            say("soak: quit and started again at frame %ld, RSS %ld kB, heap in use %ld kB\n", f, rss_kb(), heap_kb());
        }
        if (f % 250 == 0) {
            const long rss = rss_kb();
            peak = std::max(peak, rss);
            // Where memory grows by more than 8 MB over its highest so far, say what the game was showing.
            if (rss > risen + 8192 && rises < 40) {
                std::string where;
                for (const std::string& l : now) where += (where.empty() ? "" : ", ") + l;
                say("soak: RSS rose to %ld kB (+%ld kB, heap in use %ld kB) by frame %ld, at: %s\n", rss, rss - risen,
                    heap_kb(), f, where.c_str());
                ++rises;
            }
            risen = std::max(risen, rss);
        }
        if (f == 5000 || f == 20000 || f % 100000 == 0) {
            const long rss = rss_kb();
            if (f == 20000) rss_warm = rss;
            say("soak: RSS at %ldk frames %ld kB, heap in use %ld kB\n", f / 1000, rss, heap_kb());
        }
        if (f % progress == 0)
            say("soak: %ld frames, screen %d, popup %d, RSS %ld kB, heap in use %ld kB\n", f, curscreen, popupkind,
                rss_kb(), heap_kb());
    }
    if (quitat > 0) {
        say("soak: FAILED to quit through the dialog from frame %ld on\n", quitat);
        ++findings;
    }
    timespec wall1{};
    clock_gettime(CLOCK_MONOTONIC, &wall1);
    const double wall = (double)(wall1.tv_sec - wall0.tv_sec) + 1e-9 * (double)(wall1.tv_nsec - wall0.tv_nsec);
    set_draw_observer(nullptr);
    const long end_rss = rss_kb();
    worst = std::max(worst, stuck);
    say("soak: RSS at end %ld kB, heap in use %ld kB (after warm-up at 20k frames %ld kB, peak %ld kB)\n", end_rss,
        heap_kb(), rss_warm, peak);
    say("soak: %ld frames in %.0f s, %.0f frames/s\n", frames, wall, (double)frames / std::max(wall, 1e-6));
    say("soak: longest stay in one state %ld frames; %d restarts after quitting\n", worst, restarts);

    int bad = check_files();
    std::fflush(stdout);
    dup2(console, 1);
    const int missing = print_coverage(frames);
    // A run as long as the one CI makes must have been everywhere.
    if (missing && frames >= 20000) {
        std::printf("soak: %d required places never reached\n", missing);
        ++findings;
    }
    if (bad) std::printf("soak: %d damaged user files\n", bad);
    findings += bad;
    std::printf("soak: %s (%d findings); game output in %s\n", findings ? "FAILED" : "clean", findings,
                gamelog.c_str());
    // The game's own exit: the sound stops before anything it mixes is freed.
    harness_close();
    exitgame(findings ? 1 : 0);
}
