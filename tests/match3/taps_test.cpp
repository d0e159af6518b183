// A player on a touchpad: every click is pressed and released between two frames. The match-3 board is played
// with such taps alone, through the real loop.
#include <gtest/gtest.h>

#include <cstdlib>

#include "app/display.h"
#include "app/harness.h"
#include "app/screenflow.h"
#include "app/shell.h"
#include "aztec/catalogue.h"
#include "aztec/levelrun.h"
#include "match3/match3.h"
#include "platform/inject.h"
#include "platform/input.h"
#include "storage/players.h"
#include "storage/settings.h"
#include "support/headless.h"
#include "ui/popups.h"

namespace {
const int LEVEL = 5;  // the first match-3 level of the adventure

int itemat(int x, int y) {
    for (int i = 1; i <= M3ITEMLIMIT; ++i)
        if (m3items[i].kind >= 1 && m3items[i].kind <= 5 && m3items[i].x == x && m3items[i].y == y) return i;
    return 0;
}

void tap(int item) {
    harness_click(m3items[item].x + m3boardx, m3items[item].y);
    harness_frames(1);
}

class Taps : public ::testing::Test {
protected:
    void SetUp() override {
        headless();
        loadmaingraphics();
        if (level_type[LEVEL] != 2) GTEST_SKIP() << "the catalogue has no match-3 level " << LEVEL;
        userpath = temp_folder("taps");
        curplayer = 1;
        playername[1] = "TAPPER";
        playerlevel[1] = maxlevel[1] = LEVEL;
        playdifficulty[1] = 1;
        mouseactive = 1;
        curlevel = LEVEL;
        curscreen = screen_map;
        fadestate = 1;
        gotoscreen(screen_game, 0);
        for (int i = 0; i < 40 && curscreen != screen_game; ++i) harness_frames(1);
        // Its help page and the difficulty dialog are closed with Escape, as a player would.
        for (int i = 0; i < 400 && level_frames < 230; ++i) {
            if (popupkind != 0 && popupfadedir == 1 && popupfade == 16) {
                inject_key(VK_ESCAPE, 1);
                harness_frames(1);
                inject_key(VK_ESCAPE, 0);
                harness_frames(31);  // Escape's repeat delay
            }
            harness_frames(1);
        }
    }
};
}  // namespace

TEST_F(Taps, ATouchpadPlayerSelectsAndSwapsByTapsAlone) {
    ASSERT_EQ(curscreen, screen_game);
    ASSERT_GE(level_frames, 230);
    ASSERT_EQ(popupfade, 0);
    // Deal a board with no line and one sure move: kinds 1..4 in a pattern that never repeats three times in a
    // row or column, and kind 5 at a, b and d, so that swapping c (right of b) with d (below c) lines up a, b, c.
    for (int i = 1; i <= M3ITEMLIMIT; ++i) {
        M3Item& it = m3items[i];
        if (it.kind < 1 || it.kind > 5) continue;
        int c = (it.x - 163) / 64, r = (it.y - 17) / 64;
        it.kind = ((c % 2) * 2 + r % 2 + (c / 2 + r / 2) % 2) % 4 + 1;
    }
    int a = 0, b = 0, c = 0, d = 0;
    for (int i = 1; i <= M3ITEMLIMIT && !d; ++i) {
        if (m3items[i].kind < 1 || m3items[i].kind > 5) continue;
        const int x = m3items[i].x, y = m3items[i].y;
        a = i;
        b = itemat(x + 64, y);
        c = itemat(x + 128, y);
        d = b && c ? itemat(x + 128, y + 64) : 0;
    }
    ASSERT_NE(d, 0) << "level " << LEVEL << " has no 3 x 2 corner of cells";
    m3items[a].kind = m3items[b].kind = m3items[d].kind = 5;
    const int ckind = m3items[c].kind, cx = m3items[c].x, cy = m3items[c].y;
    const int clearedbefore = stat_cleared[1];
    harness_frames(2);  // nothing lines up by itself
    ASSERT_EQ(m3items[c].kind, ckind);

    tap(c);
    EXPECT_EQ(m3selected, c) << "a tap selects the item";
    harness_frames(3);
    EXPECT_EQ(m3selected, c) << "and the selection stays after the tap";
    tap(d);
    EXPECT_TRUE(m3swaptimer > 0 || m3selected == 0) << "a second tap on a neighbour swaps";
    harness_frames(12);
    // The three items of kind 5 lined up and went.
    EXPECT_EQ(m3swaptimer, 0);
    EXPECT_NE(itemat(cx, cy), c);
    EXPECT_GE(stat_cleared[1] - clearedbefore, 3) << "the line was cleared";
    EXPECT_EQ(m3selected, 0);

    // A tap on a far item after a tap on another drops the selection; a second tap on it takes it.
    harness_frames(60);  // the new items come to rest
    int one = 0, far = 0;
    for (int i = 1; i <= M3ITEMLIMIT && !far; ++i) {
        if (m3items[i].kind < 1 || m3items[i].kind > 5 || m3items[i].cell == 0) continue;
        if (!one) one = i;
        else if (std::abs(m3items[i].x - m3items[one].x) > 128) far = i;
    }
    ASSERT_NE(far, 0);
    tap(one);
    ASSERT_EQ(m3selected, one);
    tap(far);
    EXPECT_EQ(m3selected, 0);
    tap(far);
    EXPECT_EQ(m3selected, far);
}
