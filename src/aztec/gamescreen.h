// The game screen around the board.
#pragma once

extern float boardalpha;       // fade-in alpha of the board, 0..1
extern float topbary;          // y of the top bar, eased from -100 to 0
extern int starwarnframes[3];  // star panel rows [1..2]: frames warned and frames passed
extern int starpassedframes[3];
extern int bannershake;

void showgame();
// Resets the screen's own per-level state (top bar, star panel, banner); called by instgame.
void resetgamescreen();
