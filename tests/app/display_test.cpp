#include <gtest/gtest.h>

#include <cmath>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <iterator>
#include <vector>

#include "app/display.h"
#include "app/screenflow.h"
#include "app/shell.h"
#include "aztec/levelrun.h"
#include "platform/draw.h"
#include "platform/inject.h"
#include "platform/input.h"
#include "storage/settings.h"
#include "ui/menu.h"
#include "support/headless.h"

namespace {
class Display : public ::testing::Test {
protected:
    void SetUp() override {
        headless();
        setenv("XDG_DATA_HOME", temp_folder("display").c_str(), 1);
        testing::internal::CaptureStdout();
        makepath();
        testing::internal::GetCapturedStdout();
        paused = -1;
    }
    void TearDown() override {
        fakedesktopw = fakedesktoph = 0;
        fakeframetop = fakepanel = 0;
        // Back to the harness window.
        fullscreen = 0;
        harness_window();
        paused = -1;
        mouseactive = 0;
        unsetenv("XDG_DATA_HOME");
    }
    void desktop(int w, int h) {
        fakedesktopw = w;
        fakedesktoph = h;
        checkvideo();
    }
};
}  // namespace

TEST_F(Display, TheBestModeFollowsTheDesktop) {
    desktop(1920, 1080);
    EXPECT_EQ(bestmode, 1);
    for (int i = 1; i <= 6; ++i) EXPECT_EQ(modeavailable[i], 1) << i;
    EXPECT_EQ(modewidth[4], 1024);
    EXPECT_EQ(modeheight[4], 600);

    desktop(1280, 1024);  // 5:4: the wide modes are left out
    EXPECT_EQ(modeavailable[1], 0);
    EXPECT_EQ(modeavailable[2], 0);
    EXPECT_EQ(bestmode, 3);

    desktop(1280, 768);
    EXPECT_EQ(modeavailable[1], 0);
    EXPECT_EQ(bestmode, 2);

    desktop(1024, 600);  // a netbook
    EXPECT_EQ(modeavailable[3], 0);
    EXPECT_EQ(bestmode, 4);

    desktop(640, 480);
    EXPECT_EQ(bestmode, 6);
    desktop(320, 200);  // nothing fits: the smallest mode is still the best
    EXPECT_EQ(modeavailable[6], 0);
    EXPECT_EQ(bestmode, 6);
}

TEST_F(Display, FullScreenModesAndTheirLogicalSizes) {
    struct {
        int dw, dh, mode, ww, wh, vw, vh;
    } cases[] = {{1920, 1080, 1, 1366, 768, 1366, 768},
                 {1280, 1024, 1, 1024, 768, 1024, 768},  // the best available mode replaces a larger one
                 {1024, 600, 1, 1024, 600, 1366, 768},
                 {1920, 1080, 5, 800, 600, 1024, 768},
                 // The smallest mode shows the screens' 1024 x 768 picture scaled down, not a 640 x 480 one
                 // the screens do not fit.
                 {1920, 1080, 6, 640, 480, 1024, 768},
                 {640, 480, 1, 640, 480, 1024, 768},
                 {640, 480, 6, 640, 480, 1024, 768}};
    for (auto c : cases) {
        desktop(c.dw, c.dh);
        fullscreen = 1;
        displaymode = c.mode;
        instgraphic();
        EXPECT_EQ(windoww, c.ww) << c.dw << "x" << c.dh << " mode " << c.mode;
        EXPECT_EQ(windowh, c.wh);
        EXPECT_EQ(virtw, c.vw);
        EXPECT_EQ(virth, c.vh);
        EXPECT_EQ(mainwindow, 1);
    }
}

TEST_F(Display, AWindowShowsTheLogicalScreenAndShrinksWhenTooTall) {
    desktop(1920, 1080);
    fullscreen = 0;
    displaymode = 1;
    testing::internal::CaptureStdout();
    instgraphic();
    std::string out = testing::internal::GetCapturedStdout();
    EXPECT_EQ(windoww, 800);
    EXPECT_EQ(windowh, 600);
    EXPECT_EQ(virtw, 1024);
    EXPECT_EQ(virth, 768);
    EXPECT_NE(out.find("Desktop (X1xY1,X2xY2): 0x0,1920x1080\n"), std::string::npos) << out;
    EXPECT_NE(out.find("Window  (X1xY1,X2xY2): "), std::string::npos);
    EXPECT_NE(out.find("Desktop (WxH): 1920x1080\nWindow  (WxH): 800x600\nWindow Size ok\n"), std::string::npos)
        << out;

    desktop(1024, 500);
    testing::internal::CaptureStdout();
    instgraphic();
    out = testing::internal::GetCapturedStdout();
    EXPECT_NE(out.find("Window  (WxH): 800x600\nReset Window size to 600x450\n"), std::string::npos) << out;
    EXPECT_EQ(windoww, 600);
    EXPECT_EQ(windowh, 450);
    EXPECT_EQ(virtw, 1024);
    int ow, oh;
    output_size(&ow, &oh);
    EXPECT_EQ(ow, 600);
    EXPECT_EQ(oh, 450);
}

