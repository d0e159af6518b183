#include <gtest/gtest.h>

#include <algorithm>
#include <vector>

#include "app/display.h"
#include "app/screenflow.h"
#include "app/shell.h"
#include "aztec/board.h"
#include "aztec/catalogue.h"
#include "aztec/levelrun.h"
#include "aztec/rules.h"
#include "match3/m3levels.h"
#include "match3/match3.h"
#include "app/profiles.h"
#include "platform/audio.h"
#include "platform/paths.h"
#include "storage/players.h"
#include "storage/settings.h"
#include "support/headless.h"
#include "ui/popups.h"

namespace {
const int LEVEL = 5;

int cellx(int c) { return 64 * c + 163; }
int celly(int r) { return 64 * r + 17; }

// Item of kind 1..5 at exactly (x, y), 0 none; several there is a fault.
int at(int x, int y) {
    int found = 0, n = 0;
    for (int i = 1; i <= M3ITEMLIMIT; ++i)
        if (m3items[i].kind >= 1 && m3items[i].kind <= 5 && m3items[i].x == x && m3items[i].y == y) found = i, ++n;
    EXPECT_LE(n, 1) << "two items at " << x << "," << y;
    return found;
}
int count_items(int kind_lo, int kind_hi) {
    int n = 0;
    for (int i = 1; i < M3SLOTS; ++i) n += m3items[i].kind >= kind_lo && m3items[i].kind <= kind_hi;
    return n;
}

class Match3 : public ::testing::Test {
protected:
    void SetUp() override {
        headless();
        curplayer = 1;
        resumeflag = 0;
        levelinprogress[1] = 0;
        curlevel = playlevel = LEVEL;
        level_type[LEVEL] = 2;
        m3clearlevelcells(LEVEL);
        paused = -1;
        popupfade = popupkind = 0;
        timerbar = 200;
        virtw = 1024;
    }
    // Cells of the given columns and rows (row 0 at the top), mud from `mud(c, r)`.
    template <class Mud>
    void level(int c0, int c1, int r0, int r1, Mud mud) {
        for (int r = r0; r <= r1; ++r)
            for (int c = c0; c <= c1; ++c) m3addlevelcell(LEVEL, c, r, 1, mud(c, r));
    }
    void enter() {
        m3enter();
        m3nostartlines();
    }
    // A board that is at rest and past the opening frames, with every kind dealt so that nothing lines up:
    // kinds follow a pattern that never repeats three times in a row or column.
    void calm() {
        for (int i = 1; i <= M3ITEMLIMIT; ++i) {
            M3Item& it = m3items[i];
            if (it.kind < 1 || it.kind > 5) continue;
            int c = (it.x - 163) / 64, r = (it.y - 17) / 64;
            it.kind = ((c % 2) * 2 + r % 2 + (c / 2 + r / 2) % 2) % 4 + 1;  // 1..4, no three alike in a line
            it.age = 20;
        }
        level_frames = 230;
        m3inputallowed = 1;
        mdown1 = mheld1 = 0;
        mx = my = -1000;
    }
    void frame() {
        ++level_frames;
        m3frame();
    }
    void frames(int n) {
        for (int k = 0; k < n; ++k) frame();
    }
    void press(int item) {
        mx = m3items[item].x + m3boardx;
        my = m3items[item].y;
        mdown1 = 1;
        mheld1 = mheld1 + 1;
    }
    void release() {
        mdown1 = mheld1 = 0;
        mx = my = -1000;
    }
};
}  // namespace

TEST_F(Match3, AFullBoardGetsAnItemOnEveryCellAndAFloorUnderEachColumn) {
    level(0, 11, 0, 11, [](int, int) { return 0; });
    enter();
    EXPECT_EQ(count_items(1, 5), 144);
    EXPECT_EQ(count_items(ITEM_FLOOR, ITEM_FLOOR), 12);
    for (int c = 0; c < 12; ++c) EXPECT_NE(at(cellx(c), celly(0)), 0) << "column " << c;
    // Nothing falls out of a dealt board, and no line is left after the deal.
    std::vector<int> y0;
    for (int i = 1; i <= M3ITEMLIMIT; ++i) y0.push_back(m3items[i].y);
    level_frames = 60;
    frames(5);
    for (int i = 1; i <= M3ITEMLIMIT; ++i) EXPECT_EQ(m3items[i].y, y0[i - 1]);
    EXPECT_EQ(m3matchcount, 0);
}

