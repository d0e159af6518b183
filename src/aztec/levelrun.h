// A level in play: entry of the game screen, the clock, the countdown bar, winning and losing, best times.
#pragma once
#include <string>

extern int curlevel;        // level to play
extern int playlevel;       // level in play, kept after the level ends
extern int level_frames;
extern int wincount, losecount;
extern int timerbar;
extern int emptybarframes;
extern int winstars;
extern int newlevelwon;
extern int besttime[201];           // [1..200], -1 none
extern std::string besttimename[201];

void instgame();
void winreset();
void losereset();
void unlocklevel();
// Reads besttimes.ppp, or writes it fresh when mode is 9999.
void loadbesttimes(int mode);
void savebesttimes();
