// The user-data folder and the settings file.
#pragma once
#include <string>

extern std::string userpath;  // always ends with a separator
extern int newuserfolder;
extern int fullscreen, displaymode, musicvolume, soundvolume, curplayer, bganimation, customcursor;

void makepath();
std::string specialfolderpath(int id);
void loadsettings();
void savesettings(int defaults);
