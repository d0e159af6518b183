// Drawing the board, its hints at the bottom edge, and the level preview of the map.
#pragma once
#include "platform/draw.h"

// Stone images [row 1..2][column 1..10], the arrows [1..9] and the cannon's light.
extern TImage stoneimage[3][11];
extern TImage arrowimage[10];
extern TImage lightimage;
// Shadows [1..9] under the colour stones, and the one shadow of every other stone.
extern TImage shadowimage[10];
extern TImage shadowall;
extern TImage chainimage[4];    // chain layers [1..3]
extern TImage graniteimage[4];  // [1..3], strongest first
extern TImage animalimage[4];   // [1..3]
extern TImage inertimage;       // the inert stone, 8 frames
extern TImage variantimage[10]; // the armoured colour stones [1..9]

void loadaztecstuff();
void drawkarostonesflat();
void draw_karo_stones_shadows();
void drawhiddenhints();
// The miniature of a level's stone list on the map's level preview, around (x, y).
void draw_preview_aztec(float x, float y, int level);
