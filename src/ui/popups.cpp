#include "ui/popups.h"

#include <algorithm>
#include <cstdio>

#include "app/display.h"
#include "app/replay.h"
#include "app/screenflow.h"
#include "app/shell.h"
#include "aztec/board.h"
#include "aztec/gamescreen.h"
#include "aztec/levelrun.h"
#include "platform/audio.h"
#include "platform/background.h"
#include "platform/input.h"
#include "app/profiles.h"
#include "storage/settings.h"
#include "texts/fonts.h"
#include "texts/languages.h"
#include "effects/textpop.h"
#include "texts/texttables.h"
#include "ui/buttons.h"
#include "ui/helppages.h"
#include "ui/menu.h"

int popupkind = 0, popupfade = 0, popupfadedir = 0;
int dragslider = 0;

namespace {
const float BODY_R = 0.15f, BODY_G = 0.11f, BODY_B = 0.1f;
const float LABEL_R = 0.4f, LABEL_G = 0.2f, LABEL_B = 0.1f;

float cx() { return (float)centerx; }
float cy() { return (float)centery; }
void close() { popupfadedir = 2; }
bool escape() { return key_escape == 1; }
// Escape as the pause menu and the player list take it: only when it fires.
bool escapefires() { return key_escape == 1 && escapedelay == 30; }
bool playerselected() { return curplayer >= 1 && curplayer <= MAXPLAYERS; }

void body(const std::string& text, float x, float y) {
    drawtext(4, text, x, y, ALIGN_CENTER, 1, BODY_R, BODY_G, BODY_B);
}

// The common layout of the small question dialogs: panel, title, two lines.
void question(int section, float scale) {
    drawpopuppanel(cx(), cy(), scale, menutext(section, 1));
    body(menutext(section, 2), cx(), cy() - 30);
    body(menutext(section, 3), cx(), cy() + 20);
}

int button(int id, float x, float y, const std::string& caption) { return drawbutton(id, x, y, 3, 2, caption); }
}  // namespace

void drawpopuppanel(float x, float y, float scale, const std::string& title) {
    set_scale(scale, scale);
    draw_image_if_loaded(popupimage, x, y);
    draw_image_if_loaded(popuplineimg, x + 22 * scale, y - 190 * scale);
    set_scale(1, 1);
    if (!title.empty()) {
        float w = textwidth(1, title, 1);
        float s = scale * (w > 0 ? std::min(POPUPTITLEROOM / w, 1.0f) : 1.0f);
        drawtext(1, title, x, y - 210 * scale, ALIGN_CENTER, s, 0.43f, 0.16f, 0.1f);
    }
    set_scale(1, 1);
}

void popupaction(int number) {
    if (number == 103) sortplayers();
    if (number == 99) {
        if (curscreen > 0 && curplayer >= 0) saveplayer(curplayer);
        savesettings(0);
    }
    dragslider = 0;
    key_escape = 0;
    if (number == 102 && choosehelppage() == 0) return;
    playsound(5, cx());
    popupfade = 1;
    popupfadedir = 1;
    popupkind = number;
}

void updatepopups() {
    const float a = get_alpha();
    if (popupfade == 0) popupkind = 0;
    if (popupfade > 0) {
        if (popupfadedir == 1) {
            popupfade = std::min(16, popupfade + 1);
        } else {
            --popupfade;
            if (popupfade <= 0) {
                popupfade = 0;
                paused = -1;
            }
        }
        set_alpha(a * popupfade * 0.0625f);
        switch (popupkind) {
            case 99: popupquit(); break;
            case 100: popupoptions(); break;
            case 102: drawhelppage(); break;
            case 103: popupplayerlist(); break;
            case 105: popupnameentry(); break;
            case 106: popupdeleteplayer(); break;
            case 107: popupcontinue(); break;
            case 111: popupranking(); break;
            case 298: popuppausemenu(); break;
            case 432: popupnewadventure(); break;
            case 777: drawdifficultydialog(); break;
            case 779: popuprestartlevel(); break;
            case 781: popupduplicatename(); break;
            default: break;
        }
    }
    set_alpha(a);
}

