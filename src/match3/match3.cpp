// The match-3 board and its rules: setting a level up, the fall of the items, the line search and the removal of
// lines, mud, swaps, the possible-move hint and the win test.
#include "match3/match3.h"

#include <algorithm>
#include <cstdio>
#include <vector>

#include "app/shell.h"
#include "aztec/board.h"
#include "aztec/catalogue.h"
#include "aztec/levelrun.h"
#include "aztec/rules.h"
#include "effects/effects.h"
#include "effects/particles.h"
#include "match3/m3levels.h"
#include "platform/audio.h"
#include "platform/random.h"
#include "storage/players.h"
#include "storage/settings.h"
#include "ui/popups.h"

M3Cell m3cells[M3SLOTS];
M3Item m3items[M3SLOTS];
int m3resume = 0;
int m3selected = 0, m3partner = 0, m3swaptimer = 0, m3swapphase = 0;
M3Offset m3seloffset{0, 0}, m3partneroffset{0, 0};
int m3selgrow = 0, m3partnergrow = 0;
int m3matchlist[M3SLOTS];
int m3matchcount = 0;
M3HintPair m3hintpair{M3HINT_NOSEARCH, 0, 0, 0};
int m3idle = 0, m3fixdone = 0;
int mudcount = 0;
int m3boardx = 0;
int m3inputallowed = 0;
int m3lockedframes = 0;

namespace {
bool mendfailed = false;  // the board can be dealt no move at all: said once, not tried again in this level
bool player_ok(int p) { return p >= 1 && p <= MAXPLAYERS; }
bool live(const M3Item& it) { return it.kind >= 1 && it.kind <= 5; }

// First item of kind 1..5 at exactly (x, y), 0 none.
int item_at(int x, int y) {
    for (int i = 1; i <= M3ITEMLIMIT; ++i)
        if (live(m3items[i]) && m3items[i].x == x && m3items[i].y == y) return i;
    return 0;
}

int used_cell_at(int x, int y) {
    for (int c = 1; c < M3SLOTS; ++c)
        if (m3cells[c].used == 1 && m3cells[c].x == x && m3cells[c].y == y) return c;
    return 0;
}

// Where the replacement of an item removed at (x, y) enters. Items come in at the top row of the column; when the
// item stood in a lower run of a column that has a gap, the replacement enters just above that run instead, so it
// falls into the run that lost the item (from the top row it would land on the upper run and leave a hole below
// for good, and mud under a hole can never be cleared).
int entry_y(int x, int y) {
    // An item caught between two runs (it was still on its way down into the lower one) belongs to the run
    // below it.
    int top = y;
    if (!used_cell_at(x, y)) {
        int below = 0;
        for (int c = 1; c < M3SLOTS; ++c)
            if (m3cells[c].used == 1 && m3cells[c].x == x && m3cells[c].y > y && (!below || m3cells[c].y < below))
                below = m3cells[c].y;
        if (below) top = below;
    }
    while (used_cell_at(x, top - 64)) top -= 64;
    for (int c = 1; c < M3SLOTS; ++c)
        if (m3cells[c].used == 1 && m3cells[c].x == x && m3cells[c].y < top) return top - 64;
    return 17;
}

// Is slot i the middle of a line in the copied kinds k?
bool middle_of_line(int i, const int* k) {
    const M3Item& it = m3items[i];
    auto has = [&](int x, int y) {
        for (int j = 1; j <= M3ITEMLIMIT; ++j)
            if (j != i && k[j] == k[i] && m3items[j].x == x && m3items[j].y == y) return true;
        return false;
    };
    if (has(it.x, it.y + 64) && has(it.x, it.y - 64)) return true;
    return has(it.x + 64, it.y) && has(it.x - 64, it.y);
}

void mark_line(bool* marked, int i, int dx, int dy, const int* k, const int* falling) {
    const M3Item& it = m3items[i];
    int a = 0, b = 0;
    for (int j = 1; j <= M3ITEMLIMIT; ++j) {
        if (j == i || k[j] != k[i] || falling[j] != 0) continue;
        if (m3items[j].x == it.x + dx && m3items[j].y == it.y + dy && !a) a = j;
        if (m3items[j].x == it.x - dx && m3items[j].y == it.y - dy && !b) b = j;
    }
    if (a && b) marked[i] = marked[a] = marked[b] = true;
}
}  // namespace

int m3randomkind() { return rand_range(1, 5); }

