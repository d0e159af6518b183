#include "screens/intro.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <vector>

#include "app/display.h"
#include "app/screenflow.h"
#include "app/shell.h"
#include "aztec/levelrun.h"
#include "platform/inject.h"
#include "platform/input.h"
#include "platform/paths.h"
#include "storage/settings.h"
#include "support/headless.h"
#include "support/datafolder.h"
#include "texts/texttables.h"
#include "ui/popups.h"

namespace {

class Intro : public ::testing::Test {
protected:
    std::string base;

    void SetUp() override {
        base = own_data_folder();
        devkeys = 0;
        mouseactive = 0;
        curscreen = screen_none;
        fadestate = 0;
        fadelevel = 0;
        bganimation = 1;
        input_pump();
        flush_keys();
        flush_mouse();
    }
    void TearDown() override {
        for (int vk : {VK_SPACE, VK_F3, VK_F7}) inject_key(vk, 0);
        flush_keys();
        build_data_folder();
    }

    void write(const std::string& name, const std::string& text) {
        std::filesystem::create_directories(std::filesystem::path(base + name).parent_path());
        std::ofstream(base + name, std::ios::binary) << text;
    }
    void config(const std::string& text) { write("data/branding/splashconfig.txt", text); }

    // Where the game is after a frame: the intro page on screen, 99 on the loading screen.
    static int where() { return curscreen == screen_intro ? intropage : curscreen == screen_load ? 99 : -1; }

    // Runs frames 1..n, optionally holding a key (auto-repeat re-sends it, as a held key does), and records
    // where the game was after each frame and in which frames a fade-out was asked for. Frame `look` is read
    // back into `shot`.
    std::vector<int> run(int n, int held_key = 0, std::vector<int>* fadeouts = nullptr, int look = 0,
                         std::vector<uint8_t>* shot = nullptr) {
        std::vector<int> at(n + 1, -1);
        for (int f = 1; f <= n; ++f) {
            if (held_key) inject_key(held_key, 1);
            if (f == look) {
                int w, h;
                *shot = harness_frame_rgba(&w, &h);
            } else {
                harness_frames(1);
            }
            at[f] = where();
            if (fadeouts && fadestate == 2 && fadelevel == 256) fadeouts->push_back(f);
        }
        return at;
    }
};

void expect_span(const std::vector<int>& at, int from, int to, int value) {
    for (int f = from; f <= to; ++f) ASSERT_EQ(at[f], value) << "frame " << f;
}

}  // namespace

TEST_F(Intro, SkippablePageThenFixedPageThenLoading) {
    config("page Publisher\nfile a.png\ntime 150\nskip true\n;---\npage Partner\nfile b.png\ntime 200\nskip false\n");
    ASSERT_TRUE(write_solid_png(base + "data/branding/a.png", 64, 64, 255, 0, 0));
    ASSERT_TRUE(write_solid_png(base + "data/branding/b.png", 64, 64, 0, 255, 0));
    instintro(1);
    EXPECT_EQ(pagecount, 2);

    std::vector<int> fadeouts;
    std::vector<uint8_t> px;
    std::vector<int> at = run(400, 0, &fadeouts, 100, &px);
    // Frame 100 shows the first page at full brightness.
    EXPECT_EQ(frame_pixel(px.data(), 800, centerx, centery), 0xff0000ffu);
    EXPECT_EQ(frame_pixel(px.data(), 800, centerx + 40, centery), 0x000000ffu);

    // Page 1 ends by its time at frame 150 and keeps drawing through the 17-frame fade-out; page 2 is entered
    // in frame 167, lasts 200 frames and the loading screen follows its fade-out.
    expect_span(at, 1, 166, 1);
    expect_span(at, 167, 382, 2);
    expect_span(at, 383, 400, 99);
    EXPECT_EQ(fadeouts, (std::vector<int>{150, 366}));
}

