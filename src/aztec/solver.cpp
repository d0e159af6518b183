#include "aztec/solver.h"

#include <cstdlib>
#include <cstring>

#include "app/display.h"
#include "app/shell.h"
#include "aztec/boardframe.h"
#include "aztec/cannon.h"
#include "aztec/levelrun.h"
#include "aztec/rules.h"
#include "platform/random.h"
#include "storage/settings.h"
#include "ui/popups.h"

namespace {
// Copies the live state into the snapshot (save) or back (restore), field by field in one list.
void transferstate(boardsnapshot* s, bool save) {
    const int p = curplayer;
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
    const int p = curplayer;
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
    timerbar = 340;
    playseconds[p] = 0;
    playshots[p] = 0;
    playerscore[p] = 0;
    levelrescued[p] = 0;
}

void solverframe(int mousex, int left, int right) {
    mx = mousex;
    mhit1 = left;
    mhit2 = right;
    framecount += 1;
    level_frames += 1;
    aztecframe();
    if (wincount == 0 && losecount == 0 && colourstones < 1 && level_frames > 100) wincount = 1;
    comboclock();
    mhit1 = 0;
    mhit2 = 0;
}

int solverwon() { return wincount > 0 ? 1 : 0; }

namespace {
int columnmouse(int c) { return boardleft + 32 + 64 * c; }

bool cannonready() {
    return cannonslot != 0 && cannoncooldown < 1 && level_frames > 150 && wincount == 0 && losecount == 0;
}

bool boardquiet() {
    if (settled != 1 || scrollleft != 0) return false;
    const int p = curplayer;
    for (int s = 1; s <= topslot; ++s)
        if (stone_kind[p][s] > 0 && s != cannonslot && stone_falling[p][s] != 0) return false;
    return true;
}

// Runs frames without input until the next shot can be taken (or the level is won); 0 when that takes too long.
int waitforturn(int mousex, int limit) {
    for (int i = 0; i < limit; ++i) {
        if (solverwon()) return 1;
        if (cannonready() && boardquiet()) return 1;
        solverframe(mousex, 0, 0);
    }
    return solverwon() || (cannonready() && boardquiet());
}

bool colouredkind(int k) { return (k >= 1 && k <= 9) || (k >= 11 && k <= 19) || (k >= 61 && k <= 69); }

// How promising the board is for clearing every colour stone; higher is better.
double boardvalue() {
    if (solverwon()) return 1e9 - level_frames;
    const int p = curplayer;
    double v = 0;
    int supers[160], nsupers = 0, variants[160], nvariants = 0;
    int highest = floorline;
    for (int s = 1; s <= topslot; ++s) {
        const int k = stone_kind[p][s];
        if (k <= 0 || s == cannonslot) continue;
        if (k != 10 && stone_y[p][s] > highest) highest = stone_y[p][s];
        if (k >= 71 && k <= 79) v -= 150.0 * (74 - k);
        if (!colouredkind(k)) continue;
        v -= 1000;
        for (int l = 1; l <= 3; ++l)
            if (stone_chain[p][s][l] == 1) v -= 400;
        if (k >= 11 && k <= 19 && nsupers < 160) supers[nsupers++] = s;
        if (k >= 61 && k <= 69 && nvariants < 160) {
            variants[nvariants++] = s;
            v -= 1500;
        }
        // Same-coloured neighbours are half a group already.
        for (int t = s + 1; t <= topslot; ++t) {
            if (t == cannonslot || stonecolour(stone_kind[p][t]) != stonecolour(k)) continue;
            const int dx = std::abs(stone_x[p][t] - stone_x[p][s]), dy = std::abs(stone_y[p][t] - stone_y[p][s]);
            if ((dx == 64 && dy == 0) || (dx == 0 && dy == 64)) v += 150;
        }
    }
    for (int i = 0; i < nsupers; ++i) {
        v += 300;
        for (int j = 0; j < nvariants; ++j) {
            const double dx = stone_x[p][supers[i]] - stone_x[p][variants[j]];
            const double dy = stone_y[p][supers[i]] - stone_y[p][variants[j]];
            if (dx * dx + dy * dy < 150.0 * 150.0) v += 900;
        }
    }
    const int rows = (highest - floorline) / 64;
    if (rows > 5) v -= 400.0 * (rows - 5) * (rows - 5);
    return v;
}
}  // namespace

solveresult solvelevel(const levelrecord& rec, int maxshots) {
    startsolverlevel(rec);
    const int p = curplayer;
    solveresult r{0, 0, 0, 0};
    int mouse = columnmouse(5);
    boardsnapshot now, best;
    while (!solverwon()) {
        if (!waitforturn(mouse, 3000)) break;
        if (solverwon() || playshots[p] >= maxshots) break;
        saveboardstate(&now);
        double bestvalue = -1e18;
        int found = 0;
        for (int swap = 0; swap <= 1; ++swap) {
            if (swap == 1 && nextcolour == shotcolour) continue;
            for (int c = 0; c < 12; ++c) {
                restoreboardstate(now);
                solverframe(columnmouse(c), 1, swap);
                waitforturn(columnmouse(c), 3000);
                double v = boardvalue();
                if (!found || v > bestvalue) {
                    bestvalue = v;
                    saveboardstate(&best);
                    mouse = columnmouse(c);
                    found = 1;
                }
            }
        }
        restoreboardstate(best);
    }
    r.won = solverwon();
    r.shots = playshots[p];
    r.frames = level_frames;
    r.seconds = level_frames > 220 ? (level_frames - 220) / 50 : 0;
    return r;
}
