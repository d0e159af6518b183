#include "aztec/playtest.h"

#include <cstdio>
#include <cstring>
#include <vector>

#include "app/display.h"
#include "app/shell.h"
#include "aztec/board.h"
#include "aztec/boardframe.h"
#include "aztec/cannon.h"
#include "aztec/catalogue.h"
#include "aztec/levelrun.h"
#include "aztec/rules.h"
#include "aztec/solver.h"
#include "effects/particles.h"
#include "match3/match3.h"
#include "platform/draw.h"
#include "platform/random.h"
#include "storage/players.h"
#include "storage/settings.h"
#include "ui/popups.h"

const playtester playtesters[] = {
    {"casual", 50, 100, 25, 0},     // 1 to 2 s to aim, a quarter of the shots anywhere
    {"quick", 25, 50, 25, 0},       // half a second to a second
    {"slow", 100, 200, 25, 0},      // 2 to 4 s
    {"attentive", 50, 100, 10, 0},  // fewer careless shots
    {"blaster", 50, 100, 25, 1},    // knows that variant stones only go in an explosion
};
const int playtestercount = (int)(sizeof playtesters / sizeof playtesters[0]);

const playtester* findplaytester(const std::string& name) {
    for (const playtester& t : playtesters)
        if (name == t.name) return &t;
    return nullptr;
}

