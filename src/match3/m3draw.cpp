// The match-3 board on screen: its images, the per-frame driver, the mouse, the drawing of cells, mud, items,
// hint arrows and the two swapping items, and the miniature shown on the adventure map.
#include <cmath>
#include <string>

#include "app/display.h"
#include "app/shell.h"
#include "aztec/catalogue.h"
#include "aztec/levelrun.h"
#include "match3/m3levels.h"
#include "match3/match3.h"
#include "ui/menu.h"
#include "ui/popups.h"

TImage m3itemimage[5][30];
TImage m3cellimg, m3cellmaskimg, m3cellmarkimg;
TImage m3arrowimg[5];
TImage m3mudimage[5];
TImage m3backdrop;

namespace {
float dsin(float degrees) { return (float)std::sin(degrees * 3.14159265358979 / 180.0); }

// Is the mouse over the item drawn at screen (x, y)? Without the mask or the pointer shape, a 64-pixel square.
bool mouse_over(int x, int y) {
    if (m3cellmaskimg && collimg) return images_collide(m3cellmaskimg, (float)x, (float)y, 0, collimg, (float)mx, (float)my, 0) != 0;
    return mx >= x - 32 && mx < x + 32 && my >= y - 32 && my < y + 32;
}

void draw_lifted(int slot, int grow, const M3Offset& off, float a) {
    if (slot < 1 || slot > M3ITEMLIMIT) return;
    const M3Item& it = m3items[slot];
    if (it.kind < 1 || it.kind > 5) return;
    const float s = 1 + 0.02f * grow;
    set_scale(s, s);
    const float x = (float)(it.x + off.dx + m3boardx), y = (float)(it.y + off.dy);
    draw_image_if_loaded(m3itemimage[1][it.kind], x, y);
    set_blend(BLEND_LIGHT);
    set_alpha(a * (0.4f + 0.2f * dsin(framecount * 10.0f)));
    draw_image_if_loaded(m3itemimage[1][it.kind], x, y);
    set_blend(BLEND_ALPHA);
    set_alpha(a);
}
}  // namespace

void loadmatch3stuff() {
    const int mid = get_auto_midhandle();
    set_auto_midhandle(1);
    const std::string dir = "data\\minigames/match3/";
    m3cellimg = load_image_logged(dir + "cell2.png");
    m3cellmaskimg = load_image_logged(dir + "cellmask.png");
    m3cellmarkimg = load_image_logged(dir + "cellmark.png");
    for (int k : {1, 2, 3, 4, 5, 7, 10}) m3itemimage[1][k] = load_image_logged(dir + "item1-" + std::to_string(k) + ".png");
    for (int d = 1; d <= 4; ++d) m3arrowimg[d] = load_image_logged(dir + "arrow" + std::to_string(d) + ".png");
    for (int m = 1; m <= 4; ++m) m3mudimage[m] = load_image_logged(dir + "mud" + std::to_string(m) + ".png");
    set_auto_midhandle(mid);
}

void m3enter() {
    m3idle = 0;
    m3resume = 0;
    m3hintpair = {M3HINT_NOSEARCH, 0, 0, 0};
    const int mid = get_auto_midhandle();
    set_auto_midhandle(1);
    m3backdrop = load_image_logged("data\\minigames\\downbackpuzzle.png");
    set_auto_midhandle(mid);
    // The board is the one of the level being entered (a replayed earlier level too).
    if (curlevel >= 1 && curlevel < LEVELSLOTS && level_type[curlevel] == 2) m3setup();
}

void m3freebackdrop() { m3backdrop = nullptr; }

void m3frame() {
    m3inputallowed = !(paused == 1 || popupfade > 0 || level_frames < 180 || losecount > 0);
    if (playlevel >= 1 && playlevel < LEVELSLOTS && level_type[playlevel] == 2) playmatch3();
}

void m3setboardx() {
    if (virtw == 1024) m3boardx = 0;
    else if (virtw == 1280) m3boardx = 128;
    else if (virtw == 1366) m3boardx = 171;
}

void playmatch3() {
    m3setboardx();
    set_alpha(1);
    set_blend(BLEND_ALPHA);
    set_rotation(0);
    set_scale(1, 1);
    m3fall();
    m3input();
    m3hintsearch();
    m3swapanim();
    m3resolve();
    m3mendlockedboard();
    set_alpha(1);
    m3drawcells();
    set_alpha(1);
    drawitems();
    set_alpha(1);
    m3drawswapping();
    set_alpha(1);
    m3wintest();
}

