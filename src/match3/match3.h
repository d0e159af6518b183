// The match-3 minigame.
#pragma once
#include "platform/draw.h"

// Item images by row 0..4 and column 0..29; only row 1 is filled (the items of kinds 1..5).
extern TImage m3itemimage[5][30];

// The live match-3 board, slots 1..200 (index 0 unused). The player profile keeps a copy of each cell's mud and
// of each item's position and kind, so that a level left unfinished can be resumed.
struct M3Cell {
    int x, y, used, mud, flash, hintdir, item;
};
struct M3Item {
    int x, y, kind, falling, land, age, hint, cell;
};
extern M3Cell m3cells[201];
extern M3Item m3items[201];
// Carried with the board and stored in the profile as its resume value.
extern int m3resume;

void loadmatch3stuff();
// Entry of a match-3 level: loads the board backdrop and builds the board.
void m3enter();
// Drops the board backdrop (every entry of the menu, map, game and story screens).
void m3freebackdrop();
// The board backdrop "data\\minigames\\downbackpuzzle.png", loaded by m3enter.
extern TImage m3backdrop;
// Mud layer images 1..4.
extern TImage m3mudimage[5];
// One frame of a match-3 level inside the game screen (board, input, drawing).
void m3frame();
// Re-deals the items until no line exists (frame 2 of a level).
void m3nostartlines();
// Cells with mud left.
int m3mudleft();
