// Records journals of real play: starts the whole game (start-up, intro, loading, menu and onwards) with
// recording on, and plays it through the real event path from a small script, the way a player's mouse and
// keyboard would. The scripts live beside the journals in tests/replays/.
//
//   ombrivale-record SCRIPT OUT.ojr
//
// Script commands, one per line (# starts a comment):
//   profile NAME LEVEL    before the session: slot 1 holds NAME with every level below LEVEL won
//   frames N              lets N frames pass
//   key esc|enter|space   taps a key
//   type TEXT             types the characters, one per frame (with a pad: on the on-screen keyboard)
//   click X Y             moves to the logical point over a few frames and clicks it
//   drag X1 Y1 X2 Y2      presses at the first point, moves to the second holding the button, releases
//   button ID [N]         waits for button ID on the active layer and clicks it (N-th frame limit, default 900)
//   screen NAME [N]       runs until the screen is intro, loading, menu, map, game or story
//   popup K [N]           runs until popup K is fully open
//   closepopups           closes a level's help page and the difficulty dialog with Escape as they open
//   play                  plays the aztec level in hand until it is won
//   match3                plays the match-3 level in hand until it is won
//   lose                  waits until the level in hand is lost
//   close                 uses the window's close box
//   difficulty D          answers the next difficulty dialogs with D (1..4) instead of closing them
//   buttons               prints the buttons drawn in the last frame (for writing scripts)
//   shot FILE             saves the next frame as a PNG
//   end [N]               runs until the game has quit; the journal is finished
//   hand on|off           moves the pointer as a player's hand does (see below) instead of in straight steps
//   device mouse|keys|pad what plays from here on: with keys or a pad, button walks the focus to its button
//                         and confirms, play and match3 aim with the directions, and the help page and the
//                         difficulty dialog are answered through the focus; the pointer is left alone
//   target ID             walks the focus to any target (a button, a list row, an option box) and confirms it
//   focus ID              only walks the focus there (a slider knob, before left or right)
//   press ACTION          taps confirm, back, left, right, up, down, swap, pause, prev or next on that device
//
// The recorder runs faster or slower than real time; the journal's one-second timers count 50 frames a second,
// as they would in a game running at full speed.
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <cctype>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <map>
#include <random>
#include <sstream>
#include <string>
#include <vector>

#include "app/display.h"
#include "app/harness.h"
#include "app/replay.h"
#include "app/screenflow.h"
#include "app/shell.h"
#include "aztec/board.h"
#include "aztec/cannon.h"
#include "aztec/levelrun.h"
#include "aztec/solver.h"
#include "match3/match3.h"
#include "platform/draw.h"
#include "platform/inject.h"
#include "platform/input.h"
#include "app/profiles.h"
#include "storage/players.h"
#include "storage/settings.h"
#include "texts/languages.h"
#include "ui/buttons.h"
#include "ui/focus.h"
#include "ui/popups.h"

