// A match-3 board left without any swap that makes a line is dealt again, on the ring board of level 40.
#include <gtest/gtest.h>

#include <algorithm>
#include <map>
#include <string>
#include <vector>

#include "app/display.h"
#include "app/shell.h"
#include "aztec/board.h"
#include "aztec/catalogue.h"
#include "aztec/levelrun.h"
#include "effects/particles.h"
#include "match3/m3levels.h"
#include "match3/match3.h"
#include "platform/audio.h"
#include "platform/mixer.h"
#include "platform/random.h"
#include "storage/players.h"
#include "storage/settings.h"
#include "support/headless.h"
#include "ui/popups.h"

namespace {
const int LEVEL = 40;

// The ring of level 40 as drawn in its source: "o" a plain cell, a digit the layers of mud.
const char* const ring[12] = {
    "............", "............", "...oooooo...", "..o333333o..", ".o33.oo.33o.", ".o2..oo..2o.",
    ".o2..oo..2o.", ".o11.oo.11o.", "..o111111o..", "...oooooo...", "............", "............",
};

class Mend : public ::testing::Test {
protected:
    void SetUp() override {
        headless();
        clearparticles();
        curplayer = 1;
        resumeflag = 0;
        levelinprogress[1] = 0;
        curlevel = playlevel = LEVEL;
        level_type[LEVEL] = 2;
        paused = -1;
        popupfade = popupkind = 0;
        wincount = losecount = 0;
        virtw = 1024;
        mx = my = -1000;
        mdown1 = mheld1 = 0;
        sounds[5] = sound_from_samples(std::vector<int16_t>(400, 1000), 0);
        soundplayed[5] = 0;
        soundvolume = 100;
    }
    void TearDown() override {
        sounds[5].reset();
        soundplayed[5] = 0;
        clearparticles();
    }
    void board(const char* const* rows) {
        m3clearlevelcells(LEVEL);
        for (int r = 0; r < 12; ++r)
            for (int c = 0; c < 12; ++c)
                if (rows[r][c] != '.') m3addlevelcell(LEVEL, c, r, 1, rows[r][c] == 'o' ? 0 : rows[r][c] - '0');
        m3setup();
    }
    // Kinds that leave no swap making a line on any board: (column + 2 row) mod 5.
    void lock() {
        for (int i = 1; i <= M3ITEMLIMIT; ++i) {
            M3Item& it = m3items[i];
            if (it.kind < 1 || it.kind > 5) continue;
            it.kind = ((it.x - 163) / 64 + 2 * ((it.y - 17) / 64)) % 5 + 1;
            it.age = 20;
        }
        level_frames = 230;
    }
    void frames(int n) {
        for (int k = 0; k < n; ++k) {
            ++level_frames;
            soundplayed[5] = 0;
            m3frame();
        }
    }
    std::vector<int> kinds() {
        std::vector<int> k;
        for (int i = 1; i <= M3ITEMLIMIT; ++i) k.push_back(m3items[i].kind);
        return k;
    }
    std::map<int, int> mudbycell() {
        std::map<int, int> mud;
        for (int c = 1; c < M3SLOTS; ++c)
            if (m3cells[c].used == 1) mud[m3cells[c].x * 1000 + m3cells[c].y] = m3cells[c].mud;
        return mud;
    }
};
}  // namespace

TEST_F(Mend, TheLockedRingIsDealtAgainWithTheSameItemsAndItsMud) {
    board(ring);
    lock();
    frames(1);
    ASSERT_EQ(m3boardatrest(), 1);
    ASSERT_EQ(m3legalswaps(nullptr, 0), 0);
    const std::vector<int> before = kinds();
    const auto mud = mudbycell();

    // The player sees the board lock for a moment first.
    frames(23);
    EXPECT_EQ(kinds(), before);
    testing::internal::CaptureStdout();
    frames(1);
    const std::string said = testing::internal::GetCapturedStdout();
    EXPECT_NE(said.find("no more moves - the items are dealt again"), std::string::npos);
    EXPECT_EQ(soundplayed[5], 1);

    const std::vector<int> after = kinds();
    EXPECT_NE(after, before);
    std::vector<int> a = after, b = before;
    std::sort(a.begin(), a.end());
    std::sort(b.begin(), b.end());
    EXPECT_EQ(a, b) << "the same items, only in other places";
    EXPECT_EQ(mudbycell(), mud);
    EXPECT_GT(m3legalswaps(nullptr, 0), 0);
    EXPECT_EQ(m3readyline(), 0);
    // Every item that changed shrinks away as its successor fades in.
    int shrinking = 0, fading = 0;
    for (int i = 1; i < PARTICLESLOTS; ++i) shrinking += part_kind[i] > 10000 && part_kind[i] <= 10005;
    for (int i = 1; i <= M3ITEMLIMIT; ++i) fading += after[(size_t)i - 1] != before[(size_t)i - 1] && m3items[i].age < 20;
    EXPECT_GT(shrinking, 0);
    EXPECT_EQ(shrinking, fading);

    // Nothing lines up by itself, and the board stays as dealt until the player swaps.
    frames(300);
    EXPECT_EQ(kinds(), after);
}