TEST_F(Intro, HeldSpaceSkipsEverySkippablePageAsSoonAsTheFadeAllows) {
    config("file a.png\nskip true\n;---\nfile b.png\ntime 300\nskip true\n;---\nfile c.png\ntime 40\nskip false\n");
    instintro(1);
    std::vector<int> fadeouts;
    std::vector<int> at = run(100, VK_SPACE, &fadeouts);
    // Each skip waits for the previous fade-out to finish (the held key does not restart it); the fixed page
    // runs its 40 frames.
    expect_span(at, 1, 17, 1);
    expect_span(at, 18, 34, 2);
    expect_span(at, 35, 90, 3);
    expect_span(at, 91, 100, 99);
    EXPECT_EQ(fadeouts, (std::vector<int>{1, 18, 74}));
}

TEST_F(Intro, ConfigurationFileFormat) {
    config("page Publisher\r\nfile logo.png\r\ntime 120\r\nskip true\r\n;---\r\n"
           "file partner.jpg\ntime abc\nskip True\ncolr red\n;---\nfile none\n");
    readintrosettings();
    EXPECT_EQ(pagecount, 2);  // the "none" page is not counted
    EXPECT_EQ(pagefile[1], "logo.png");
    EXPECT_EQ(pagetime[1], 120);
    EXPECT_EQ(pageskip[1], 1);
    EXPECT_EQ(pagefile[2], "partner.jpg");
    EXPECT_EQ(pagetime[2], 0);
    EXPECT_EQ(pageskip[2], 0);
    EXPECT_EQ(pagefile[3], "none");

    // Reading again starts afresh; only the first 29 lines count, and separators cannot run past page 29.
    std::string many;
    for (int i = 0; i < 28; ++i) many += "time 5\n";
    config(many + "time 7\n;---\n");
    readintrosettings();
    EXPECT_EQ(pagecount, 1);
    EXPECT_EQ(pagetime[1], 7);
    EXPECT_EQ(pagefile[1], "");
    std::string separators;
    for (int i = 0; i < 40; ++i) separators += ";---\n";
    config(separators);
    readintrosettings();
    EXPECT_EQ(pagecount, MAXPAGES);
    config("time 99999999999999999999\n");
    readintrosettings();
    EXPECT_EQ(pagetime[1], 1 << 30);
}

TEST_F(Intro, MissingConfigurationGoesStraightToLoading) {
    ::testing::internal::CaptureStdout();
    instintro(1);
    std::string out = ::testing::internal::GetCapturedStdout();
    EXPECT_NE(out.find("splashconfig.txt"), std::string::npos) << out;
    EXPECT_EQ(pagecount, 0);
    EXPECT_EQ(curscreen, screen_load);
    EXPECT_EQ(fadestate, 1);
}

TEST_F(Intro, PagesThatWouldHoldTheGameForGood) {
    // Page 1 has no time and may not be skipped; the file ends with ";---", which counts an empty page 2.
    config("file a.png\ntime 0\nskip false\n;---\n");
    instintro(1);
    EXPECT_EQ(pagecount, 2);
    std::vector<int> fadeouts;
    std::vector<int> at = run(INTRO_SKIP_ANYWAY + 30, VK_SPACE, &fadeouts);
    // The key is refused for a long while, then taken; the empty page is passed over.
    expect_span(at, 1, INTRO_SKIP_ANYWAY + 16, 1);
    expect_span(at, INTRO_SKIP_ANYWAY + 17, INTRO_SKIP_ANYWAY + 30, 99);
    EXPECT_EQ(fadeouts, (std::vector<int>{INTRO_SKIP_ANYWAY}));

    // A configuration whose only page is empty shows nothing; nor does a "none" page without a time.
    config("page nothing here\n");
    instintro(1);
    EXPECT_EQ(curscreen, screen_load);
    config("file a.png\ntime 20\n;---\nfile none\n;---\nfile b.png\ntime 20\n");
    curscreen = screen_none;
    instintro(2);
    EXPECT_EQ(pagecount, 2);
    EXPECT_EQ(curscreen, screen_load);
}

