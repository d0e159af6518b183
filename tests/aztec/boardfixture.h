// Test boards for the aztec rules: a clean level state for player 1 and helpers to place stones.
#pragma once
#include <gtest/gtest.h>

#include "app/display.h"
#include "app/shell.h"
#include "aztec/board.h"
#include "aztec/boardframe.h"
#include "aztec/cannon.h"
#include "aztec/levelrun.h"
#include "aztec/rules.h"
#include "platform/random.h"
#include "storage/settings.h"
#include "ui/popups.h"

class AztecBoard : public ::testing::Test {
protected:
    int p = 1;
    void SetUp() override {
        curplayer = 1;
        virtw = 1024;
        virth = 768;
        boardleft = 120;
        popupkind = 0;
        popupfade = 0;
        wincount = losecount = 0;
        level_frames = 200;
        levelinprogress[p] = 0;
        resumeflag = 0;
        playdifficulty[p] = 3;
        playerscore[p] = 0;
        playshots[p] = 0;
        stoneset[p] = 1;
        for (int s = 0; s < BOARDSLOTS; ++s) {
            stone_kind[p][s] = -1;
            for (int l = 1; l <= 3; ++l) stone_chain[p][s][l] = -1;
            stone_fallframes[s] = 0;
        }
        cannonslot = 0;
        cannonx = boardleft + 320;
        cannontarget = cannonx;
        cannony = boardtop + 664;
        cannoncooldown = 0;
        swapflag = 0;
        lastfiredslot = 0;
        lastshotx = -1;
        scrollleft = 0;
        floorline = boardtop;
        combomult = 1;
        combotimer = 0;
        timerbar = 100;
        seed_rnd(99);
        mhit1 = mhit2 = 0;
        mx = boardleft + 320;
    }
    // Board x of column c and board y of row r above the floor.
    static int colx(int c) { return 32 + 64 * c; }
    static int rowy(int r) { return boardtop + 64 + 64 * r; }
    void floor() {
        for (int c = 0; c < 12; ++c) addstone(colx(c), boardtop, 10, 0);
    }
    int put(int c, int r, int kind, int chains = 0) { return addstone(colx(c), rowy(r), kind, chains); }
    // A stone let go above column c that will land on row r in a few frames, as if it had been fired there.
    int drop(int c, int r, int kind) {
        int s = addstone(colx(c), rowy(r) + 64 * 3, kind, 0);
        stone_falling[p][s] = 1;
        lastshotx = colx(c);
        return s;
    }
    void frames(int n) {
        for (int i = 0; i < n; ++i) updateboard();
    }
    int count(int kind) {
        int n = 0;
        for (int s = 1; s < BOARDSLOTS; ++s)
            if (stone_kind[p][s] == kind) n += 1;
        return n;
    }
    int at(int c, int r) {
        for (int s = 1; s < BOARDSLOTS; ++s)
            if (stone_kind[p][s] > 0 && stone_x[p][s] == colx(c) && stone_y[p][s] == rowy(r)) return stone_kind[p][s];
        return 0;
    }
};
