#include "app/shell.h"

#include <algorithm>
#include <cstdio>
#include <cstdlib>

#include "app/display.h"
#include "app/screenflow.h"
#include "aztec/boardrender.h"
#include "aztec/catalogue.h"
#include "aztec/gamescreen.h"
#include "aztec/levelrun.h"
#include "effects/effects.h"
#include "match3/match3.h"
#include "platform/audio.h"
#include "platform/input.h"
#include "platform/paths.h"
#include "platform/random.h"
#include "screens/map.h"
#include "storage/players.h"
#include "storage/settings.h"
#include "texts/fonts.h"
#include "texts/texttables.h"
#include "ui/menu.h"
#include "ui/popups.h"

int quitrequested = 0;
TTimer frametimer, secondtimer, clocktimer;
int framecount = 0;
int fps = 0;
int curscreen = screen_none;
int mx = 0, my = 0;
int mhit1 = 0, mhit2 = 0, mdown1 = 0, mheld1 = 0;
int key_escape = 0, key_f2 = 0, key_f3 = 0, key_f4 = 0;
int escapedelay = 0;
int f7held = 0, f8held = 0;
int mouseactive = 0;
int devkeys = 0;
int paused = -1;
int appsuspended = 0;
int pointershown = 0;
TImage cursorimage;
std::string instancename = "QXR";

namespace {
int stat_frames = 0;
int stat_ticks = 0;
}  // namespace

void checksingleinstance(const char* name) {
    if (!acquire_instance_name(name)) std::exit(0);
}

void minimizewindow(int window) {
    if (window) minimize_window();
}

void loadall() {
    if (newuserfolder == 1) savesettings(1);
    loadsettings();
    loadplayers(newuserfolder == 1 ? 9999 : 0);
    loadbesttimes(newuserfolder == 1 ? 9999 : 0);
}

void loadmaingraphics() {
    cursorimage = load_image_logged("data\\UI\\cursor.png");
    set_image_handle(cursorimage, 0, 0);
    loadfonts();
    readmenutexts();
    readstorytexts();
    readgametexts();
    loadeffects();
    loadmenustuff();
    loadmapstuff();
    loadmatch3stuff();
    loadaztecstuff();
    load_all_levels();
}

void instmain() {
    paused = -1;
    framecount = 0;
    mouseactive = 0;
    seed_rnd(millisecs());
    clearglyphs();
    fadelevel = 0;
    escapedelay = 0;
    curscreen = screen_none;
    set_auto_midhandle(1);
    loadmaingraphics();
    enterscreen(screen_intro, 1);
}

void pollinput() {
    input_newframe();
    mhit1 = mhit2 = mdown1 = 0;
    key_escape = key_f2 = key_f3 = key_f4 = 0;
    if (mouseactive == 1) {
        window_to_logical(raw_mouse_x(), raw_mouse_y(), &mx, &my);
        mhit1 = mouse_hit(1);
        mhit2 = mouse_hit(2);
        mdown1 = mouse_down(1);
        mheld1 = mdown1 ? mheld1 + 1 : 0;
    }
    if (escapedelay > 0) --escapedelay;
    if (key_down(VK_ESCAPE)) {
        key_escape = 1;
        if (escapedelay == 0) escapedelay = 30;
    }
    key_f3 = key_down(VK_F3);
    key_f2 = key_down(VK_F2);
    key_f4 = key_down(VK_F4);
    f7held = key_down(VK_F7) ? f7held + 1 : 0;
    f8held = key_down(VK_F8) ? f8held + 1 : 0;
    if (devkeys == 1 && f7held == 1) {
        readmenutexts();
        readstorytexts();
        readgametexts();
    }
    if (devkeys == 1 && f8held == 1) load_all_levels();
    if (app_terminate_requested()) {
        // Before the menu nothing is in progress and no screen can show the question: end at once.
        if (curscreen == screen_intro || curscreen == screen_load || curscreen == screen_none)
            quitrequested = 1;
        else
            popupaction(99);
    }
    for (int e = next_app_event(); e != -1; e = next_app_event()) appsuspended = e == 1 ? 1 : 0;
    if (appsuspended == 1 && paused == -1) {
        appsuspended = 2;
        paused = 1;
        if (curplayer >= 0 && (curscreen == screen_game || curscreen <= 0)) saveplayer(curplayer);
        savesettings(0);
        minimizewindow(mainwindow);
        if (musicchannel) pause_channel(musicchannel);
        if (ambientchannel) pause_channel(ambientchannel);
    }
}

