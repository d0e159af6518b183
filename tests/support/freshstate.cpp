// Every test starts from the same game: the shell-wide state a started program has before its first screen,
// whatever the tests before it left behind (screens, popups, input, display, profiles, boards, texts, media).
// Registered once for the whole test binary, so a new test is order-independent without doing anything itself.
#include <gtest/gtest.h>

#include "app/display.h"
#include "app/harness.h"
#include "app/replay.h"
#include "app/screenflow.h"
#include "app/shell.h"
#include "aztec/board.h"
#include "aztec/cannon.h"
#include "aztec/levelrun.h"
#include "aztec/rules.h"
#include "effects/particles.h"
#include "match3/match3.h"
#include "platform/audio.h"
#include "platform/background.h"
#include "platform/draw.h"
#include "platform/input.h"
#include "platform/paths.h"
#include "platform/random.h"
#include "screens/intro.h"
#include "screens/map.h"
#include "screens/story.h"
#include "app/profiles.h"
#include "storage/settings.h"
#include "support/headless.h"
#include "effects/textpop.h"
#include "ui/buttons.h"
#include "ui/menu.h"
#include "ui/popups.h"

namespace {

void fresh_input() {
    frameinput = jframe();  // no recorded or replayed frame carries over
    input_pump();
    flush_keys();
    flush_mouse();
    app_terminate_requested();
    while (next_app_event() != -1) {
    }
    mx = my = 0;
    mhit1 = mhit2 = mdown1 = mheld1 = 0;
    key_escape = key_f2 = key_f3 = key_f4 = 0;
    escapedelay = 0;
    f7held = f8held = 0;
}

void fresh_display() {
    fakedesktopw = fakedesktoph = 0;
    fullscreen = 1;  // the settings' defaults; the harness window stays a window
    displaymode = 1;
    harness_window();
    widthshift = 0;
    set_viewport(0, 0, virtw, virth);
    set_color(255, 255, 255);
    set_alpha(1);
    set_blend(BLEND_ALPHA);
    set_scale(1, 1);
    set_rotation(0);
    set_drawing(1);
    set_auto_midhandle(1);
}

void fresh_shell() {
    quitrequested = 0;
    framecount = 0;
    // The frame rate is held at full speed: on a loaded machine a measured rate below 10 would drop particles
    // and make effects depend on the machine. Tests of the counter drive the timer themselves.
    secondtimer.manual = 0;
    fps = 50;
    clocktimer.manual = -1;
    curscreen = screen_none;
    mouseactive = 0;
    devkeys = 0;
    paused = -1;
    appsuspended = 0;
    pointershown = 0;
    fadelevel = 0;
    fadestate = 0;
    nextscreen = nextscreenarg = 0;
    popupkind = popupfade = popupfadedir = 0;
    dragslider = 0;
    buttonlayer = 1;
    buttonflash = 0;
    for (int& h : buttonhover) h = 0;
    musicvolume = soundvolume = 280;
    bganimation = 1;
    customcursor = -1;
    curplayer = -1;
    basedir = build_dir() + "/";
    userpath = temp_folder("user");
    newuserfolder = 0;
    seed_rnd(1);
}

void fresh_play() {
    curlevel = playlevel = 0;
    level_frames = 0;
    wincount = losecount = 0;
    timerbar = 340;
    emptybarframes = 0;
    winstars = -99;
    newlevelwon = 0;
    recordedresult = 999;
    restartpending = 0;
    levelleft = 0;
    gameprevscreen = screen_none;
    resumeflag = 0;
    profilenotice = NOTICE_NONE;
    for (int p = 0; p < PLAYERSLOTS; ++p) {
        resetplayer(p);
        playerunreadable[p] = 0;
        playername[p].clear();
        for (int s = 0; s < BOARDSLOTS; ++s) {
            stone_kind[p][s] = -1;
            stone_falling[p][s] = stone_group[p][s] = stone_glint[p][s] = stone_shake[p][s] = 0;
            for (int l = 1; l <= 3; ++l) stone_chain[p][s][l] = -1;
        }
    }
    for (int& f : stone_fallframes) f = 0;
    boardleft = 0;
    topslot = 0;
    shotcolour = 0;
    nextcolour = 1;
    scrollleft = 0;
    floorline = boardtop;
    settled = 1;
    cannonslot = 0;
    cannoncooldown = 0;
    swapflag = 0;
    lastfiredslot = 0;
    combomult = 1;
    combotimer = 0;
    for (int i = 0; i < M3SLOTS; ++i) {
        m3cells[i] = M3Cell{};
        m3items[i] = M3Item{};
    }
    m3selected = m3partner = m3swaptimer = m3swapphase = 0;
    m3selgrow = m3partnergrow = 0;
    m3idle = m3fixdone = 0;
    m3matchcount = 0;
    m3resume = 0;
    clearparticles();
    clearlights();
    clearfloatnumbers();
}

// Per-visit media of every screen go, as when a screen is entered.
void fresh_media() {
    deletemenustuff_dynamic();
    deletemapstuff_dynamic();
    deletegamestuff_dynamic();
    deletestorystuff_dynamic();
    deleteintrostuff_dynamic();
    deleteloadstuff_dynamic();
    m3freebackdrop();
    freegamebg();
    // A background decoded ahead for a screen a test was heading to is not taken by the next test's own files.
    forget_prepared_images();
}

void fresh() {
    headless();
    fresh_input();
    fresh_display();
    fresh_shell();
    fresh_play();
    fresh_media();
}

// Before each test, and after it for the suite set-up that may run next. Resident media (fonts, texts, the
// level catalogue, the images loaded once at start) stay: suites load them once for all their tests.
class FreshState : public ::testing::EmptyTestEventListener {
    void OnTestStart(const ::testing::TestInfo&) override { fresh(); }
    void OnTestEnd(const ::testing::TestInfo&) override { fresh(); }
    // As the game does before it ends: the audio thread stops before static destructors free what it mixes.
    void OnTestProgramEnd(const ::testing::UnitTest&) override { closesound(); }
};

const bool registered = [] {
    ::testing::UnitTest::GetInstance()->listeners().Append(new FreshState);
    return true;
}();

}  // namespace
