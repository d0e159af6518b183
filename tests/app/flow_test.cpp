// A level entered, won and lost through the real loop, as a player reaches it, with the profile written each time.
#include <gtest/gtest.h>

#include <cstring>
#include <fstream>
#include <iterator>

#include "app/display.h"
#include "app/harness.h"
#include "app/screenflow.h"
#include "app/shell.h"
#include "aztec/catalogue.h"
#include "aztec/levelrun.h"
#include "effects/effects.h"
#include "platform/inject.h"
#include "platform/input.h"
#include "platform/paths.h"
#include "screens/map.h"
#include "app/profiles.h"
#include "storage/settings.h"
#include "support/catalogue.h"
#include "support/headless.h"
#include "texts/fonts.h"
#include "texts/texttables.h"
#include "ui/buttons.h"
#include "ui/menu.h"
#include "ui/popups.h"

namespace {
int fileint(const std::string& bytes, size_t offset) {
    int v = 0;
    std::memcpy(&v, bytes.data() + offset, 4);
    return v;
}

std::string profilebytes() {
    std::ifstream f(userpath + "players1.ppp", std::ios::binary);
    return std::string((std::istreambuf_iterator<char>(f)), std::istreambuf_iterator<char>());
}

class Flow : public ::testing::Test {
protected:
    void SetUp() override {
        headless();
        basedir = build_dir() + "/";
        loadmenustuff();
        if (!buttonimage[10]) GTEST_SKIP() << "interface images not generated";
        loadfonts();
        readmenutexts();
        readgametexts();
        loadmapstuff();
        loadeffects();
        // The levels come from a catalogue of the test's own.
        std::string base = temp_folder("flow");
        std::vector<TestLevel> levels = blank_levels();
        levels[2].code[1] = 0;  // one stone keeps level 2 from winning by itself
        levels[3].code[1] = 1;
        write_levels(base, levels);
        basedir = base;
        load_all_levels();

        userpath = temp_folder("flowuser");
        loadplayers(9999);
        curplayer = 1;
        playername[1] = "TESTER";
        playerlevel[1] = maxlevel[1] = 2;
        adventurestarted[1] = 1;
        devkeys = 1;
        mouseactive = 1;
        curscreen = screen_map;
        fadestate = 1;
    }
    void TearDown() override {
        devkeys = 0;
        basedir = build_dir() + "/";
    }

    void enter(int level) {
        curlevel = level;
        gotoscreen(screen_game, 0);
        for (int i = 0; i < 40 && curscreen != screen_game; ++i) harness_frames(1);
        ASSERT_EQ(curscreen, screen_game);
        // A level that teaches something opens its help page at frame 30 and the difficulty dialog follows at
        // frame 35; Escape closes each.
        for (int i = 0; i < 100 && popupkind != 777; ++i) {
            if (popupkind == 102 && popupfadedir == 1) {
                inject_key(VK_ESCAPE, 1);
                harness_frames(1);
                inject_key(VK_ESCAPE, 0);
            }
            harness_frames(1);
        }
        ASSERT_EQ(popupkind, 777);
        harness_frames(16);
        inject_key(VK_ESCAPE, 1);
        harness_frames(1);
        inject_key(VK_ESCAPE, 0);
        harness_frames(20);
        ASSERT_EQ(popupfade, 0);
    }
};
}  // namespace

TEST_F(Flow, WonWithTheDeveloperKeyThenLostOnTheBar) {
    enter(2);
    EXPECT_EQ(playlevel, 2);
    inject_key(VK_F3, 1);
    harness_frames(1);
    inject_key(VK_F3, 0);
    EXPECT_GE(wincount, 1);
    harness_frames(60);
    harness_click(centerx, centery);
    harness_frames(1);
    EXPECT_EQ(levelleft, 1);
    std::string won = profilebytes();
    ASSERT_GE(won.size(), 28708u);
    EXPECT_EQ(fileint(won, 52), 3);        // maxlevel: level 3 unlocked
    EXPECT_GT(fileint(won, 304 + 8), 0);   // stars of level 2
    EXPECT_EQ(fileint(won, 16), 0);        // no level in progress
    harness_frames(20);

    playdifficulty[1] = 4;
    enter(3);
    timerbar = 0;
    for (int i = 0; i < 400 && losecount == 0; ++i) harness_frames(1);
    ASSERT_GT(losecount, 0);
    harness_frames(170);
    harness_click(centerx - 150, 620);  // back to the map
    harness_frames(1);
    std::string lost = profilebytes();
    EXPECT_EQ(fileint(lost, 16), 0);
    EXPECT_EQ(fileint(lost, 0), 4);  // difficulty as chosen
    EXPECT_EQ(nextscreen, screen_map);
}