void popupquit() {
    question(1, 0.7f);
    if (button(11, cx() - 110, cy() + 150, menutext(1, 4)) == 3 || escape()) close();
    if (button(12, cx() + 110, cy() + 150, menutext(1, 5)) == 3) {
        if (curplayer >= 0) saveplayer(curplayer);
        stopmusic();
        gotoscreen(screen_quit, 0);
    }
}

namespace {
// A caption at the left of an option row, in the room before the row's first control.
void label(const std::string& text, float y, float room = OPTIONLABELROOM) {
    drawtext(4, text, cx() - 300, y, ALIGN_LEFT, fittedscale(4, text, 1, room), LABEL_R, LABEL_G, LABEL_B);
}

// One volume slider of the options: caption, track, fill segments and the knob.
void slider(int which, int captionline, float y, int& volume) {
    label(menutext(7, captionline), y, SLIDERLABELROOM);
    draw_image_if_loaded(optionstrackimg, cx() + 55, y);
    volume = std::clamp(volume, 0, 542);
    for (int i = 1;; ++i) {
        draw_image_if_loaded(i == 1 ? optionstrackfill1img : optionstrackfillimg, cx() + 10 * i - 221, y);
        if (i > volume / 10) break;
    }
    int r = drawbutton(11 + which, cx() + volume - 216, y + 2, 5, 2, "");
    if (r == 4 && dragslider == 0) dragslider = which;
    // Clamped at once, so a value past the track never reaches the mixer or the settings file.
    if (dragslider == which) volume = std::clamp(mx - centerx + 216, 0, 542);
}

struct Choice {
    float x, y;
};

// The language: its own name between two arrows. An arrow steps to the next or the previous language, whose
// texts are read at once (the popup and the screen under it redraw in it) and remembered for the next start.
void languagerow(float y) {
    label(menutext(28, 1), y);
    const std::string& name = menutext(28, 2 + curlanguage);
    drawtext(4, name, cx() + 55, y, ALIGN_CENTER, fittedscale(4, name, 1, OPTIONCHOICEROOM[7]), BODY_R, BODY_G,
             BODY_B);
    for (int side = -1; side <= 1; side += 2) {
        const float ax = cx() + 55 + (float)side * 160;
        const bool hover = std::abs(mx - ax) <= 22 && std::abs(my - y) <= 20 && dragslider == 0;
        const float a = get_alpha();
        draw_image_if_loaded(cbimg, ax, y);
        if (hover) {
            set_blend(BLEND_LIGHT);
            draw_image_if_loaded(cbimg, ax, y);
            set_blend(BLEND_ALPHA);
            set_alpha(a);
        }
        drawtext(4, side < 0 ? "<" : ">", ax + 1, y, ALIGN_CENTER, 1, BODY_R, BODY_G, BODY_B);
        if (hover && mhit1 == 1) {
            mhit1 = 0;
            playsound(13, ax);
            setlanguage((curlanguage + side + LANGUAGES) % LANGUAGES);
            savelanguagechoice();
        }
    }
}
}  // namespace

