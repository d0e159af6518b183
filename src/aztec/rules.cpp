#include "aztec/rules.h"

#include <algorithm>
#include <cmath>
#include <cstdlib>

#include "app/display.h"
#include "aztec/board.h"
#include "aztec/boardframe.h"
#include "aztec/cannon.h"
#include "aztec/levelrun.h"
#include "effects/effects.h"
#include "effects/particles.h"
#include "platform/audio.h"
#include "platform/random.h"
#include "storage/settings.h"
#include "effects/textpop.h"

int groupcount[101];
int explosionflag = 0;
int combomult = 1;
int combotimer = 0;
int comboframes = 50;

namespace {
inline bool inertkind(int k) { return k >= 50 && k <= 60; }
inline int screenx(int s) { return boardleft + stone_x[boardrow()][s]; }
inline int screeny(int s) { return virth - stone_y[boardrow()][s]; }

int freegroup() {
    for (int g = 1; g <= 100; ++g)
        if (groupcount[g] == 0) return g;
    return 0;
}

void support(int p) {
    for (int j = 1; j <= topslot; ++j) {
        if (stone_kind[p][j] <= 0) continue;
        if (j == cannonslot) {
            stone_x[p][j] = cannonx - boardleft;
            stone_y[p][j] = cannony - 18;
            continue;
        }
        if (stone_falling[p][j] != 0 || stone_kind[p][j] == 10) continue;
        if (inertkind(stone_kind[p][j])) {
            stone_falling[p][j] = 1;
            continue;
        }
        const int x = stone_x[p][j], below = stone_y[p][j] - 64;
        bool held = false;
        for (int k = 1; k <= topslot && !held; ++k)
            held = stone_kind[p][k] > 0 && stone_x[p][k] == x && stone_y[p][k] == below && !inertkind(stone_kind[p][k]);
        if (!held) stone_falling[p][j] = 1;
    }
}

void land(int p, int j, int k) {
    stone_falling[p][j] = 0;
    if (stone_fallframes[k] < stone_fallframes[j] && stone_kind[p][k] > 0 && stone_falling[p][k] == 0) {
        playsound(snd_contact, (float)screenx(j));
        landingdust((float)screenx(j), (float)screeny(j));
        rescueanimal(j, k);
        hitgranite(j, k);
    }
    stone_glint[p][j] = 10;
    int g = freegroup();
    if (g > 0) floodgroup(j, g);
    if (j == lastfiredslot) lastfiredslot = 0;
}

void fall(int p) {
    for (int j = 1; j <= topslot; ++j) {
        if (stone_kind[p][j] <= 0 || j == cannonslot) continue;
        if (stone_falling[p][j] != 0) {
            settled = 0;
            if (stone_kind[p][j] != 10) {
                const int c = stone_x[p][j];
                for (int k = 1; k <= topslot; ++k) {
                    if (k == j || k == cannonslot || stone_kind[p][k] <= 0) continue;
                    bool landed = false;
                    const int yk = stone_y[p][k];
                    if (!inertkind(stone_kind[p][k]) && stone_x[p][k] == c && stone_y[p][j] >= yk + 32 &&
                        stone_y[p][j] < yk + 80) {
                        landed = true;
                        stone_y[p][j] = yk + 64;
                    }
                    // Every kind lands on the grid, the colour-2 superstone too: one that stayed off it would
                    // never rest again and no scroll would start.
                    if (std::abs(c - stone_x[p][k]) < 64 && yk - 64 < stone_y[p][j] && stone_y[p][j] < yk + 64)
                        stone_y[p][j] += 64;
                    if (landed) land(p, j, k);
                }
            }
            if (stone_y[p][j] < -400 || stone_y[p][j] > 800) {
                stone_kind[p][j] = 0;
                stone_falling[p][j] = 0;
            }
        }
        if (stone_falling[p][j] != 0) stone_y[p][j] -= 16;
    }
    for (int j = 1; j <= topslot; ++j) {
        if (stone_falling[p][j] != 0) {
            int f = stone_fallframes[j] < 2 ? 2 : stone_fallframes[j];
            stone_fallframes[j] = f + 1 > 16 ? 16 : f + 1;
        } else {
            stone_fallframes[j] = 0;
        }
    }
}

// Clears the groups of three or more; returns 1 when one cleared, with the last one's size and centre.
int cleargroups(int p, int* lastn, int* avgx, int* avgy) {
    int cleared = 0;
    int supermade = 0;
    for (int i = 1; i <= 100; ++i) {
        if (groupcount[i] < 3) continue;
        const int n = groupcount[i];
        timerbar += 10 * n;
        long sumx = 0, sumy = 0;
        int noted = 0, notedkind = 0;
        for (int k = 1; k <= topslot; ++k) {
            if (stone_kind[p][k] < 1 || stone_group[p][k] != i) continue;
            if (noted < 120) {
                sumx += screenx(k);
                sumy += stone_y[p][k];
                noted += 1;
                notedkind = stone_kind[p][k];
            }
            if (breakchain(k) != 1) continue;
            burststone(k);
            explodesuperstone(k, 0);
            const int kind = stone_kind[p][k];
            if (kind >= 1 && kind <= 9) {
                if (!supermade && n >= 5 && stone_x[p][k] == lastshotx) {
                    supermade = 1;
                    playsound(snd_buildsuperstone, (float)screenx(k));
                    stone_kind[p][k] = kind + 10;
                    int part = addparticle((float)screenx(k), (float)screeny(k), kind + 10 + 870, 0, 0);
                    setparticlefollow(part, k);
                } else {
                    stone_kind[p][k] = 0;
                }
            }
        }
        // A member pushed off the board in this frame is not noted; never divide by nothing.
        int ax = noted > 0 ? (int)(sumx / noted) : 0;
        int ay = noted > 0 ? (int)(sumy / noted) : 0;
        awardpoints(100 * n, ax, virth - ay, notedkind, 1);
        groupcount[i] = 0;
        cleared = 1;
        *lastn = n;
        *avgx = ax;
        *avgy = ay;
    }
    return cleared;
}

void shake(int p, int n, int ax, int ay) {
    playsound(snd_match, (float)ax);
    for (int j = 1; j <= topslot; ++j) {
        if (stone_kind[p][j] <= 0) continue;
        double dy = (double)ay - stone_y[p][j], dx = (double)ax - screenx(j);
        int d = (int)std::sqrt(dy * dy + dx * dx);
        int s = (int)((float)(200 - d) * 0.2f);
        if (s < 0) s = 0;
        if (s > 20) s = 20;
        if (explosionflag == 1) s = 40;
        if (n > 6) s = 30;
        stone_shake[p][j] = s;
    }
}
}  // namespace