TEST_F(Display, TheWindowWithItsFrameFitsTheUsableArea) {
    struct {
        int dw, dh, frame, panel, ww, wh;
    } cases[] = {
        {1024, 600, 20, 0, 600, 450},   // a netbook: the title bar makes 800 x 600 620 high
        {1024, 600, 0, 0, 800, 600},    // no frame (a bare X server): it fits exactly
        {1024, 768, 20, 0, 800, 600},
        {1024, 640, 20, 30, 600, 450},  // the desktop is tall enough, but not beside its panel
        {1024, 680, 20, 30, 800, 600},
        {700, 900, 0, 0, 600, 450},     // too narrow for 800 (a portrait screen)
        {2560, 1600, 30, 40, 1600, 1200},  // a large desktop: twice the size, with frame and panel
        {3840, 2160, 30, 40, 2400, 1800},
        {1920, 1260, 30, 40, 800, 600},    // 1600 x 1200 with its frame does not fit beside the panel
    };
    fullscreen = 0;
    displaymode = 3;
    for (auto c : cases) {
        desktop(c.dw, c.dh);
        fakeframetop = c.frame;
        fakepanel = c.panel;
        testing::internal::CaptureStdout();
        instgraphic();
        std::string out = testing::internal::GetCapturedStdout();
        EXPECT_EQ(windoww, c.ww) << c.dw << "x" << c.dh << " frame " << c.frame << " panel " << c.panel << "\n" << out;
        EXPECT_EQ(windowh, c.wh) << c.dw << "x" << c.dh << " frame " << c.frame << " panel " << c.panel;
        EXPECT_EQ(virtw, 1024);
        EXPECT_EQ(virth, 768);
        EXPECT_NE(out.find(c.ww >= 800 ? "Window Size ok\n" : "Reset Window size to 600x450\n"), std::string::npos) << out;
        if (c.ww == 800 && c.frame == 20)
            EXPECT_NE(out.find("Window  (WxH): 800x620\n"), std::string::npos) << out;
    }
}

TEST_F(Display, TheWindowComesBackAtItsRememberedSizeWithinTheDesktop) {
    const std::string file = userpath + "window.txt";
    struct {
        const char* text;
        int dw, dh, frame, ww, wh;
    } cases[] = {{"1000 700\r\n", 1920, 1080, 20, 1000, 700},
                 {"3000 2000\r\n", 1280, 1024, 20, 1280, 1004},  // a desktop smaller than when it was left
                 {"900 5000\r\n", 1280, 1024, 0, 900, 1024},
                 {"wide\r\n", 1920, 1080, 0, 800, 600},          // unreadable: the usual window
                 {"10 10\r\n", 1920, 1080, 0, 800, 600}};
    fullscreen = 0;
    for (auto c : cases) {
        FILE* f = fopen(file.c_str(), "wb");
        ASSERT_TRUE(f);
        fputs(c.text, f);
        fclose(f);
        desktop(c.dw, c.dh);
        fakeframetop = c.frame;
        testing::internal::CaptureStdout();
        instgraphic();
        testing::internal::GetCapturedStdout();
        int ow, oh;
        output_size(&ow, &oh);
        EXPECT_EQ(windoww, c.ww) << c.text;
        EXPECT_EQ(windowh, c.wh) << c.text;
        EXPECT_EQ(ow, c.ww) << c.text;
        EXPECT_EQ(oh, c.wh) << c.text;
        EXPECT_EQ(virtw, 1024);
    }
    std::remove(file.c_str());
}

