// The win and lose sequences over the game screen: the rules run here each frame, then their screens are drawn.
#pragma once

extern float winlinex[5];   // x of the four result lines [1..4]
extern float losebannery;   // y of the lose banner

void makewin();
void makelose();
// The closing screens, drawn while their counters run.
void drawwinscreen();
void drawlosescreen();
