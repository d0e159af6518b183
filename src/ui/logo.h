// The game's logo: the images the loading screen brings in and the menu, map, game and story screens draw too,
// and the logo animation of the loading screen that the menu finishes.
#pragma once
#include "platform/draw.h"

// Logo images 1..5: 1.png, 2.png, q4m.png (the plate, 3), 3.png (4), 4.png (5). They stay loaded once the
// loading screen has run.
extern TImage logoimage[6];
extern float logoscale, logooffset;

// Draws the logo as it stands `t` frames into its animation (the loading screen's frame; the menu shows it
// finished at 500, anything else at 0).
void drawloadlogo(int t);
