// A level entered, won and lost through the real loop, as a player reaches it, with the profile written each time.
#include <gtest/gtest.h>

#include <algorithm>
#include <cstring>
#include <tuple>
#include <vector>
#include <fstream>
#include <iterator>
#include <ostream>

#include "app/display.h"
#include "app/harness.h"
#include "app/screenflow.h"
#include "app/shell.h"
#include "aztec/board.h"
#include "aztec/cannon.h"
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

    void leave_after_a_shot_and_come_back(int settle);
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

namespace {
struct Stone {
    int x, y, kind;
    bool operator<(const Stone& o) const { return std::tie(x, y, kind) < std::tie(o.x, o.y, o.kind); }
    bool operator==(const Stone& o) const { return x == o.x && y == o.y && kind == o.kind; }
};
void PrintTo(const Stone& s, std::ostream* os) { *os << "(x " << s.x << ", y " << s.y << ", kind " << s.kind << ")"; }
// The stones of player 1's board: as written in the profile, or on the live board without the cannon's stone.
std::vector<Stone> filestones(const std::string& bytes) {
    std::vector<Stone> v;
    for (int s = 1; s <= 500; ++s) {
        const size_t at = 6704 + (size_t)(s - 1) * 44;
        if (fileint(bytes, at + 8) > 0) v.push_back({fileint(bytes, at), fileint(bytes, at + 4), fileint(bytes, at + 8)});
    }
    std::sort(v.begin(), v.end());
    return v;
}
std::vector<Stone> livestones() {
    std::vector<Stone> v;
    for (int s = 1; s < BOARDSLOTS; ++s)
        if (stone_kind[1][s] > 0 && s != cannonslot) v.push_back({stone_x[1][s], stone_y[1][s], stone_kind[1][s]});
    std::sort(v.begin(), v.end());
    return v;
}
void pointat(int lx, int ly) {
    int wx, wy;
    harness_window_point(lx, ly, &wx, &wy);
    inject_mouse_move(wx, wy);
}
}  // namespace

namespace {
// Level 2 at difficulty 1, the cannon over column 2; the pointer goes to the Menu button and clicks it (which also
// fires the stone) after `settle` frames there: a few frames catch the cannon half-way across, many let it settle.
// Then the map, and level 2 again from its node. The resumed board must hold exactly the stored stones, on the grid,
// plus one fresh cannon stone, and the level must still be winnable.
void Flow::leave_after_a_shot_and_come_back(int settle) {
    resumeflag = 1;  // the adventure was continued from the menu
    playdifficulty[1] = 1;
    enter(2);
    // The cannon over column 2, loaded and ready.
    pointat(boardleft + 32 + 128, 300);
    for (int i = 0; i < 300 && (level_frames < 170 || cannoncooldown > 0); ++i) harness_frames(1);
    ASSERT_EQ(cannonx, boardleft + 32 + 128);
    ASSERT_NE(cannonslot, 0);

    // To the Menu button and a click a few frames after arriving: it fires the stone and opens the pause menu,
    // while the cannon is still on its way across.
    pointat(centerx + 427, 33);
    harness_frames(settle);
    if (settle > 10) ASSERT_EQ(cannonx, cannontarget) << "the cannon has settled under the Menu button";
    else ASSERT_NE(cannonx, cannontarget) << "the cannon is still on its way";
    harness_click(centerx + 427, 33);
    harness_frames(1);
    ASSERT_EQ(popupkind, 298);
    EXPECT_EQ(playshots[1], 1);
    harness_frames(20);
    harness_click(centerx + 110, centery + 100);  // the map
    harness_frames(1);
    ASSERT_EQ(nextscreen, screen_map);
    for (int i = 0; i < 40 && curscreen != screen_map; ++i) harness_frames(1);
    ASSERT_EQ(curscreen, screen_map);
    const std::string saved = profilebytes();
    EXPECT_EQ(fileint(saved, 16), 1);  // the level is in progress
    harness_frames(30);

    // Level 2 again from the map.
    curlevel = 2;
    startlevel(2);
    for (int i = 0; i < 40 && curscreen != screen_game; ++i) harness_frames(1);
    ASSERT_EQ(curscreen, screen_game);
    // Exactly the stones of the stored board: none left over from the cannon.
    EXPECT_EQ(livestones(), filestones(saved));
    int colour = 0;
    for (const Stone& st : livestones()) {
        EXPECT_EQ((st.x - 32) % 64, 0) << "a stone between columns at x " << st.x;
        EXPECT_EQ((st.y - floorline) % 64, 0) << "a stone off its row at y " << st.y;
        colour += st.kind >= 1 && st.kind <= 9;
    }
    EXPECT_EQ(colour, 2) << "the level's stone and the one fired";

    // It can be won: shots into the columns that hold a colour stone clear them.
    for (int i = 0; i < 400 && level_frames < 160; ++i) {
        if (popupkind != 0 && popupfadedir == 1 && popupfade == 16) {
            inject_key(VK_ESCAPE, 1);
            harness_frames(1);
            inject_key(VK_ESCAPE, 0);
        }
        harness_frames(1);
    }
    for (int shot = 0; shot < 12 && wincount == 0; ++shot) {
        int column = -1;
        for (const Stone& st : livestones())
            if (st.kind >= 1 && st.kind <= 9) column = (st.x - 32) / 64;
        ASSERT_GE(column, 0);
        pointat(boardleft + 32 + 64 * column, 400);
        for (int i = 0; i < 100 && (cannoncooldown > 0 || cannonx != boardleft + 32 + 64 * column || settled == 0 ||
                                    cannonslot == 0);
             ++i)
            harness_frames(1);
        harness_click(boardleft + 32 + 64 * column, 400);
        harness_frames(40);
        for (const Stone& st : livestones()) ASSERT_EQ((st.x - 32) % 64, 0);
    }
    EXPECT_GT(wincount, 0) << "the level was won";
}
}  // namespace

TEST_F(Flow, ALevelLeftRightAfterAShotComesBackWithEveryStoneOnTheGridAndIsWon) {
    leave_after_a_shot_and_come_back(3);
}

TEST_F(Flow, ALevelLeftAfterTheCannonSettledComesBackWithoutAnExtraStone) {
    leave_after_a_shot_and_come_back(60);
}
