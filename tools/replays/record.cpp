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
//   type TEXT             types the characters, one per frame
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
#include <sys/wait.h>
#include <unistd.h>

#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <map>
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
#include "ui/buttons.h"
#include "ui/popups.h"

namespace {
int mousex = 400, mousey = 300;  // physical pointer
int failed = 0;

void fail(const std::string& why) {
    std::fprintf(stderr, "record: %s (frame %d, screen %d, popup %d)\n", why.c_str(), framecount, curscreen,
                 popupkind);
    failed = 1;
}

void frame() { mainloop_frame(0); }

void frames(int n) {
    for (int i = 0; i < n && quitrequested != 1; ++i) frame();
}

void physical(int lx, int ly, int* px, int* py) {
    *px = (int)((double)lx * windoww / virtw + 0.5);
    *py = (int)((double)ly * windowh / virth + 0.5);
}

// Moves the pointer to a logical point in a few steps, as a hand would.
void moveto(int lx, int ly) {
    int px, py;
    physical(lx, ly, &px, &py);
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
    inject_mouse_button(button, 1);
    frames(2);
    inject_mouse_button(button, 0);
    frames(2);
}

void click(int lx, int ly, int button = 1) {
    moveto(lx, ly);
    press(button);
}

int keycode(const std::string& k) {
    if (k == "esc") return VK_ESCAPE;
    if (k == "enter") return VK_RETURN;
    if (k == "space") return VK_SPACE;
    if (k == "f3") return VK_F3;
    return 0;
}

void tapkey(int vk) {
    inject_key(vk, 1);
    frames(2);
    inject_key(vk, 0);
    frames(1);
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
        const int x = boardleft + 32 + 64 * c;
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
    fullscreen = 0;

    bool started = false;
    auto start = [&]() {
        if (started) return;
        started = true;
        // The window a player would have: the game's own settings choose it.
        journal_record_to(out);
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
            else click((int)buttonseenx[id], (int)buttonseeny[id]);
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
}  // namespace

int main(int argc, char** argv) {
    if (argc != 3) {
        std::fprintf(stderr, "usage: ombrivale-record SCRIPT OUT.ojr\n");
        return 2;
    }
    bool ok = runscript(argv[1], argv[2]);
    if (ok) std::printf("recorded %s\n", argv[2]);
    std::fflush(stdout);
    std::_Exit(ok ? 0 : 1);
}