namespace {
const int GRIDW = 12, GRIDH = 16;
const int MAXSHOTS = 2000;        // a play that is still going after this many shots is stuck whatever it does
const int MAXFRAMES = 50 * 3600;  // an hour of play

// The player's own choices come from a generator of their own, so that the game's random source sees the same
// calls as in a real game.
struct modelrandom {
    uint64_t s;
    uint64_t next() {
        uint64_t z = (s += 0x9e3779b97f4a7c15ULL);
        z = (z ^ (z >> 30)) * 0xbf58476d1ce4e5b9ULL;
        z = (z ^ (z >> 27)) * 0x94d049bb133111ebULL;
        return z ^ (z >> 31);
    }
    int range(int a, int b) { return a + (int)(next() % (uint64_t)(b - a + 1)); }
    bool percent(int p) { return range(1, 100) <= p; }
};

bool inertkind(int k) { return k >= 20 && k <= 29; }
bool animalkind(int k) { return k >= 90 && k <= 99; }
bool variantkind(int k) { return k >= 61 && k <= 69; }
bool over() { return wincount > 0 || losecount > 0; }

// One frame of the level as the game screen runs it, without anything drawn: the board (or the match-3 board),
// the countdown bar of time levels, the win and lose tests and the combo clock.
void playframe(int mousex, int mousey, int left, int right, int press) {
    mx = mousex;
    my = mousey;
    mhit1 = left;
    mhit2 = right;
    mheld1 = press && !mdown1 ? 1 : 0;
    mdown1 = press;
    framecount += 1;
    level_frames += 1;
    set_drawing(0);
    if (level_type[playlevel] == 1) {
        aztecframe();
    } else {
        if (level_frames == 2) m3nostartlines();
        m3frame();
    }
    if (level_challenge[playlevel] == 1 && level_frames > 50) timerbarstep();
    wintest();
    losetest();
    set_drawing(1);
    comboclock();
    mhit1 = mhit2 = 0;
}

// ---- the aztec board as a player sees it ----

struct stonegrid {
    int kind[GRIDW][GRIDH];  // 0 empty
    int height[GRIDW];       // first empty row of each column
};

void buildstonegrid(stonegrid* g) {
    const int p = boardrow();
    std::memset(g, 0, sizeof *g);
    for (int s = 1; s <= topslot; ++s) {
        int c, r;
        if (!restingstonecell(s, GRIDH, &c, &r)) continue;
        g->kind[c][r] = stone_kind[p][s];
        if (r + 1 > g->height[c]) g->height[c] = r + 1;
    }
}

int gridkind(const stonegrid& g, int c, int r) {
    return c < 0 || c >= GRIDW || r < 0 || r >= GRIDH ? 0 : g.kind[c][r];
}

// What a shot of `colour` into column c would do at once: the group it joins (with the cells of its members),
// and for a group that clears, what the superstones in it would blow away.
struct shotlook {
    int group;     // stones of the group with the new one
    int blasted;   // stones an exploding superstone of the group takes along
    int variants;  // of them, variant stones
    int variantsnear;  // variant stones beside the place of a superstone the shot would make
};

shotlook lookatshot(const stonegrid& g, int c, int colour) {
    shotlook look{0, 0, 0, 0};
    const int r = g.height[c];
    if (r >= GRIDH) return look;
    bool member[GRIDW][GRIDH] = {};
    int stack[GRIDW * GRIDH][2], top = 0;
    member[c][r] = true;
    stack[top][0] = c, stack[top++][1] = r;
    std::vector<int> supers;
    while (top > 0) {
        --top;
        const int cc = stack[top][0], rr = stack[top][1];
        look.group += 1;
        const int k = gridkind(g, cc, rr);
        if (k >= 11 && k <= 19) supers.push_back(cc * GRIDH + rr);
        const int nb[4][2] = {{cc - 1, rr}, {cc + 1, rr}, {cc, rr - 1}, {cc, rr + 1}};
        for (const auto& n : nb) {
            const int k2 = gridkind(g, n[0], n[1]);
            if (k2 == 0 || member[n[0]][n[1]] || stonecolour(k2) != colour) continue;
            member[n[0]][n[1]] = true;
            stack[top][0] = n[0], stack[top++][1] = n[1];
        }
    }
    // Explosions reach stones closer than 150 units: two cells straight, one diagonally, a knight's move.
    auto inreach = [](int c1, int r1, int c2, int r2) {
        const int dc = (c1 - c2) * 64, dr = (r1 - r2) * 64;
        return dc * dc + dr * dr < 150 * 150;
    };
    if (look.group >= 3) {
        bool gone[GRIDW][GRIDH] = {};
        for (int sp : supers)
            for (int cc = 0; cc < GRIDW; ++cc)
                for (int rr = 0; rr < GRIDH; ++rr) {
                    const int k = g.kind[cc][rr];
                    if (!k || member[cc][rr] || gone[cc][rr] || inertkind(k) || animalkind(k)) continue;
                    if (!inreach(cc, rr, sp / GRIDH, sp % GRIDH)) continue;
                    gone[cc][rr] = true;
                    look.blasted += 1;
                    look.variants += variantkind(k);
                }
    }
    if (look.group >= 5)
        for (int cc = 0; cc < GRIDW; ++cc)
            for (int rr = 0; rr < GRIDH; ++rr)
                if (variantkind(g.kind[cc][rr]) && !member[cc][rr] && inreach(cc, rr, c, r)) look.variantsnear += 1;
    return look;
}

// How much the player likes a shot: what clears now, and (when nothing does) what builds toward a group.
struct shotworth {
    int clears, builds;
};

shotworth worth(const shotlook& l, const playtester& who) {
    shotworth w{0, 0};
    if (l.group >= 3) {
        w.clears = l.group + l.blasted;
        if (who.blasts) w.clears += 10 * l.variants + 6 * l.variantsnear;
    } else {
        w.builds = l.group;  // 2: beside a stone of its colour
    }
    return w;
}

int columnmouse(int c) { return boardleft + 32 + 64 * c; }

bool cannonready() {
    return cannonslot != 0 && cannoncooldown < 1 && level_frames > 150 && !over() && popupfade < 1;
}

bool boardquiet() {
    if (settled != 1 || scrollleft != 0) return false;
    const int p = boardrow();
    for (int s = 1; s <= topslot; ++s)
        if (stone_kind[p][s] > 0 && s != cannonslot && stone_falling[p][s] != 0) return false;
    return true;
}

// Picks the best of the columns by `score`, a random one among equals; -1 when none scores above 0.
template <class Score>
int bestcolumn(modelrandom& rng, Score score, int* bestvalue) {
    int best = -1, value = 0, ties = 0;
    for (int c = 0; c < GRIDW; ++c) {
        const int v = score(c);
        if (v <= 0 || v < value) continue;
        if (v > value) {
            value = v, best = c, ties = 1;
        } else if (rng.range(1, ++ties) == 1) {
            best = c;
        }
    }
    *bestvalue = value;
    return best;
}

bool variantsleft(const stonegrid& g) {
    for (int c = 0; c < GRIDW; ++c)
        for (int r = 0; r < GRIDH; ++r)
            if (variantkind(g.kind[c][r])) return true;
    return false;
}

void chooseshot(const playtester& who, modelrandom& rng, int* column, int* swap) {
    *swap = 0;
    if (rng.percent(who.randomshare)) {
        *column = rng.range(0, GRIDW - 1);
        return;
    }
    stonegrid g;
    buildstonegrid(&g);
    const int p = boardrow();
    const int now = cannonslot > 0 ? stonecolour(stone_kind[p][cannonslot]) : shotcolour;
    auto clears = [&](int colour) {
        return [&, colour](int c) { return worth(lookatshot(g, c, colour), who).clears; };
    };
    int value = 0;
    int c = bestcolumn(rng, clears(now), &value);
    // A player who knows that variant stones only go in an explosion plans for one when no blast is at hand:
    // the shot the level solver thinks best, looking no further ahead than the shot.
    if (who.blasts && value < 10 && variantsleft(g)) {
        solverquickshot(column, swap);
        clearparticles();  // what its tries set off
        return;
    }
    if (c < 0 && nextcolour >= 1 && nextcolour != now) {
        c = bestcolumn(rng, clears(nextcolour), &value);
        if (c >= 0) *swap = 1;
    }
    if (c < 0) c = bestcolumn(rng, [&](int col) { return worth(lookatshot(g, col, now), who).builds - 1; }, &value);
    *column = c >= 0 ? c : rng.range(0, GRIDW - 1);
}

int starsof(int result) {
    recordedresult = result;
    const int stars = starsearned();
    recordedresult = 999;
    return stars;
}

void finish(playresult* r, int shots) {
    const int p = boardrow();
    r->shots = shots;
    r->frames = level_frames;
    r->seconds = level_frames > 220 ? (level_frames - 220) / 50 : 0;
    if (wincount > 0) {
        r->outcome = PLAY_WON;
        playshots[p] = shots;
        r->stars = starsof(level_challenge[playlevel] == 2 ? shots : r->seconds);
    } else if (losecount > 0) {
        r->outcome = PLAY_LOST;
    } else {
        r->outcome = PLAY_STUCK;
    }
}

void markdead(playresult* r, int shot, const std::string& what) {
    r->dead = 1;
    r->deadshot = shot;
    std::snprintf(r->deadwhat, sizeof r->deadwhat, "%s", what.c_str());
}

void playaztec(const playtester& who, modelrandom& rng, playresult* r) {
    const int p = boardrow();
    int mouse = columnmouse(5);
    int fewest = 1 << 30, fewestshot = 0;
    while (!over() && level_frames < MAXFRAMES) {
        // The board comes to rest and the cannon loads.
        for (int waited = 0; !over() && !(cannonready() && (boardquiet() || waited >= 150)); ++waited) {
            if (waited > 3000) break;
            playframe(mouse, 300, 0, 0, 0);
        }
        if (over() || !cannonready()) break;
        const int shots = playshots[p];
        std::string what;
        if (boardquiet() && aztecdeadstate(&what)) {
            markdead(r, shots, what);
            break;
        }
        if (colourstones < fewest) {
            fewest = colourstones;
            fewestshot = shots;
        } else if (shots - fewestshot >= PLAYTEST_PATIENCE) {
            break;
        }
        if (shots >= MAXSHOTS) break;

        int column = 0, swap = 0;
        chooseshot(who, rng, &column, &swap);
        mouse = columnmouse(column);
        const int aim = rng.range(who.aimmin, who.aimmax);
        for (int f = 0; f < aim && !over(); ++f) playframe(mouse, 300, 0, swap && f == 0, 0);
        if (over()) break;
        while (!over() && !cannonready() && level_frames < MAXFRAMES) playframe(mouse, 300, 0, 0, 0);
        if (!over()) playframe(mouse, 300, 1, 0, 0);
    }
    finish(r, playshots[p]);
}

// ---- the match-3 board ----

int mudlayers() {
    int n = 0;
    for (int c = 1; c < M3SLOTS; ++c)
        if (m3cells[c].used == 1 && m3cells[c].mud > 0) n += m3cells[c].mud;
    return n;
}

bool m3ready() { return m3boardatrest() && level_frames > 221 && m3inputallowed && !over(); }

void playmatch3level(const playtester& who, modelrandom& rng, playresult* r) {
    int swaps = 0, fewest = 1 << 30, fewestswap = 0;
    std::vector<M3Swap> options(400);
    while (!over() && level_frames < MAXFRAMES) {
        int waited = 0;
        for (; !over() && !m3ready() && waited < 3000; ++waited) playframe(0, 0, 0, 0, 0);
        if (over() || !m3ready()) break;
        int n = m3legalswaps(options.data(), (int)options.size());
        // A locked board: give the game its chance to change it before calling the board dead.
        for (int f = 0; n == 0 && f < 200 && !over(); ++f) {
            playframe(0, 0, 0, 0, 0);
            if (m3boardatrest()) n = m3legalswaps(options.data(), (int)options.size());
        }
        if (over()) break;
        if (n == 0) {
            markdead(r, swaps, "a match-3 board without a legal swap");
            break;
        }
        const int mud = mudlayers();
        if (mud < fewest) {
            fewest = mud;
            fewestswap = swaps;
        } else if (swaps - fewestswap >= PLAYTEST_PATIENCE) {
            break;
        }
        if (swaps >= MAXSHOTS) break;
        n = std::min(n, (int)options.size());
        int pick = rng.range(0, n - 1);
        if (!rng.percent(who.randomshare)) {
            int ties = 0;
            for (int i = 0; i < n; ++i) {
                const M3Swap& a = options[(size_t)i];
                const M3Swap& b = options[(size_t)pick];
                const bool better = ties == 0 || a.mudhits > b.mudhits || (a.mudhits == b.mudhits && a.cleared > b.cleared);
                const bool equal = ties > 0 && a.mudhits == b.mudhits && a.cleared == b.cleared;
                if (better) pick = i, ties = 1;
                else if (equal && rng.range(1, ++ties) == 1) pick = i;
            }
        }
        const M3Swap choice = options[(size_t)pick];
        const int ax = m3items[choice.a].x + m3boardx, ay = m3items[choice.a].y;
        const int bx = m3items[choice.b].x + m3boardx, by = m3items[choice.b].y;
        const int aim = rng.range(who.aimmin, who.aimmax);
        for (int f = 0; f < aim && !over(); ++f) playframe(ax, ay, 0, 0, 0);
        // The board may have changed meanwhile (the game deals a stuck board again): look once more.
        if (over() || !m3ready()) continue;
        const int kinds = m3items[choice.a].kind * 10 + m3items[choice.b].kind;
        n = m3legalswaps(options.data(), (int)options.size());
        bool still = false;
        for (int i = 0; i < std::min(n, (int)options.size()) && !still; ++i)
            still = options[(size_t)i].a == choice.a && options[(size_t)i].b == choice.b;
        if (!still || kinds != m3items[choice.a].kind * 10 + m3items[choice.b].kind) continue;
        playframe(ax, ay, 0, 0, 1);
        playframe(ax, ay, 0, 0, 0);
        playframe(bx, by, 0, 0, 1);
        playframe(bx, by, 0, 0, 0);
        if (m3swaptimer > 0) swaps += 1;
    }
    finish(r, swaps);
}

void startplay(int level, const levelrecord& rec, int difficulty, uint64_t seed) {
    const int p = 1;
    curplayer = p;
    playdifficulty[p] = difficulty;
    stoneset[p] = 1;
    levelinprogress[p] = 0;
    resumeflag = 0;
    curlevel = playlevel = level;
    paused = -1;
    popupkind = 0;
    popupfade = 0;
    restartpending = 0;
    mdown1 = mheld1 = 0;
    seed_rnd((int32_t)(seed ^ (seed >> 32)));
    if (level_type[level] == 1) {
        startsolverlevel(rec);
    } else {
        virtw = 1024;
        m3idle = 0;
        m3resume = 0;
        m3hintpair = {M3HINT_NOSEARCH, 0, 0, 0};
        m3setup();
        framecount = 0;
        clearparticles();
        clearlights();
    }
    wincount = losecount = 0;
    emptybarframes = 0;
    timerbar = 340;
    timerbar_shown[p] = 340;
    playseconds[p] = 0;
    playshots[p] = 0;
    level_frames = 0;
}
}  // namespace