TEST_F(Display, AResizedWindowIsRememberedAndClicksAtAButtonsEdgesHitIt) {
    fullscreen = 0;
    testing::internal::CaptureStdout();
    instgraphic();  // the real (dummy) desktop: a size the player gives the window is written down
    testing::internal::GetCapturedStdout();
    mouseactive = 1;
    input_pump();
    flush_mouse();
    // A button covering logical x 300..499, y 200..259, in windows of several sizes and shapes.
    struct {
        int w, h;
    } sizes[] = {{1000, 750}, {1280, 720}, {700, 900}, {1600, 1200}, {801, 601}, {913, 517}};
    for (auto sz : sizes) {
        graphics_open(sz.w, sz.h, 0, 60, 0);  // as the player drags the window's corner
        set_virtual_resolution(1024, 768);
        for (int f = 0; f < 30; ++f) followwindowsize();
        ASSERT_EQ(windoww, sz.w);
        ASSERT_EQ(windowh, sz.h);
        int ax, ay, aw, ah;
        logical_area(&ax, &ay, &aw, &ah);
        EXPECT_NEAR((double)aw / ah, 1024.0 / 768, 0.01) << sz.w << "x" << sz.h;
        // The first and last pixels whose centres fall on the button.
        auto first = [](double l, int a, int len, int logical) { return (int)std::ceil(a + l * len / logical - 0.5); };
        const int x0 = first(300, ax, aw, 1024), x1 = first(500, ax, aw, 1024) - 1;
        const int y0 = first(200, ay, ah, 768), y1 = first(260, ay, ah, 768) - 1;
        for (auto [px, py] : {std::pair{x0, y0}, std::pair{x1, y1}, std::pair{x0, y1}, std::pair{x1, y0}}) {
            inject_mouse_move(px, py);
            pollinput();
            EXPECT_GE(mx, 300) << sz.w << "x" << sz.h << " at " << px << "," << py;
            EXPECT_LT(mx, 500) << sz.w << "x" << sz.h << " at " << px << "," << py;
            EXPECT_GE(my, 200) << sz.w << "x" << sz.h << " at " << px << "," << py;
            EXPECT_LT(my, 260) << sz.w << "x" << sz.h << " at " << px << "," << py;
        }
        for (auto [px, py] : {std::pair{x0 - 1, y0}, std::pair{x1 + 1, y1}, std::pair{x0, y0 - 1}, std::pair{x1, y1 + 1}}) {
            inject_mouse_move(px, py);
            pollinput();
            EXPECT_FALSE(mx >= 300 && mx < 500 && my >= 200 && my < 260) << sz.w << "x" << sz.h << " just outside";
        }
    }
    std::string bytes = file_bytes(userpath + "window.txt");
    EXPECT_EQ(bytes, "913 517\r\n");
    std::remove((userpath + "window.txt").c_str());
}

TEST_F(Display, SwitchingPausesAndIsStoredInTheSettings) {
    desktop(1920, 1080);
    fullscreen = 0;
    displaymode = 3;
    testing::internal::CaptureStdout();
    instgraphic();
    togglescreensize(1, 1);
    EXPECT_EQ(paused, 1);
    EXPECT_EQ(fullscreen, 1);
    EXPECT_EQ(displaymode, 1);
    EXPECT_EQ(virtw, 1366);

    paused = -1;
    togglescreensize(3, 1);
    EXPECT_EQ(displaymode, 3);
    EXPECT_EQ(virtw, 1024);
    EXPECT_EQ(windoww, 1024);

    // Back to the window: stored as window, the mode kept.
    togglescreensize(3, 0);
    testing::internal::GetCapturedStdout();
    EXPECT_EQ(fullscreen, 0);
    EXPECT_EQ(windoww, 800);
    EXPECT_EQ(virtw, 1024);
    std::string settings;
    {
        FILE* f = fopen((userpath + "settings.txt").c_str(), "rb");
        ASSERT_TRUE(f);
        char buf[128];
        size_t n = fread(buf, 1, sizeof buf, f);
        fclose(f);
        settings.assign(buf, n);
    }
    EXPECT_EQ(settings.substr(0, 6), "0\r\n3\r\n");

    // Asking for the window again reopens nothing.
    paused = -1;
    togglescreensize(3, 0);
    EXPECT_EQ(windoww, 800);
    EXPECT_EQ(fullscreen, 0);
}

