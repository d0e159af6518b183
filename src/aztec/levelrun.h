// A level in play: entry of the game screen, the play clock, the countdown bar, winning and losing, the stars a
// result earns and how they reach the player's progress, and the best-times file.
#pragma once
#include <string>

#include "platform/draw.h"

extern int curlevel;         // level to play; instgame copies it into playlevel
extern int playlevel;        // level in play, kept after the level ends
extern int level_frames;     // frames of the level while no popup is visible and the game runs
extern int wincount, losecount;
extern int timerbar;         // countdown bar 0..340
extern int emptybarframes;   // frames the bar has been empty
extern int winstars;         // stars + difficulty during the win sequence, -99 at level start
extern int newlevelwon;      // level whose improved stars the map animates next, 0 none
extern int recordedresult;   // play seconds or shots recorded at the win, 999 until then
extern int restartpending;   // set by the restart popup before it reloads the level
extern int levelleft;        // 1 once a won level has been left
extern int gameprevscreen;   // the screen the game was entered from
extern int clockseen;        // highest clock tick counted so far
extern float timerbarx, timerbary;
extern int besttime[201];              // [1..200], -1 none
extern std::string besttimename[201];

// Panel images of the game screen (loadgamestuff_dynamic).
extern TImage gameboardimg, uiupleftimg, uiuprightimg, upimg, downback2img, downfront2img, timerimg, timerfill1img,
    timerfill10img, timerwarnimg, moveiconimg, timeiconimg;

void instgame();
void loadgamestuff_dynamic();
void deletegamestuff_dynamic();
// Per frame from the game screen: the play clock (from frame 220) and the countdown bar (time levels).
void playclockstep();
void timerbarstep();
// The win test and win counting, and the lose test, run by makewin / makelose each frame.
void wintest();
void wincounting();
void losetest();
// Stars earned by the recorded result of the level in play (1..3).
int starsearned();
void leavewonlevel();
// The game screen is being left for the screen the fade leads to (called as the fade reaches black).
void leavegame();
void winreset();
void losereset();
void unlocklevel();
void reset_player_data_for_new_level();
// Reads besttimes.ppp, or writes it fresh when mode is 9999 (aztec/besttimes.cpp). Entries a short or missing
// file does not hold read as -1 with an empty name.
void loadbesttimes(int mode);
void savebesttimes();