void popupoptions() {
    drawpopuppanel(cx(), cy(), 1, menutext(7, 1));
    for (int i = 1; i <= 5; ++i) draw_image_if_loaded(lineimg, cx(), cy() + 65 * i - 152);
    if (mdown1 != 1) dragslider = 0;
    slider(1, 2, cy() - 120, musicvolume);
    slider(2, 3, cy() - 55, soundvolume);

    label(menutext(7, 6), cy() + 10);
    label(menutext(7, 8), cy() + 75);
    label(menutext(7, 7), cy() + 140);
    languagerow(cy() + 200);

    const Choice places[7] = {{0, 0},           {cx() - 165, cy() + 10}, {cx() + 25, cy() + 10}, {cx() + 215, cy() + 10},
                              {cx() - 165, cy() + 75}, {cx() + 25, cy() + 75},  {cx() - 165, cy() + 140}};
    // Without the two wide modes the first choice is left out and the second takes its place.
    const bool wide = modeavailable[1] || modeavailable[2];
    for (int k = 1; k <= 6; ++k) {
        if (k == 1 && !wide) continue;
        Choice at = places[k];
        if (k == 2 && !wide) at = places[1];
        draw_image_if_loaded(cbimg, at.x, at.y);
        const std::string& choice = menutext(7, 8 + k);
        const float room = OPTIONCHOICEROOM[k == 2 && !wide ? 1 : k];
        drawtext(4, choice, at.x + 25, at.y, ALIGN_LEFT, fittedscale(4, choice, 1, room), BODY_R, BODY_G, BODY_B);
        bool inforce = (k == 1 && fullscreen == 1 && (displaymode == 1 || displaymode == 2)) ||
                       (k == 2 && fullscreen == 1 && displaymode == 3) || (k == 3 && fullscreen == 0) ||
                       (k == 4 && customcursor == 1) || (k == 5 && customcursor == -1) || (k == 6 && bganimation == 1);
        const bool hover = std::abs(mx - at.x) <= 20 && std::abs(my - at.y) <= 20 && dragslider == 0;
        if (hover) {
            const float a = get_alpha();
            set_blend(BLEND_LIGHT);
            draw_image_if_loaded(cbimg, at.x, at.y);
            set_blend(BLEND_ALPHA);
            set_alpha(a);
            if (mhit1 == 1) {
                mhit1 = 0;
                switch (k) {
                    case 1:
                        if (!(fullscreen == 1 && (displaymode == 1 || displaymode == 2))) togglescreensize(bestmode, 1);
                        break;
                    case 2:
                        if (!(fullscreen == 1 && displaymode == 3)) togglescreensize(3, 1);
                        break;
                    case 3:
                        if (fullscreen != 0) togglescreensize(0, 0);
                        break;
                    case 4:
                        customcursor = 1;
                        hide_mouse();
                        break;
                    case 5:
                        customcursor = -1;
                        show_mouse();
                        break;
                    case 6:
                        bganimation = bganimation == 1 ? 0 : 1;
                        freegamebg();
                        loadgamebg_dynamic(bgnumber);
                        break;
                }
            }
        }
        if (inforce) draw_image_if_loaded(himg, at.x, at.y);
    }
    if (button(11, cx(), cy() + 250, menutext(7, 15)) == 3 || escape()) {
        savesettings(0);
        close();
    }
}

void popupcontinue() {
    question(2, 0.8f);
    if (button(11, cx() - 210, cy() + 180, menutext(2, 6)) == 3) popupkind = 432;
    if (button(12, cx() + 210, cy() + 180, menutext(2, 4)) == 3) {
        resumeflag = 1;
        if (playerselected()) curlevel = playerlevel[curplayer];
        gotoscreen(screen_map, 0);
    }
    if (button(13, cx(), cy() + 180, menutext(2, 5)) == 3 || escape()) close();
}

void popupnewadventure() {
    question(3, 0.8f);
    if (button(11, cx() - 110, cy() + 180, menutext(3, 4)) == 3) {
        resumeflag = 1;
        if (playerselected()) restartplayer(curplayer);
        startlevel(1);
    }
    if (button(12, cx() + 110, cy() + 180, menutext(3, 5)) == 3) popupkind = 107;
}

void popuppausemenu() {
    drawpopuppanel(cx(), cy(), 0.8f, menutext(13, 1));
    body(menutext(13, 2), cx(), cy() - 100);
    const float left = cx() - 110, right = cx() + 110;
    if (button(11, left, cy() + 20, menutext(13, 7)) == 3) {
        fullhelp = 1;
        popupaction(102);
    }
    if (button(12, left, cy() + 100, menutext(13, 6)) == 3) popupkind = 100;
    if (button(13, left, cy() + 180, menutext(13, 5)) == 3) popupkind = 779;
    if (button(14, right, cy() + 20, menutext(13, 4)) == 3) {
        if (curplayer >= 0) saveplayer(curplayer);
        gotoscreen(screen_menu, 0);
    }
    if (button(15, right, cy() + 100, menutext(13, 3)) == 3) {
        if (curplayer >= 0) saveplayer(curplayer);
        gotoscreen(screen_map, 0);
    }
    if (button(16, right, cy() + 180, menutext(13, 8)) == 3 || escapefires()) {
        close();
        paused = -1;
    }
}

