#include "ui/menu.h"

#include <algorithm>
#include <cmath>

#include "app/display.h"
#include "app/screenflow.h"
#include "app/shell.h"
#include "aztec/board.h"
#include "aztec/levelrun.h"
#include "effects/particles.h"
#include "platform/audio.h"
#include "platform/background.h"
#include "platform/input.h"
#include "ui/logo.h"
#include "app/profiles.h"
#include "storage/settings.h"
#include "texts/fonts.h"
#include "texts/texttables.h"
#include "ui/buttons.h"
#include "ui/popups.h"

int menuframes = 0;
int prevscreen = 0;
TImage popupimage;
TImage blacktile;
TImage collimg, coll2img, coll3img;
TImage lineimg;
TImage optionstrackimg, optionstrackfill1img, optionstrackfillimg;
TImage cbimg, himg;
TImage helparrow2img, harrowimg, popuplineimg, barimg;
TImage buttonimage[21];
TImage menubg1img, menubg2img;

void loadmenustuff() {
    set_auto_midhandle(0);
    collimg = load_image_logged("data\\ui\\coll.png");
    coll2img = load_image_logged("data\\ui\\coll2.png");
    set_auto_midhandle(1);
    coll3img = load_image_logged("data\\ui\\coll3.png");
    popupimage = load_image_logged("data\\ui\\popup.png");
    lineimg = load_image_logged("data\\ui\\line.png");
    optionstrackimg = load_image_logged("data\\ui\\optionstrack.png");
    optionstrackfill1img = load_image_logged("data\\ui\\optionstrackfill1.png");
    optionstrackfillimg = load_image_logged("data\\ui\\optionstrackfill.png");
    blacktile = load_image_logged("data\\ui\\black.png");
    cbimg = load_image_logged("data\\ui\\cb.png");
    himg = load_image_logged("data\\ui\\h.png");
    set_image_handle(himg, 19, 35);
    helparrow2img = load_image_logged("data\\ui\\helparrow2.png");
    harrowimg = load_image_logged("data\\ui\\harrow.png");
    popuplineimg = load_image_logged("data\\ui\\popupline.png");
    static const struct {
        int kind;
        const char* path;
    } buttons[] = {{1, "data\\map\\arrowright.png"}, {2, "data\\map\\arrowleft.png"},  {3, "data\\ui\\button3.png"},
                   {5, "data\\ui\\button5.png"},     {6, "data\\ui\\menubutton1.png"}, {10, "data\\ui\\button10.png"},
                   {11, "data\\ui\\button11.png"},   {12, "data\\map\\nav.png"},       {13, "data\\map\\level1.png"},
                   {14, "data\\map\\level2.png"},    {15, "data\\ui\\button6.png"},    {16, "data\\ui\\pause.png"}};
    for (const auto& b : buttons) buttonimage[b.kind] = load_image_logged(b.path);
    barimg = load_image_logged("data\\ui\\bar.png");
}

void loadmenustuff_dynamic() {
    set_mask_color(255, 0, 255);
    menubg1img = load_image_logged("data\\bg\\menubg1.jpg");
    menubg2img = load_image_logged("data\\bg\\menubg2.jpg");
    set_mask_color(0, 0, 0);
}

void deletemenustuff_dynamic() {
    menubg1img = menubg2img = nullptr;
    stop_ambient();
}

int menubackground(int from) { return from == screen_game || from == screen_story ? 0 : -1; }

void instmenu() {
    prevscreen = curscreen;
    if (customcursor == -1) show_mouse();
    stop_ambient();
    stop_bg();
    loadmenustuff_dynamic();
    for (int& h : buttonhover) h = 0;

    playlevel = 0;
    popupfade = 0;
    paused = -1;
    mouseactive = 1;
    menuframes = 0;
    if (menubackground(prevscreen) >= 0) {
        freegamebg();
        loadgamebg_dynamic(0);
    }
    if (prevscreen == screen_game || prevscreen == screen_map) {
        musicvolnow = 0;
        playmusic("/music/title.ogg", 1);
    }
    playsound_ambient(71, (float)(centerx + 400));
    if (curscreen != screen_load) startfadein();
    curscreen = screen_menu;
}

namespace {
int highestrank(int p) {
    int r = 0;
    for (int k = 1; k <= 10; ++k)
        if (rankcounter[p][k] >= 100) r = k;
    return r;
}
}  // namespace

