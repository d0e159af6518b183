// The win and lose sequences over the game screen: the rules run here each frame, then their screens are drawn.
#pragma once

extern float winlinex[5];   // x of the four result lines [1..4]
extern float losebannery;   // y of the lose banner

// The room of the win screen's captions: the pace before its five stars, a mark before its value (the widest,
// "10:00/10:00"), the stars' caption before its three stars. A longer caption is drawn smaller.
const float WINPACEROOM = 350, WINMARKROOM = 390, WINSTARSROOM = 450;

void makewin();
void makelose();
// The closing screens, drawn while their counters run.
void drawwinscreen();
void drawlosescreen();