void popuprestartlevel() {
    question(24, 0.7f);
    if (button(11, cx() - 110, cy() + 150, menutext(24, 4)) == 3) {
        if (curplayer >= 0) saveplayer(curplayer);
        reset_player_data_for_new_level();
        std::printf("adload: %d\n", playerselected() ? levelinprogress[curplayer] : 0);
        restartpending = 1;
        gotoscreen(screen_game, 0);
    }
    if (button(12, cx() + 110, cy() + 150, menutext(24, 5)) == 3 || escape()) close();
}

// Up to ten started adventures, ordered by the highest level reached, then by slot.
int rankinglist(std::string* names, int* levels, int* scores) {
    for (int i = 1; i <= 10; ++i) {
        names[i].clear();
        levels[i] = -1;
        scores[i] = 0;
    }
    int n = 0;
    for (int j = 121; j >= 0; --j)
        for (int s = 1; s <= 10; ++s)
            if (maxlevel[s] == j && adventurestarted[s] == 1 && n < 10) {
                ++n;
                names[n] = playername[s];
                levels[n] = maxlevel[s] - 1;
                scores[n] = playerscore[s];
            }
    return n;
}

void popupranking() {
    std::string names[11];
    int levels[11], scores[11];
    rankinglist(names, levels, scores);
    drawpopuppanel(cx(), cy(), 1, menutext(19, 1));
    const float headx[4] = {cx() - 250, cx() - 58, cx() + 100, cx() + 250};
    for (int h = 0; h < 4; ++h)
        drawtext(4, menutext(19, 4 + h), headx[h], cy() - 145, ALIGN_CENTER, 1, LABEL_R, LABEL_G, LABEL_B);
    for (int i = 1; i <= 7; ++i) {
        const float y = cy() - 110 + 40 * i;
        draw_image_if_loaded(lineimg, cx(), y + 5);
        if (i == 1) draw_image_if_loaded(lineimg, cx(), y - 35);
        drawtext(2, std::to_string(i), cx() - 250, y - 15, ALIGN_CENTER, 0.9f, 1, 1, 1);
        if (levels[i] >= 1) {
            drawtext(4, names[i], cx() - 140, y - 15, ALIGN_LEFT, 1, BODY_R, BODY_G, BODY_B);
            drawtext(4, numbertext(scores[i]), cx() + 120, y - 15, ALIGN_RIGHT, 1, BODY_R, BODY_G, BODY_B);
            drawtext(4, std::to_string(levels[i]), cx() + 250, y - 15, ALIGN_RIGHT, 1, BODY_R, BODY_G, BODY_B);
        } else {
            drawtext(4, "---", cx() - 140, y - 15, ALIGN_LEFT, 1, BODY_R, BODY_G, BODY_B);
            drawtext(4, "---", cx() + 120, y - 15, ALIGN_RIGHT, 1, BODY_R, BODY_G, BODY_B);
            drawtext(4, "---", cx() + 250, y - 15, ALIGN_RIGHT, 1, BODY_R, BODY_G, BODY_B);
        }
    }
    if (button(11, cx(), cy() + 250, menutext(19, 10)) == 3 || escape()) {
        winstars = -99;
        losecount = 0;
        close();
    }
}

