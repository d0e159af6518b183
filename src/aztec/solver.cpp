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

void saveboardstate(boardsnapshot* s) {
    const int p = curplayer;
    const size_t row = sizeof(int) * BOARDSLOTS;
    std::memcpy(s->kind, stone_kind[p], row);
    std::memcpy(s->x, stone_x[p], row);
    std::memcpy(s->y, stone_y[p], row);
    std::memcpy(s->spare, stone_spare[p], row);
    std::memcpy(s->falling, stone_falling[p], row);
    std::memcpy(s->group, stone_group[p], row);
    std::memcpy(s->glint, stone_glint[p], row);
    std::memcpy(s->shake, stone_shake[p], row);
    std::memcpy(s->chain, stone_chain[p], sizeof(s->chain));
    std::memcpy(s->fallframes, stone_fallframes, row);
    s->boardleft = boardleft;
    s->topslot = topslot;
    s->shotcolour = shotcolour;
    s->nextcolour = nextcolour;
    std::memcpy(s->colourcount, colourcount, sizeof(colourcount));
    s->colourstones = colourstones;
    s->nocolours = nocolours;
    s->floorline = floorline;
    s->scrollleft = scrollleft;
    s->settled = settled;
    s->cannonslot = cannonslot;
    s->cannonx = cannonx;
    s->cannony = cannony;
    s->cannontarget = cannontarget;
    s->aimx = aimx;
    s->cannoncooldown = cannoncooldown;
    s->swapflag = swapflag;
    s->lastfiredslot = lastfiredslot;
    s->lastshotx = lastshotx;
    s->cannonbob = cannonbob;
    std::memcpy(s->groupcount, groupcount, sizeof(groupcount));
    s->explosionflag = explosionflag;
    s->combomult = combomult;
    s->combotimer = combotimer;
    s->glintsweep = glintsweep;
    s->stonerow = stonerow;
    s->level_frames = level_frames;
    s->wincount = wincount;
    s->losecount = losecount;
    s->timerbar = timerbar;
    s->framecount = framecount;
    s->playerscore = playerscore[p];
    s->playshots = playshots[p];
    s->playseconds = playseconds[p];
    s->levelrescued = levelrescued[p];
    s->rnd = rnd_state();
}

void restoreboardstate(const boardsnapshot& s) {
    const int p = curplayer;
    const size_t row = sizeof(int) * BOARDSLOTS;
    std::memcpy(stone_kind[p], s.kind, row);
    std::memcpy(stone_x[p], s.x, row);
    std::memcpy(stone_y[p], s.y, row);
    std::memcpy(stone_spare[p], s.spare, row);
    std::memcpy(stone_falling[p], s.falling, row);
    std::memcpy(stone_group[p], s.group, row);
    std::memcpy(stone_glint[p], s.glint, row);
    std::memcpy(stone_shake[p], s.shake, row);
    std::memcpy(stone_chain[p], s.chain, sizeof(s.chain));
    std::memcpy(stone_fallframes, s.fallframes, row);
    boardleft = s.boardleft;
    topslot = s.topslot;
    shotcolour = s.shotcolour;
    nextcolour = s.nextcolour;
    std::memcpy(colourcount, s.colourcount, sizeof(colourcount));
    colourstones = s.colourstones;
    nocolours = s.nocolours;
    floorline = s.floorline;
    scrollleft = s.scrollleft;
    settled = s.settled;
    cannonslot = s.cannonslot;
    cannonx = s.cannonx;
    cannony = s.cannony;
    cannontarget = s.cannontarget;
    aimx = s.aimx;
    cannoncooldown = s.cannoncooldown;
    swapflag = s.swapflag;
    lastfiredslot = s.lastfiredslot;
    lastshotx = s.lastshotx;
    cannonbob = s.cannonbob;
    std::memcpy(groupcount, s.groupcount, sizeof(groupcount));
    explosionflag = s.explosionflag;
    combomult = s.combomult;
    combotimer = s.combotimer;
    glintsweep = s.glintsweep;
    stonerow = s.stonerow;
    level_frames = s.level_frames;
    wincount = s.wincount;
    losecount = s.losecount;
    timerbar = s.timerbar;
    framecount = s.framecount;
    playerscore[p] = s.playerscore;
    playshots[p] = s.playshots;
    playseconds[p] = s.playseconds;
    levelrescued[p] = s.levelrescued;
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
