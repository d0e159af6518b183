#include "aztec/cannon.h"

#include <cmath>

#include "platform/input.h"
#include "app/display.h"
#include "app/shell.h"
#include "aztec/board.h"
#include "aztec/boardrender.h"
#include "aztec/levelrun.h"
#include "effects/particles.h"
#include "platform/audio.h"
#include "platform/draw.h"
#include "platform/random.h"
#include "storage/settings.h"
#include "ui/popups.h"

int cannonx = 320;
int cannony = boardtop + 664;
int cannontarget = 320;
int aimx = 320;
int cannoncooldown = 0;
float cannonbob = 0;
int swapflag = 0;
int lastfiredslot = 0;
int lastshotx = 0;
int keycolumn = -1;

namespace {
bool levelrunning() { return popupkind == 0 && wincount == 0 && losecount == 0; }

void easetoward(int columnx) {
    if (!levelrunning()) return;
    cannontarget = columnx + boardleft;
    cannonx -= (int)((float)(cannonx - cannontarget) * 0.2f);
    if (cannonx < cannontarget) cannonx += 1;
    if (cannonx > cannontarget) cannonx -= 1;
}

void updatebob() { cannonbob = 3.0f * (float)std::sin(7.0 * framecount * M_PI / 180.0); }

// A colour still on the board, by up to 300 random draws (the last draw stands when none hits).
int presentcolour() {
    int c = 1;
    for (int i = 0; i < 300; ++i) {
        c = rand_range(1, 9);
        if (colourcount[c] > 0) break;
    }
    return c;
}

int countof(int colour) { return (colour >= 0 && colour <= 20) ? colourcount[colour] : 0; }

// Keeps the loaded stone and the following colour to colours that are still on the board.
void keepcoloursvalid() {
    const int p = boardrow();
    countcolours();
    if (cannonslot >= 1 && cannonslot <= 156) {
        if (nocolours == 1) {
            stone_kind[p][cannonslot] = 1;
            shotcolour = 1;
        } else if (countof(stone_kind[p][cannonslot]) == 0) {
            int c = presentcolour();
            stone_kind[p][cannonslot] = c;
            shotcolour = c;
        }
    }
    if (nextcolour > 0) {
        if (nocolours == 1)
            nextcolour = 1;
        else if (countof(nextcolour) == 0)
            nextcolour = presentcolour();
    }
}

void drawpreview() {
    float alpha = get_alpha();
    set_alpha(0.7f * alpha);
    float sc = 0.5f - 0.05f * (float)cannoncooldown;
    set_scale(sc, sc);
    if (nextcolour >= 1 && nextcolour <= 10) draw_image_if_loaded(stoneimage[1][nextcolour], (float)cannonx, 22.0f);
    set_scale(1, 1);
    set_alpha(alpha);
}

void fire() {
    const int p = boardrow();
    const int s = cannonslot;
    playshots[p] += 1;
    swapflag = 0;
    if (s < 1 || s > 156) {
        // The cannon held no stone (the board was full): the shot drops nothing.
        lastshotx = cannontarget - boardleft;
        cannonslot = 0;
        playsound(snd_shootkaro, (float)cannontarget);
        return;
    }
    int colour = stone_kind[p][s];
    stone_x[p][s] = cannontarget - boardleft;
    lastshotx = stone_x[p][s];
    stone_falling[p][s] = 1;
    lastfiredslot = s;
    cannonslot = 0;
    playsound(snd_shootkaro, (float)cannontarget);
    float sx = (float)(boardleft + stone_x[p][s]), sy = (float)(virth - stone_y[p][s]);
    for (int i = 0; i < 4; ++i) {
        int u = rand_range(-10, 10), v = rand_range(-10, 10);
        addparticle(sx, sy, 100 + colour, 0.2f * (float)u, 0.2f * (float)v);
    }
}

void load() {
    const int p = boardrow();
    if (level_frames > 50) randomstone();
    swapflag = 0;
    cannonslot = addstone(cannonx, cannony, shotcolour, 0);
    cannoncooldown = 10;
    if (cannonslot > 156) return;
    float sx = (float)stone_x[p][cannonslot], sy = (float)(virth - stone_y[p][cannonslot]);
    for (int i = 0; i < 12; ++i) {
        int u = rand_range(-100, 100), v = rand_range(-100, 100);
        addparticle(sx, sy, shotcolour, 0.03f * (float)u, 0.03f * (float)v - 1.0f);
    }
}
}  // namespace

int aimcolumn(int mousex) {
    int q = (mousex - boardleft - 18) / 64;
    int x = 64 * q + 32;
    if (x < 32) x = 32;
    if (x > 736) x = 736;
    return x;
}

void introaiming() {
    int x = (int)((float)(mx - boardleft + 18) / 32.0f) * 32;
    if (x < 32) x = 32;
    if (x > 608) x = 608;
    easetoward(x);
    updatebob();
}

void drawcannon() {
    const int p = boardrow();
    int aim = aimcolumn(mx);
    if (inputdevice == DEVICE_MOUSE) {
        keycolumn = -1;
    } else if (levelrunning()) {
        // Left and right move one column a press; held, the press repeats.
        if (keycolumn < 0) keycolumn = (aim - 32) / 64;
        if (actpress & ACT_LEFT) keycolumn = std::max(0, keycolumn - 1);
        if (actpress & ACT_RIGHT) keycolumn = std::min(11, keycolumn + 1);
        aim = 64 * keycolumn + 32;
    }
    easetoward(aim);
    updatebob();
    if (levelrunning()) keepcoloursvalid();
    if (cannoncooldown > 0) cannoncooldown -= 1;
    drawpreview();

    if (cannonslot != 0 || swapflag == 1) {
        bool ready = cannoncooldown < 1 && losecount == 0 && wincount == 0 && popupfade < 1 && level_frames > 150;
        if (!ready) return;
        if (mhit2 == 1 || (actpress & ACT_SWAP)) {
            swapflag = 1;
            cannoncooldown = 10;
            int t = shotcolour;
            shotcolour = nextcolour;
            nextcolour = t;
            if (cannonslot >= 1 && cannonslot <= 156) stone_kind[p][cannonslot] = shotcolour;
            playsound(snd_turnup, (float)mx);
        }
        if (mhit1 == 1 || (actpress & ACT_CONFIRM)) fire();
    } else {
        load();
    }
}

void drawarrow() {
    if (wincount != 0 || losecount != 0 || popupfade != 0) return;
    const int p = boardrow();
    int a = 7;
    if (cannonslot >= 1 && cannonslot <= 156 && stone_kind[p][cannonslot] >= 1 && stone_kind[p][cannonslot] <= 9)
        a = stone_kind[p][cannonslot];
    draw_image_if_loaded(lightimage, (float)(cannonx + 4), (float)boardtop + 12.0f - cannonbob);
    int t = level_frames % 30;
    const float ys[3] = {150, 175, 200};
    for (int i = 0; i < 3; ++i) {
        float sc = 0.3f;
        int from = 5 * i;
        if (t >= from && t <= from + 15) sc = 0.5f + 0.2f * (float)std::sin(12.0 * (level_frames - from) * M_PI / 180.0);
        set_scale(sc, sc);
        draw_image_if_loaded(arrowimage[a], (float)(aimx + boardleft), ys[i]);
    }
    set_scale(1, 1);
}
