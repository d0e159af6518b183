// The focus of play by keys and pads: where a direction leads, and on every screen and popup that every target
// can be reached and no direction leaves the focus on nothing.
#include <gtest/gtest.h>

#include <algorithm>
#include <set>
#include <string>
#include <vector>

#include "app/harness.h"
#include "app/profiles.h"
#include "app/screenflow.h"
#include "app/shell.h"
#include "aztec/levelrun.h"
#include "platform/inject.h"
#include "platform/input.h"
#include "screens/map.h"
#include "storage/players.h"
#include "storage/settings.h"
#include "support/headless.h"
#include "ui/buttons.h"
#include "ui/focus.h"
#include "ui/helppages.h"
#include "ui/menu.h"
#include "ui/popups.h"

namespace {
focusitem at(int id, float x, float y, int layer = 1) { return {id, layer, 0, x, y, 40, 20}; }

int idof(const std::vector<focusitem>& v, int i) { return i < 0 ? 0 : v[i].id; }
}  // namespace

TEST(FocusStep, NearestTargetInTheDirectionOrStay) {
    // A menu column beside a panel button, a row of two below, a target on the popup layer and one scrolled away.
    const std::vector<focusitem> v = {at(1, 500, 300), at(2, 500, 380), at(3, 500, 460), at(9, 200, 200),
                                      at(5, 350, 600),  at(6, 650, 600), at(7, 500, 380, 2), at(8, 1500, 380)};
    EXPECT_EQ(idof(v, focusstep(v, 0, ACT_DOWN, 1)), 2);
    EXPECT_EQ(idof(v, focusstep(v, 1, ACT_DOWN, 1)), 3);
    EXPECT_EQ(idof(v, focusstep(v, 1, ACT_UP, 1)), 1);
    EXPECT_EQ(idof(v, focusstep(v, 0, ACT_UP, 1)), 9);        // up and to the side, the only one above
    EXPECT_EQ(idof(v, focusstep(v, 2, ACT_DOWN, 1)), 5);      // both below are as near: the first drawn
    EXPECT_EQ(idof(v, focusstep(v, 4, ACT_RIGHT, 1)), 6);     // along the row before up the column
    EXPECT_EQ(focusstep(v, 5, ACT_RIGHT, 1), -1);             // nothing further right on screen: stay
    EXPECT_EQ(focusstep(v, 3, ACT_LEFT, 1), -1);
    for (int from = 0; from < 7; ++from)
        for (int d : {ACT_LEFT, ACT_RIGHT, ACT_UP, ACT_DOWN}) {
            const int to = focusstep(v, from, d, v[from].layer);
            if (to >= 0) {
                EXPECT_EQ(v[to].layer, v[from].layer);
                EXPECT_NE(v[to].id, 8) << "a target off the screen never takes the focus";
            }
        }
}

namespace {
// Every screen and popup, reached through the real loop with the keyboard in use.
class FocusPlaces : public ::testing::Test {
protected:
    void SetUp() override {
        headless();
        resident_media();
        if (!buttonimage[6]) GTEST_SKIP() << "interface images not generated";
        userpath = temp_folder("focus");
        loadplayers(9999);
        for (int s : {1, 2}) {
            playername[s] = s == 1 ? "ANNA" : "BORIS";
            adventurestarted[s] = 1;
            playerlevel[s] = maxlevel[s] = 7;
            for (int l = 1; l < 7; ++l) levelstate[s][l] = 2;
            levelstate[s][7] = 1;
            playdifficulty[s] = 1;
        }
        sortplayers();
        curplayer = 1;
        popupkind = popupfade = popupfadedir = 0;
        paused = -1;
        mouseactive = 1;
        devkeys = 0;
        resetfocus();
        // A key that plays puts the keyboard in use.
        tap(40);
    }
    void TearDown() override {
        popupkind = popupfade = popupfadedir = 0;
        paused = -1;
        resetfocus();
        resetactions();
    }
    void tap(int vk) {
        inject_key(vk, 1);
        harness_frames(1);
        inject_key(vk, 0);
        harness_frames(1);
    }
    void go(int screen, int arg = 0) {
        gotoscreen(screen, arg);
        for (int i = 0; i < 80 && (curscreen != screen || fadestate != 1 || fadelevel < 255); ++i) harness_frames(1);
        ASSERT_EQ(curscreen, screen);
        harness_frames(30);
    }
    void open(int popup) {
        popupaction(popup);
        harness_frames(30);
        ASSERT_EQ(popupkind, popup);
    }
    // The targets of the reacting layer on screen: each direction from each leads to one of them or stays, and
    // all of them are reached from the one the place opens with. Returns the ids.
    std::set<int> check(const std::string& place, int mainid) {
        const std::vector<focusitem> v = focuslast();
        std::vector<int> live;
        for (size_t i = 0; i < v.size(); ++i)
            if (v[i].layer == buttonlayer && v[i].x >= 0 && v[i].x <= virtw && v[i].y >= 0 && v[i].y <= virth)
                live.push_back((int)i);
        EXPECT_FALSE(live.empty()) << place;
        EXPECT_TRUE(focusshown()) << place;
        EXPECT_EQ(focuslayer(), buttonlayer) << place;
        if (mainid) {
            EXPECT_EQ(focusid(), mainid) << place << ": opens on its main target";
        }
        std::set<int> seen;
        std::vector<int> queue;
        for (int i : live)
            if (v[i].id == focusid()) queue.push_back(i), seen.insert(i);
        for (size_t q = 0; q < queue.size(); ++q)
            for (int d : {ACT_LEFT, ACT_RIGHT, ACT_UP, ACT_DOWN}) {
                const int to = focusstep(v, queue[q], d, buttonlayer);
                if (to < 0) continue;
                EXPECT_NE(std::find(live.begin(), live.end(), to), live.end()) << place << ": led off the targets";
                if (seen.insert(to).second) queue.push_back(to);
            }
        std::set<int> ids;
        for (int i : live) {
            EXPECT_TRUE(seen.count(i)) << place << ": target " << v[i].id << " cannot be reached";
            ids.insert(v[i].id);
        }
        // And through the real input: a few presses each way keep the focus on a drawn target.
        for (int vk : {40, 39, 38, 37, 40, 40}) {
            tap(vk);
            EXPECT_TRUE(ids.count(focusid())) << place << ": after key " << vk << " the focus is on " << focusid();
        }
        return ids;
    }
};
}  // namespace

