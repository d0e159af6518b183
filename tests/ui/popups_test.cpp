#include <gtest/gtest.h>

#include <vector>

#include "app/display.h"
#include "app/screenflow.h"
#include "app/shell.h"
#include "aztec/levelrun.h"
#include "storage/players.h"
#include "storage/settings.h"
#include "support/headless.h"
#include "ui/buttons.h"
#include "ui/menu.h"
#include "ui/popups.h"

namespace {
class Popups : public ::testing::Test {
protected:
    void SetUp() override {
        headless();
        userpath = temp_folder("popups");
        std::vector<uint8_t> px(40 * 40 * 4, 200);
        set_auto_midhandle(1);
        for (int k : {3, 5, 15, 16}) buttonimage[k] = image_from_rgba(px.data(), 40, 40, 3);
        set_auto_midhandle(0);
        popupkind = popupfade = popupfadedir = 0;
        fadestate = 1;
        paused = -1;
        buttonlayer = 2;
        mhit1 = mdown1 = 0;
        key_escape = 0;
        mx = my = 0;
    }
};
}  // namespace

TEST_F(Popups, SixteenFramesInSixteenOutAndThePauseEnds) {
    popupaction(111);
    EXPECT_EQ(popupfade, 1);
    int frames = 0;
    while (popupfade < 16) {
        updatepopups();
        ++frames;
    }
    EXPECT_EQ(frames, 15);  // 1 -> 16
    paused = 1;
    popupfadedir = 2;
    frames = 0;
    while (popupfade > 0) {
        updatepopups();
        ++frames;
        if (popupfade > 0) {
            EXPECT_EQ(popupkind, 111);
        }
    }
    EXPECT_EQ(frames, 16);
    EXPECT_EQ(paused, -1);
    EXPECT_EQ(popupkind, 111);  // cleared one frame later
    updatepopups();
    EXPECT_EQ(popupkind, 0);
}

TEST_F(Popups, MusicKnobDragsAndStopsAt542) {
    musicvolume = 280;
    popupaction(100);
    popupfade = 16;
    // Press on the knob, then drag far to the right.
    mx = centerx + musicvolume - 216;
    my = centery - 118;
    mdown1 = 1;
    updatepopups();
    EXPECT_EQ(dragslider, 1);
    mx = centerx + 600;
    updatepopups();
    EXPECT_EQ(musicvolume, 542);  // follows the pointer up to the end of the track
    mx = centerx + 100;
    updatepopups();
    EXPECT_EQ(musicvolume, 316);
    mdown1 = 0;  // releasing anywhere ends the drag
    mx = centerx - 400;
    updatepopups();
    EXPECT_EQ(dragslider, 0);
    EXPECT_EQ(musicvolume, 316);
    popupkind = popupfade = 0;
}

TEST_F(Popups, PauseMenuTakesEscapeOnlyWhenItFires) {
    popupaction(298);
    popupfade = 16;
    key_escape = 1;
    escapedelay = 29;
    updatepopups();
    EXPECT_EQ(popupfadedir, 1);
    escapedelay = 30;
    paused = 1;
    updatepopups();
    EXPECT_EQ(popupfadedir, 2);
    EXPECT_EQ(paused, -1);
    key_escape = 0;
    popupkind = popupfade = 0;
}

TEST_F(Popups, QuitClosesOnEscapeAtOnce) {
    popupaction(99);
    popupfade = 16;
    key_escape = 1;
    escapedelay = 5;
    updatepopups();
    EXPECT_EQ(popupfadedir, 2);
    key_escape = 0;
    popupkind = popupfade = 0;
}

TEST_F(Popups, RankingOrdersByLevelThenSlotAndSkipsUnstarted) {
    for (int s = 1; s <= 15; ++s) {
        playername[s].clear();
        adventurestarted[s] = 0;
        maxlevel[s] = 1;
        playerscore[s] = 0;
    }
    playername[2] = "ANNA";
    adventurestarted[2] = 1;
    maxlevel[2] = 12;
    playerscore[2] = 5000;
    playername[5] = "BEN";
    adventurestarted[5] = 1;
    maxlevel[5] = 30;
    playername[7] = "CARA";
    adventurestarted[7] = 1;
    maxlevel[7] = 12;
    playername[8] = "DAN";  // never pressed play
    maxlevel[8] = 90;
    std::string names[11];
    int levels[11], scores[11];
    EXPECT_EQ(rankinglist(names, levels, scores), 3);
    EXPECT_EQ(names[1], "BEN");
    EXPECT_EQ(levels[1], 29);
    EXPECT_EQ(names[2], "ANNA");
    EXPECT_EQ(scores[2], 5000);
    EXPECT_EQ(names[3], "CARA");
    EXPECT_EQ(levels[4], -1);  // the rest show "---"
}

TEST_F(Popups, ClosingTheRankingClearsTheLoseSequence) {
    losecount = 300;
    popupaction(111);
    popupfade = 16;
    key_escape = 1;
    updatepopups();
    key_escape = 0;
    EXPECT_EQ(losecount, 0);
    popupkind = popupfade = 0;
}
