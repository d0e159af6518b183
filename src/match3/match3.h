// The match-3 minigame: a board of up to 144 cells on a 12 x 12 grid, one item on every cell. Swapping two
// neighbouring items into a line of three or more removes the line, takes a layer of mud off the cells under it
// and lets new items fall in from the top. The level is won when no cell has mud left.
//
// Board coordinates: a cell in column c and row r (row 0 at the top) lies at x = 64c + 163, y = 64r + 17; y grows
// downward. On screen the board is shifted right by m3boardx. Every table is 1-based; index 0 stays unused.
#pragma once
#include "platform/draw.h"

enum {
    M3SLOTS = 201,       // cell and item slots [1..200]
    M3ITEMLIMIT = 200,   // item slots in use at most (a full board needs 156: 144 items and 12 floor items)
    ITEM_FLOOR = 999,    // invisible item under the lowest cell of each vertical run of cells
};

// Item images by row 0..4 and column 0..29; only row 1 is filled (the items of kinds 1..5).
extern TImage m3itemimage[5][30];
extern TImage m3cellimg, m3cellmaskimg, m3cellmarkimg;
extern TImage m3arrowimg[5];  // hint arrows, directions 1..4
// Mud layer images 1..4.
extern TImage m3mudimage[5];
// The board backdrop "data\\minigames\\downbackpuzzle.png", loaded by m3enter.
extern TImage m3backdrop;

// The live match-3 board, slots 1..200 (index 0 unused). The player profile keeps a copy of each cell's mud and
// of each item's position and kind, so that a level left unfinished can be resumed.
struct M3Cell {
    int x, y, used, mud, flash, hintdir, item;
};
struct M3Item {
    int x, y, kind, falling, land, age, hint, cell;
};
extern M3Cell m3cells[M3SLOTS];
extern M3Item m3items[M3SLOTS];

struct M3Offset {
    int dx, dy;
};
// Swap state.
extern int m3selected, m3partner;  // item slots, 0 none
extern int m3swaptimer;            // 0 idle, 8..64 forward, 72..128 back
extern int m3swapphase;            // 0 none, 1 forward, 2 back
extern M3Offset m3seloffset, m3partneroffset;
extern int m3selgrow, m3partnergrow;  // 0..10

// Items marked by the latest line search, [1..m3matchcount].
extern int m3matchlist[M3SLOTS];
extern int m3matchcount;

// Result of the latest possible-move search.
enum { M3HINT_NOSEARCH = -1, M3HINT_NONE = 0, M3HINT_FOUND = 1 };
struct M3HintPair {
    int state;  // M3HINT_*
    int b, j, d;
};
extern M3HintPair m3hintpair;
extern int m3idle;     // frames since the player last pressed on an item or a hint was shown
extern int m3fixdone;  // 1 once the random change was made in this level

extern int mudcount;   // used cells with mud, recounted while the cells are drawn
// Carried with the board and stored in the profile as its resume value.
extern int m3resume;
extern int m3boardx;        // horizontal screen offset of the board: 0, 128 or 171
extern int m3inputallowed;  // decided by m3frame for the frame

void loadmatch3stuff();
// Entry of a match-3 level: loads the board backdrop and builds the board.
void m3enter();
// Drops the board backdrop (every entry of the menu, map, game and story screens).
void m3freebackdrop();
// Builds the board of curlevel, fresh or resumed from the current player's profile.
void m3setup();
void m3addcell(int x, int y, int used, int mud);
void m3additem(int x, int y, int kind, int falling);
int m3randomkind();

// One frame of a match-3 level inside the game screen (board, input, drawing).
void m3frame();
void playmatch3();
// Re-deals the items until no line exists (frame 2 of a level).
void m3nostartlines();

// Rule steps, in the order a frame runs them.
void m3fall();
void m3input();
void m3hintsearch();
void m3swapanim();
void m3findmatches();
void m3resolve();
void m3wintest();
void m3startswap(int i, int d);
void m3hitmud(int item);

// Drawing steps.
void m3setboardx();
void m3drawcells();
void drawitems();
void m3drawswapping();
// The miniature of a match-3 level for the map's preview panel, centred on (cx, cy).
void m3preview(int cx, int cy, int level);

// Cells with mud left.
int m3mudleft();

// A swap of two neighbouring items at rest that makes a line: the two item slots, the direction of b from a
// (1 right, 3 below), and what the line(s) it makes would take: items removed and mud layers hit.
struct M3Swap {
    int a, b, d;
    int cleared, mudhits;
};
// 1 when every item is at rest on its cell and no swap or removal is under way.
int m3boardatrest();
// Every swap that would make a line on the board as it rests now, in slot order of the first item; returns
// how many (at most `max` are written, `out` may be null).
int m3legalswaps(M3Swap* out, int max);
// 1 when a line of three or more lies on the board as it rests now.
int m3readyline();
// A board at rest without any swap that makes a line is dealt again: the items of the live cells are
// redistributed (mud stays where it is) until some swap makes a line and none lies ready-made. Run once per
// frame after the removal step; it waits a moment so the player sees the board lock first.
void m3mendlockedboard();
extern int m3lockedframes;  // frames the board has rested without a legal swap