void m3input() {
    if (!m3inputallowed || m3swaptimer != 0 || wincount != 0 || losecount != 0) return;
    for (int i = 1; i <= M3ITEMLIMIT; ++i) {
        M3Item& it = m3items[i];
        if (it.kind < 1 || it.kind > 5) continue;
        if (!(level_frames > 220 && mouse_over(it.x + m3boardx, it.y))) continue;
        if (it.cell >= 1 && it.cell < M3SLOTS) m3cells[it.cell].flash = 9;
        if (mdown1 != 1) continue;
        m3idle = 0;
        if (m3selected == 0) {
            m3selected = i;
            m3selgrow = 0;
            continue;
        }
        const M3Item& s = m3items[m3selected];
        int d = 0;
        if (it.y == s.y && it.x == s.x + 64) d = 1;
        else if (it.y == s.y && it.x == s.x - 64) d = 2;
        else if (it.x == s.x && it.y == s.y + 64) d = 3;
        else if (it.x == s.x && it.y == s.y - 64) d = 4;
        if (d) {
            m3startswap(i, d);
            // The swap owns both items now: a second item under the pointer must not drop the selection.
            return;
        }
        if (i != m3selected || mheld1 == 1) {
            m3selected = 0;
            m3selgrow = 0;
        }
    }
}

void m3drawcells() {
    mudcount = 0;
    set_blend(BLEND_ALPHA);
    for (int c = 1; c < M3SLOTS; ++c) {
        const M3Cell& cell = m3cells[c];
        if (cell.used != 1) continue;
        draw_image_if_loaded(m3cellimg, (float)(cell.x + m3boardx), (float)cell.y);
        if (cell.mud >= 1 && cell.mud <= 4) {
            draw_image_if_loaded(m3mudimage[cell.mud], (float)(cell.x + m3boardx), (float)cell.y);
            ++mudcount;
        }
    }
    for (int c = 1; c < M3SLOTS; ++c) {
        M3Cell& cell = m3cells[c];
        if (cell.used != 1 || cell.flash <= 0) continue;
        --cell.flash;
        set_blend(BLEND_LIGHT);
        set_alpha(dsin(cell.flash * 10.0f));
        draw_image_if_loaded(m3cellmarkimg, (float)(cell.x + m3boardx), (float)cell.y);
        set_blend(BLEND_ALPHA);
        set_alpha(1);
    }
}

void drawitems() {
    for (int i = 1; i <= M3ITEMLIMIT; ++i) {
        M3Item& it = m3items[i];
        if (it.kind < 1 || it.kind > 5 || i == m3selected || i == m3partner) continue;
        if (it.hint > 0 && ++it.hint >= 72) it.hint = 0;
        if (it.age < 20) ++it.age;
        if (it.land > 0) --it.land;
        set_alpha(it.age * 0.05f);
        set_rotation(10 * dsin(it.hint * 10.0f));
        draw_image_if_loaded(m3itemimage[1][it.kind], (float)(it.x + m3boardx), (float)(it.y + it.land));
        set_alpha(1);
        set_rotation(0);
        set_scale(1, 1);
    }
    set_alpha(0.75f);
    for (int c = 1; c < M3SLOTS; ++c) {
        const M3Cell& cell = m3cells[c];
        if (cell.used != 1 || cell.hintdir < 1 || cell.hintdir > 4) continue;
        static const int sx[5] = {0, 32, -32, 0, 0}, sy[5] = {0, 0, 0, 32, -32};
        draw_image_if_loaded(m3arrowimg[cell.hintdir], (float)(cell.x + m3boardx + sx[cell.hintdir]),
                             (float)(cell.y + sy[cell.hintdir]));
    }
    set_alpha(1);
}

void m3drawswapping() {
    const float a = get_alpha();
    if (m3selected > 0) {
        if (m3swapphase != 2 && m3selgrow < 10) ++m3selgrow;
        if (m3swapphase == 2 && m3selgrow > 0) --m3selgrow;
        draw_lifted(m3selected, m3selgrow, m3seloffset, a);
    }
    if (m3partner > 0) {
        if (m3swapphase != 2 && m3partnergrow < 10) ++m3partnergrow;
        if (m3swapphase == 2 && m3partnergrow > 0) --m3partnergrow;
        draw_lifted(m3partner, m3partnergrow, m3partneroffset, a);
    }
    set_scale(1, 1);
}

void m3preview(int cx, int cy, int level) {
    if (level < 1 || level >= M3LEVELSLOTS) return;
    const float s = 0.35f;
    const int ox = (int)(cx - 352 * s), oy = (int)(cy - 320 * s + 40);
    set_scale(s, s);
    for (int a = 1; a <= 12; ++a)
        for (int b = 1; b <= 12; ++b) {
            const M3LevelCell& lc = m3levelcells[level][(a - 1) * 12 + b];
            if (lc.used != 1) continue;
            const float x = ox + 64 * lc.column * s, y = oy + 64 * lc.row * s;
            draw_image_if_loaded(m3cellimg, x, y);
            if (lc.mud >= 1 && lc.mud <= 4) draw_image_if_loaded(m3mudimage[lc.mud], x, y);
            draw_image_if_loaded(m3itemimage[1][((a + b) % 5) + 1], x, y);
        }
    set_scale(1, 1);
}