void m3addcell(int x, int y, int used, int mud) {
    for (int c = 1; c < M3SLOTS; ++c) {
        M3Cell& cell = m3cells[c];
        if (cell.used != 0) continue;
        cell.x = x;
        cell.y = y;
        cell.used = used;
        cell.mud = mud;
        cell.flash = 0;
        cell.hintdir = 0;
        return;
    }
}

void m3additem(int x, int y, int kind, int falling) {
    for (int i = 1; i <= M3ITEMLIMIT; ++i) {
        M3Item& it = m3items[i];
        if (it.kind != 0) continue;
        it.x = x;
        it.y = y;
        it.kind = kind;
        it.falling = falling;
        it.land = 0;
        it.age = 0;
        it.hint = 0;
        return;
    }
}

namespace {
// A stored board is taken only when it fits this level: every kind known, mud 0..4, the same number of items and
// the same floor as the fresh deal, and every item in a column of the board. A profile written during another
// level holds that level's board (or none), and a damaged file holds anything.
bool stored_board_fits(int p, const M3Item* fresh) {
    int items = 0, freshitems = 0;
    std::vector<long> floors, freshfloors;
    for (int i = 1; i <= 200; ++i) {
        int kind = m3save_itemkind[p][i], x = m3save_itemx[p][i], y = m3save_itemy[p][i];
        if (m3cells[i].used == 1 && (m3save_mud[p][i] < 0 || m3save_mud[p][i] > 4)) return false;
        if (kind == ITEM_FLOOR) floors.push_back((long)x * 100000 + y);
        else if (kind >= 1 && kind <= 5) {
            ++items;
            bool column = false;
            for (int c = 1; c < M3SLOTS && !column; ++c) column = m3cells[c].used == 1 && m3cells[c].x == x;
            if (!column || y < 17 - 64 || y > 721) return false;
        } else if (kind != 0) return false;
        if (fresh[i].kind == ITEM_FLOOR) freshfloors.push_back((long)fresh[i].x * 100000 + fresh[i].y);
        else if (live(fresh[i])) ++freshitems;
    }
    std::sort(floors.begin(), floors.end());
    std::sort(freshfloors.begin(), freshfloors.end());
    return items == freshitems && floors == freshfloors;
}
}  // namespace

void m3setup() {
    const int p = curplayer;
    const int level = curlevel;
    m3fixdone = 0;
    for (int i = 1; i < M3SLOTS; ++i) {
        m3cells[i].used = 0;
        m3items[i].kind = 0;
        m3items[i].age = 0;
    }
    mudcount = 0;

    if (level >= 1 && level < M3LEVELSLOTS)
        for (int s = 1; s <= 144; ++s) {
            const M3LevelCell& lc = m3levelcells[level][s];
            if (lc.used == 1) m3addcell(64 * lc.column + 163, 64 * lc.row + 17, 1, lc.mud);
        }
    for (int c = 1; c < M3SLOTS; ++c)
        if (m3cells[c].used == 1) m3additem(m3cells[c].x, m3cells[c].y + 64, ITEM_FLOOR, 0);
    for (int c = 1; c < M3SLOTS; ++c) {
        if (m3cells[c].used != 1) continue;
        for (int i = 1; i < M3SLOTS; ++i)
            if (m3items[i].kind == ITEM_FLOOR && m3items[i].x == m3cells[c].x && m3items[i].y == m3cells[c].y)
                m3items[i].kind = 0;
        m3additem(m3cells[c].x, m3cells[c].y, m3randomkind(), 0);
    }

    if (resumeflag == 1 && player_ok(p) && levelinprogress[p] == 1) {
        if (stored_board_fits(p, m3items)) {
            for (int i = 1; i <= 200; ++i) {
                m3cells[i].mud = m3save_mud[p][i];
                m3items[i].x = m3save_itemx[p][i];
                m3items[i].y = m3save_itemy[p][i];
                m3items[i].kind = m3save_itemkind[p][i];
            }
            m3resume = player_m3resume[p];
        } else {
            std::printf("m3setup: the stored board does not fit level %d - a fresh board is dealt\n", level);
        }
    }

    m3matchcount = 0;
    for (int i = 1; i < M3SLOTS; ++i) {
        m3matchlist[i] = 0;
        m3cells[i].item = 0;
        m3items[i].cell = 0;
    }
    wincount = 0;
    losecount = 0;
    const int row = boardrow();
    for (int s = 1; s < BOARDSLOTS; ++s)
        stone_kind[row][s] = stone_falling[row][s] = stone_glint[row][s] = stone_shake[row][s] =
            stone_group[row][s] = 0;
    m3selected = m3partner = m3swaptimer = m3swapphase = m3selgrow = m3partnergrow = 0;
    m3seloffset = m3partneroffset = {0, 0};
    m3lockedframes = 0;
    mendfailed = false;
    if (player_ok(p)) levelinprogress[p] = 0;
    level_frames = 0;
}