TEST_F(Intro, F3EnablesTheDeveloperKeys) {
    config("file a.png\ntime 1000\n");
    write("data/texts/menutexts.txt", "header\n---011---    marker\n             loading\n");
    menutexts = TextTable{};
    instintro(1);

    auto frame_with = [](int vk) {
        inject_key(vk, 1);
        harness_frames(1);
        inject_key(vk, 0);
        harness_frames(1);
    };
    frame_with(VK_F7);
    EXPECT_EQ(menutext(11, 1), "");  // not yet a developer
    frame_with(VK_F3);
    EXPECT_EQ(devkeys, 1);
    frame_with(VK_F7);
    EXPECT_EQ(menutext(11, 1), "LOADING");

    devkeys = 0;
    instload();
    frame_with(VK_F3);
    EXPECT_EQ(devkeys, 1);
}

TEST_F(Intro, LoadingBarRisesFillsAndLeavesThenTheMenu) {
    ASSERT_TRUE(write_solid_png(base + "data/ui/loadfill.png", 402, 40, 0, 0, 255));
    losecount = 7;
    instload();
    EXPECT_EQ(loadbary, 818);

    std::vector<int> bary(341);
    std::vector<uint8_t> at200, at284;
    int w = 0, h = 0;
    for (int f = 1; f <= 340; ++f) {
        if (f == 200)
            at200 = harness_frame_rgba(&w, &h);
        else if (f == 284)
            at284 = harness_frame_rgba(&w, &h);
        else
            harness_frames(1);
        ASSERT_EQ(loadframes, f);
        bary[f] = loadbary;
    }
    for (int f = 1; f <= 150; ++f) ASSERT_EQ(bary[f], 818) << f;  // below the screen
    for (int f = 151; f <= 300; ++f) ASSERT_LE(bary[f], bary[f - 1]) << f;
    EXPECT_EQ(bary[284], virth - 120);
    for (int f = 301; f <= 340; ++f) ASSERT_EQ(bary[f], bary[f - 1] + 5) << f;
    EXPECT_GT(bary[340] + 54 - 20, virth);  // the fill has left the screen

    // The fill grows 3 pixels a frame from x0 = centerx - 205: 150 pixels at frame 200, all 402 at 284.
    const int x0 = centerx - 205;
    EXPECT_EQ(frame_pixel(at200.data(), w, x0 + 100, bary[200] + 54), 0x0000ffffu);
    EXPECT_EQ(frame_pixel(at200.data(), w, x0 + 200, bary[200] + 54), 0x000000ffu);
    EXPECT_EQ(frame_pixel(at284.data(), w, x0 + 5, bary[284] + 54), 0x0000ffffu);
    EXPECT_EQ(frame_pixel(at284.data(), w, x0 + 395, bary[284] + 54), 0x0000ffffu);
    EXPECT_EQ(frame_pixel(at284.data(), w, x0 + 420, bary[284] + 54), 0x000000ffu);

    // Frame 340 hands over to the menu without a fade.
    EXPECT_EQ(losecount, 0);
    EXPECT_EQ(fadelevel, 256);
    EXPECT_EQ(fadestate, 1);
    if (curscreen != screen_load) {
        EXPECT_EQ(curscreen, screen_menu);
    }
}

TEST_F(Intro, TheCloseBoxEndsTheGameAtOnceDuringTheIntroAndTheLoading) {
    // Nothing is in progress before the menu: closing the window ends the program without a question that
    // could not be shown here.
    config("file a.png\ntime 300\nskip false\n");
    instintro(1);
    harness_frames(10);
    inject_close();
    harness_frames(1);
    EXPECT_EQ(quitrequested, 1) << "on an intro page";
    EXPECT_EQ(popupkind, 0);

    quitrequested = 0;
    instload();
    harness_frames(200);
    ASSERT_EQ(curscreen, screen_load);
    inject_close();
    harness_frames(1);
    EXPECT_EQ(quitrequested, 1) << "on the loading screen";
    EXPECT_EQ(popupkind, 0);
}
