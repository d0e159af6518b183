// Player profiles: 15 slots, each kept in its own file in the user-data folder. Every per-player table has 17
// entries (slots 1..15; 0 and 16 unused). This file holds the per-player tables of the shell and the profile
// file format; the aztec board of each player lives with the board (aztec/board.h), and loading a profile into
// the game or collecting it for a save is the game's side (app/profiles.h).
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

void sortplayers();
// players<slot>.ppp in the user-data folder.
std::string playerfile(int slot);

// One profile file as a record: every value in file order, tables 0-based (level l at [l - 1]).
enum { PROFILE_BYTES = 28708, PROFILE_NAME_MAX = 12, PROFILE_STONES = 500 };
struct profilestone {
    int x, y, kind, spare, falling, group, glint, shake, chain[3];
    bool operator==(const profilestone&) const = default;
};
struct profilerecord {
    int difficulty, stoneset, adventurestarted, level, levelinprogress, res20, res24, id, timerbar_shown,
        playseconds, playshots, res44, score, maxlevel, res56, res60, m3resume, savedscroll, savedfloorline, res76,
        stat_cleared, stat_special, stat_other, winbonus, levelrescued;
    int rankcounter[21];
    int restable[30];
    int levelstars[200], levelstate[200];
    int m3mud[200], m3res1[200], m3itemx[200], m3itemy[200], m3itemkind[200], m3res2[200];
    profilestone stone[PROFILE_STONES];
    std::string name;
    bool operator==(const profilerecord&) const = default;
};

// The values of a freshly created profile (empty name, level 1 open, empty board).
profilerecord blankprofile();
// Decodes a profile file. Always gives a record the game can use: values a short file does not hold take the
// blank values, and values no game could have written are replaced (an out-of-range field by its blank value,
// an impossible stored board by no level in progress). Returns true when nothing had to be replaced; otherwise
// `problem` (when given) says what was wrong.
bool decodeprofile(const std::string& bytes, profilerecord* out, std::string* problem);
// The file: 28708 bytes plus the name, trimmed and at most 12 characters.
std::string encodeprofile(const profilerecord& rec);