TEST_F(Mend, TheNewDealFollowsTheRandomSource) {
    std::vector<int> deals[2];
    for (auto& deal : deals) {
        board(ring);
        lock();
        seed_rnd(77);
        frames(30);
        deal = kinds();
    }
    EXPECT_EQ(deals[0], deals[1]);
}

TEST_F(Mend, OnlyABoardAtRestWithoutAMoveIsTouched) {
    // A board with one move (two alike beside each other in the top row, a third below the cell after them)
    // is left alone.
    board(ring);
    lock();
    frames(1);
    auto item = [](int c, int r) {
        for (int i = 1; i <= M3ITEMLIMIT; ++i)
            if (m3items[i].kind >= 1 && m3items[i].kind <= 5 && m3items[i].x == 64 * c + 163 && m3items[i].y == 64 * r + 17)
                return i;
        return 0;
    };
    const std::vector<int> locked0 = kinds();
    for (int x = 1; x <= 5; ++x) {
        for (int i = 1; i <= M3ITEMLIMIT; ++i) m3items[i].kind = locked0[(size_t)i - 1];
        m3items[item(3, 2)].kind = m3items[item(4, 2)].kind = m3items[item(5, 3)].kind = x;
        if (m3items[item(5, 2)].kind != x && m3readyline() == 0) break;
    }
    ASSERT_EQ(m3readyline(), 0);
    ASSERT_GT(m3legalswaps(nullptr, 0), 0);
    const std::vector<int> withmove = kinds();
    frames(60);
    EXPECT_EQ(kinds(), withmove);

    // A locked board under the pause or a popup waits until the player can see it.
    board(ring);
    lock();
    paused = 1;
    frames(60);
    paused = -1;
    popupfade = 1;
    const std::vector<int> locked = kinds();
    frames(60);
    EXPECT_EQ(kinds(), locked);
    popupfade = 0;
    frames(30);
    EXPECT_NE(kinds(), locked);
}

TEST_F(Mend, ABoardThatCanHoldNoMoveIsSaidOnceAndLeftAsItIs) {
    const char* const pair[12] = {"............", "............", "............", "............",
                                  "....o1......", "............", "............", "............",
                                  "............", "............", "............", "............"};
    board(pair);
    level_frames = 230;
    testing::internal::CaptureStdout();
    frames(400);
    const std::string said = testing::internal::GetCapturedStdout();
    EXPECT_EQ(said.find("dealt again"), std::string::npos) << said;
    const std::string line = "this board cannot be dealt a move";
    ASSERT_NE(said.find(line), std::string::npos);
    EXPECT_EQ(said.find(line), said.rfind(line)) << said;
}

TEST_F(Mend, AnItemCaughtBetweenTwoRunsIsReplacedInTheRunBelow) {
    // One column: a run of two cells, a gap, a run of two cells.
    const char* const column[12] = {"o...........", "o...........", "............", "o...........", "o...........",
                                    "............", "............", "............", "............", "............",
                                    "............", "............"};
    board(column);
    for (int i = 1; i <= M3ITEMLIMIT; ++i)
        if (m3items[i].kind >= 1 && m3items[i].kind <= 5) m3items[i].kind = (m3items[i].y - 17) / 64 == 0 ? 1 : 2;
    // On its way into the lower run an item of the lower run's kind rests on it for a moment, in the gap.
    m3additem(163, 64 * 2 + 17, 4, 0);
    for (int i = 1; i <= M3ITEMLIMIT; ++i)
        if (m3items[i].kind == 2 && m3items[i].y > 64 * 2 + 17) m3items[i].kind = 4;
    level_frames = 230;
    frames(1);  // the line of the gap item and the two below it clears
    frames(60);
    auto itemsat = [](int r) {
        int n = 0;
        for (int i = 1; i <= M3ITEMLIMIT; ++i)
            n += m3items[i].kind >= 1 && m3items[i].kind <= 5 && m3items[i].x == 163 && m3items[i].y == 64 * r + 17;
        return n;
    };
    EXPECT_EQ(itemsat(0), 1);
    EXPECT_EQ(itemsat(1), 1);
    EXPECT_EQ(itemsat(3), 1);
    EXPECT_EQ(itemsat(4), 1);
}