TEST_F(Display, ClicksOnALetterboxedFullScreenMapExactly) {
    // The desktop the dummy driver reports is 1024 x 768; a 1366 x 768 mode fills its width and leaves bars of
    // 96 pixels above and below.
    desktop(1920, 1080);
    fullscreen = 1;
    displaymode = 1;
    instgraphic();
    int ax, ay, aw, ah, ow, oh;
    output_size(&ow, &oh);
    logical_area(&ax, &ay, &aw, &ah);
    if (ow != 1024 || oh != 768) GTEST_SKIP() << "the video driver gives an output of " << ow << "x" << oh;
    EXPECT_EQ(ax, 0);
    EXPECT_EQ(aw, 1024);
    EXPECT_EQ(ay, 96);
    EXPECT_NEAR(ah, 576, 1);
    mouseactive = 1;
    input_pump();
    flush_mouse();
    inject_mouse_move(512, 384);
    pollinput();
    EXPECT_EQ(mx, 683);
    EXPECT_NEAR(my, 384, 1);
    inject_mouse_move(1023, ay + ah - 1);  // the last pixel inside
    pollinput();
    EXPECT_EQ(mx, 1365);  // the point under the pixel's centre
    EXPECT_GE(my, 765);
    EXPECT_LT(my, 768);
    inject_mouse_move(0, ay);  // the first
    pollinput();
    EXPECT_EQ(mx, 0);
    EXPECT_EQ(my, 0);
    inject_mouse_move(512, 40);  // on the bar above the playing area
    pollinput();
    EXPECT_LT(my, 0);
    inject_mouse_move(512, 700);  // on the bar below
    pollinput();
    EXPECT_GE(my, 768);
}

TEST_F(Display, OnANetbookTheMouseMapsThroughTheLetterboxOfThePicture) {
    // A 1024 x 600 desktop in its best mode: the 1366 x 768 picture fills the width and is 575 high, 12 pixels
    // down, on an output exactly the size of the screen.
    desktop(1024, 600);
    fullscreen = 1;
    displaymode = 4;
    instgraphic();
    ASSERT_EQ(windoww, 1024);
    ASSERT_EQ(windowh, 600);
    ASSERT_EQ(virtw, 1366);
    graphics_open(1024, 600, 0, 60, 0);  // the dummy driver's desktop is larger: give the output the screen's size
    set_letterbox(1);
    set_virtual_resolution(1366, 768);
    int ax, ay, aw, ah, ow, oh;
    output_size(&ow, &oh);
    logical_area(&ax, &ay, &aw, &ah);
    ASSERT_EQ(ow, 1024);
    ASSERT_EQ(oh, 600);
    EXPECT_EQ(ay, 12);
    EXPECT_EQ(aw, 1024);
    mouseactive = 1;
    input_pump();
    flush_mouse();
    struct {
        int wx, wy, lx, ly;
    } points[] = {{0, ay, 0, 0}, {512, 300, 683, 384}, {1023, ay + ah - 1, 1364, 766}, {256, ay + ah / 4, 341, 191}};
    for (auto p : points) {
        inject_mouse_move(p.wx, p.wy);
        pollinput();
        EXPECT_NEAR(mx, p.lx, 1) << p.wx << "," << p.wy;
        EXPECT_NEAR(my, p.ly, 1) << p.wx << "," << p.wy;
    }
}

TEST_F(Display, ThePointerPlacedForTheMenuLandsOnItsPointInFullScreen) {
    // Full screen 1366 x 768 on the dummy driver's 1024 x 768 output: the picture is scaled by 0.75 and drawn
    // 96 pixels down. The menu entered from the loading screen puts the pointer at (centerx, virth - 100).
    desktop(1920, 1080);
    fullscreen = 1;
    displaymode = 1;
    instgraphic();
    int ow, oh;
    output_size(&ow, &oh);
    if (ow != 1024 || oh != 768) GTEST_SKIP() << "the video driver gives an output of " << ow << "x" << oh;
    if (!cursorimage) cursorimage = load_image_logged("data\\UI\\cursor.png");
    if (!cursorimage) GTEST_SKIP() << "no pointer image";
    set_image_handle(cursorimage, 0, 0);
    customcursor = 1;
    curscreen = screen_load;
    losecount = 0;
    instmenu();  // straight from the loading screen: no fade
    ASSERT_EQ(prevscreen, -1);
    mouseactive = 1;
    for (int f = 0; f < 5; ++f) {
        clear_screen();
        pollinput();
        doall();
        flip(1);
    }
    // Where the system pointer now is, read back as the game reads it.
    pollinput();
    EXPECT_NEAR(raw_mouse_x(), 512, 1);
    EXPECT_NEAR(raw_mouse_y(), 96 + 668 * 3 / 4, 1);
    mhit1 = 0;
    input_pump();
    curscreen = screen_none;
    pollinput();
    EXPECT_NEAR(mx, 683, 1);
    EXPECT_NEAR(my, 668, 1);
}

