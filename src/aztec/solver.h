// A headless player for aztec levels. It plays through the board's own per-frame functions with synthetic
// mouse input and picks each shot by trying every column (with and without swapping) on a saved copy of the
// board's state.
#pragma once
#include <cstdint>

#include "aztec/board.h"
#include "aztec/levelfile.h"

// Everything the board's rules read and write in a frame, for the current player.
struct boardsnapshot {
    int kind[BOARDSLOTS], x[BOARDSLOTS], y[BOARDSLOTS], spare[BOARDSLOTS], falling[BOARDSLOTS];
    int group[BOARDSLOTS], glint[BOARDSLOTS], shake[BOARDSLOTS], chain[BOARDSLOTS][4], fallframes[BOARDSLOTS];
    int boardleft, topslot, shotcolour, nextcolour, colourcount[21], colourstones, nocolours;
    int floorline, scrollleft, settled, cannonslot;
    int cannonx, cannony, cannontarget, aimx, cannoncooldown, swapflag, lastfiredslot, lastshotx;
    float cannonbob;
    int groupcount[101], explosionflag, combomult, combotimer;
    int glintsweep, stonerow;
    int level_frames, wincount, losecount, timerbar, framecount;
    int playerscore, playshots, playseconds, levelrescued;
    int32_t rnd;
};

void saveboardstate(boardsnapshot* s);
void restoreboardstate(const boardsnapshot& s);

// Starts a fresh aztec level from a record for the current player, as entering the game screen does.
void startsolverlevel(const levelrecord& rec);
// One frame of the level as the game screen runs it, with the mouse at screen x `mousex` and the given clicks.
void solverframe(int mousex, int left, int right);
// 1 once the level counts as won (no colour stone left after frame 100).
int solverwon();

struct solveresult {
    int won;      // 1 when the level was cleared
    int shots;    // shots fired
    int seconds;  // play seconds as the level clock counts them (from frame 220)
    int frames;   // frames played
};

// The shot the solver would take from the level in play (column 0..11, swap 1 to swap the stones first). It
// tries the candidates on the live board and leaves the board as it was, but not the effects they set off:
// callers run it in a copy of the game.
void solverbestshot(int* column, int* swap);
// The column and row (0-based, row 0 on the floor) of slot `s` when it holds a colour stone resting in a cell of
// the board, below `rows`; false for an empty slot, the cannon's stone, a floor stone or one still moving.
bool restingstonecell(int s, int rows, int* column, int* row);

// The same, looking no further than the shot itself: about a twentieth of the work.
void solverquickshot(int* column, int* swap);

// Plays a level from its record to the end, giving up after `maxshots` shots.
solveresult solvelevel(const levelrecord& rec, int maxshots);
