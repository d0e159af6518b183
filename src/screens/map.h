// The adventure map: 105 level nodes over seven sections, stars and chains, the level preview, the section
// bar, and the rank bar with its celebration.
#pragma once
#include <string>

#include "platform/draw.h"

constexpr int MAPSECTIONS = 7, MAPLEVELS = 105, MAPNODES = 201, MAPSECTIONWIDTH = 1366, RANKS = 10;

// Stars of the map and the preview (0 empty, 1 filled, 2 special), the win screen's stars, the lock.
extern TImage mapstar0img, mapstar1img, mapstar2img, gamestar0img, gamestar1img, gamestar2img, lockimg;
// Per-visit images: current-section marker, preview backdrop, chain, section bar, rank bar, and the rank bar's
// fill as 270 one-pixel columns and as 27 ten-pixel cells.
extern TImage navfullimg, downbackmapimg, chainimg, selectionimg, rankbarimg, rankfillpixels, rankfillcells;

extern int mapsection;     // 1..7
extern int mapframes;      // frames since the map was entered
extern float mapscroll;    // horizontal offset of the nodes
extern int hoveredlevel;   // unlocked level under the mouse, 0 none
extern int previewfade;    // 0..20
extern int mapprevscreen;  // the screen the map was entered from

// Level nodes [1..200]; only 1..105 are active.
struct LevelNode {
    int x, y, active;
};
extern LevelNode levelnode[MAPNODES];

extern int rankthreshold[RANKS + 2];  // [0..11]; 0 and 11 hold 0
extern float rankbary, rankbarscale;
extern int rankcelebration;          // frames of the celebration of a new rank, 0 none
extern float mapshakex, mapshakey;   // shake of the rank bar

void loadmapstuff();
void instadventuremap();
// The background the map loads when entered from screen `from`; -1 when it keeps the one it finds.
int mapbackground(int from);
void showadventuremap();
void drawpreviewlevel();
void loadmapstuff_dynamic();
void deletemapstuff_dynamic();

// Fills levelnode: three rows of five per section, sections 1366 apart.
void buildlevelnodes();
void setrankthresholds();
// The section the map opens on for player p, by the level last played (0: coming from the menu).
int mapentrysection(int p, int lastlevel);
// Highest rank 1..10 player p holds (its counter has reached 100), 0 none.
int heldrank(int p);
// Pixels 0..270 of the rank bar filled by `score` between rank r and the next; full at the top rank.
int rankfillpixels_for(int score, int r);
// The line under the rank bar: "score/next points", or "score points" at the top rank.
std::string rankscoretext(int score, int r);
