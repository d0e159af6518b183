#include "aztec/gamescreen.h"

#include <algorithm>
#include <cmath>
#include <string>

#include "app/display.h"
#include "app/screenflow.h"
#include "app/shell.h"
#include "aztec/boardframe.h"
#include "aztec/catalogue.h"
#include "aztec/levelrun.h"
#include "aztec/rules.h"
#include "aztec/winlose.h"
#include "effects/effects.h"
#include "effects/particles.h"
#include "match3/match3.h"
#include "platform/background.h"
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

float boardalpha = 1;
float topbary = -100;
int starwarnframes[3];
int starpassedframes[3];

namespace {
int player() { return curplayer >= 1 && curplayer <= MAXPLAYERS ? curplayer : 0; }
bool aztec() { return level_type[playlevel] == 1; }
bool popupvisible() { return popupfade > 0; }
float degcos(double d) { return (float)std::cos(d * M_PI / 180.0); }

// Shake offset of the banners: 0.002 * s * u for u uniform in -10s..10s.
float shakeoffset() {
    int s = screenshake;
    return s > 0 ? 0.002f * s * rand_range(-10 * s, 10 * s) : 0.0f;
}
}  // namespace

void resetgamescreen() {
    topbary = -100;
    for (int i = 0; i < 3; ++i) starwarnframes[i] = starpassedframes[i] = 0;
}

void showgame() {
    const int p = player();
    // 1. Tint by the fade; darker while won, pulsing red while lost.
    set_color(fadelevel, fadelevel, fadelevel);
    if (wincount > 0) {
        int g = (int)(std::max(0.5f, 1 - 0.02f * wincount) * fadelevel);
        set_color(g, g, g);
    } else if (losecount > 0) {
        float h = (200 - losecount) * 0.005f * (0.5f + 0.5f * degcos(10.0 * losecount));
        set_color(fadelevel, (int)(h * fadelevel), (int)(h * fadelevel));
    }
    int tr, tg, tb;
    get_color(&tr, &tg, &tb);

    // 2. Background.
    drawbackground((float)mx);
    set_scale(1, 1);
    set_blend(BLEND_ALPHA);
    set_alpha(1);
    set_color(tr, tg, tb);

    // 3. The level's frame clock stands still under a popup and the pause.
    bool advanced = false;
    if (!popupvisible() && paused == -1) {
        ++level_frames;
        advanced = true;
    }
    buttonlayer = 1;

    // 4. Hint page and difficulty dialog at the start of the level. They open only in the frame the clock reaches
    // their frame: a page that holds the clock must not be opened again every frame it is shown.
    if (advanced && level_frames == 30) popupaction(102);
    if (advanced && level_frames == 35) popupaction(777);
    if (!aztec() && level_frames == 2 && advanced) m3nostartlines();

    // 5. Play clock.
    playclockstep();
    if (popupkind > 0) buttonlayer = 2;

    // 6. Developer keys.
    if (devkeys == 1 && wincount == 0 && losecount == 0) {
        if (key_f3 == 1) wincount = 1;
        if (key_f4 == 1 && aztec()) {
            wincount = 1;
            if (p) {
                maxlevel[p] = playerlevel[p] = 104;
                for (int i = 1; i <= 103; ++i) levelstars[p][i] = 1;
            }
            curlevel = 104;
        }
    }

    // 7. Board fade.
    boardalpha = std::min(1.0f, 0.025f * level_frames);
    if (wincount > 0) boardalpha = 1 - 0.025f * wincount;
    boardalpha = std::clamp(boardalpha, 0.0f, 1.0f);

    // 8. Back panel.
    if (aztec())
        draw_image_if_loaded(downback2img, (float)(centerx + 2), (float)(virth - 200));
    else
        draw_image_if_loaded(m3backdrop, (float)(centerx + 10), (float)(virth - 200));

    // 9. Board.
    if (aztec()) {
        if (wincount < 520 && paused != 1) aztecframe();
    } else {
        m3frame();
    }
    resetdrawing();
    set_color(tr, tg, tb);

    // 10..12. Star panel, interface, challenge icon.
    drawstarpanel();
    draw_gameui_and_buttons_and_texts();
    set_scale(0.44f, 0.44f);
    if (level_challenge[playlevel] == 1)
        draw_image_if_loaded(timeiconimg, (float)(centerx + 405), (float)(virth - 190));
    else if (level_challenge[playlevel] == 2)
        draw_image_if_loaded(moveiconimg, (float)(centerx + 405), (float)(virth - 190));
    set_scale(1, 1);

    // 13..14. Front panel and the countdown bar.
    if (aztec()) draw_image_if_loaded(downfront2img, (float)(centerx - 7), (float)virth);
    if (level_challenge[playlevel] == 1 && level_frames > 50) timerbarstep();

    // 15. Win and lose.
    makewin();
    makelose();

    // 16. Effects (only the light motes under the hint page).
    if (popupkind == 102 && popupvisible())
        drawlights(1);
    else
        draweff();

    // 17. A click on the pause overlay resumes.
    if (!popupvisible() && paused == 1 && mhit1 == 1) {
        paused = -1;
        if (p) levelinprogress[p] = 0;
    }

    // 18. Banner, popups, combo clock, floating numbers.
    drawlevelbanner();
    if (screenshake > 0) --screenshake;
    updatepopups();
    comboclock();
    drawfloatnumbers();
    resetdrawing();
}

