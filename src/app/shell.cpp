#include "app/shell.h"

#include <algorithm>
#include <cstdio>
#include <cstdlib>

#include "app/bugreport.h"
#include "app/display.h"
#include "app/replay.h"
#include "app/screenflow.h"
#include "aztec/boardrender.h"
#include "aztec/catalogue.h"
#include "aztec/gamescreen.h"
#include "aztec/levelrun.h"
#include "effects/effects.h"
#include "match3/match3.h"
#include "platform/audio.h"
#include "platform/input.h"
#include "platform/mixer.h"
#include "platform/paths.h"
#include "platform/random.h"
#include "platform/userfile.h"
#include "screens/map.h"
#include "app/profiles.h"
#include "storage/settings.h"
#include "texts/fonts.h"
#include "texts/languages.h"
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
    if (acquire_instance_name(name)) return;
    std::printf("Ombrivale is running already: its window is brought to the front\n");
    exitgame(0);
}

std::string instancekey() {
    // One game per user folder, however its path is spelled (extra separators, a link to it): the folder's
    // identity is the key. FNV-1a keeps the name short.
    uint64_t h = 1469598103934665603ull;
    for (unsigned char c : folder_identity(userpath)) h = (h ^ c) * 1099511628211ull;
    char hex[17];
    std::snprintf(hex, sizeof hex, "%016llx", (unsigned long long)h);
    return instancename + "." + hex;
}

void minimizewindow(int window) {
    if (window) minimize_window();
}

void loadall() {
    if (newuserfolder == 1) savesettings(1);
    loadsettings();
    chooselanguage(replaying() ? 0 : 1);
    loadplayers(newuserfolder == 1 ? 9999 : 0);
    loadbesttimes(newuserfolder == 1 ? 9999 : 0);
}

namespace {
// A stop signal during the start ends the program between two loading steps, as it would between two frames.
void stoppoint() {
    if (!stop_signal()) return;
    stopbysignal();
    exitgame(0);
}
}  // namespace

void loadmaingraphics() {
    cursorimage = load_image_logged("data\\UI\\cursor.png");
    set_image_handle(cursorimage, 0, 0);
    // What the intro and the first frames of the loading screen show is ready before the first frame; the
    // rest is decoded a slice per frame while they play (or when first needed, if that is sooner).
    set_deferred_loading(1);
    loadfonts();
    timing_step("fonts");
    readalltexts();
    timing_step("texts");
    stoppoint();
    loadeffects();
    timing_step("effects");
    stoppoint();
    loadmenustuff();
    timing_step("menu media");
    loadmapstuff();
    timing_step("map media");
    stoppoint();
    loadmatch3stuff();
    timing_step("match-3 media");
    loadaztecstuff();
    timing_step("board media");
    stoppoint();
    set_deferred_loading(0);
    load_all_levels();
    timing_step("levels");
}

void instmain() {
    paused = -1;
    framecount = 0;
    mouseactive = 0;
    seed_rnd(journal_seed(millisecs()));
    clearglyphs();
    fadelevel = 0;
    escapedelay = 0;
    curscreen = screen_none;
    set_auto_midhandle(1);
    loadmaingraphics();
    enterscreen(screen_intro, 1);
}

// This frame's input as the live devices give it.
static void readinput(jframe* in) {
    in->mx = mx;
    in->my = my;
    if (mouseactive == 1) {
        window_to_logical(raw_mouse_x(), raw_mouse_y(), &in->mx, &in->my);
        in->hit1 = mouse_hit(1);
        in->hit2 = mouse_hit(2);
        in->down1 = mouse_down(1);
    }
    static const int keys[8][2] = {{VK_ESCAPE, JKEY_ESCAPE}, {VK_RETURN, JKEY_RETURN}, {VK_SPACE, JKEY_SPACE},
                                   {VK_F2, JKEY_F2}, {VK_F3, JKEY_F3}, {VK_F4, JKEY_F4}, {VK_F7, JKEY_F7},
                                   {VK_F8, JKEY_F8}};
    for (const auto& k : keys)
        if (key_down(k[0])) in->keys |= k[1];
    in->close = app_terminate_requested();
    for (int e = next_app_event(); e != -1; e = next_app_event()) in->events.push_back((uint8_t)e);
    // Ctrl+F12 writes a bug report; the game itself never sees these keys.
    if (key_hit(VK_F12) && key_down(VK_CONTROL)) writebugreport();
}