void updateboard() {
    const int p = boardrow();
    topslot = 0;
    for (int g = 1; g <= 100; ++g) groupcount[g] = 0;
    settled = 1;
    explosionflag = 0;
    for (int s = 1; s < BOARDSLOTS; ++s) {
        if (stone_kind[p][s] > 0) {
            topslot = s;
            stone_group[p][s] = 0;
        }
    }
    support(p);
    fall(p);
    int n = 0, ax = 0, ay = 0;
    if (cleargroups(p, &n, &ax, &ay)) shake(p, n, ax, ay);
    scrolling_casual();
    for (int s = 1; s <= topslot; ++s) {
        if (stone_kind[p][s] >= 1 && s != cannonslot && stone_falling[p][s] == 0) {
            aimx = cannontarget - boardleft;
            break;
        }
    }
    int loaded = (cannonslot >= 1 && cannonslot <= 156) ? stone_kind[p][cannonslot] : 0;
    int floorcolour = (loaded >= 1 && loaded <= 9) ? loaded : 1;
    for (int s = 1; s <= topslot; ++s)
        if (stone_kind[p][s] == 10 && stone_y[p][s] > floorline) stone_kind[p][s] = floorcolour;
}

void floodgroup(int s, int id) {
    const int p = boardrow();
    if (stone_group[p][s] != 0) return;
    stone_group[p][s] = id;
    groupcount[id] += 1;
    const int ks = stone_kind[p][s];
    const int colour = stonecolour(ks);
    if (ks == 10 || inertkind(ks) || colour == 0) return;
    const int x = stone_x[p][s], y = stone_y[p][s];
    for (int i = 1; i <= topslot; ++i) {
        const int ki = stone_kind[p][i];
        if (ki <= 0 || stone_group[p][i] != 0 || ki == 10 || ki == 50) continue;
        const int dx = std::abs(stone_x[p][i] - x), dy = std::abs(stone_y[p][i] - y);
        const bool beside = (dy == 0 && dx == 64) || (dx == 0 && dy == 64);
        if (beside && stonecolour(ki) == colour) floodgroup(i, id);
    }
}

