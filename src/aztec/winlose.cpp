#include "aztec/winlose.h"

#include <algorithm>
#include <cmath>
#include <string>

#include "app/display.h"
#include "app/screenflow.h"
#include "app/shell.h"
#include "aztec/catalogue.h"
#include "aztec/levelrun.h"
#include "effects/effects.h"
#include "effects/particles.h"
#include "platform/audio.h"
#include "platform/random.h"
#include "screens/map.h"
#include "storage/players.h"
#include "storage/settings.h"
#include "texts/fonts.h"
#include "effects/textpop.h"
#include "texts/texttables.h"
#include "ui/buttons.h"
#include "ui/menu.h"
#include "ui/popups.h"

float winlinex[5];
float losebannery = 0;

namespace {
const float CAPTION_R = 0.43f, CAPTION_G = 0.16f, CAPTION_B = 0.1f;

float shakeoffset() {
    int s = screenshake;
    return s > 0 ? 0.002f * s * rand_range(-10 * s, 10 * s) : 0.0f;
}

int difficulty() { return curplayer >= 1 && curplayer <= MAXPLAYERS ? playdifficulty[curplayer] : 3; }

void caption(const std::string& text, float x, float y, float room) {
    drawtext(1, text, x, y, ALIGN_LEFT, fittedscale(1, text, 0.5f, room), CAPTION_R, CAPTION_G, CAPTION_B);
}

void value(const std::string& text, float x, float y) {
    drawtext(1, text, x + 600, y, ALIGN_RIGHT, 0.5f, CAPTION_R, CAPTION_G, CAPTION_B);
}

void starrow(int count, int filled, float x, float y) {
    set_scale(0.7f, 0.7f);
    for (int i = 1; i <= count; ++i)
        draw_image_if_loaded(i <= filled ? gamestar1img : gamestar0img, x + 52 * (i - 1), y);
    set_scale(1, 1);
}
}  // namespace

void makewin() {
    wintest();
    wincounting();
    if (wincount > 0) drawwinscreen();
}

void makelose() {
    losetest();
    if (losecount > 0) drawlosescreen();
}

void drawwinscreen() {
    const int w = wincount;
    const int d = difficulty();
    const bool moves = level_challenge[playlevel] == 2;
    if (w == 2 && paused != 1) playmusic("/music/win.wav", 0);
    addparticle(centerx + centerx * (float)std::sin(5.0 * w * M_PI / 180.0), 768, 11060, 0.05f * rand_range(-100, 100),
                0.55f * rand_range(-100, -10));

    set_alpha(std::min(1.0f, 0.025f * w));
    drawpopuppanel((float)centerx, (float)centery, 0.9f, gametext(1, 1));
    set_scale(0.7f, 1);
    for (float y : {317.0f, 387.0f, 457.0f}) draw_image_if_loaded(lineimg, (float)centerx, y);
    set_scale(1, 1);

    if (w == 2)
        for (float& x : winlinex) x = -1000;
    static const int starts[5] = {0, 150, 170, 190, 210};
    for (int i = 1; i <= 4; ++i) {
        if (w <= starts[i]) continue;
        if (w == starts[i] + 1) playsound(5, 200);
        winlinex[i] -= (winlinex[i] - (float)(centerx - 310)) * 0.1f;
    }
    if (w > 150) {
        caption(gametext(4, 7 + d), winlinex[1], 300, WINPACEROOM);
        set_scale(0.7f, 0.7f);
        for (int i = 1; i <= 5; ++i)
            draw_image_if_loaded(i < d ? gamestar1img : gamestar0img, winlinex[1] + 372 + 52 * (i - 1), 280);
        set_scale(1, 1);
    }
    if (w > 170) {
        caption(moves ? gametext(1, 7) : gametext(1, 4), winlinex[2], 370, WINMARKROOM);
        std::string v = moves ? std::to_string(level_moves3[playlevel] - 2 * d + 2) + "/" +
                                    std::to_string(level_moves2[playlevel] - 2 * d + 2)
                              : timetext(level_time3[playlevel]) + "/" + timetext(level_time2[playlevel]);
        value(v, winlinex[2], 370);
    }
    if (w > 190) {
        caption(moves ? gametext(1, 8) : gametext(1, 5), winlinex[3], 440, WINMARKROOM);
        value(moves ? std::to_string(recordedresult) : timetext(recordedresult), winlinex[3], 440);
    }
    if (w > 210) {
        caption(moves ? gametext(1, 9) : gametext(1, 6), winlinex[4], 510, WINSTARSROOM);
        starrow(3, starsearned(), winlinex[4] + 486, 490);
    }

    set_alpha(std::min(1.0f, 0.025f * w));
    draw_image_if_loaded(gameboardimg, (float)centerx, 590);
    static const float flyx[6] = {0, -100, -50, 0, 50, 100};
    for (int i = 1; i <= 5; ++i) {
        const float x = (float)(centerx + 75 * i - 225);
        set_alpha(std::min(1.0f, 0.05f * w));
        draw_image_if_loaded(gamestar0img, x, 590);
        if (i >= winstars) continue;
        if (w == 25 * i + 270) {
            winstarburst(x, 590, 4);
            playsound(58 + i, x);
        }
        float t = std::min(1.0f, 0.05f * (w - 25 * i - 250));
        if (t <= 0) continue;
        set_alpha(t);
        set_scale(3 - 2 * t, 3 - 2 * t);
        draw_image_if_loaded(gamestar1img, x + flyx[i] * (1 - t), 590 - 100 * (1 - t));
        set_scale(1, 1);
    }
    if (winstars > 6) {
        float t = std::min(1.0f, 0.05f * (w - 420));
        // It settles 7 px above the row, and bursts there when it lands.
        const float y = 590 - 7 * t;
        if (w == 440) {
            winstarburst((float)centerx, y, 1);
            playsound(64, (float)centerx);
        }
        if (t > 0) {
            set_alpha(t);
            set_scale(0.72f + 0.28f * t, 0.72f + 0.28f * t);
            draw_image_if_loaded(gamestar2img, (float)centerx, y);
            set_scale(1, 1);
        }
    }
    if (w >= 500) {
        set_alpha(std::min(1.0f, 0.1f * (w - 500)));
        drawtext(2, gametext(1, 10), (float)centerx, 692, ALIGN_CENTER, 1, 1, 1, 1);
    }
    set_alpha(1);
}