TEST_F(Match3, ItemsFallAsATrainAndStopOnTheFloor) {
    level(0, 0, 0, 3, [](int, int) { return 0; });
    enter();
    level_frames = 20;
    // Lift the column: the bottom item two rows up, the others stacked on it.
    for (int r = 0; r < 4; ++r) m3items[at(cellx(0), celly(r))].y -= 128;
    frame();  // before frame 51 nothing moves
    EXPECT_EQ(count_items(1, 5), 4);
    EXPECT_EQ(at(cellx(0), celly(3) - 128) != 0, true);
    level_frames = 50;
    frame();
    int bottom = at(cellx(0), celly(3) - 128 + 12);
    ASSERT_NE(bottom, 0);
    EXPECT_EQ(m3items[bottom].land, -1);
    EXPECT_EQ(m3items[bottom].falling, 1);
    frames(30);
    for (int r = 0; r < 4; ++r) {
        int i = at(cellx(0), celly(r));
        ASSERT_NE(i, 0) << "row " << r;
        EXPECT_EQ(m3items[i].falling, 0);
        EXPECT_EQ(m3cells[m3items[i].cell].item, i);
    }
}

TEST_F(Match3, ARefusedSwapGoesThereAndBackAndChangesNothing) {
    level(0, 3, 0, 3, [](int, int) { return 1; });  // mud keeps the level from being won
    enter();
    calm();
    int a = at(cellx(0), celly(0)), b = at(cellx(1), celly(0));
    int ka = m3items[a].kind, kb = m3items[b].kind;
    press(a);
    frame();
    EXPECT_EQ(m3selected, a);
    release();
    frame();
    press(b);
    frame();
    EXPECT_EQ(m3partner, b);
    EXPECT_EQ(m3seloffset.dx, 16);
    EXPECT_EQ(m3partneroffset.dx, -16);
    release();
    for (int k = 0; k < 6; ++k) frame();
    EXPECT_EQ(m3swaptimer, 64);
    EXPECT_EQ(m3swapphase, 2);
    EXPECT_EQ(m3seloffset.dx, 64);
    // While it moves, the pointer neither highlights nor selects.
    press(at(cellx(3), celly(3)));
    frames(7);
    EXPECT_EQ(m3swaptimer, 120);
    EXPECT_EQ(m3cells[m3items[at(cellx(3), celly(3))].cell].flash, 0);
    release();
    frame();
    EXPECT_EQ(m3swaptimer, 0);
    EXPECT_EQ(m3selected, 0);
    EXPECT_EQ(m3items[a].kind, ka);
    EXPECT_EQ(m3items[b].kind, kb);
}

TEST_F(Match3, ASwapIntoALineClearsItTakesMudAndRefillsTheColumns) {
    level(0, 3, 0, 3, [](int c, int r) { return r == 1 ? (c == 0 ? 1 : 2) : 0; });
    enter();
    calm();
    // Row 1: kinds 5 5 x 5 with a 5 below the gap: swapping it up makes a line of three.
    m3items[at(cellx(0), celly(1))].kind = 5;
    m3items[at(cellx(1), celly(1))].kind = 5;
    m3items[at(cellx(3), celly(1))].kind = 5;
    int up = at(cellx(2), celly(2));
    m3items[up].kind = 5;
    m3matchcount = 0;
    playerscore[1] = 0;
    combomult = 1;
    stat_special[1] = stat_cleared[1] = 0;
    press(at(cellx(2), celly(1)));
    frame();
    release();
    frame();
    press(up);
    frame();
    release();
    frames(6);  // the test at 64
    EXPECT_EQ(m3swaptimer, 0);
    EXPECT_EQ(m3selected, 0);
    // Four in a row went at once: mud 1 -> 0 in column 0, 2 -> 1 elsewhere.
    EXPECT_EQ(stat_cleared[1], 4);
    EXPECT_EQ(stat_special[1], 1);
    EXPECT_EQ(playerscore[1], 4 * 50);
    EXPECT_EQ(timerbar, 200 + 16);
    int mud[4];
    for (int c = 0; c < 4; ++c) mud[c] = m3cells[1 + 4 + c].mud;
    EXPECT_EQ(mud[0], 0);
    EXPECT_EQ(mud[1], 1);
    EXPECT_EQ(mud[3], 1);
    frames(40);
    EXPECT_EQ(count_items(1, 5), 16);
    for (int r = 0; r < 4; ++r)
        for (int c = 0; c < 4; ++c) EXPECT_NE(at(cellx(c), celly(r)), 0) << c << "," << r;
}

