// The win and lose sequences over the game screen: the rules run here each frame, then their screens are drawn.
#pragma once

void makewin();
void makelose();
// The closing screens, drawn while their counters run.
void drawwinscreen();
void drawlosescreen();
