// The user-data folder and the settings file.
#pragma once
#include <string>

extern std::string userpath;  // always ends with a separator
extern int newuserfolder;
#include "globals.h"  // the settings themselves

// Finds or creates userpath (under the user's data folder, else data/saves/ beside the game's data) and prints
// it; newuserfolder = 1 when it had to be created.
void makepath();
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