void draw_gameui_and_buttons_and_texts() {
    const int p = player();
    const bool a = aztec();
    if (a) {
        // The score keeps inside the dark field of the plaque under the animal counter.
        drawdigits_slanted((float)(centerx - 468), (float)(virth - 215), p ? playerscore[p] : 0,
                           (float)(centerx - 499), (float)(centerx - 417));
        if (level_challenge[playlevel] == 2)
            drawdigits_slanted_angle((float)(centerx + 448), (float)(virth - 190), p ? playshots[p] : 0, 5);
        else
            drawtime_slanted((float)(centerx + 460), (float)(virth - 195), p ? playseconds[p] : 0, 5);
        drawfraction_slanted((float)(centerx - 485), (float)(virth - 266), p ? levelrescued[p] : 0,
                             level_animals[playlevel]);
    } else {
        // Here the counters stand on the wall left of the tray.
        drawdigits_slanted((float)(centerx - 460), (float)(virth - 215), p ? playerscore[p] : 0,
                           (float)(centerx - 506), (float)(centerx - 408));
        drawtime_slanted((float)(centerx + 468), (float)(virth - 195), p ? playseconds[p] : 0, 5);
        drawdigits_slanted_angle((float)(centerx - 456), (float)(virth - 260), m3mudleft(), -3);
        set_scale(0.5f, 0.5f);
        draw_image_if_loaded(m3mudimage[3], (float)(centerx - 429), (float)(virth - 300));
        draw_image_if_loaded(m3mudimage[1], (float)(centerx - 449), (float)(virth - 310));
        draw_image_if_loaded(m3mudimage[2], (float)(centerx - 469), (float)(virth - 300));
        set_scale(1, 1);
    }

    // Top bar easing in from above.
    topbary -= topbary * 0.1f;
    const float y = topbary;
    draw_image_if_loaded(uiupleftimg, (float)(centerx - 430), y);
    drawtext(2, gametext(3, 1) + " " + std::to_string(playlevel), (float)(centerx - 430 + 3), y + 33, ALIGN_CENTER, 1,
             1, 1, 1);
    draw_image_if_loaded(uiuprightimg, (float)(centerx + 430), y);

    const bool blocked = wincount > 0 || losecount > 0 || popupvisible();
    int r = drawbutton(11, (float)(centerx + 430 - 3), y + 33, 16, blocked ? -1 : 1, gametext(3, 5));
    bool esc = key_escape == 1 && escapedelay == 30 && !popupvisible() && wincount == 0 && losecount == 0;
    if (r == 3 || esc) popupaction(298);
}

void drawstarpanel() {
    const int p = player();
    const int challenge = level_challenge[playlevel];
    const float x = (float)(centerx + 437 + (aztec() ? 0 : 8));
    const float a0 = get_alpha();
    int cr, cg, cb;
    get_color(&cr, &cg, &cb);
    for (int row = 1; row <= 2; ++row) {
        const float y = (float)(virth - (row == 1 ? 300 : 240));
        int t = 0, value = 0, warnvalue = 0;
        float alpha = 1;
        if (challenge == 1) {
            t = row == 1 ? level_time3[playlevel] : level_time2[playlevel];
            value = p ? playseconds[p] : 0;
            warnvalue = value + 5;
        } else if (challenge == 2) {
            int d = p ? playdifficulty[p] : 3;
            t = (row == 1 ? level_moves3[playlevel] : level_moves2[playlevel]) - 2 * d + 2;
            value = p ? playshots[p] : 0;
            warnvalue = value + 1;
        } else {
            alpha = 0;
        }
        float f = 1;
        if (alpha > 0 && t < value) {
            int m = starpassedframes[row]++;
            if (m == 0) starlost(x + 8, y);
            alpha = 1 - 0.6f * std::min(1.0f, 0.1f * (m + 1));
        } else if (alpha > 0 && t < warnvalue) {
            int n = starwarnframes[row]++;
            f = 0.7f + 0.3f * degcos(10.0 * n + 10);
        }
        set_alpha(a0 * alpha);
        set_color(fadelevel, (int)(f * fadelevel), (int)(f * fadelevel));
        set_scale(0.8f, 0.8f);
        if (row == 1) {
            draw_image_if_loaded(mapstar1img, x - 42, y + 12);
            draw_image_if_loaded(mapstar1img, x - 31, y - 8);
            draw_image_if_loaded(mapstar1img, x - 18, y + 9);
        } else {
            draw_image_if_loaded(mapstar1img, x - 32, y - 12);
            draw_image_if_loaded(mapstar1img, x - 45, y + 8);
        }
        set_scale(1, 1);
        if (challenge == 1)
            drawtime_slanted(x + 23, y, t, 0);
        else if (challenge == 2)
            drawdigits_slanted_angle(x + 11, y, std::max(0, t), 0);
    }
    set_alpha(a0);
    set_scale(1, 1);
    set_color(cr, cg, cb);
}

