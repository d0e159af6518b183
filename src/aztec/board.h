// The aztec board: a list of stones with free positions, one table per player profile so that a level left
// unfinished survives in the player's stored progress. Board x grows right, board y grows up; a stone at board
// (x, y) is drawn centred at screen (boardleft + x, virth - y).
#pragma once
#include <string>

#include "aztec/levelfile.h"
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
// 1 while the level in play could not be read at all: it shows its floor and is never won, lost or recorded.
extern int levelunreadable;

// Row of the board tables in use: the current player's, or the spare row 0 when no player is chosen.
int boardrow();
// Builds the board of curlevel from levels.lvl, or keeps the player's stored board when the level is in progress.
void prepare_level();
// The part of prepare_level after the file: a fresh board from `rec` (when not null and the level is not in
// progress), then the cannon, scroll and per-level counters. Used by prepare_level and by the level solver.
void prepare_board(const levelrecord* rec);
// Stores a stone in the first free slot 1..156 of the current player; 157 when the board is full.
int addstone(int x, int y, int kind, int chains);
// Takes the stone waiting in the cannon off the board: it belongs to the level in play only, and a stored
// board never holds it.
void unloadcannon();
void countcolours();
// Chooses shotcolour and nextcolour among the colours on the board.
void randomstone();
// Colour used for matching, 0 for kinds without a colour.
int stonecolour(int kind);