void m3nostartlines() {
    // Random kinds end every line sooner or later; the bound only keeps a broken random source from hanging.
    for (int pass = 0; pass < 100000; ++pass) {
        bool found = false;
        for (int dir = 0; dir < 2; ++dir)
            for (int i = 1; i <= M3ITEMLIMIT; ++i) {
                if (!live(m3items[i])) continue;
                const M3Item& it = m3items[i];
                auto same = [&](int x, int y) {
                    for (int j = 1; j <= M3ITEMLIMIT; ++j)
                        if (j != i && m3items[j].kind == it.kind && m3items[j].x == x && m3items[j].y == y) return true;
                    return false;
                };
                bool line = dir == 0 ? same(it.x, it.y + 64) && same(it.x, it.y - 64)
                                     : same(it.x + 64, it.y) && same(it.x - 64, it.y);
                if (line) {
                    m3items[i].kind = m3randomkind();
                    found = true;
                }
            }
        if (!found) return;
    }
}

void m3fall() {
    if (level_frames > 50) {
        for (int i = 1; i <= M3ITEMLIMIT; ++i)
            if (live(m3items[i])) m3items[i].falling = 1;
        // Only items of the same column can block each other, and x never changes while falling.
        std::vector<int> column;
        for (int i = 1; i <= M3ITEMLIMIT; ++i) {
            M3Item& it = m3items[i];
            if (!live(it)) continue;
            column.clear();
            for (int j = 1; j <= M3ITEMLIMIT; ++j)
                if (j != i && m3items[j].kind > 0 && m3items[j].x == it.x) column.push_back(j);
            for (int step = 0; step < 12; ++step) {
                bool blocked = false;
                for (int j : column)
                    if (m3items[j].kind > 0 && it.y < m3items[j].y && m3items[j].y <= it.y + 64) {
                        blocked = true;
                        break;
                    }
                if (blocked) {
                    it.falling = 0;
                    if (it.land == -1) it.land = 6;
                    break;
                }
                it.y += 1;
                it.land = -1;
            }
        }
    }
    for (int c = 1; c < M3SLOTS; ++c) m3cells[c].item = 0;
    for (int i = 1; i < M3SLOTS; ++i) m3items[i].cell = 0;
    for (int i = 1; i <= M3ITEMLIMIT; ++i) {
        if (!live(m3items[i])) continue;
        for (int c = 1; c < M3SLOTS; ++c)
            if (m3cells[c].used == 1 && m3cells[c].x == m3items[i].x && m3cells[c].y == m3items[i].y) {
                m3cells[c].item = i;
                m3items[i].cell = c;
                break;
            }
    }
}

void m3startswap(int i, int d) {
    const int s = m3selected;
    if (s < 1 || s > M3ITEMLIMIT || i < 1 || i > M3ITEMLIMIT) return;
    m3partner = i;
    m3partnergrow = 0;
    m3swaptimer = 8;
    m3swapphase = 1;
    playsound(5, (float)m3items[s].x);
    static const M3Offset sel[5] = {{0, 0}, {8, 0}, {-8, 0}, {0, 8}, {0, -8}};
    if (d < 1 || d > 4) d = 0;
    m3seloffset = sel[d];
    m3partneroffset = {-sel[d].dx, -sel[d].dy};
}

