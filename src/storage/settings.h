// The user-data folder and the settings file.
#pragma once
#include <string>

extern std::string userpath;  // always ends with a separator
extern int newuserfolder;
#include "globals.h"  // the settings themselves
// A display state chosen for this run only (0 window, 1 full screen, -1 none): loadsettings applies it, and the
// file keeps the player's own choice until the player changes the display in the options.
extern int displayoverride;

// Finds or creates userpath (private, mode 0700): under $XDG_DATA_HOME, else ~/.local/share, else data/saves/
// in the working folder when that is outside the game's own tree; prints it. newuserfolder = 1 when it had to be
// created; userfolderusable = 0 when no folder could be had (every save then fails and says so).
void makepath();
extern int userfolderusable;
// The folder the game keeps its per-machine files under, with a separator appended; empty when unknown.
// On Linux every id maps to the user's data folder: $XDG_DATA_HOME, else ~/.local/share.
std::string specialfolderpath(int id);
// Reads settings.txt; lines that are missing keep their defaults.
void loadsettings();
// With 1 first restores the defaults; then writes settings.txt.
void savesettings(int defaults);
// The tolerant integer reading of the game's text files: leading spaces, an optional sign, digits up to the
// first non-digit; no digits gives 0.
int readint(const std::string& line);

// The settings file as a record: fullscreen, displaymode, musicvolume, soundvolume, curplayer, bganimation,
// customcursor. Decoding never fails: lines that are missing keep their defaults, a current player that is no
// slot 1..15 reads as none.
struct settingsrecord {
    int value[7];
    bool operator==(const settingsrecord&) const = default;
};
settingsrecord defaultsettings();
settingsrecord decodesettings(const std::string& bytes);
// Seven lines, each the value in decimal and CR LF.
std::string encodesettings(const settingsrecord& r);
