#include "storage/players.h"

#include "storage/settings.h"

std::string playername[PLAYERSLOTS];
int playdifficulty[PLAYERSLOTS];
int stoneset[PLAYERSLOTS];
int adventurestarted[PLAYERSLOTS];
int playerlevel[PLAYERSLOTS];
int levelinprogress[PLAYERSLOTS];
int playerid[PLAYERSLOTS];
int timerbar_shown[PLAYERSLOTS];
int playseconds[PLAYERSLOTS];
int playshots[PLAYERSLOTS];
int playerscore[PLAYERSLOTS];
int maxlevel[PLAYERSLOTS];
int savedscroll[PLAYERSLOTS];
int savedfloorline[PLAYERSLOTS];
int levelrescued[PLAYERSLOTS];
int stat_cleared[PLAYERSLOTS], stat_special[PLAYERSLOTS], stat_other[PLAYERSLOTS];
int winbonus[PLAYERSLOTS];
int rankcounter[PLAYERSLOTS][22];
int levelstars[PLAYERSLOTS][201];
int levelstate[PLAYERSLOTS][201];
int m3save_mud[PLAYERSLOTS][201], m3save_itemx[PLAYERSLOTS][201], m3save_itemy[PLAYERSLOTS][201],
    m3save_itemkind[PLAYERSLOTS][201];
int player_res20[PLAYERSLOTS], player_res24[PLAYERSLOTS], player_res44[PLAYERSLOTS], player_res56[PLAYERSLOTS],
    player_res60[PLAYERSLOTS], player_m3resume[PLAYERSLOTS], player_res76[PLAYERSLOTS];
int player_restable[PLAYERSLOTS][31];
int player_m3res1[PLAYERSLOTS][201], player_m3res2[PLAYERSLOTS][201];

int playerorder[16];
int previousplayer = -1;
int firstplayer = 0;
int namelength = 0;
int nameerror = 0;

std::string playerfile(int slot) { return userpath + "players" + std::to_string(slot) + ".ppp"; }

void sortplayers() {
    for (int i = 1; i <= MAXPLAYERS; ++i) playerorder[i] = i;
    for (int pass = 0; pass < MAXPLAYERS; ++pass)
        for (int j = 1; j <= MAXPLAYERS - 1; ++j)
            if (playerscore[playerorder[j]] < playerscore[playerorder[j + 1]]) {
                int t = playerorder[j];
                playerorder[j] = playerorder[j + 1];
                playerorder[j + 1] = t;
            }
}