void m3findmatches() {
    if (!(level_frames > 220 && wincount < 30)) return;
    int kinds[M3SLOTS], falling[M3SLOTS];
    for (int i = 1; i <= M3ITEMLIMIT; ++i) {
        kinds[i] = m3items[i].kind;
        falling[i] = m3items[i].falling;
    }
    const bool testing = m3swaptimer == 64 && m3selected >= 1 && m3partner >= 1;
    if (testing) std::swap(kinds[m3selected], kinds[m3partner]);

    bool marked[M3SLOTS] = {};
    for (int i = 1; i <= M3ITEMLIMIT; ++i) {
        if (kinds[i] < 1 || kinds[i] > 5 || falling[i] != 0) continue;
        mark_line(marked, i, 0, 64, kinds, falling);
        mark_line(marked, i, 64, 0, kinds, falling);
    }
    int count = 0;
    for (int i = 1; i <= M3ITEMLIMIT; ++i)
        if (marked[i]) m3matchlist[++count] = i;
    if (count > 0) {
        m3matchcount = count;
        if (testing) {
            std::swap(m3items[m3selected].kind, m3items[m3partner].kind);
            m3swaptimer = m3swapphase = 0;
            m3seloffset = m3partneroffset = {0, 0};
            m3selected = m3partner = 0;
        }
    } else if (m3swaptimer == 64) {
        m3swapphase = 2;
        playsound(6, (float)m3items[m3selected].x);
    }
}

void m3swapanim() {
    auto grow = [](int& v, int by) { v += v > 0 ? by : v < 0 ? -by : 0; };
    if (m3swaptimer > 0) {
        // A forward move that went past its test (the line search did not run) turns back like a refused one.
        if (m3swapphase == 1 && m3swaptimer >= 64) m3swapphase = 2;
        m3swaptimer += 8;
        if (m3swapphase == 1) {
            grow(m3seloffset.dx, 8), grow(m3seloffset.dy, 8);
            grow(m3partneroffset.dx, 8), grow(m3partneroffset.dy, 8);
        } else {
            grow(m3seloffset.dx, -8), grow(m3seloffset.dy, -8);
            grow(m3partneroffset.dx, -8), grow(m3partneroffset.dy, -8);
            if (m3swaptimer >= 128) {
                m3swaptimer = m3swapphase = 0;
                m3selected = m3partner = 0;
                m3seloffset = m3partneroffset = {0, 0};
            }
        }
    }
    m3findmatches();
}

void m3hitmud(int s) {
    if (s < 1 || s > M3ITEMLIMIT) return;
    const int c = m3items[s].cell;
    if (c < 1 || c >= M3SLOTS || m3cells[c].mud <= 0) return;
    const int before = m3cells[c].mud;
    m3cells[c].mud = before - 1;
    const int x = m3items[s].x + m3boardx, y = m3items[s].y;
    struct Hit {
        int variant, sound, colour;
    };
    static const Hit hits[5] = {{0, 0, 0}, {1, 45, 4}, {2, 46, 1}, {3, 48, 6}, {4, 49, 2}};
    const Hit& h = hits[std::min(before, 4)];
    mudexplosion((float)x, (float)y, h.variant);
    playsound(h.sound, (float)x);
    awardpoints(50, x - 4, y, h.colour, 0);
    if (before == 1 && player_ok(curplayer)) ++stat_special[curplayer];
}

void m3resolve() {
    if (m3matchcount <= 0) return;
    for (int i = 1; i <= M3ITEMLIMIT; ++i)
        if (live(m3items[i]) && m3items[i].cell >= 1) m3cells[m3items[i].cell].hintdir = 0;
    if (m3matchcount > 2) {
        // The two sounds of a clearing are panned to the middle of the removed items.
        long sum = 0;
        for (int n = 1; n <= m3matchcount; ++n) sum += m3items[m3matchlist[n]].x;
        const float x = (float)(sum / m3matchcount + m3boardx);
        playsound(5, x);
        playsound(20, x);
    }
    for (int n = 1; n <= m3matchcount; ++n) {
        const int s = m3matchlist[n];
        M3Item& it = m3items[s];
        const int k = it.kind;
        if (k < 1 || k > 5) continue;  // already gone
        m3hitmud(s);
        m3additem(it.x, entry_y(it.x, it.y), m3randomkind(), 0);
        addparticle((float)(it.x + m3boardx), (float)it.y, 10000 + k, 0, 0);
        if (player_ok(curplayer)) ++stat_cleared[curplayer];
        if (it.cell >= 1 && it.cell < M3SLOTS) m3cells[it.cell].item = 0;
        it.cell = 0;
        it.kind = 0;
        timerbar = std::min(340, timerbar + 4);
    }
    for (int n = 1; n <= m3matchcount; ++n) m3matchlist[n] = 0;
    m3matchcount = 0;
}

