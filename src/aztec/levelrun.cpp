#include "aztec/levelrun.h"

int curlevel = 0;
int playlevel = 0;
int level_frames = 0;
int wincount = 0, losecount = 0;
int timerbar = 340;
int emptybarframes = 0;
int winstars = -99;
int newlevelwon = 0;
int besttime[201];
std::string besttimename[201];

void instgame() {}
void winreset() {}
void losereset() {}
void unlocklevel() {}
void loadbesttimes(int) {}
void savebesttimes() {}
