// The aztec board: a list of stones with free positions, one table per player profile so that a level left
// unfinished survives in the player's stored progress. Board x grows right, board y grows up; a stone at board
// (x, y) is drawn centred at screen (boardleft + x, virth - y).
#pragma once
#include "storage/players.h"

enum { BOARDSLOTS = 501 };  // slots 1..500 (1..156 used)
const int boardtop = 32;    // board y of the floor row while unscrolled

extern int stone_kind[PLAYERSLOTS][BOARDSLOTS];
extern int stone_x[PLAYERSLOTS][BOARDSLOTS];
extern int stone_y[PLAYERSLOTS][BOARDSLOTS];
extern int stone_spare[PLAYERSLOTS][BOARDSLOTS];  // the board's fourth stored value (a per-slot countdown)
extern int stone_falling[PLAYERSLOTS][BOARDSLOTS];
extern int stone_group[PLAYERSLOTS][BOARDSLOTS];
extern int stone_glint[PLAYERSLOTS][BOARDSLOTS];
extern int stone_shake[PLAYERSLOTS][BOARDSLOTS];
extern int stone_chain[PLAYERSLOTS][BOARDSLOTS][4];  // layers [1..3]
extern int stone_fallframes[BOARDSLOTS];             // per slot, not per player

extern int boardleft;
extern int topslot;
extern int shotcolour, nextcolour;
extern int colourcount[21];
extern int colourstones, nocolours;
extern int floorline;
extern int scrollleft;
extern int settled;
extern int cannonslot;
extern int resumeflag;

void prepare_level();
int addstone(int x, int y, int kind, int chains);
void countcolours();
void randomstone();
int stonecolour(int kind);
