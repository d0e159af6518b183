#include "storage/settings.h"

std::string userpath;
int newuserfolder = 0;
int fullscreen = 1, displaymode = 1, musicvolume = 280, soundvolume = 280, curplayer = -1, bganimation = 1,
    customcursor = -1;

void makepath() {}
std::string specialfolderpath(int) { return {}; }
void loadsettings() {}
void savesettings(int) {}