void stattime() {
    ++stat_frames;
    int t = timer_ticks(secondtimer);
    if (t != stat_ticks) {
        stat_ticks = t;
        fps = stat_frames;
        stat_frames = 0;
    }
}

void doall() {
    set_viewport(0, 0, virtw, virth);
    centerx = virtw / 2;
    centery = virth / 2;
    widthshift = virtw == 1280 ? -43 : virtw == 1024 ? -171 : 0;
    stattime();
    ++framecount;
    updatefade();
    showscreen();
    if (framecount > 3) updatemusic();
    if (appsuspended == 0 && paused == 1 && curscreen != screen_load && curscreen != screen_intro) {
        set_scale(0.7f, 0.7f);
        draw_image_if_loaded(popupimage, (float)centerx, (float)centery);
        set_scale(1, 1);
        drawtext(1, menutext(10, 1), (float)centerx, (float)(centery - 40), 3, 0.5f, 0.4f, 0.2f, 0.1f);
        // The hint sits centred in a box 350 wide and 50 high around (centerx, centery + 30): two lines of 25 fit.
        std::string hint[WRAPLINES];
        int lines = std::min(2, wraptext(4, menutext(10, 2), 350, 1.0f, hint, WRAPLINES));
        float top = (float)(centery + 32) - 12.5f * (float)(lines - 1);
        for (int k = 0; k < lines; ++k)
            drawtext(4, hint[k], (float)centerx, top + 25.0f * (float)k, 3, 1.0f, 0.15f, 0.11f, 0.1f);
        if (mhit1 == 1) paused = -1;
    }
    if (cursorimage) {
        bool draw = !(customcursor == -1 || curscreen == screen_load || curscreen == screen_intro);
        if (pointershown == 0 && (popupfade > 0 || wincount > 290)) {
            pointershown = 1;
            if (customcursor == -1) show_mouse();
        }
        set_alpha(1);
        if (prevscreen == -1 && curscreen == screen_menu && menuframes < 20) {
            set_alpha(menuframes * 0.05f);
            mx = centerx;
            my = virth - 100;
            int wx, wy;
            logical_to_window(mx, my, &wx, &wy);
            move_mouse(wx, wy);
        }
        if (draw) draw_image(cursorimage, (float)mx, (float)my, 0);
        set_alpha(1);
    }
}

int startup() {
    // Diagnostic lines reach a log or a pipe as they are printed, even if the game is killed later.
    std::setvbuf(stdout, nullptr, _IOLBF, 0);
    if (!platform_init()) {
        std::printf("error: the video system could not start\n");
        return 0;
    }
    findbasedir();
    checksingleinstance(instancename.c_str());
    // Without its levels the game cannot be played: say so and stop before any window opens.
    if (!levelfile_ok()) std::exit(1);
    frametimer = create_timer(50);
    secondtimer = create_timer(1);
    clocktimer = create_timer(1);
    makepath();
    loadall();
    checkvideo();
    instgraphic();
    input_start();
    initsound();
    instmain();
    return 1;
}

void mainloop_frame(int wait) {
    clear_screen();
    pollinput();
    doall();
    flip(1);
    if (wait) wait_timer(frametimer);
}

void mainloop() {
    while (quitrequested != 1) mainloop_frame(1);
}
