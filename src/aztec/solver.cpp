#include "aztec/solver.h"

#include <cstdlib>
#include <cstring>
#include <algorithm>
#include <vector>

#include "app/display.h"
#include "app/shell.h"
#include "aztec/boardframe.h"
#include "aztec/cannon.h"
#include "aztec/levelrun.h"
#include "aztec/rules.h"
#include "effects/particles.h"
#include "platform/random.h"
#include "storage/settings.h"
#include "ui/popups.h"

namespace {
// Copies the live state into the snapshot (save) or back (restore), field by field in one list.
void transferstate(boardsnapshot* s, bool save) {
    const int p = boardrow();
    auto block = [save](void* live, void* copy, size_t bytes) {
        if (save)
            std::memcpy(copy, live, bytes);
        else
            std::memcpy(live, copy, bytes);
    };
    auto one = [save](auto& live, auto& copy) {
        if (save)
            copy = live;
        else
            live = copy;
    };
    const size_t row = sizeof(int) * BOARDSLOTS;
    block(stone_kind[p], s->kind, row);
    block(stone_x[p], s->x, row);
    block(stone_y[p], s->y, row);
    block(stone_spare[p], s->spare, row);
    block(stone_falling[p], s->falling, row);
    block(stone_group[p], s->group, row);
    block(stone_glint[p], s->glint, row);
    block(stone_shake[p], s->shake, row);
    block(stone_chain[p], s->chain, sizeof(s->chain));
    block(stone_fallframes, s->fallframes, row);
    block(colourcount, s->colourcount, sizeof(colourcount));
    block(groupcount, s->groupcount, sizeof(groupcount));
    one(boardleft, s->boardleft);
    one(topslot, s->topslot);
    one(shotcolour, s->shotcolour);
    one(nextcolour, s->nextcolour);
    one(colourstones, s->colourstones);
    one(nocolours, s->nocolours);
    one(floorline, s->floorline);
    one(scrollleft, s->scrollleft);
    one(settled, s->settled);
    one(cannonslot, s->cannonslot);
    one(cannonx, s->cannonx);
    one(cannony, s->cannony);
    one(cannontarget, s->cannontarget);
    one(aimx, s->aimx);
    one(cannoncooldown, s->cannoncooldown);
    one(swapflag, s->swapflag);
    one(lastfiredslot, s->lastfiredslot);
    one(lastshotx, s->lastshotx);
    one(cannonbob, s->cannonbob);
    one(explosionflag, s->explosionflag);
    one(combomult, s->combomult);
    one(combotimer, s->combotimer);
    one(glintsweep, s->glintsweep);
    one(stonerow, s->stonerow);
    one(level_frames, s->level_frames);
    one(wincount, s->wincount);
    one(losecount, s->losecount);
    one(timerbar, s->timerbar);
    one(framecount, s->framecount);
    one(playerscore[p], s->playerscore);
    one(playshots[p], s->playshots);
    one(playseconds[p], s->playseconds);
    one(levelrescued[p], s->levelrescued);
}
}  // namespace

void saveboardstate(boardsnapshot* s) {
    transferstate(s, true);
    s->rnd = rnd_state();
}

void restoreboardstate(const boardsnapshot& s) {
    transferstate(const_cast<boardsnapshot*>(&s), false);
    set_rnd_state(s.rnd);
}

void startsolverlevel(const levelrecord& rec) {
    const int p = boardrow();
    popupkind = 0;
    popupfade = 0;
    levelinprogress[p] = 0;
    if (virtw != 1024 && virtw != 1280 && virtw != 1366) virtw = 1024;
    boardleft = virtw == 1024 ? 120 : (virtw == 1280 ? 248 : 291);
    for (int s = 0; s < BOARDSLOTS; ++s) {
        stone_kind[p][s] = -1;
        for (int l = 1; l <= 3; ++l) stone_chain[p][s][l] = -1;
        stone_fallframes[s] = 0;
    }
    nocolours = 0;
    swapflag = 0;
    lastfiredslot = 0;
    prepare_board(&rec);
    level_frames = 0;
    // A level plays the same whatever ran before it: the cannon's bob follows the frame count, and effects
    // left over from the last level would take their own share of the random numbers.
    framecount = 0;
    lastshotx = 0;
    combomult = 1;
    combotimer = 0;
    clearparticles();
    clearlights();
    timerbar = 340;
    playseconds[p] = 0;
    playshots[p] = 0;
    playerscore[p] = 0;
    levelrescued[p] = 0;
}