void drawlevelbanner() {
    const int f = level_frames;
    if (!(50 < f && f < 180)) return;
    const float a0 = get_alpha();
    float a = f > 130 ? 0.04f * (155 - f) * a0 : std::min(1.0f, 0.03f * (f - 50));
    float s = 2 - std::min(1.0f, 0.03f * (f - 50));
    float sx = shakeoffset(), sy = shakeoffset();
    set_alpha(a);
    set_scale(s, s);
    draw_image_if_loaded(levelbanner, (float)centerx + sx, (float)centery + sy);
    set_scale(1, 1);
    drawtextpop(3, gametext(3, 3), (float)centerx + sx, (float)centery + 72 + sy, ALIGN_CENTER,
                fittedscale(3, gametext(3, 3), 0.8f, (float)virtw - 60), f, 75, 155, 0, 1,
                1, 0.5f, 1);
    set_alpha(a0);
}

void drawdifficultydialog() {
    level_frames = 36;
    const int p = player();
    const int challenge = level_challenge[playlevel];
    std::string title = challenge == 1 ? gametext(4, 18) : challenge == 2 ? gametext(4, 19) : std::string();
    drawpopuppanel((float)centerx, (float)centery, 0.8f, title);
    drawtext(4, gametext(4, 2), (float)(centerx + 10), (float)(centery - 120), ALIGN_CENTER, 1, 0.15f, 0.11f, 0.1f);
    const float a0 = get_alpha();
    for (int i = 1; i <= 4; ++i) {
        const float y = (float)(centery - 60 * i + 175);
        const bool hover = std::abs(mx - centerx) < 220 && my > y - 20 && my < y + 20;
        // A hovered option glows: the light bar behind its plate, and the plate lit up a little.
        if (hover) {
            set_blend(BLEND_LIGHT);
            draw_image_if_loaded(barimg, (float)centerx, y);
            set_blend(BLEND_ALPHA);
        }
        draw_image_if_loaded(cbimg, (float)centerx, y);
        if (hover) {
            set_blend(BLEND_LIGHT);
            set_alpha(a0 * 0.4f);
            draw_image_if_loaded(cbimg, (float)centerx, y);
            set_alpha(a0);
            set_blend(BLEND_ALPHA);
            if (mhit1 == 1 && p) playdifficulty[p] = i;
        }
        const std::string& name = challenge == 2 ? gametext(4, 13 + i) : gametext(4, 7 + i);
        drawtext(4, name, (float)(centerx - 40), y + 1, ALIGN_RIGHT, 1, 0.15f, 0.11f, 0.1f);
        for (int j = 1; j <= 5; ++j) {
            const float sx = (float)(centerx + 28 * j + 26);
            draw_image_if_loaded(mapstar0img, sx, y - 2);
            if (j < i) draw_image_if_loaded(mapstar1img, sx, y - 2);
        }
        if (p && playdifficulty[p] == i) draw_image_if_loaded(himg, (float)centerx, y);
    }
    // Which paces run a countdown bar, in one line between the lowest option and the close button.
    static const std::string none;
    const std::string& note = challenge == 1 ? gametext(4, 20) : challenge == 2 ? gametext(4, 21) : none;
    if (!note.empty()) {
        const float w = textwidth(4, note, 1);
        const float s = w > PACENOTE_WIDTH ? PACENOTE_WIDTH / w : 1.0f;
        drawtext(4, note, (float)centerx, (float)(centery + PACENOTE_Y), ALIGN_CENTER, s, 0.43f, 0.16f, 0.1f);
    }
    int r = drawbutton(11, (float)centerx, (float)(centery + 200), 3, 2, menutext(4, 13));
    if (r == 3 || key_escape == 1) {
        popupfadedir = 2;
        if ((p && timerbar_shown[p] < 150) || timerbar < 150) {
            timerbar = 150;
            if (p) timerbar_shown[p] = 150;
        }
    }
}