TEST_F(FocusPlaces, MenuAndItsPopups) {
    go(screen_menu);
    EXPECT_EQ(check("menu", 1), (std::set<int>{1, 2, 3, 4, 9}));
    const struct {
        int popup, main;
    } popups[] = {{99, 11}, {100, 11}, {103, 11}, {106, 15}, {107, 12}, {111, 11}, {432, 12}, {781, 11}};
    for (const auto& p : popups) {
        resetfocus();
        open(p.popup);
        const std::set<int> ids = check("popup " + std::to_string(p.popup), p.main);
        if (p.popup == 100) {
            EXPECT_TRUE(ids.count(12) && ids.count(13)) << "both volume knobs";
            EXPECT_TRUE(ids.count(36)) << "the background box";
        }
        if (p.popup == 103) {
            EXPECT_TRUE(ids.count(41) && ids.count(42)) << "both player rows";
        }
        popupkind = popupfade = popupfadedir = 0;
        harness_frames(2);
    }
}

TEST_F(FocusPlaces, NameEntryOpensOnOkAndEnterStillTypes) {
    go(screen_menu);
    newplayerprofile();
    harness_frames(30);
    ASSERT_EQ(popupkind, 105);
    check("name entry", 60);  // the on-screen keyboard's first letter
    inject_text("Z");
    harness_frames(1);
    inject_key(VK_SPACE, 1);
    inject_text(" ");
    harness_frames(1);
    inject_key(VK_SPACE, 0);
    harness_frames(1);
    EXPECT_EQ(popupkind, 105) << "Space types, it does not press OK";
    EXPECT_EQ(playername[curplayer], "Z ");
}

TEST_F(FocusPlaces, MapStoryAndLevelPopups) {
    go(screen_map);
    check("map", 27);  // the level to play next
    go(screen_story, 1);
    check("story", 2);
    curlevel = 7;
    go(screen_game);
    for (int i = 0; i < 200 && !(popupkind == 777 && popupfade == 16); ++i) {
        if (popupkind == 102 && popupfade == 16) {
            check("help page", 13);
            tap(13);
        }
        harness_frames(1);
    }
    ASSERT_EQ(popupkind, 777);
    check("difficulty", 31);  // the pace offered: the player's own
    tap(13);
    harness_frames(30);
    EXPECT_EQ(popupkind, 0) << "confirm on a pace chooses it and closes";
    EXPECT_FALSE(focusshown()) << "in play the keys work the board";
    open(298);
    check("game menu", 16);
    popupkind = 779;
    harness_frames(10);
    check("restart question", 12);
}

TEST_F(FocusPlaces, MapSectionsTurnWithPageKeys) {
    go(screen_map);
    const int s = mapsection;
    tap(34);
    EXPECT_EQ(mapsection, s + 1);
    harness_frames(40);
    // The next level is in the other section now: the focus is on a drawn target of this one.
    check("map, next section", 0);
    tap(33);
    EXPECT_EQ(mapsection, s);
}