void pollinput() {
    input_newframe();
    mhit1 = mhit2 = mdown1 = 0;
    key_escape = key_f2 = key_f3 = key_f4 = 0;
    jframe in;
    if (!replaying()) readinput(&in);
    journal_frame(&in);
    if (mouseactive == 1) {
        mx = in.mx;
        my = in.my;
        mhit1 = in.hit1;
        mhit2 = in.hit2;
        mdown1 = in.down1;
        mheld1 = mdown1 ? mheld1 + 1 : 0;
    }
    if (escapedelay > 0) --escapedelay;
    if (in.keys & JKEY_ESCAPE) {
        key_escape = 1;
        if (escapedelay == 0) escapedelay = 30;
    }
    key_f3 = (in.keys & JKEY_F3) ? 1 : 0;
    key_f2 = (in.keys & JKEY_F2) ? 1 : 0;
    key_f4 = (in.keys & JKEY_F4) ? 1 : 0;
    f7held = (in.keys & JKEY_F7) ? f7held + 1 : 0;
    f8held = (in.keys & JKEY_F8) ? f8held + 1 : 0;
    if (devkeys == 1 && f7held == 1) readalltexts();
    if (devkeys == 1 && f8held == 1) load_all_levels();
    if (in.close) {
        // Before the menu nothing is in progress and no screen can show the question: end at once.
        if (curscreen == screen_intro || curscreen == screen_load || curscreen == screen_none)
            quitrequested = 1;
        else
            popupaction(99);
    }
    for (int e : in.events)
        if (e == JEVENT_FOCUSLOST || e == JEVENT_FOCUSGAINED) appsuspended = e == JEVENT_FOCUSLOST ? 1 : 0;
    if (instance_raise_requested()) {
        std::printf("another start asked for the window\n");
        raise_window();
    }
    if (appsuspended == 1 && paused == -1) {
        appsuspended = 2;
        paused = 1;
        savesuspended();
        minimizewindow(mainwindow);
        if (musicchannel) pause_channel(musicchannel);
        if (ambientchannel) pause_channel(ambientchannel);
    }
}

void savesuspended() {
    if (curplayer >= 0 && (curscreen == screen_game || curscreen <= 0)) saveplayer(curplayer);
    savesettings(0);
}

void stopbysignal() {
    if (stop_signal())
        std::printf("stopped by signal %d\n", stop_signal());
    else
        std::printf("stopped by signal (as the journal recorded)\n");
    savesuspended();
    quitrequested = 1;
}

namespace {
// The X server went away (a logout, a crashed compositor, a dropped remote session). Xlib ends the process as
// soon as this returns, so the session is saved here and ends as a stop signal ends it.
void displaylost() {
    std::printf("the display went away: saving as on a stop signal\n");
    if (quitrequested != 1) {
        journal_stop();
        savesuspended();
        quitrequested = 1;
        journal_afterframe();
    }
    journal_end();
    // Not through exitgame: the statics' teardown could reach for the dead connection (and Xlib may still hold
    // its lock); only the sound thread needs stopping first.
    closesound();
    std::fflush(stdout);
    std::_Exit(1);
}
}  // namespace

void stattime() {
    ++stat_frames;
    int t = timer_ticks(secondtimer);
    if (t != stat_ticks) {
        stat_ticks = t;
        fps = stat_frames;
        stat_frames = 0;
    }
}

// Media decoded ahead of need, a few at a time after each frame is shown, within a small budget of CPU time, so
// that no frame pays for many at once: first the next screen's background while a screen fades out, then what
// start-up deferred.
void loadpendingmedia() {
    const double budget_ms = 6;
    if (prepare_images_step(budget_ms) > 0) return;
    if (load_deferred_images(budget_ms) == 0) load_deferred_sounds(budget_ms);
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
    if (video_without_display()) {
        const char* d = std::getenv("DISPLAY");
        std::printf("error: no display could be opened (DISPLAY is %s%s%s)\n", d ? "\"" : "", d ? d : "not set",
                    d ? "\"" : "");
        platform_quit();
        return 0;
    }
    findbasedir();
    makepath();
    checksingleinstance(instancekey().c_str());
    install_stop_signals();
    // Without its levels the game cannot be played: say so (in a message box too, for a player who started the
    // game from a desktop menu) and stop before any window opens.
    if (!levelfile_ok()) {
        show_error_box("Ombrivale", "The level catalogue " + resolve_path(levelfile_name) +
                                        " is missing or damaged. Please reinstall the game.");
        exitgame(1);
    }
    frametimer = create_timer(50);
    secondtimer = create_timer(1);
    clocktimer = create_timer(1);
    // With nowhere to save, the menu says from the start what it says when a save fails.
    if (!userfolderusable) profilenotice = NOTICE_SAVEFAILED;
    journal_userfiles();
    loadall();
    timing_step("settings and players");
    stoppoint();
    checkvideo();
    instgraphic();
    on_display_lost(displaylost);
    timing_step("display");
    input_start();
    stoppoint();
    initsound();
    timing_step("sound bank");
    stoppoint();
    instmain();
    return 1;
}

int mainloop_show() {
    // The stop is a frame of the journal of its own, so that playing it back stops and saves just so.
    if ((stop_signal() || journal_stop_next()) && quitrequested != 1) {
        journal_stop();
        stopbysignal();
        journal_afterframe();
        return 0;
    }
    clear_screen();
    pollinput();
    doall();
    journal_afterframe();
    flip(1);
    return 1;
}

void mainloop_frame(int wait) {
    if (!mainloop_show()) return;
    loadpendingmedia();  // in the time left before the next tick, after the frame is shown
    if (wait) wait_timer(frametimer);
}

void mainloop() {
    while (quitrequested != 1) mainloop_frame(1);
    journal_end();
}

void exitgame(int code) {
    closesound();
    std::fflush(stdout);
    std::exit(code);
}