void popupplayerlist() {
    drawpopuppanel(cx(), cy(), 1, menutext(4, 1));
    for (int j = 1; j <= 8; ++j) draw_image_if_loaded(lineimg, cx(), cy() + 40 * j - 144);
    int n = 0;
    for (int k = 1; k <= 8; ++k) {
        const int slot = playerorder[k];
        if (slot < 1 || slot > MAXPLAYERS || playername[slot].empty()) continue;
        const float y = cy() + 40 * n - 124;
        ++n;
        const bool under = cx() - 320 < mx && mx < cx() + 320 && y - 20 < my && my < y + 20;
        if (under) {
            draw_image_if_loaded(barimg, cx(), y);
            if (mhit1 == 1 && popupfade == 16) {
                mhit1 = 0;
                curplayer = slot;
            }
        }
        draw_image_if_loaded(cbimg, cx() - 300, y);
        if (slot == curplayer) draw_image_if_loaded(himg, cx() - 300, y);
        const bool dark = under || slot == curplayer;
        const float r = dark ? 0 : LABEL_R, g = dark ? 0 : LABEL_G, b = dark ? 0 : LABEL_B;
        drawtext(4, playername[slot], cx() - 260, y, ALIGN_LEFT, 1, r, g, b);
        drawtext(4, menutext(4, 2) + " " + std::to_string(maxlevel[slot]), cx() - 17, y, ALIGN_LEFT, 1, r, g, b);
        drawtext(4, numbertext(playerscore[slot]) + " " + menutext(4, 7), cx() + 315, y, ALIGN_RIGHT, 1, r, g, b);
    }
    if (button(11, cx(), cy() + 250, menutext(4, 6)) == 3 || escapefires()) {
        savesettings(0);
        close();
    }
    if (button(12, cx() - 240, cy() + 250, menutext(4, 4)) == 3) {
        createplayer();  // opens the name entry when a slot is free
        popupfade = 16;
    }
    if (button(13, cx() + 240, cy() + 250, menutext(4, 5)) == 3) {
        popupkind = 106;
        popupfade = 16;
    }
}

void popupnameentry() {
    drawpopuppanel(cx(), cy(), 0.7f, menutext(5, 1));
    body(menutext(5, 2), cx(), cy() - 55);
    const int slot = playerselected() ? curplayer : 0;
    std::string& name = playername[slot];
    bool confirm = false;
    int c = framechar();
    if (c == 8) {
        if (!name.empty()) name.pop_back();
        nameerror = 0;
    } else if (c == 13) {
        confirm = true;
    } else if (c > 0) {
        std::string longer = name + (char)upper8((unsigned char)c);
        if (name.size() < 12 && textwidth(1, longer, 0.6f) < 250) name = longer;
        nameerror = 0;
    }
    namelength = (int)name.size();

    set_scale(0.7f, 1);
    draw_image_if_loaded(lineimg, cx(), cy() + 60);
    set_scale(1, 1);
    const char* cursor = fadestate == 1 && framecount % 12 < 6 ? "_" : " ";
    drawtext(4, name + cursor, cx(), cy() + 45, ALIGN_CENTER, 1, 0, 0, 0);

    if (button(12, cx() + 140, cy() + 150, menutext(5, 3)) == 3) confirm = true;
    if (confirm && slot && checkplayername()) {
        namelength = 0;
        nameerror = 0;
        savesettings(0);
        saveplayer(slot);
        firstplayer = 0;
        close();
        playsound(50, cx());
        return;
    }
    if (button(11, cx() - 140, cy() + 150, menutext(5, 4)) == 3 || escape()) {
        name.clear();
        if (firstplayer == 1) {
            curplayer = -1;
            previousplayer = -1;
            firstplayer = 0;
            close();
        } else {
            curplayer = previousplayer;
            savesettings(0);
            popupaction(103);
            popupfade = 16;
        }
        key_escape = 0;
    }
}

void popupdeleteplayer() {
    drawpopuppanel(cx(), cy(), 0.7f, menutext(6, 1));
    body(menutext(6, 2), cx(), cy() - 55);
    if (playerselected())
        drawtext(1, playername[curplayer], cx(), cy() + 35, ALIGN_CENTER, 0.5f, LABEL_R, LABEL_G, LABEL_B);
    if (button(15, cx() - 140, cy() + 150, menutext(6, 4)) == 3 || escape()) {
        popupkind = 103;
        popupfade = 16;
        key_escape = 0;
    }
    if (button(16, cx() + 140, cy() + 150, menutext(6, 3)) == 3) {
        deleteplayer();
        if (curplayer >= 1) {
            popupaction(103);
            popupfade = 16;
        } else {
            curplayer = -1;
            close();
        }
        savesettings(0);
    }
}

void popupduplicatename() {
    question(21, 0.8f);
    if (button(11, cx(), cy() + 180, menutext(21, 4)) == 3) {
        if (playerselected()) resetplayer(curplayer);
        popupaction(103);
    }
}