void drawplayerpanel(float x, float y) {
    const float a0 = get_alpha();
    set_alpha(std::min(menuframes * 0.025f, 1.0f));
    const float r = 0.43f, g = 0.16f, b = 0.1f;
    const bool selected = curplayer >= 1 && curplayer <= MAXPLAYERS;
    if (selected) {
        const std::string rank = "(" + gametext(7, 5 + highestrank(curplayer)) + ")";
        drawtext(1, menutext(8, 3), x, y, ALIGN_CENTER, fittedscale(1, menutext(8, 3), 0.5f, PLAYERPANELROOM), r, g, b);
        drawtext(1, playername[curplayer], x, y + 90, ALIGN_CENTER, 0.8f, r, g, b);
        drawtext(1, rank, x, y + 130, ALIGN_CENTER, fittedscale(1, rank, 0.4f, PLAYERPANELROOM), r, g, b);
    } else {
        drawtext(1, menutext(8, 2), x, y, ALIGN_CENTER, fittedscale(1, menutext(8, 2), 0.5f, PLAYERPANELROOM), r, g, b);
        drawtext(1, menutext(8, 4), x, y + 115, ALIGN_CENTER, fittedscale(1, menutext(8, 4), 0.8f, PLAYERPANELROOM), r,
                 g, b);
    }
    if (popupfade == 0 && drawbutton(9, x, y + 160, 11, 1, menutext(8, 1)) == 3) {
        if (selected) {
            popupaction(103);
        } else {
            playsound(13, (float)centerx);
            newplayerprofile();
        }
    }
    set_alpha(a0);
}

void newplayerprofile() {
    // The first free slot, never one that holds a player (the settings may have lost who was playing).
    const int slot = freeplayerslot();
    flush_keys();
    if (slot == 0) {
        popupaction(103);
        return;
    }
    previousplayer = curplayer;
    firstplayer = 1;
    curplayer = slot;
    playername[slot].clear();
    namelength = 0;
    nameerror = 0;
    popupaction(105);
}

void showmenu() {
    const int t = menuframes;
    set_color(fadelevel, fadelevel, fadelevel);
    set_blend(BLEND_ALPHA);
    set_alpha(1);
    if (t < 20 && prevscreen == screen_load) {
        drawbackground((float)mx);
        drawloadlogo(500);
        set_alpha(1);
        set_blend(BLEND_ALPHA);
    }
    set_alpha(std::min(t * 0.05f, 1.0f));
    draw_image_if_loaded(menubg1img, (float)centerx, (float)centery);
    if (t > 20) {
        auto sind = [](double d) { return std::sin(d * M_PI / 180.0); };
        int k = (int)(30 * sind(5.0 * t));
        double a = std::max(0.0, 0.6 * sind(t - 20) * sind(0.2 * t)) * sind((double)t * k);
        set_alpha((float)a);
        if (a > 0) draw_image_if_loaded(menubg2img, (float)centerx, (float)centery);
    }
    set_scale(1, 1);
    set_blend(BLEND_ALPHA);
    set_alpha(1);

    const bool selected = curplayer >= 1 && curplayer <= MAXPLAYERS;
    if (selected && losecount > 0 && resumeflag == 1 && popupfade == 0) {
        popupaction(111);
        saveplayer(curplayer);
    }
    drawplayerpanel((float)(centerx + 300), (float)(centery - 230));
    ++menuframes;
    buttonlayer = popupfade > 0 ? 2 : 1;
    set_alpha(std::min(menuframes * 0.02f, 1.0f));
    buttonflash = 1;
    const float x = (float)(centerx + 300);
    if (drawbutton(1, x, (float)centery, 6, 1, menutext(12, 5)) == 3) {
        if (selected) {
            adventurestarted[curplayer] = 1;
            if (playerlevel[curplayer] == 0)
                startlevel(1);
            else
                popupaction(107);
        } else {
            newplayerprofile();
        }
    }
    if (drawbutton(2, x, (float)(centery + 80), 6, 1, menutext(12, 3)) == 3) popupaction(111);
    if (drawbutton(3, x, (float)(centery + 160), 6, 1, menutext(12, 2)) == 3) popupaction(100);
    if (drawbutton(4, x, (float)(centery + 240), 6, 1, menutext(12, 1)) == 3) popupaction(99);
    // What happened to the player files: one short line at the bottom.
    if (profilenotice != NOTICE_NONE) {
        const std::string& notice = menutext(25, profilenotice);
        const float ny = (float)(virth - 30);
        drawtext(4, notice, (float)centerx + 2, ny + 2, ALIGN_CENTER, 1, 0, 0, 0);  // a shadow, for any backdrop
        drawtext(4, notice, (float)centerx, ny, ALIGN_CENTER, 1, 1.0f, 0.9f, 0.7f);
    }
    set_alpha(1);
    draweff();
    updatepopups();
}
