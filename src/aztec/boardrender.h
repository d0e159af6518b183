// Drawing the board, scrolling, and the level preview.
#pragma once
#include "platform/draw.h"

// Stone images [row 1..2][column 1..10], the arrows [1..9] and the cannon's light.
extern TImage stoneimage[3][11];
extern TImage arrowimage[10];
extern TImage lightimage;

void loadaztecstuff();
void drawkarostonesflat();
void draw_karo_stones_shadows();
void drawhiddenhints();
