// The game screen around the board: background and panels, score, clock or shots, rescued animals, the star
// panel, the top bar with the menu button, the level banner, the difficulty dialog, and the layers on top.
#pragma once

extern float boardalpha;        // fade-in alpha of the board, 0..1
extern float topbary;           // y of the top bar, eased from -100 to 0
extern int starwarnframes[3];   // star panel rows [1..2]: frames warned
extern int starpassedframes[3]; // and frames passed

void showgame();
// Resets the screen's own per-level state (top bar, star panel); called by instgame.
void resetgamescreen();
void draw_gameui_and_buttons_and_texts();
void drawstarpanel();
void drawlevelbanner();
// Frame function of popup 777, the difficulty dialog shown at the start of every level.
void drawdifficultydialog();
// The dialog's line on the countdown bar: its centre below the dialog's centre, and the widest it may be drawn
// (a longer line is drawn smaller).
constexpr int PACENOTE_Y = 152;
constexpr float PACENOTE_WIDTH = 500;