void solverframe(int mousex, int left, int right) {
    // The solver aims with the mouse, whatever device the player holds.
    const int device = inputdevice, press = actpress;
    inputdevice = DEVICE_MOUSE;
    actpress = 0;
    mx = mousex;
    mhit1 = left;
    mhit2 = right;
    framecount += 1;
    level_frames += 1;
    // Worked out, not shown: a window open in the same process would otherwise queue thousands of unseen frames.
    set_drawing(0);
    aztecframe();
    set_drawing(1);
    if (wincount == 0 && losecount == 0 && colourstones < 1 && level_frames > 100) wincount = 1;
    comboclock();
    mhit1 = 0;
    mhit2 = 0;
    inputdevice = device;
    actpress = press;
}

int solverwon() { return wincount > 0 ? 1 : 0; }

namespace {
int columnmouse(int c) { return boardleft + 32 + 64 * c; }

bool cannonready() {
    return cannonslot != 0 && cannoncooldown < 1 && level_frames > 150 && wincount == 0 && losecount == 0;
}

bool boardquiet() {
    if (settled != 1 || scrollleft != 0) return false;
    const int p = boardrow();
    for (int s = 1; s <= topslot; ++s)
        if (stone_kind[p][s] > 0 && s != cannonslot && stone_falling[p][s] != 0) return false;
    return true;
}

// Runs frames without input until the next shot can be taken (or the level is won); 0 when that takes too long.
// A player waits for the board to come to rest, but not for ever: a stone that keeps settling off the grid
// does not stop the game.
int waitforturn(int mousex, int limit) {
    for (int i = 0; i < limit; ++i) {
        if (solverwon()) return 1;
        if (cannonready() && (boardquiet() || i >= 150)) return 1;
        solverframe(mousex, 0, 0);
    }
    return solverwon() || cannonready();
}

bool colouredkind(int k) { return (k >= 1 && k <= 9) || (k >= 11 && k <= 19) || (k >= 61 && k <= 69); }
bool variantkind(int k) { return k >= 61 && k <= 69; }

// The resting board as a grid of columns and rows above the floor line, for judging positions.
struct boardgrid {
    enum { W = 12, H = 16 };
    int slot[W][H];   // 0 empty
    int comp[W][H];   // same-colour component id, 0 none
    int compsize[W * H + 1];
    int height[W];    // first empty row of each column
};

void buildgrid(boardgrid* g) {
    const int p = boardrow();
    for (int c = 0; c < boardgrid::W; ++c) {
        g->height[c] = 0;
        for (int r = 0; r < boardgrid::H; ++r) g->slot[c][r] = g->comp[c][r] = 0;
    }
    for (int s = 1; s <= topslot; ++s) {
        int c, r;
        if (!restingstonecell(s, boardgrid::H, &c, &r)) continue;
        g->slot[c][r] = s;
        if (r + 1 > g->height[c]) g->height[c] = r + 1;
    }
    int ids = 0;
    for (int c = 0; c < boardgrid::W; ++c) {
        for (int r = 0; r < boardgrid::H; ++r) {
            if (!g->slot[c][r] || g->comp[c][r] || !stonecolour(stone_kind[p][g->slot[c][r]])) continue;
            const int colour = stonecolour(stone_kind[p][g->slot[c][r]]);
            ids += 1;
            g->compsize[ids] = 0;
            int stack[boardgrid::W * boardgrid::H][2], top = 0;
            stack[top][0] = c;
            stack[top++][1] = r;
            g->comp[c][r] = ids;
            while (top > 0) {
                --top;
                const int cc = stack[top][0], rr = stack[top][1];
                g->compsize[ids] += 1;
                const int nb[4][2] = {{cc - 1, rr}, {cc + 1, rr}, {cc, rr - 1}, {cc, rr + 1}};
                for (const auto& n : nb) {
                    if (n[0] < 0 || n[0] >= boardgrid::W || n[1] < 0 || n[1] >= boardgrid::H) continue;
                    const int t = g->slot[n[0]][n[1]];
                    if (!t || g->comp[n[0]][n[1]] || stonecolour(stone_kind[p][t]) != colour) continue;
                    g->comp[n[0]][n[1]] = ids;
                    stack[top][0] = n[0];
                    stack[top++][1] = n[1];
                }
            }
        }
    }
}

// How promising the board is for clearing every colour stone; higher is better.
double boardvalue() {
    if (solverwon()) return 1e9 - level_frames;
    const int p = boardrow();
    int supers[160], nsupers = 0, variants[160], nvariants = 0, colours = 0, chains = 0, granite = 0;
    int highest = floorline;
    for (int s = 1; s <= topslot; ++s) {
        const int k = stone_kind[p][s];
        if (k <= 0 || s == cannonslot) continue;
        if (k != 10 && stone_y[p][s] > highest) highest = stone_y[p][s];
        if (k >= 71 && k <= 73) granite += 74 - k;
        if (!colouredkind(k)) continue;
        colours += 1;
        for (int l = 1; l <= 3; ++l) chains += stone_chain[p][s][l] == 1;
        if (k >= 11 && k <= 19 && nsupers < 160) supers[nsupers++] = s;
        if (variantkind(k) && nvariants < 160) variants[nvariants++] = s;
    }
    auto near = [&](int a, int bx, int by) {
        const double dx = stone_x[p][a] - bx, dy = stone_y[p][a] - by;
        return dx * dx + dy * dy < 150.0 * 150.0;
    };
    double v = -150.0 * granite - 400.0 * chains;
    v -= nvariants > 0 ? 300.0 * (colours - nvariants) + 5000.0 * nvariants : 1000.0 * colours;
    boardgrid g;
    buildgrid(&g);
    // Component of a slot's stone on the grid (0 when it is off the grid).
    auto compof = [&](int slot) {
        const int c = (stone_x[p][slot] - 32) / 64, r = (stone_y[p][slot] - floorline - 64) / 64;
        if (c < 0 || c >= boardgrid::W || r < 0 || r >= boardgrid::H || g.slot[c][r] != slot) return 0;
        return g.comp[c][r];
    };
    // A superstone clears together with the stones of its own group, so it only destroys variant stones
    // that are not joined to it.
    for (int i = 0; i < nsupers; ++i) {
        v += 300;
        for (int j = 0; j < nvariants; ++j)
            if (near(variants[j], stone_x[p][supers[i]], stone_y[p][supers[i]]) &&
                compof(variants[j]) != compof(supers[i]))
                v += 2500;
    }
    // Same-coloured neighbours are half a group already.
    for (int c = 0; c < boardgrid::W; ++c)
        for (int r = 0; r < boardgrid::H; ++r) {
            if (!g.comp[c][r]) continue;
            if (c + 1 < boardgrid::W && g.comp[c + 1][r] == g.comp[c][r]) v += 150;
            if (r + 1 < boardgrid::H && g.comp[c][r + 1] == g.comp[c][r]) v += 150;
        }
    // With variant stones left, a landing place that would join four or more stones of one colour is a
    // superstone in waiting, worth most beside a variant stone.
    if (nvariants > 0) {
        double bestspot = 0;
        for (int c = 0; c < boardgrid::W; ++c) {
            const int r = g.height[c];
            if (r >= boardgrid::H) continue;
            const int nb[3][2] = {{c - 1, r}, {c + 1, r}, {c, r - 1}};
            for (int colour = 1; colour <= 9; ++colour) {
                int seen[3] = {0, 0, 0}, sum = 0;
                for (int i = 0; i < 3; ++i) {
                    const int cc = nb[i][0], rr = nb[i][1];
                    if (cc < 0 || cc >= boardgrid::W || rr < 0 || !g.slot[cc][rr] || !g.comp[cc][rr]) continue;
                    if (stonecolour(stone_kind[p][g.slot[cc][rr]]) != colour) continue;
                    const int id = g.comp[cc][rr];
                    if (id == seen[0] || id == seen[1] || id == seen[2]) continue;
                    seen[i] = id;
                    sum += g.compsize[id];
                }
                if (sum == 0) continue;
                const int sx = 32 + 64 * c, sy = floorline + 64 + 64 * r;
                bool besidevariant = false;
                for (int j = 0; j < nvariants && !besidevariant; ++j) {
                    const int vc = compof(variants[j]);
                    besidevariant = near(variants[j], sx, sy) && vc != seen[0] && vc != seen[1] && vc != seen[2];
                }
                static const double worth[5] = {0, 100, 300, 600, 2500};
                double spot = worth[sum < 4 ? sum : 4] * (besidevariant ? 1.0 : 0.3);
                if (spot > bestspot) bestspot = spot;
            }
        }
        v += bestspot;
    }
    const int rows = (highest - floorline) / 64;
    if (rows > 5) v -= 400.0 * (rows - 5) * (rows - 5);
    return v;
}

bool variantsleft() {
    for (int s = 1; s <= topslot; ++s)
        if (variantkind(stone_kind[boardrow()][s])) return true;
    return false;
}

// Plays one candidate shot from the current state until the next turn; returns the value reached.
double tryshot(int column, int swap) {
    solverframe(columnmouse(column), 1, swap);
    waitforturn(columnmouse(column), 3000);
    return boardvalue();
}

struct candidate {
    int column, swap;
    double value;
};

// Every distinct shot from the current state, best first.
std::vector<candidate> rankshots(const boardsnapshot& from) {
    std::vector<candidate> out;
    for (int swap = 0; swap <= 1; ++swap) {
        if (swap == 1 && nextcolour == shotcolour) continue;
        for (int c = 0; c < 12; ++c) {
            restoreboardstate(from);
            out.push_back({c, swap, tryshot(c, swap)});
        }
    }
    std::stable_sort(out.begin(), out.end(), [](const candidate& a, const candidate& b) { return a.value > b.value; });
    return out;
}
}  // namespace