TEST_F(Match3, AnLOfFiveGoesWholeAndAVerticalThreeRefillsOneAboveTheOther) {
    level(0, 4, 0, 4, [](int, int) { return 0; });
    enter();
    calm();
    // L: column 0 rows 2..4 and row 4 columns 0..2.
    for (int r = 2; r <= 4; ++r) m3items[at(cellx(0), celly(r))].kind = 5;
    for (int c = 1; c <= 2; ++c) m3items[at(cellx(c), celly(4))].kind = 5;
    frame();
    EXPECT_EQ(m3matchcount, 0);  // removed in the same frame
    EXPECT_EQ(count_items(1, 5), 25);
    // Three replacements entered column 0 at the top row: one leads, the others follow.
    int entered = 0;
    for (int i = 1; i <= M3ITEMLIMIT; ++i)
        entered += m3items[i].kind >= 1 && m3items[i].kind <= 5 && m3items[i].x == cellx(0) && m3items[i].age <= 1;
    EXPECT_EQ(entered, 3);
    frames(60);
    for (int r = 0; r <= 4; ++r)
        for (int c = 0; c <= 4; ++c) EXPECT_NE(at(cellx(c), celly(r)), 0) << c << "," << r;
}

TEST_F(Match3, AGapInAColumnNeverLeavesAHoleInTheLowerRun) {
    // Column 0: rows 0..1, gap at 2, rows 3..5 with mud; columns 1..2 full so a row line can form.
    for (int r : {0, 1, 3, 4, 5}) m3addlevelcell(LEVEL, 0, r, 1, r >= 3 ? 2 : 0);
    for (int r = 0; r <= 5; ++r)
        for (int c = 1; c <= 2; ++c) m3addlevelcell(LEVEL, c, r, 1, 0);
    enter();
    calm();
    for (int c = 0; c <= 2; ++c) m3items[at(cellx(c), celly(5))].kind = 5;
    frame();
    frames(60);
    for (int r : {0, 1, 3, 4, 5}) EXPECT_NE(at(cellx(0), celly(r)), 0) << "row " << r;
    EXPECT_EQ(count_items(1, 5), 17);
    // The mud of every lower cell can still be reached: a second line there clears it.
    EXPECT_EQ(m3cells[5].mud, 1);
}

TEST_F(Match3, AnIdlePlayerGetsAHintAndARandomChangeOnlyWhenNoMoveIsLeft) {
    level(0, 3, 0, 2, [](int, int) { return 1; });
    enter();
    calm();
    // One move: the 5 at (1,1) swapped up into row 0 makes 5 5 5.
    m3items[at(cellx(0), celly(0))].kind = 5;
    m3items[at(cellx(2), celly(0))].kind = 5;
    m3items[at(cellx(1), celly(1))].kind = 5;
    m3idle = 0;
    level_frames = 440;
    frame();  // search at 441, idle only 1
    EXPECT_EQ(m3hintpair.state, M3HINT_FOUND);
    int hinted = 0;
    for (int i = 1; i <= M3ITEMLIMIT; ++i) hinted += m3items[i].hint > 0;
    EXPECT_EQ(hinted, 0);
    m3idle = 500;
    level_frames = 660;
    frame();
    EXPECT_EQ(m3idle, 0);
    int b = m3hintpair.b, j = m3hintpair.j;
    EXPECT_GT(m3items[b].hint, 0);
    EXPECT_GT(m3items[j].hint, 0);
    EXPECT_GE(m3cells[m3items[b].cell].hintdir, 1);
    // The swing lasts 70 frames.
    frames(69);
    EXPECT_GT(m3items[j].hint, 0);
    frame();
    EXPECT_EQ(m3items[j].hint, 0);
    EXPECT_GE(m3cells[m3items[b].cell].hintdir, 1);  // the arrow stays

    // No move at all: one random change, once.
    calm();
    m3hintpair = {M3HINT_NOSEARCH, 0, 0, 0};
    level_frames = 880;
    frame();
    EXPECT_EQ(m3hintpair.state, M3HINT_NONE);
    m3idle = 200;
    level_frames = 900;
    frame();
    EXPECT_EQ(m3fixdone, 1);
    m3fixdone = 1;
    std::vector<int> kinds;
    for (int i = 1; i <= M3ITEMLIMIT; ++i) kinds.push_back(m3items[i].kind);
    m3idle = 200;
    level_frames = 1001;
    m3hintsearch();
    for (int i = 1; i <= M3ITEMLIMIT; ++i) EXPECT_EQ(m3items[i].kind, kinds[i - 1]);
}

