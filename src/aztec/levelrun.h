// A level in play: entry of the game screen, the clock, the countdown bar, winning and losing.
#pragma once

extern int wincount;  // frames of the win sequence, 0 while none runs

void instgame();
// Reads besttimes.ppp, or writes it fresh when mode is 9999.
void loadbesttimes(int mode);