void m3hintsearch() {
    const bool quiet = wincount == 0 && losecount == 0 && popupfade == 0 && paused == -1;
    const bool searching = level_frames % 220 == 1 && quiet;
    if (searching) {
        m3hintpair = {M3HINT_NONE, 0, 0, 0};
        int kinds[M3SLOTS];
        static const int ddx[5] = {0, -64, 64, 0, 0}, ddy[5] = {0, 0, 0, -64, 64};
        for (int d = 1; d <= 4 && m3hintpair.state != M3HINT_FOUND; ++d)
            for (int i = 1; i <= M3ITEMLIMIT && m3hintpair.state != M3HINT_FOUND; ++i) {
                if (!live(m3items[i])) continue;
                int b = item_at(m3items[i].x + ddx[d], m3items[i].y + ddy[d]);
                if (!b) continue;
                for (int j = 1; j <= M3ITEMLIMIT; ++j) kinds[j] = live(m3items[j]) ? m3items[j].kind : -1;
                std::swap(kinds[i], kinds[b]);
                if (middle_of_line(i, kinds)) m3hintpair = {M3HINT_FOUND, b, i, d};
            }
    }
    ++m3idle;
    if (searching && m3hintpair.state == M3HINT_FOUND && m3idle > 400) {
        m3idle = 0;
        const int b = m3hintpair.b, j = m3hintpair.j;
        m3items[b].hint = 1;
        m3items[j].hint = 1;
        if (m3items[b].cell >= 1 && m3items[b].cell < M3SLOTS) m3cells[m3items[b].cell].hintdir = m3hintpair.d;
        playsound(9, (float)m3items[b].x);
    }
    if (m3hintpair.state == M3HINT_NONE && m3fixdone == 0 && level_frames % 100 == 1 && m3idle > 100 && quiet) {
        // One of the items on the board, wherever its slot lies.
        int slots[M3SLOTS], n = 0;
        for (int s = 1; s <= M3ITEMLIMIT; ++s)
            if (live(m3items[s])) slots[n++] = s;
        if (n > 0) {
            m3items[slots[rand_range(1, n) - 1]].kind = m3randomkind();
            m3fixdone = 1;
        }
        std::printf("no more moves - random item\n");
    }
}

void m3wintest() {
    if (mudcount <= 0 && wincount == 0) wincount = 1;
}

int m3mudleft() { return mudcount; }

namespace {
// The resting board on the 12 x 12 grid of cells: the kind on each cell (0 a cell without an item, -1 no cell),
// the item's slot and the cell's mud.
struct m3grid {
    int kind[12][12], slot[12][12], mud[12][12];
};

void buildm3grid(m3grid* g) {
    for (int c = 0; c < 12; ++c)
        for (int r = 0; r < 12; ++r) g->kind[c][r] = -1, g->slot[c][r] = 0, g->mud[c][r] = 0;
    for (int n = 1; n < M3SLOTS; ++n) {
        const M3Cell& cell = m3cells[n];
        if (cell.used != 1) continue;
        const int c = (cell.x - 163) / 64, r = (cell.y - 17) / 64;
        if (c < 0 || c > 11 || r < 0 || r > 11 || cell.x != 64 * c + 163 || cell.y != 64 * r + 17) continue;
        g->kind[c][r] = 0;
        g->mud[c][r] = cell.mud;
        const int i = cell.item;
        if (i >= 1 && i <= M3ITEMLIMIT && live(m3items[i]) && m3items[i].x == cell.x && m3items[i].y == cell.y) {
            g->kind[c][r] = m3items[i].kind;
            g->slot[c][r] = i;
        }
    }
}

int kindat(const m3grid& g, int c, int r) { return c < 0 || c > 11 || r < 0 || r > 11 ? -1 : g.kind[c][r]; }

// Marks the cells of the runs of three or more through (c, r); returns how many cells it marked anew.
int markruns(const m3grid& g, int c, int r, bool (*marked)[12]) {
    const int k = kindat(g, c, r);
    if (k < 1) return 0;
    int added = 0;
    static const int dirs[2][2] = {{1, 0}, {0, 1}};
    for (const auto& d : dirs) {
        int lo = 0, hi = 0;
        while (kindat(g, c - (lo + 1) * d[0], r - (lo + 1) * d[1]) == k) ++lo;
        while (kindat(g, c + (hi + 1) * d[0], r + (hi + 1) * d[1]) == k) ++hi;
        if (lo + hi + 1 < 3) continue;
        for (int t = -lo; t <= hi; ++t) {
            bool& m = marked[c + t * d[0]][r + t * d[1]];
            if (!m) m = true, ++added;
        }
    }
    return added;
}
}  // namespace