TEST_F(Match3, PressingPicksAndDropsTheSelectionFrameByFrame) {
    level(0, 3, 0, 3, [](int, int) { return 1; });  // mud keeps the level from being won
    enter();
    calm();
    int a = at(cellx(0), celly(0)), far = at(cellx(3), celly(3));
    level_frames = 219;
    press(a);
    frame();  // frame 220: too early
    EXPECT_EQ(m3selected, 0);
    EXPECT_EQ(m3cells[m3items[a].cell].flash, 0);
    frame();
    EXPECT_EQ(m3selected, a);
    release();
    frame();
    press(far);  // not a neighbour: dropped in the first frame, picked in the next
    frame();
    EXPECT_EQ(m3selected, 0);
    frame();
    EXPECT_EQ(m3selected, far);
    release();
    frame();
    m3idle = 300;
    press(far);  // a single-frame press on the selected item leaves nothing selected
    frame();
    release();
    frame();
    EXPECT_EQ(m3selected, 0);
    EXPECT_LT(m3idle, 5);  // any press on an item counts as activity
}

TEST_F(Match3, TheBoardSitsInTheMiddleOfWideScreens) {
    virtw = 1366;
    m3setboardx();
    EXPECT_EQ(cellx(0) + m3boardx, 334);
    virtw = 1280;
    m3setboardx();
    EXPECT_EQ(m3boardx, 128);
    virtw = 1024;
    m3setboardx();
    EXPECT_EQ(cellx(0) + m3boardx, 163);
}

TEST_F(Match3, ALevelIsWonWhenTheLastMudGoes) {
    level(0, 2, 0, 2, [](int c, int r) { return c == 1 && r == 1 ? 1 : 0; });
    enter();
    calm();
    wincount = 0;
    frame();
    EXPECT_EQ(mudcount, 1);
    EXPECT_EQ(wincount, 0);
    m3cells[5].mud = 0;
    frame();
    EXPECT_EQ(wincount, 1);
}

TEST_F(Match3, ALevelLeftUnfinishedResumesFromTheProfile) {
    userpath = temp_folder("match3resume");
    level(0, 3, 0, 3, [](int c, int) { return c; });
    enter();
    calm();
    m3cells[2].mud = 0;
    std::vector<M3Item> before(m3items, m3items + M3SLOTS);
    std::vector<int> mud;
    for (int c = 1; c <= 16; ++c) mud.push_back(m3cells[c].mud);
    // Written in the middle of the level, read back after a restart of the game.
    curscreen = screen_game;
    wincount = losecount = 0;
    resumeflag = 1;
    saveplayer(1);
    EXPECT_EQ(levelinprogress[1], 1);
    for (int i = 1; i < M3SLOTS; ++i) m3items[i].kind = 0;
    loadplayers(0);
    curplayer = 1;
    m3enter();
    for (int i = 1; i <= M3ITEMLIMIT; ++i) {
        EXPECT_EQ(m3items[i].kind, before[i].kind) << i;
        EXPECT_EQ(m3items[i].y, before[i].y) << i;
    }
    for (int c = 1; c <= 16; ++c) EXPECT_EQ(m3cells[c].mud, mud[c - 1]);
    EXPECT_EQ(m3selected, 0);
    EXPECT_EQ(levelinprogress[1], 0);

    // A stored board of another shape (left in another level) is not forced onto this one.
    levelinprogress[1] = 1;
    m3save_itemkind[1][1] = 0;
    m3save_itemkind[1][2] = 77;
    m3enter();
    EXPECT_EQ(count_items(1, 5), 16);
    EXPECT_EQ(count_items(77, 77), 0);
    resumeflag = 0;
    curscreen = screen_menu;
}