namespace {
int mousex = 400, mousey = 300;  // physical pointer
int failed = 0;

void fail(const std::string& why) {
    std::fprintf(stderr, "record: %s (frame %d, screen %d, popup %d)\n", why.c_str(), framecount, curscreen,
                 popupkind);
    failed = 1;
}

// ---- a player's hand on the mouse ----
// With "hand on" every move is a smooth stroke, slow at both ends, that takes longer the farther it goes, bends
// a little and wobbles by a fraction of a pixel; a long one lands a little off and a short second stroke puts
// it right. While the script waits, the hand rests for a moment, then drifts a few pixels or wanders across the
// window, so the pointer moves in most frames, as under a real player's hand. It holds still while it clicks.
bool handon = false;
int steady = 0;  // > 0: the script steers the pointer (a move, a click): the hand does not drift
std::mt19937 handrng(2026);
std::vector<std::pair<int, int>> drift;  // the positions of an idle stroke still to come, one per frame
size_t driftat = 0;
int restframes = 0;

struct holdhand {
    holdhand() { ++steady; }
    ~holdhand() { --steady; }
};

double uniform(double a, double b) { return std::uniform_real_distribution<double>(a, b)(handrng); }
double gauss(double sd) { return std::normal_distribution<double>(0.0, sd)(handrng); }

int clampx(double x) { return std::clamp((int)std::lround(x), 0, std::max(windoww - 1, 0)); }
int clampy(double y) { return std::clamp((int)std::lround(y), 0, std::max(windowh - 1, 0)); }

// One stroke from (x0, y0) to (x1, y1), one position per frame, the last exactly on the end.
void stroke(double x0, double y0, double x1, double y1, std::vector<std::pair<int, int>>& out) {
    const double d = std::hypot(x1 - x0, y1 - y0);
    if (d < 0.5) return;
    const int n = std::max(3, (int)std::lround((0.10 + 0.11 * std::log2(1 + d / 16)) * 50 * uniform(0.85, 1.25)));
    const double bend = gauss(0.08) * d, nx = -(y1 - y0) / d, ny = (x1 - x0) / d;
    for (int i = 1; i <= n; ++i) {
        const double t = (double)i / n, s = t * t * t * (10 - 15 * t + 6 * t * t), off = bend * std::sin(M_PI * t);
        if (i == n) out.push_back({clampx(x1), clampy(y1)});
        else out.push_back({clampx(x0 + (x1 - x0) * s + nx * off + gauss(0.4)),
                            clampy(y0 + (y1 - y0) * s + ny * off + gauss(0.4))});
    }
}

// A move as a hand makes it: a long one in two strokes, the first landing a little off.
std::vector<std::pair<int, int>> handpath(int x1, int y1) {
    std::vector<std::pair<int, int>> out;
    const double d = std::hypot(x1 - mousex, y1 - mousey);
    if (d > 40) {
        const double ex = clampx(x1 + gauss(0.05 * d)), ey = clampy(y1 + gauss(0.05 * d));
        stroke(mousex, mousey, ex, ey, out);
        stroke(ex, ey, x1, y1, out);
    } else {
        stroke(mousex, mousey, x1, y1, out);
    }
    return out;
}

// The idle hand, once a frame while the script waits.
void idlehand() {
    if (driftat < drift.size()) {
        mousex = drift[driftat].first;
        mousey = drift[driftat].second;
        ++driftat;
        inject_mouse_move(mousex, mousey);
        return;
    }
    if (restframes > 0) {
        --restframes;
        return;
    }
    // A rest of a quarter second on average, now and then a longer one.
    restframes = (int)std::exponential_distribution<double>(1.0 / 12)(handrng);
    if (uniform(0, 1) < 0.08) restframes += (int)uniform(50, 150);
    double tx, ty;
    if (uniform(0, 1) < 0.75) {  // a drift of a few pixels
        const double a = uniform(0, 2 * M_PI), r = std::exp(uniform(std::log(3.0), std::log(60.0)));
        tx = mousex + r * std::cos(a);
        ty = mousey + r * std::sin(a);
    } else {  // a look across the window
        tx = std::clamp(windoww / 2.0 + gauss(windoww / 4.0), 0.0, windoww - 1.0);
        ty = std::clamp(windowh / 2.0 + gauss(windowh / 4.0), 0.0, windowh - 1.0);
    }
    drift = handpath(clampx(tx), clampy(ty));
    driftat = 0;
}

void frame() {
    if (handon && !steady) idlehand();
    mainloop_frame(0);
}

void frames(int n) {
    for (int i = 0; i < n && quitrequested != 1; ++i) frame();
}

void physical(int lx, int ly, int* px, int* py) {
    *px = (int)((double)lx * windoww / virtw + 0.5);
    *py = (int)((double)ly * windowh / virth + 0.5);
}

// Moves the pointer to a logical point: in a few straight steps, or as the hand moves it.
void moveto(int lx, int ly) {
    holdhand hold;
    int px, py;
    physical(lx, ly, &px, &py);
    drift.clear();
    if (handon) {
        for (auto [x, y] : handpath(px, py)) {
            mousex = x;
            mousey = y;
            inject_mouse_move(mousex, mousey);
            frame();
        }
        return;
    }
    const int steps = 6;
    int sx = mousex, sy = mousey;
    for (int i = 1; i <= steps; ++i) {
        mousex = sx + (px - sx) * i / steps;
        mousey = sy + (py - sy) * i / steps;
        inject_mouse_move(mousex, mousey);
        frame();
    }
}

void press(int button) {
    holdhand hold;
    inject_mouse_button(button, 1);
    frames(2);
    inject_mouse_button(button, 0);
    frames(2);
}

void click(int lx, int ly, int button = 1) {
    holdhand hold;
    moveto(lx, ly);
    press(button);
}

int keycode(const std::string& k) {
    if (k == "esc") return VK_ESCAPE;
    if (k == "enter") return VK_RETURN;
    if (k == "space") return VK_SPACE;
    if (k == "f3") return VK_F3;
    if (k == "tab") return 9;
    return 0;
}

void tapkey(int vk) {
    inject_key(vk, 1);
    frames(2);
    inject_key(vk, 0);
    frames(1);
}

// ---- play by keys or a pad ----
enum { DEV_MOUSE, DEV_KEYS, DEV_PAD };
int playdevice = DEV_MOUSE;

int actkey(int act) {
    switch (act) {
        case ACT_LEFT: return 37;
        case ACT_RIGHT: return 39;
        case ACT_UP: return 38;
        case ACT_DOWN: return 40;
        case ACT_CONFIRM: return VK_RETURN;
        case ACT_BACK: return VK_ESCAPE;
        case ACT_SWAP: return 9;
        case ACT_PAUSE: return 'P';
        case ACT_PREV: return 33;
        case ACT_NEXT: return 34;
        default: return 0;
    }
}

// One press and release of an action on the device in hand (the keyboard when the mouse plays).
void tapact(int act) {
    if (playdevice == DEV_PAD) {
        inject_pad_button(act, 1);
        frames(2);
        inject_pad_button(act, 0);
    } else {
        inject_key(actkey(act), 1);
        frames(2);
        inject_key(actkey(act), 0);
    }
    frames(2);
}

int actionnamed(const std::string& n) {
    static const std::pair<const char*, int> names[] = {
        {"confirm", ACT_CONFIRM}, {"back", ACT_BACK}, {"left", ACT_LEFT}, {"right", ACT_RIGHT}, {"up", ACT_UP},
        {"down", ACT_DOWN}, {"swap", ACT_SWAP}, {"pause", ACT_PAUSE}, {"prev", ACT_PREV}, {"next", ACT_NEXT}};
    for (const auto& [name, act] : names)
        if (n == name) return act;
    return 0;
}

// The first direction of a shortest walk of the focus from the focused target to (id, layer), 0 when none.
int walktoward(int id, int layer) {
    const std::vector<focusitem>& items = focuslast();
    int from = -1, goal = -1;
    for (size_t i = 0; i < items.size(); ++i) {
        if (items[i].id == focusid() && items[i].layer == focuslayer()) from = (int)i;
        if (items[i].id == id && items[i].layer == layer) goal = (int)i;
    }
    if (from < 0 || goal < 0) return 0;
    std::vector<int> first(items.size(), -1);
    std::vector<int> queue{from};
    first[from] = 0;
    for (size_t q = 0; q < queue.size(); ++q) {
        const int at = queue[q];
        if (at == goal) return first[at];
        for (int d : {ACT_LEFT, ACT_RIGHT, ACT_UP, ACT_DOWN}) {
            // Left and right move a slider's knob, not the focus.
            if ((items[at].flags & FOCUS_SLIDER) && (d == ACT_LEFT || d == ACT_RIGHT)) continue;
            const int to = focusstep(items, at, d, layer);
            if (to < 0 || first[to] >= 0) continue;
            first[to] = at == from ? d : first[at];
            queue.push_back(to);
        }
    }
    return 0;
}

// Walks the focus to a target of the reacting layer and confirms it (or only walks there).
bool focuspress(int id, bool confirm = true) {
    for (int steps = 0; steps < 40; ++steps) {
        frames(1);
        if (focusid() == id && focuslayer() == buttonlayer && focusshown()) {
            if (confirm) tapact(ACT_CONFIRM);
            return true;
        }
        const int d = walktoward(id, buttonlayer);
        if (d) tapact(d);
    }
    return false;
}

bool shown(int id) {
    return buttonseenframe[id] == framecount && buttonseenlayer[id] == buttonlayer && fadestate == 1 &&
           paused == -1 && fadelevel >= 255;
}

int difficulty = 0;  // 0: the dialog is closed with Escape

// Runs one frame, answering a level's help page and difficulty dialog once they are open.
void framepopups() {
    frame();
    if (curscreen != screen_game || popupfade != 16) return;
    if (playdevice != DEV_MOUSE && (popupkind == 102 || popupkind == 777)) {
        // The help page opens on its close button, the dialog on the offered pace.
        if (popupkind == 777 && difficulty > 0) focuspress(30 + difficulty);
        else if (popupkind == 777) tapact(ACT_BACK);
        else focuspress(13);
        return;
    }
    if (popupkind == 102) {
        tapkey(VK_ESCAPE);
    } else if (popupkind == 777) {
        if (difficulty > 0) {
            click(centerx, centery - 60 * difficulty + 175);
            for (int i = 0; i < 100 && !shown(11); ++i) frame();
            if (shown(11)) click((int)buttonseenx[11], (int)buttonseeny[11]);
            return;
        }
        tapkey(VK_ESCAPE);
    }
}

bool waitbutton(int id, int limit) {
    for (int i = 0; i < limit && quitrequested != 1; ++i) {
        if (shown(id)) return true;
        framepopups();
    }
    return shown(id);
}

// Picks a shot by trying the candidates in a copy of this process, so that the recorded game is never touched.
bool bestshot(int* column, int* swap) {
    int fd[2];
    if (pipe(fd) != 0) return false;
    pid_t pid = fork();
    if (pid == 0) {
        close(fd[0]);
        int c = 0, s = 0;
        solverbestshot(&c, &s);
        int out[2] = {c, s};
        ssize_t w = write(fd[1], out, sizeof out);
        _exit(w == (ssize_t)sizeof out ? 0 : 1);
    }
    close(fd[1]);
    int in[2] = {0, 0};
    ssize_t r = pid > 0 ? read(fd[0], in, sizeof in) : -1;
    close(fd[0]);
    if (pid > 0) waitpid(pid, nullptr, 0);
    if (r != (ssize_t)sizeof in) return false;
    *column = in[0];
    *swap = in[1];
    return true;
}

bool turnready() {
    if (cannonslot == 0 || cannoncooldown >= 1 || level_frames <= 150 || wincount || losecount) return false;
    if (settled != 1 || scrollleft != 0 || popupfade > 0 || paused != -1) return false;
    const int p = boardrow();
    for (int s = 1; s <= topslot; ++s)
        if (stone_kind[p][s] > 0 && s != cannonslot && stone_falling[p][s] != 0) return false;
    return true;
}

void playaztec() {
    int waited = 0;
    for (int shots = 0; shots < 400 && wincount == 0 && losecount == 0 && quitrequested != 1;) {
        if (!turnready()) {
            framepopups();
            if (++waited < 600) continue;
        }
        waited = 0;
        int c, s;
        if (!bestshot(&c, &s)) {
            fail("the look-ahead failed");
            return;
        }
        if (playdevice != DEV_MOUSE) {
            // Column by column, then swap and fire.
            for (int k = 0; k < 30 && keycolumn != c; ++k) tapact(keycolumn < 0 || keycolumn < c ? ACT_RIGHT : ACT_LEFT);
            if (keycolumn != c) {
                fail("the cannon did not reach its column");
                return;
            }
            if (s) tapact(ACT_SWAP);
            tapact(ACT_CONFIRM);
            ++shots;
            continue;
        }
        const int x = boardleft + 32 + 64 * c;
        holdhand hold;
        // A player looks over a column or two before the one they fire into.
        for (int look = handon ? (int)uniform(0, 3) : 0; look > 0; --look) {
            moveto(boardleft + 32 + 64 * (int)uniform(0, 8), (int)uniform(220, 420));
            frames((int)uniform(5, 40));
        }
        moveto(x, 300);
        frames(3);
        if (s) press(2);
        press(1);
        ++shots;
    }
    if (wincount == 0) fail("the level was not won");
}

// Kind of the settled item at a board position, 0 when none.
int kindat(const std::map<std::pair<int, int>, int>& grid, int x, int y) {
    auto it = grid.find({x, y});
    return it == grid.end() ? 0 : it->second;
}

bool lineat(const std::map<std::pair<int, int>, int>& grid, int x, int y) {
    const int k = kindat(grid, x, y);
    if (k < 1 || k > 5) return false;
    int h = 1, v = 1;
    for (int d = 64; kindat(grid, x - d, y) == k; d += 64) ++h;
    for (int d = 64; kindat(grid, x + d, y) == k; d += 64) ++h;
    for (int d = 64; kindat(grid, x, y - d) == k; d += 64) ++v;
    for (int d = 64; kindat(grid, x, y + d) == k; d += 64) ++v;
    return h >= 3 || v >= 3;
}

int mudunder(int item) {
    const int c = m3items[item].cell;
    return c >= 1 && c < M3SLOTS ? m3cells[c].mud : 0;
}

// The first direction of a shortest walk of the match-3 cursor to (x, y): it moves along a line to the next
// item, over holes.
int cursorstep(int x, int y) {
    std::map<std::pair<int, int>, int> first;
    std::vector<std::pair<int, int>> queue{{m3cursorx, m3cursory}};
    first[queue[0]] = 0;
    auto itemat = [](int ix, int iy) {
        for (int j = 1; j <= M3ITEMLIMIT; ++j)
            if (m3items[j].kind >= 1 && m3items[j].kind <= 5 && m3items[j].x == ix && m3items[j].y == iy) return true;
        return false;
    };
    const struct {
        int act, dx, dy;
    } dirs[4] = {{ACT_RIGHT, 64, 0}, {ACT_LEFT, -64, 0}, {ACT_DOWN, 0, 64}, {ACT_UP, 0, -64}};
    for (size_t q = 0; q < queue.size(); ++q) {
        const auto at = queue[q];
        if (at.first == x && at.second == y) return first[at];
        for (const auto& d : dirs)
            for (int step = 1; step < 13; ++step) {
                const std::pair<int, int> to{at.first + d.dx * step, at.second + d.dy * step};
                if (!itemat(to.first, to.second)) continue;
                if (!first.count(to)) {
                    first[to] = q == 0 ? d.act : first[at];
                    queue.push_back(to);
                }
                break;
            }
    }
    return ACT_RIGHT;
}

void playmatch3now() {
    for (int moves = 0; moves < 600 && wincount == 0 && losecount == 0 && quitrequested != 1; ++moves) {
        // Wait for a quiet board.
        for (int i = 0; i < 400; ++i) {
            bool quiet = m3swaptimer == 0 && m3inputallowed && level_frames > 230 && popupfade == 0;
            for (int j = 1; j <= M3ITEMLIMIT && quiet; ++j)
                if (m3items[j].kind >= 1 && m3items[j].falling) quiet = false;
            if (quiet || wincount) break;
            framepopups();
        }
        if (wincount) break;
        std::map<std::pair<int, int>, int> grid;
        std::map<std::pair<int, int>, int> slot;
        for (int j = 1; j <= M3ITEMLIMIT; ++j)
            if (m3items[j].kind >= 1 && m3items[j].kind <= 5) {
                grid[{m3items[j].x, m3items[j].y}] = m3items[j].kind;
                slot[{m3items[j].x, m3items[j].y}] = j;
            }
        int besta = 0, bestb = 0, bestvalue = -1;
        for (const auto& [pos, a] : slot) {
            for (auto [dx, dy] : {std::pair{64, 0}, std::pair{0, 64}}) {
                auto other = slot.find({pos.first + dx, pos.second + dy});
                if (other == slot.end()) continue;
                const int b = other->second;
                auto g = grid;
                std::swap(g[pos], g[other->first]);
                if (!lineat(g, pos.first, pos.second) && !lineat(g, other->first.first, other->first.second))
                    continue;
                const int value = mudunder(a) + mudunder(b) + (pos.second / 64);
                if (value > bestvalue) {
                    bestvalue = value;
                    besta = a;
                    bestb = b;
                }
            }
        }
        if (!besta) {
            framepopups();
            continue;
        }
        if (playdevice != DEV_MOUSE) {
            // The cursor onto the first item (it moves over items only), pick it up, and push it to the second.
            const int ax = m3items[besta].x, ay = m3items[besta].y;
            if (m3cursorx < 0) tapact(ACT_CONFIRM), tapact(ACT_BACK);
            for (int k = 0, stalls = 0; k < 60 && stalls < 10 && (m3cursorx != ax || m3cursory != ay); ++k) {
                const int before = m3cursorx * 10000 + m3cursory;
                tapact(cursorstep(ax, ay));
                // The board may still be settling (a line cleared, items falling): wait and try again.
                if (m3cursorx * 10000 + m3cursory == before) ++stalls, frames(5);
            }
            if (m3cursorx != ax || m3cursory != ay) {
                fail("the match-3 cursor did not reach its item");
                return;
            }
            tapact(ACT_CONFIRM);
            const int bx = m3items[bestb].x, by = m3items[bestb].y;
            tapact(bx > ax ? ACT_RIGHT : bx < ax ? ACT_LEFT : by > ay ? ACT_DOWN : ACT_UP);
            continue;
        }
        click(m3items[besta].x + m3boardx, m3items[besta].y);
        click(m3items[bestb].x + m3boardx, m3items[bestb].y);
    }
    if (wincount == 0) fail("the match-3 level was not won");
}

int screenid(const std::string& n) {
    if (n == "intro") return screen_intro;
    if (n == "loading") return screen_load;
    if (n == "menu") return screen_menu;
    if (n == "map") return screen_map;
    if (n == "game") return screen_game;
    if (n == "story") return screen_story;
    return screen_none;
}

// Slot 1 with a profile part-way through the adventure, written by the game's own profile code.
void prepareprofile(const std::string& name, int level) {
    makepath();
    loadplayers(9999);
    loadbesttimes(9999);
    playername[1] = name;
    adventurestarted[1] = 1;
    playdifficulty[1] = 1;
    playerlevel[1] = maxlevel[1] = level;
    for (int l = 1; l < level; ++l) {
        levelstate[1][l] = 2;
        levelstars[1][l] = 1;
    }
    levelstate[1][level] = 1;
    saveplayer(1);
    curplayer = 1;
    savesettings(0);
}

bool runscript(const std::string& path, const std::string& out) {
    std::ifstream in(path);
    if (!in) {
        std::fprintf(stderr, "record: cannot read %s\n", path.c_str());
        return false;
    }
    std::vector<std::string> lines;
    for (std::string l; std::getline(in, l);) lines.push_back(l);

    char tmpl[] = "/tmp/ombrivale-record-XXXXXX";
    if (!mkdtemp(tmpl)) return false;
    setenv("XDG_DATA_HOME", tmpl, 1);
    setenv("SDL_VIDEODRIVER", "dummy", 1);
    setenv("SDL_AUDIODRIVER", "none", 1);  // no audio thread: the look-ahead forks safely
    languageoverride = 0;                  // the sessions are played in English, whatever this desktop speaks
    fullscreen = 0;

    bool started = false;
    auto start = [&]() {
        if (started) return;
        started = true;
        // The window a player would have: the game's own settings choose it.
        journal_record_to(out);
        journal_paceclock(1);
        instancename = "record-" + std::to_string(getpid());
        startup();
        inject_mouse_move(mousex, mousey);
    };
    for (const std::string& line : lines) {
        std::istringstream ss(line);
        std::string cmd;
        ss >> cmd;
        if (cmd.empty() || cmd[0] == '#') continue;
        if (cmd == "profile") {
            std::string name;
            int level = 1;
            ss >> name >> level;
            prepareprofile(name, level);
            continue;
        }
        if (cmd == "settings") {  // settings window|full MODE, before the session
            std::string kind;
            int mode = 1;
            ss >> kind >> mode;
            makepath();
            loadsettings();
            fullscreen = kind == "full" ? 1 : 0;
            displaymode = mode;
            savesettings(0);
            continue;
        }
        start();
        if (cmd == "frames") {
            int n = 0;
            ss >> n;
            for (int i = 0; i < n; ++i) framepopups();
        } else if (cmd == "key") {
            std::string k;
            ss >> k;
            tapkey(keycode(k));
        } else if (cmd == "type") {
            std::string t;
            ss >> t;
            for (char c : t) {
                if (playdevice == DEV_PAD) {  // on the on-screen keyboard
                    const int id = c == ' ' ? 86 : 60 + (std::toupper((unsigned char)c) - 'A');
                    if (!focuspress(id)) fail(std::string("the focus did not reach the key ") + c);
                    continue;
                }
                inject_text(std::string(1, c));
                frames(2);
            }
        } else if (cmd == "click") {
            int x, y;
            ss >> x >> y;
            click(x, y);
        } else if (cmd == "drag") {
            int x1, y1, x2, y2;
            ss >> x1 >> y1 >> x2 >> y2;
            holdhand hold;
            moveto(x1, y1);
            inject_mouse_button(1, 1);
            frames(2);
            moveto(x2, y2);
            inject_mouse_button(1, 0);
            frames(2);
        } else if (cmd == "button") {
            int id, limit = 900;
            ss >> id >> limit;
            if (!waitbutton(id, limit)) fail("button " + std::to_string(id) + " did not show");
            else if (playdevice != DEV_MOUSE && !focuspress(id)) fail("the focus did not reach button " + std::to_string(id));
            else if (playdevice == DEV_MOUSE) click((int)buttonseenx[id], (int)buttonseeny[id]);
        } else if (cmd == "screen") {
            std::string n;
            int limit = 3000;
            ss >> n >> limit;
            for (int i = 0; i < limit && curscreen != screenid(n); ++i) framepopups();
            if (curscreen != screenid(n)) fail("screen " + n + " not reached");
            frames(20);
        } else if (cmd == "popup") {
            int k, limit = 900;
            ss >> k >> limit;
            for (int i = 0; i < limit && !(popupkind == k && popupfade == 16); ++i) frame();
            if (popupkind != k) fail("popup " + std::to_string(k) + " did not open");
        } else if (cmd == "close") {
            inject_close();
            frames(2);
        } else if (cmd == "hand") {
            std::string on;
            ss >> on;
            handon = on == "on";
        } else if (cmd == "device") {
            std::string d;
            ss >> d;
            playdevice = d == "pad" ? DEV_PAD : d == "keys" ? DEV_KEYS : DEV_MOUSE;
        } else if (cmd == "press") {
            std::string a;
            ss >> a;
            // A popup on its way in or out takes no press: wait for it, as a player would.
            // Escape, back and pause within 30 frames of the last are not taken either.
            for (int i = 0; i < 100 && ((popupfade > 0 && (popupfade < 16 || popupfadedir == 2)) || escapedelay > 0); ++i)
                framepopups();
            if (!actionnamed(a)) fail("unknown action " + a);
            else tapact(actionnamed(a));
        } else if (cmd == "target" || cmd == "focus") {
            int id = 0;
            ss >> id;
            if (!focuspress(id, cmd == "target")) fail("the focus did not reach target " + std::to_string(id));
        } else if (cmd == "difficulty") {
            ss >> difficulty;
        } else if (cmd == "play") {
            playaztec();
        } else if (cmd == "match3") {
            playmatch3now();
        } else if (cmd == "lose") {
            for (int i = 0; i < 20000 && losecount == 0; ++i) framepopups();
            if (losecount == 0) fail("the level was not lost");
        } else if (cmd == "buttons") {
            std::printf("frame %d screen %d popup %d layer %d:", framecount, curscreen, popupkind, buttonlayer);
            for (int id = 1; id <= 300; ++id)
                if (buttonseenframe[id] == framecount)
                    std::printf(" %d@(%d,%d)L%d", id, (int)buttonseenx[id], (int)buttonseeny[id],
                                buttonseenlayer[id]);
            std::printf("\n");
        } else if (cmd == "shot") {
            std::string f;
            ss >> f;
            clear_screen();
            pollinput();
            doall();
            journal_afterframe();
            save_frame_png(f);
            flip(1);
        } else if (cmd == "end") {
            int limit = 600;
            ss >> limit;
            for (int i = 0; i < limit && quitrequested != 1; ++i) frame();
            if (quitrequested != 1) fail("the game did not quit");
        } else {
            fail("unknown command " + cmd);
        }
        if (failed) break;
    }
    if (!failed && quitrequested == 1) journal_end();
    std::error_code ec;
    std::filesystem::remove_all(tmpl, ec);
    return !failed && quitrequested == 1;
}

// What a journal costs: its frames, how many of them move the pointer, and its size per hour of play.
int measure(const std::string& path) {
    std::ifstream f(path, std::ios::binary);
    std::string bytes((std::istreambuf_iterator<char>(f)), std::istreambuf_iterator<char>());
    journaldata j;
    std::string error;
    if (journal_parse((const uint8_t*)bytes.data(), bytes.size(), &j, &error) == JOURNAL_BAD) {
        std::fprintf(stderr, "measure: %s: %s\n", path.c_str(), error.c_str());
        return 1;
    }
    long moving = 0, pressed = 0;
    size_t filebytes = 0;
    for (size_t i = 0; i < j.runs.size(); ++i) {
        const jframe& f = j.runs[i].frame;
        if (f.hit1 || f.hit2) ++pressed;
        if (i > 0 && (f.mx != j.runs[i - 1].frame.mx || f.my != j.runs[i - 1].frame.my)) ++moving;
    }
    for (const jfile& u : j.header.files) filebytes += u.bytes.size();
    const double hours = j.frames / 50.0 / 3600;
    std::printf("%s: %d frames (%.1f min), pointer moved in %.0f %% of them, %ld clicks, %zu bytes "
                "(user files %zu bytes raw): %.1f KB per hour\n",
                path.c_str(), j.frames, j.frames / 50.0 / 60, 100.0 * moving / std::max(j.frames, 1), pressed,
                bytes.size(), filebytes, bytes.size() / hours / 1000);
    return 0;
}
}  // namespace

int main(int argc, char** argv) {
    if (argc == 3 && std::string(argv[1]) == "--measure") return measure(argv[2]);
    if (argc != 3) {
        std::fprintf(stderr, "usage: ombrivale-record SCRIPT OUT.ojr\n       ombrivale-record --measure FILE.ojr\n");
        return 2;
    }
    bool ok = runscript(argv[1], argv[2]);
    if (ok) std::printf("recorded %s\n", argv[2]);
    exitgame(ok ? 0 : 1);
}
