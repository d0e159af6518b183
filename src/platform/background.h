// Backgrounds drawn as parallax layers with ambient life (fireflies, butterflies, rain, lightning).
// Numbers: 0 main menu, 1 loading screen and game theme 1, 2..4 game themes, 11 adventure map; the files of
// background n live in data\bg\bg<n>\.
#pragma once
#include "platform/draw.h"

extern int bgnumber;
extern TImage bglayer[5];  // layers 1..4 (back to front); a layer without a file stays empty
extern TImage bgfull;      // the single picture used when background animation is off
extern TImage bglight;     // the sky flash of background 4
// Effect images the backgrounds draw, loaded with the other effect images by loadeffects: the fireflies of
// background 3 and the insects of the others, rain, the lightning bolt, and butterflies 1..4.
extern TImage glowworm, insect, rain2, lightning;
extern TImage butterfly[10];
extern float bgphase;      // parallax position: follows the mouse x with a lag

// Lightning of background 4: frame counters (0 = idle), where the bolt strikes and whether it is mirrored (1).
extern int boltcount, boltx, boltmirror, skyflashcount;

// Rain drops 1..60 (reset in a table of 100).
enum { RAINDROPS = 100 };
extern float rainx[RAINDROPS + 1], rainy[RAINDROPS + 1];

// Fireflies (and insects), slots 1..100; type 0 = free.
enum { FIREFLIES = 100 };
extern float fireflyx[FIREFLIES + 1], fireflyy[FIREFLIES + 1];
extern int fireflydepth[FIREFLIES + 1], fireflytype[FIREFLIES + 1], fireflylife[FIREFLIES + 1],
    fireflyage[FIREFLIES + 1];

// Butterflies, slots 1..60; species 1..4, 0 = free.
enum { BUTTERFLIES = 60 };
extern float butterflyx[BUTTERFLIES + 1], butterflyy[BUTTERFLIES + 1];
extern int butterflydepth[BUTTERFLIES + 1], butterflyspecies[BUTTERFLIES + 1], butterflylife[BUTTERFLIES + 1],
    butterflyage[BUTTERFLIES + 1];

void loadgamebg_dynamic(int number);
// Decodes ahead, a little per frame, the files that loadgamebg_dynamic(number) will load (5: the tent picture of
// loadgamebg; below 0: nothing), so that the screen entry that loads them does not pay for it.
void preparegamebg(int number);
// The tent background of the last levels: one picture, the theme (bgnumber) unchanged.
void loadgamebg(int number);
void freegamebg();
// Draws this frame's background; target_x is the mouse x the layers slide against.
void drawbackground(float target_x);

// The ambient pools: a spawn takes the first free slot and is dropped when the pool is full.
// Both return the slot used, or 0.
int addfirefly(float x, float y, int type, int maxlife);
int addbutterfly(float x, float y, int maxlife);
void freefireflies();
void freebutterflies();