playresult playtestlevel(int level, const levelrecord& rec, int difficulty, const playtester& who, uint64_t seed) {
    playresult r;
    std::memset(&r, 0, sizeof r);
    if (level < 1 || level >= LEVELSLOTS || (level_type[level] != 1 && level_type[level] != 2)) {
        r.outcome = PLAY_STUCK;
        return r;
    }
    startplay(level, rec, difficulty, seed);
    modelrandom rng{seed * 0x2545f4914f6cdd1dULL + 1};
    if (level_type[level] == 1)
        playaztec(who, rng, &r);
    else
        playmatch3level(who, rng, &r);
    // Nothing of the play is left for whatever runs next.
    clearparticles();
    clearlights();
    return r;
}

bool aztecdeadstate(std::string* what) {
    stonegrid g;
    buildstonegrid(&g);
    // A cell that holds for good: the floor, the board's sides, or a sleeping stone with only such below it.
    auto fixed = [&](int c, int r) {
        if (c < 0 || c >= GRIDW) return true;
        for (int rr = r; rr >= 0; --rr)
            if (!inertkind(g.kind[c][rr])) return false;
        return true;
    };
    char text[160];
    for (int c = 0; c < GRIDW; ++c)
        for (int r = 0; r < GRIDH; ++r) {
            const int k = g.kind[c][r];
            if (animalkind(k)) {
                for (int rr = 0; rr < r; ++rr)
                    if (inertkind(g.kind[c][rr])) {
                        std::snprintf(text, sizeof text,
                                      "the animal in column %d, row %d can never reach the floor: a sleeping stone "
                                      "lies under it",
                                      c + 1, r + 1);
                        if (what) *what = text;
                        return true;
                    }
                continue;
            }
            if (!((k >= 1 && k <= 9) || (k >= 11 && k <= 19))) continue;
            const int above = gridkind(g, c, r + 1);
            if (!fixed(c - 1, r) || !fixed(c + 1, r) || !fixed(c, r - 1)) continue;
            if (!inertkind(above) && !animalkind(above)) continue;
            std::snprintf(text, sizeof text,
                          "the colour-%d stone in column %d, row %d can never join a group: walled in by the floor, "
                          "sleeping stones and %s",
                          stonecolour(k), c + 1, r + 1, animalkind(above) ? "the animal sitting on it" : "a sleeping stone on it");
            if (what) *what = text;
            return true;
        }
    return false;
}