TEST_F(Match3, TheMapPreviewDrawsFromTheLevelCellsWithoutTouchingTheBoard) {
    level(0, 11, 0, 11, [](int, int) { return 3; });
    m3preview(512, 384, LEVEL);
    m3preview(512, 384, 0);
    m3preview(512, 384, 999);
    float sx, sy;
    get_scale(&sx, &sy);
    EXPECT_FLOAT_EQ(sx, 1);
    EXPECT_EQ((int)(512 - 352 * 0.35f), 388);
}

TEST_F(Match3, TheRandomChangeReachesItemsInEverySlot) {
    // A board that has been played a while keeps its items in the upper slots: replacements take the first
    // free slot after the slots of the items they replace.
    level(0, 3, 0, 3, [](int, int) { return 1; });
    enter();
    calm();
    for (int i = 1; i <= 50; ++i) {
        m3items[150 + i] = m3items[i];
        m3items[i] = M3Item{};
    }
    for (int i = 51; i <= 150; ++i) ASSERT_EQ(m3items[i].kind, 0) << "a 4 x 4 board with its floor fits 50 slots";
    m3hintpair = {M3HINT_NOSEARCH, 0, 0, 0};
    level_frames = 880;
    frame();
    ASSERT_EQ(m3hintpair.state, M3HINT_NONE);
    m3idle = 200;
    level_frames = 900;
    frame();
    EXPECT_EQ(m3fixdone, 1) << "the change found an item";
}

namespace {
class Match3Rules : public Match3 {
protected:
    void SetUp() override {
        Match3::SetUp();
        basedir = build_dir() + "/";
        if (!sounds[46]) initsound();
        soundvolume = 280;
        paused = -1;
        for (int& s : soundplayed) s = 0;
    }
};
}  // namespace

TEST_F(Match3Rules, EachMudLayerHasItsSoundPointsAndOnlyTheLastCountsAsFreed) {
    level(0, 3, 0, 0, [](int c, int) { return c + 1; });  // mud 1, 2, 3 and 4
    enter();
    calm();
    frame();  // links items to cells
    const int sound[5] = {0, 45, 46, 48, 49};
    playerscore[1] = 0;
    combomult = 1;
    stat_special[1] = 0;
    for (int c = 0; c < 4; ++c) {
        for (int& s : soundplayed) s = 0;
        m3hitmud(at(cellx(c), celly(0)));
        EXPECT_EQ(m3cells[1 + c].mud, c) << c;
        EXPECT_EQ(playerscore[1], 50 * (c + 1)) << c;
        if (sounds[46]) {
            for (int m = 1; m <= 4; ++m) EXPECT_EQ(soundplayed[sound[m]], m == c + 1 ? 1 : 0) << c << " " << m;
        }
    }
    EXPECT_EQ(stat_special[1], 1);
}

TEST_F(Match3Rules, LinesStillClearDuringTheFirstThirtyFramesOfTheWin) {
    level(0, 3, 0, 2, [](int, int) { return 0; });
    enter();
    calm();
    for (int w : {25, 30}) {
        calm();
        for (int c = 0; c < 3; ++c) m3items[at(cellx(c), celly(2))].kind = 5;
        stat_cleared[1] = 0;
        wincount = w;
        frame();
        EXPECT_EQ(stat_cleared[1], w < 30 ? 3 : 0) << w;
    }
    wincount = 0;
}

TEST_F(Match3Rules, ItemsFallTwelvePixelsAFrameAndBounceForSixFrames) {
    level(0, 0, 0, 1, [](int, int) { return 0; });
    enter();
    level_frames = 60;
    int top = at(cellx(0), celly(0));
    m3items[top].y -= 64;
    m3fall();
    EXPECT_EQ(m3items[top].y, celly(0) - 64 + 12);
    EXPECT_EQ(m3items[top].land, -1);
    for (int k = 0; k < 10; ++k) m3fall();
    EXPECT_EQ(m3items[top].y, celly(0));
    EXPECT_EQ(m3items[top].land, 6);
    EXPECT_EQ(m3items[top].falling, 0);
}