// The most promising shot from the level as it stands, looking one shot further for the best few.
static candidate pickshot(boardsnapshot& now) {
    boardsnapshot after;
    std::vector<candidate> first = rankshots(now);
    // Variant stones need a plan of several shots: then every first shot gets its look further.
    const int beam = variantsleft() ? (int)first.size() : 4;
    candidate best = first[0];
    double bestvalue = -1e18;
    for (int i = 0; i < beam && i < (int)first.size(); ++i) {
        double value = first[i].value;
        if (value < 1e8) {
            restoreboardstate(now);
            tryshot(first[i].column, first[i].swap);
            saveboardstate(&after);
            std::vector<candidate> second = rankshots(after);
            value = std::max(value, second[0].value);
        }
        if (value > bestvalue) {
            bestvalue = value;
            best = first[i];
        }
    }
    restoreboardstate(now);
    return best;
}

void solverquickshot(int* column, int* swap) {
    boardsnapshot now;
    saveboardstate(&now);
    candidate best = rankshots(now)[0];
    restoreboardstate(now);
    *column = best.column;
    *swap = best.swap;
}

void solverbestshot(int* column, int* swap) {
    boardsnapshot now;
    saveboardstate(&now);
    candidate best = pickshot(now);
    *column = best.column;
    *swap = best.swap;
}

solveresult solvelevel(const levelrecord& rec, int maxshots) {
    startsolverlevel(rec);
    const int p = boardrow();
    solveresult r{0, 0, 0, 0};
    int mouse = columnmouse(5);
    boardsnapshot now;
    while (!solverwon()) {
        if (!waitforturn(mouse, 3000)) break;
        if (solverwon() || playshots[p] >= maxshots) break;
        saveboardstate(&now);
        candidate best = pickshot(now);
        tryshot(best.column, best.swap);
        mouse = columnmouse(best.column);
    }
    r.won = solverwon();
    r.shots = playshots[p];
    r.frames = level_frames;
    r.seconds = level_frames > 220 ? (level_frames - 220) / 50 : 0;
    return r;
}

bool restingstonecell(int s, int rows, int* column, int* row) {
    const int p = boardrow();
    const int k = stone_kind[p][s];
    if (k <= 0 || k == 10 || s == cannonslot) return false;
    const int dx = stone_x[p][s] - 32, dy = stone_y[p][s] - floorline - 64;
    if (dx < 0 || dx % 64 != 0 || dy < 0 || dy % 64 != 0) return false;
    *column = dx / 64;
    *row = dy / 64;
    return *column < 12 && *row < rows;
}
