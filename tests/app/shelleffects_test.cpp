// What the shell does around the screens: losing the focus saves and quiets the game (through pollinput), the pointer of a menu
// entered from loading starts low in the middle and fades in, and the sound bank plays the right files.
#include <gtest/gtest.h>

#include <SDL.h>  // restoring the window after the test

#include <cstdio>
#include <cstring>
#include <fstream>
#include <iterator>
#include <vector>

#include "app/display.h"
#include "app/screenflow.h"
#include "app/shell.h"
#include "aztec/levelrun.h"
#include "platform/audio.h"
#include "platform/draw.h"
#include "platform/inject.h"
#include "platform/input.h"
#include "platform/paths.h"
#include "platform/sdlwindow.h"
#include "app/profiles.h"
#include "storage/players.h"
#include "storage/settings.h"
#include "support/headless.h"
#include "ui/menu.h"
#include "ui/popups.h"

namespace {
std::string slurp(const std::string& path) {
    std::ifstream f(path, std::ios::binary);
    return std::string(std::istreambuf_iterator<char>(f), std::istreambuf_iterator<char>());
}

class ShellEffects : public ::testing::Test {
protected:
    void SetUp() override {
        headless();
        input_pump();
        flush_keys();
        flush_mouse();
        while (next_app_event() != -1) {
        }
        appsuspended = 0;
        paused = -1;
        userpath = temp_folder("shelleffects");
        for (int s = 1; s <= MAXPLAYERS; ++s) resetplayer(s);
        curplayer = 2;
        playername[2] = "SLEEPER";
        playerscore[2] = 4321;
        musicvolume = 123;
    }
    void TearDown() override {
        inject_focus(1);
        pollinput();
        SDL_RestoreWindow(sdl_window());
        appsuspended = 0;
        paused = -1;
        curscreen = screen_none;
        curplayer = -1;
        musicchannel = ambientchannel = nullptr;
    }
    // A channel playing a long stretch of silence, as the music would.
    TChannel playing() {
        TChannel ch = play_sound(sound_from_samples(std::vector<int16_t>(2 * 44100 * 4, 0), 1), nullptr);
        EXPECT_EQ(channel_playing(ch), 1);
        return ch;
    }
};
}  // namespace

TEST_F(ShellEffects, LosingTheFocusSavesThePlayerAndSettingsMinimisesAndPausesTheMusic) {
    curscreen = screen_menu;
    musicchannel = playing();
    ambientchannel = playing();
    const int minimised = window_minimise_requests();
    inject_focus(0);
    pollinput();
    EXPECT_EQ(appsuspended, 2);
    EXPECT_EQ(paused, 1);
    EXPECT_EQ(window_minimise_requests(), minimised + 1);
    const std::string profile = slurp(userpath + "players2.ppp");
    ASSERT_EQ(profile.size(), 28708u + 7);
    EXPECT_EQ(profile.substr(28708), "SLEEPER");
    int score = 0;
    std::memcpy(&score, profile.data() + 48, 4);
    EXPECT_EQ(score, 4321);
    EXPECT_EQ(slurp(userpath + "settings.txt").find("123\r\n"), 6u);  // third line, after "1\r\n" and the mode
    EXPECT_EQ(channel_playing(musicchannel), 0);
    EXPECT_EQ(channel_playing(ambientchannel), 0);
    // Coming back keeps the pause until a click; nothing is saved a second time meanwhile.
    std::remove((userpath + "players2.ppp").c_str());
    inject_focus(1);
    pollinput();
    EXPECT_EQ(appsuspended, 0);
    EXPECT_EQ(paused, 1);
    inject_focus(0);
    pollinput();
    EXPECT_EQ(appsuspended, 1);  // arrived while paused: not handled again
    EXPECT_TRUE(slurp(userpath + "players2.ppp").empty());
    EXPECT_EQ(window_minimise_requests(), minimised + 1);
}

TEST_F(ShellEffects, OnTheMapTheFocusLossSavesOnlyTheSettings) {
    curscreen = screen_map;
    const int minimised = window_minimise_requests();
    inject_focus(0);
    pollinput();
    EXPECT_EQ(paused, 1);
    EXPECT_EQ(window_minimise_requests(), minimised + 1);
    EXPECT_TRUE(slurp(userpath + "players2.ppp").empty());
    EXPECT_FALSE(slurp(userpath + "settings.txt").empty());
}

TEST_F(ShellEffects, BackInFocusTheGameWaitsPausedForAClickAndOnlyThenTheMusicPlaysOn) {
    // Whole frames of the loop body on a screen that draws nothing of its own.
    curscreen = screen_none;
    const int saved_mouse = mouseactive;
    mouseactive = 1;
    framecount = 100;
    musicchannel = playing();
    auto loopframe = [] {
        pollinput();
        doall();
    };
    const int minimised = window_minimise_requests();
    inject_focus(0);
    loopframe();
    EXPECT_EQ(paused, 1);
    EXPECT_EQ(window_minimise_requests(), minimised + 1);
    EXPECT_FALSE(slurp(userpath + "players2.ppp").empty());
    for (int f = 0; f < 5; ++f) loopframe();
    EXPECT_EQ(channel_playing(musicchannel), 0);
    EXPECT_EQ(window_minimise_requests(), minimised + 1);  // asked once
    inject_focus(1);
    for (int f = 0; f < 5; ++f) loopframe();
    EXPECT_EQ(appsuspended, 0);
    EXPECT_EQ(paused, 1);
    EXPECT_EQ(channel_playing(musicchannel), 0);  // still quiet under the pause overlay
    harness_click(centerx, centery);
    loopframe();
    EXPECT_EQ(paused, -1);
    loopframe();
    EXPECT_EQ(channel_playing(musicchannel), 1);
    mouseactive = saved_mouse;
}