int breakchain(int s) {
    const int p = boardrow();
    if (stone_chain[p][s][1] != 1 && stone_chain[p][s][2] != 1 && stone_chain[p][s][3] != 1) return 1;
    int layer = 1;
    for (int i = 0; i < 400; ++i) {
        layer = rand_range(1, 3);
        if (stone_chain[p][s][layer] == 1) break;
    }
    stone_chain[p][s][layer] = 0;
    playsound(snd_liane, (float)screenx(s));
    const int offset = layer == 1 ? -25 : (layer == 3 ? 25 : 0);
    chainbreak((float)(screenx(s) + offset), (float)screeny(s));
    return 0;
}

void burststone(int s) {
    const int k = stone_kind[boardrow()][s];
    if (k < 10) stoneburst((float)screenx(s), (float)screeny(s), k);
}

void explodesuperstone(int s, int exclude) {
    const int p = boardrow();
    const int kind = stone_kind[p][s];
    if (kind < 11 || kind > 19 || s == exclude) return;
    stone_group[p][s] = 56;
    const float sx = (float)screenx(s), sy = (float)screeny(s);
    awardpoints(1000, (int)sx, (int)sy, kind - 10, 0);
    superstoneexplosion(sx, sy, kind - 10);
    addparticle(sx, sy, 11020, 0, 0);
    playsound(snd_superstoneexplosion, sx);
    for (int i = 1; i <= topslot; ++i) {
        const int ki = stone_kind[p][i];
        if (ki < 1 || ki == 10 || i == s || i == cannonslot || i == exclude || stone_group[p][i] != 0) continue;
        const double dx = stone_x[p][i] - stone_x[p][s], dy = stone_y[p][i] - stone_y[p][s];
        if ((int)std::sqrt(dx * dx + dy * dy) >= 150) continue;
        burststone(i);
        explodesuperstone(i, s);
        const int now = stone_kind[p][i];
        if (!((now >= 20 && now <= 29) || (now >= 90 && now <= 99))) stone_kind[p][i] = 0;
    }
    explosionflag = 1;
    stone_kind[p][s] = 0;
}

void hitgranite(int j, int k) {
    (void)j;
    const int p = boardrow();
    if (stone_kind[p][k] < 71 || stone_kind[p][k] > 79) return;
    const float sx = (float)screenx(k), sy = (float)screeny(k);
    playsound(snd_granite1, sx);
    granitehit(sx, sy);
    stone_kind[p][k] += 1;
    if (stone_kind[p][k] == 74) {
        stone_kind[p][k] = 0;
        playsound(snd_granite2, sx);
        awardpoints(1000, (int)sx, (int)sy, 8, 0);
        granitebreak(sx, sy);
    }
}

void rescueanimal(int j, int k) {
    const int p = boardrow();
    const int kind = stone_kind[p][j];
    if (kind < 91 || kind > 99 || stone_kind[p][k] != 10) return;
    const float sx = (float)screenx(j), sy = (float)screeny(j);
    awardpoints(2000, (int)sx, (int)sy, 7, 0);
    superstoneexplosion(sx, sy, 7);
    const float bx = (float)stone_x[p][j];
    if (kind == 91) playsound(snd_animal1, bx);
    if (kind == 92) playsound(snd_animal2, bx);
    if (kind == 93) playsound(snd_animal3, bx);
    playsound(snd_turnup, bx);
    addparticle(sx, sy, kind + 700, 0, 0);
    if (playdifficulty[p] != 1) timerbar = 340;
    explosionflag = 1;
    stone_kind[p][j] = 0;
}

void awardpoints(int points, int x, int y, int colour, int combo) {
    const int f = combomult;
    combotimer = comboframes;
    if (combo == 1) combomult = f + 1;
    int& score = playerscore[boardrow()];
    score = (int)std::clamp((long long)score + (long long)points * f, 0LL, (long long)SCORE_MAX);
    int c = colour < 9 ? colour : 9;
    addfloatnumber(points * f, x, (float)y, c > 1 ? c : 1);
}

void comboclock() {
    if (level_frames == 1) {
        combotimer = 0;
        combomult = 1;
        return;
    }
    if (combotimer > 0) {
        combotimer -= 1;
        if (combotimer == 0) combomult = 1;
    }
}