TEST_F(Match3Rules, HintsWaitForFourHundredIdleFramesAndSearchesComeEvery220) {
    level(0, 3, 0, 2, [](int, int) { return 1; });
    enter();
    calm();
    m3items[at(cellx(0), celly(0))].kind = 5;
    m3items[at(cellx(2), celly(0))].kind = 5;
    m3items[at(cellx(1), celly(1))].kind = 5;
    m3hintpair = {M3HINT_NOSEARCH, 0, 0, 0};
    level_frames = 399;  // frame 400 is no search frame
    frame();
    EXPECT_EQ(m3hintpair.state, M3HINT_NOSEARCH);
    auto hinted = [] {
        int n = 0;
        for (int i = 1; i <= M3ITEMLIMIT; ++i) n += m3items[i].hint > 0;
        return n;
    };
    m3idle = 399;  // 400 after this frame's count: not yet
    level_frames = 440;
    frame();
    EXPECT_EQ(m3hintpair.state, M3HINT_FOUND);
    EXPECT_EQ(hinted(), 0);
    m3idle = 400;
    level_frames = 660;
    frame();
    EXPECT_EQ(hinted(), 2);
    // With no move left, the random change waits for more than 100 idle frames.
    calm();
    level_frames = 880;
    frame();
    ASSERT_EQ(m3hintpair.state, M3HINT_NONE);
    m3fixdone = 0;
    m3idle = 99;
    level_frames = 900;
    frame();
    EXPECT_EQ(m3fixdone, 0);
    m3idle = 150;
    level_frames = 1000;
    frame();
    EXPECT_EQ(m3fixdone, 1);
}

TEST_F(Match3Rules, ASwapMovesBothItemsTowardEachOtherOnTheirAxis) {
    level(0, 1, 0, 1, [](int, int) { return 0; });
    enter();
    calm();
    const int s = at(cellx(0), celly(0));
    const struct {
        int partner, d, dx, dy;
    } moves[] = {{at(cellx(1), celly(0)), 1, 8, 0},
                 {at(cellx(0), celly(1)), 3, 0, 8}};
    for (const auto& m : moves) {
        m3selected = s;
        m3startswap(m.partner, m.d);
        EXPECT_EQ(m3seloffset.dx, m.dx);
        EXPECT_EQ(m3seloffset.dy, m.dy);
        EXPECT_EQ(m3partneroffset.dx, -m.dx);
        EXPECT_EQ(m3partneroffset.dy, -m.dy);
        // Forward for six more frames up to the test at 64, back in eight: home at 128.
        int frames_to_home = 0;
        while (m3swaptimer != 0 && frames_to_home < 40) {
            m3swapanim();
            ++frames_to_home;
        }
        EXPECT_EQ(frames_to_home, 15);
    }
}

TEST_F(Match3Rules, AMoveThatCompletesAnUprightLineIsHintedButAGapIsNoLine) {
    level(0, 3, 0, 3, [](int, int) { return 1; });
    enter();
    // The only move: the 5 at (0,1) swapped right into (1,1) stands between the 5s above and below it.
    calm();
    m3items[at(cellx(1), celly(0))].kind = 5;
    m3items[at(cellx(1), celly(2))].kind = 5;
    m3items[at(cellx(0), celly(1))].kind = 5;
    m3hintpair = {M3HINT_NOSEARCH, 0, 0, 0};
    m3idle = 0;
    level_frames = 440;
    frame();
    ASSERT_EQ(m3hintpair.state, M3HINT_FOUND);
    const int pair[2] = {m3hintpair.b, m3hintpair.j};
    const int expected[2] = {at(cellx(0), celly(1)), at(cellx(1), celly(1))};
    EXPECT_TRUE((pair[0] == expected[0] && pair[1] == expected[1]) ||
                (pair[0] == expected[1] && pair[1] == expected[0]));
    // The same move with the upper 5 one row higher leaves a gap: there is no move on the board.
    calm();
    m3items[at(cellx(1), celly(3))].kind = 5;
    m3items[at(cellx(1), celly(0))].kind = 5;
    m3items[at(cellx(0), celly(2))].kind = 5;
    m3hintpair = {M3HINT_NOSEARCH, 0, 0, 0};
    level_frames = 660;
    frame();
    EXPECT_EQ(m3hintpair.state, M3HINT_NONE);
}