TEST_F(ShellEffects, TheSystemPointerComesBackOnceWithTheFirstPopupOrLateInTheWin) {
    curscreen = screen_none;
    const int saved_custom = customcursor;
    const int was_shown = SDL_ShowCursor(SDL_QUERY);
    const bool had_image = (bool)cursorimage;
    if (!had_image) {
        std::vector<uint8_t> px(4 * 4 * 4, 255);
        cursorimage = image_from_rgba(px.data(), 4, 4, 0);
    }
    static int drawn;
    drawn = 0;
    set_draw_observer([](const TImage& image, float, float, int) { drawn += image == cursorimage; });
    auto shown = [] { return SDL_ShowCursor(SDL_QUERY) == SDL_ENABLE; };
    for (int custom : {-1, 1}) {
        customcursor = custom;
        hide_mouse();
        pointershown = 0;
        popupfade = 0;
        wincount = 290;
        drawn = 0;
        doall();
        EXPECT_EQ(pointershown, 0) << custom;
        EXPECT_FALSE(shown()) << custom;
        EXPECT_EQ(drawn, custom == 1 ? 1 : 0) << custom;  // the game draws its own pointer only when chosen
        wincount = 291;
        doall();
        EXPECT_EQ(pointershown, 1) << custom;
        EXPECT_EQ(shown(), custom == -1) << custom;  // the system pointer, when that is the one in use
        // Only the first time in a run: hidden again, it stays hidden through later popups.
        hide_mouse();
        wincount = 0;
        popupfade = 8;
        doall();
        EXPECT_FALSE(shown()) << custom;
    }
    pointershown = 0;
    customcursor = -1;
    hide_mouse();
    popupfade = 3;
    doall();
    EXPECT_TRUE(shown());
    set_draw_observer(nullptr);
    popupfade = 0;
    wincount = 0;
    customcursor = saved_custom;
    SDL_ShowCursor(was_shown);
    if (!had_image) cursorimage = nullptr;
}

TEST_F(ShellEffects, TheMenuAfterLoadingHoldsThePointerLowInTheMiddleWhileItFadesIn) {
    basedir = build_dir() + "/";
    set_auto_midhandle(0);
    if (!cursorimage) cursorimage = load_image_logged("data\\UI\\cursor.png");
    set_image_handle(cursorimage, 0, 0);
    if (!cursorimage) GTEST_SKIP() << "pointer image not generated";
    static std::vector<std::pair<float, float>> at;
    static std::vector<float> alpha;
    at.clear();
    alpha.clear();
    set_draw_observer([](const TImage& image, float x, float y, int) {
        if (image == cursorimage) {
            at.push_back({x, y});
            alpha.push_back(get_alpha());
        }
    });
    customcursor = 1;
    prevscreen = -1;  // the menu was entered from the loading screen
    curscreen = screen_menu;
    fadestate = 1;
    popupkind = popupfade = 0;
    menuframes = 3;
    mx = my = 5;
    doall();
    ASSERT_EQ(at.size(), 1u);
    EXPECT_EQ(mx, centerx);
    EXPECT_EQ(my, virth - 100);
    EXPECT_FLOAT_EQ(at[0].first, (float)centerx);
    EXPECT_FLOAT_EQ(at[0].second, (float)(virth - 100));
    EXPECT_NEAR(alpha[0], menuframes * 0.05f, 1e-6f);
    EXPECT_LT(alpha[0], 0.5f);
    // Once faded in, the pointer is where the mouse is.
    menuframes = 30;
    mx = my = 5;
    doall();
    ASSERT_EQ(at.size(), 2u);
    EXPECT_FLOAT_EQ(at[1].first, 5);
    EXPECT_FLOAT_EQ(alpha[1], 1);
    set_draw_observer(nullptr);
    customcursor = -1;
    prevscreen = 0;
    curscreen = screen_none;
    set_auto_midhandle(1);
}

TEST_F(ShellEffects, TheSoundBankPlaysTheRightFileInEachSlot) {
    basedir = build_dir() + "/";
    initsound();
    if (sound_ok != 1) GTEST_SKIP() << "sounds not generated";
    const struct {
        int slot;
        const char* file;
    } bank[] = {{5, "turnup.ogg"},    {6, "turndown.ogg"}, {9, "hint.ogg"},       {19, "match.ogg"},
                {23, "contact.ogg"},  {27, "lose.ogg"},    {33, "buildsuperstone.ogg"},
                {45, "mud1.ogg"},     {46, "mud2.ogg"},    {48, "mud3.ogg"},      {49, "mud4.ogg"},
                {57, "superstoneexplosion.ogg"},            {59, "winstar1.ogg"},  {60, "winstar2.ogg"},
                {61, "winstar3.ogg"}, {62, "winstar4.ogg"}, {63, "winstar5.ogg"},  {64, "winstrike.ogg"},
                {69, "granite1.ogg"}, {70, "granite2.ogg"}, {31, "animal1.ogg"},   {66, "animal2.ogg"},
                {67, "animal3.ogg"}};
    for (const auto& b : bank) {
        TSound own = load_sound(resolve_path(std::string("data\\sound\\") + b.file), 0);
        ASSERT_TRUE(own) << b.file;
        ASSERT_TRUE(sounds[b.slot]) << b.slot;
        EXPECT_EQ(sound_frames(sounds[b.slot]), sound_frames(own)) << b.slot << " " << b.file;
    }
}