int m3boardatrest() {
    if (m3swaptimer != 0 || m3matchcount > 0) return 0;
    // An item that rests off the cells (above a full run) stays there: it does not keep the board moving.
    for (int i = 1; i <= M3ITEMLIMIT; ++i)
        if (live(m3items[i]) && m3items[i].falling != 0) return 0;
    return 1;
}

int m3legalswaps(M3Swap* out, int max) {
    m3grid g;
    buildm3grid(&g);
    int n = 0;
    for (int c = 0; c < 12; ++c)
        for (int r = 0; r < 12; ++r) {
            if (g.kind[c][r] < 1) continue;
            for (int d : {1, 3}) {
                const int c2 = d == 1 ? c + 1 : c, r2 = d == 1 ? r : r + 1;
                const int k2 = kindat(g, c2, r2);
                if (k2 < 1 || k2 == g.kind[c][r]) continue;
                std::swap(g.kind[c][r], g.kind[c2][r2]);
                bool marked[12][12] = {};
                int cleared = markruns(g, c, r, marked) + markruns(g, c2, r2, marked);
                std::swap(g.kind[c][r], g.kind[c2][r2]);
                if (cleared == 0) continue;
                if (out && n < max) {
                    int mud = 0;
                    for (int a = 0; a < 12; ++a)
                        for (int b = 0; b < 12; ++b) mud += marked[a][b] && g.mud[a][b] > 0;
                    out[n] = {g.slot[c][r], g.slot[c2][r2], d, cleared, mud};
                }
                ++n;
            }
        }
    return n;
}

int m3readyline() {
    m3grid g;
    buildm3grid(&g);
    bool marked[12][12] = {};
    for (int c = 0; c < 12; ++c)
        for (int r = 0; r < 12; ++r)
            if (markruns(g, c, r, marked) > 0) return 1;
    return 0;
}

void m3mendlockedboard() {
    const bool quiet = level_frames > 220 && wincount == 0 && losecount == 0 && popupfade == 0 && paused == -1;
    if (!quiet || mendfailed || !m3boardatrest() || m3legalswaps(nullptr, 0) > 0) {
        m3lockedframes = 0;
        return;
    }
    // Half a second of the locked board, so that the player sees what is being mended.
    if (++m3lockedframes < 25) return;
    m3lockedframes = 0;

    std::vector<int> slots, before;
    for (int i = 1; i <= M3ITEMLIMIT; ++i)
        if (live(m3items[i])) slots.push_back(i), before.push_back(m3items[i].kind);
    if (slots.empty()) return;
    // The same items in new places first; a board whose items cannot make a move in any order (too few of a
    // kind) gets new kinds.
    bool mended = false;
    for (int attempt = 0; attempt < 400 && !mended; ++attempt) {
        std::vector<int> kinds = before;
        if (attempt < 200) {
            for (int n = (int)kinds.size() - 1; n > 0; --n) std::swap(kinds[(size_t)n], kinds[(size_t)rand_range(0, n)]);
        } else {
            for (int& k : kinds) k = m3randomkind();
        }
        for (size_t n = 0; n < slots.size(); ++n) m3items[slots[n]].kind = kinds[n];
        mended = m3readyline() == 0 && m3legalswaps(nullptr, 0) > 0;
    }
    if (!mended) {
        for (size_t n = 0; n < slots.size(); ++n) m3items[slots[n]].kind = before[n];
        mendfailed = true;
        std::printf("no more moves - this board cannot be dealt a move\n");
        return;
    }
    std::printf("no more moves - the items are dealt again\n");
    // Each item that changed shrinks away as the new one fades in on its cell; the old hint points nowhere now.
    long sum = 0;
    for (size_t n = 0; n < slots.size(); ++n) {
        M3Item& it = m3items[slots[n]];
        sum += it.x;
        it.hint = 0;
        if (it.cell >= 1 && it.cell < M3SLOTS) m3cells[it.cell].hintdir = 0;
        if (it.kind == before[n]) continue;
        addparticle((float)(it.x + m3boardx), (float)it.y, 10000 + before[n], 0, 0);
        it.age = 0;
    }
    playsound(5, (float)(sum / (long)slots.size() + m3boardx));
    playsound(9, (float)(sum / (long)slots.size() + m3boardx));
    m3hintpair = {M3HINT_NOSEARCH, 0, 0, 0};
    m3selected = 0;
    m3selgrow = 0;
}