namespace {
void le16(std::vector<unsigned char>& v, int x) {
    v.push_back((unsigned char)(x & 0xff));
    v.push_back((unsigned char)(x >> 8 & 0xff));
}
void le32(std::vector<unsigned char>& v, uint32_t x) {
    for (int i = 0; i < 4; ++i) v.push_back((unsigned char)(x >> (8 * i) & 0xff));
}
// A BMP-encoded icon entry of size n: 32-bit pixels, every pixel (b, g, r, a) = (x, y, n, 200).
std::vector<unsigned char> bmp_entry(int n) {
    std::vector<unsigned char> v;
    le32(v, 40);
    le32(v, (uint32_t)n);
    le32(v, (uint32_t)(2 * n));
    le16(v, 1);
    le16(v, 32);
    for (int i = 0; i < 6; ++i) le32(v, 0);
    for (int y = n - 1; y >= 0; --y)  // bottom-up
        for (int x = 0; x < n; ++x) {
            v.push_back((unsigned char)x);
            v.push_back((unsigned char)y);
            v.push_back((unsigned char)n);
            v.push_back(200);
        }
    for (int i = 0; i < n * 4; ++i) v.push_back(0);  // AND mask
    return v;
}
}  // namespace

TEST(WindowIcon, TheThirtyTwoPixelEntryIsRead) {
    std::vector<std::vector<unsigned char>> entries = {bmp_entry(16), bmp_entry(32), bmp_entry(48)};
    std::vector<unsigned char> ico;
    le16(ico, 0);
    le16(ico, 1);
    le16(ico, 3);
    uint32_t offset = 6 + 16 * 3;
    for (auto& e : entries) {
        int n = (int)e[4];
        ico.push_back((unsigned char)n);
        ico.push_back((unsigned char)n);
        for (int i = 0; i < 6; ++i) ico.push_back(0);
        le32(ico, (uint32_t)e.size());
        le32(ico, offset);
        offset += (uint32_t)e.size();
    }
    for (auto& e : entries) ico.insert(ico.end(), e.begin(), e.end());

    int w = 0, h = 0;
    unsigned char* rgba = nullptr;
    ASSERT_TRUE(read_ico_entry(ico.data(), ico.size(), 32, &w, &h, &rgba));
    EXPECT_EQ(w, 32);
    EXPECT_EQ(h, 32);
    const unsigned char* px = rgba + (5 * 32 + 7) * 4;  // x 7, y 5, top-down
    EXPECT_EQ(px[0], 32);
    EXPECT_EQ(px[1], 5);
    EXPECT_EQ(px[2], 7);
    EXPECT_EQ(px[3], 200);
    delete[] rgba;

    // Damaged files are refused, never read past their end.
    for (size_t cut : {0ul, 5ul, 40ul, 60ul, 3000ul}) {
        rgba = nullptr;
        EXPECT_FALSE(read_ico_entry(ico.data(), cut, 32, &w, &h, &rgba)) << cut;
        EXPECT_EQ(rgba, nullptr);
    }
    std::vector<unsigned char> bad = ico;
    bad[6 + 16 + 12] = 0xff;  // the 32-pixel entry's offset far past the end
    bad[6 + 16 + 15] = 0x7f;
    EXPECT_FALSE(read_ico_entry(bad.data(), bad.size(), 32, &w, &h, &rgba));
}

TEST(WindowIcon, TheGamesOwnIconHasAThirtyTwoPixelEntry) {
    std::ifstream f(build_dir() + "/icon32.ico", std::ios::binary);
    if (!f) GTEST_SKIP() << "icon32.ico is not generated yet";
    std::vector<unsigned char> bytes((std::istreambuf_iterator<char>(f)), std::istreambuf_iterator<char>());
    int w = 0, h = 0;
    unsigned char* rgba = nullptr;
    ASSERT_TRUE(read_ico_entry(bytes.data(), bytes.size(), 32, &w, &h, &rgba));
    EXPECT_EQ(w, 32);
    EXPECT_EQ(h, 32);
    delete[] rgba;
}