void drawlosescreen() {
    const int l = losecount;
    if (l == 2) {
        playsound(27, (float)centerx);
        stopmusic();
        losebannery = (float)centery;
    }
    if (l > 100) losebannery -= (losebannery - 200) * 0.1f;
    const float a0 = get_alpha();
    const float sx = shakeoffset(), sy = shakeoffset();
    if (l > 0 && l < 99999) {
        set_alpha(std::min(1.0f, 0.03f * l) * a0);
        float s = 2 - std::min(1.0f, 0.03f * l);
        set_scale(s, s);
        draw_image_if_loaded(losebanner, (float)centerx + sx, losebannery + sy);
        set_scale(1, 1);
        const std::string& out = gametext(2, 1);
        const float room = (float)image_width(losebanner) - 80;
        drawtextpop(3, out, (float)centerx + sx, losebannery + 72 + sy, ALIGN_CENTER, fittedscale(3, out, 0.8f, room), l,
                    25, 99999, 0, 1, 0, 0, 1);
    }
    set_alpha(a0);
    const float wide = (float)virtw - 60;
    drawtextpop(3, gametext(2, 2), (float)centerx + sx, 390 + sy, ALIGN_CENTER, fittedscale(3, gametext(2, 2), 0.4f, wide),
                l, 100, 99999, 0, 1, 1, 1, 1);
    drawtextpop(3, gametext(2, 3), (float)centerx + sx, 490 + sy, ALIGN_CENTER, fittedscale(3, gametext(2, 3), 0.4f, wide),
                l, 130, 99999, 0, 1, 1, 1, 1);
    if (l >= 150) {
        set_alpha(std::min(1.0f, 0.1f * (l - 150)));
        if (drawbutton(5, (float)(centerx - 150), 620, 10, 1, gametext(2, 5)) == 3) {
            losereset();
            gotoscreen(screen_map, 0);
        }
        if (drawbutton(6, (float)(centerx + 150), 620, 10, 1, gametext(2, 4)) == 3) {
            losereset();
            gotoscreen(screen_game, 0);
        }
        set_alpha(a0);
    }
}
