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
// The background a level is played on: themes 1..4, 5 for the tent camp, 0 outside the levels.
int levelbackground(int level);
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
// besttimes.ppp as a record: entry i at [i - 1]; names trimmed of spaces and control characters.
struct besttimesrecord {
    int time[200];
    std::string name[200];
    bool operator==(const besttimesrecord&) const = default;
};
besttimesrecord blankbesttimes();
// Decoding never fails: entries a short file does not hold are empty (-1, no name). Returns false when the
// file was short.
bool decodebesttimes(const std::string& bytes, besttimesrecord* out);
// 3200 bytes: each time little-endian, each name padded with spaces (or cut) to 12 characters.
std::string encodebesttimes(const besttimesrecord& r);
