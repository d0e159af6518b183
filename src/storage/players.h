// Player profiles: 15 slots, each kept in its own file in the user-data folder. Every per-player table has 17
// entries (slots 1..15; 0 and 16 unused).
#pragma once
#include <string>

enum { MAXPLAYERS = 15, PLAYERSLOTS = 17 };

extern std::string playername[PLAYERSLOTS];
extern int playdifficulty[PLAYERSLOTS];
extern int stoneset[PLAYERSLOTS];
extern int adventurestarted[PLAYERSLOTS];
extern int playerlevel[PLAYERSLOTS];
extern int levelinprogress[PLAYERSLOTS];
extern int playerid[PLAYERSLOTS];
extern int timerbar_shown[PLAYERSLOTS];
extern int playseconds[PLAYERSLOTS];
extern int playshots[PLAYERSLOTS];
extern int playerscore[PLAYERSLOTS];
extern int maxlevel[PLAYERSLOTS];
extern int savedscroll[PLAYERSLOTS];
extern int savedfloorline[PLAYERSLOTS];
extern int levelrescued[PLAYERSLOTS];
extern int stat_cleared[PLAYERSLOTS], stat_special[PLAYERSLOTS], stat_other[PLAYERSLOTS];
extern int winbonus[PLAYERSLOTS];
extern int rankcounter[PLAYERSLOTS][22];   // [1..21]
extern int levelstars[PLAYERSLOTS][201];   // [1..200]
extern int levelstate[PLAYERSLOTS][201];   // [1..200]
extern int m3save_mud[PLAYERSLOTS][201], m3save_itemx[PLAYERSLOTS][201], m3save_itemy[PLAYERSLOTS][201],
    m3save_itemkind[PLAYERSLOTS][201];
// Reserved fields of the profile file, kept and written back: offsets 20, 24, 44, 56, 60, 64 (the match-3
// resume value) and 76, the 30-value table at 184, and the two reserved columns of the match-3 block.
extern int player_res20[PLAYERSLOTS], player_res24[PLAYERSLOTS], player_res44[PLAYERSLOTS],
    player_res56[PLAYERSLOTS], player_res60[PLAYERSLOTS], player_m3resume[PLAYERSLOTS], player_res76[PLAYERSLOTS];
extern int player_restable[PLAYERSLOTS][31];
extern int player_m3res1[PLAYERSLOTS][201], player_m3res2[PLAYERSLOTS][201];

extern int playerorder[16];  // [1..15]
extern int previousplayer;
extern int firstplayer;
extern int namelength;
extern int nameerror;

// Reads slots 1..15 from players<n>.ppp; with 9999 first writes every slot fresh (first start). A missing or
// short file, or one with values no game could have written, loads without harm: what the file holds is kept,
// the rest takes the reset values, and a line on standard output names the file.
void loadplayers(int mode);
void saveplayer(int slot);
void resetplayer(int slot);
void restartplayer(int slot);
void sortplayers();
int checkplayername();
// A new profile in the first free slot 1..8 (previous player remembered, random id, name entry opened);
// returns the slot, or 0 when slots 1..8 all have names.
int createplayer();
// Empties the current slot, writes it, selects the lowest named slot (or none) and writes the settings.
void deleteplayer();

// players<slot>.ppp in the user-data folder.
std::string playerfile(int slot);
// The slot's file contents (28708 bytes plus the name), and reading them back into the slot.
std::string encodeplayer(int slot);
void decodeplayer(int slot, const std::string& bytes, const std::string& file);
