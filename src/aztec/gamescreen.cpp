#include "aztec/gamescreen.h"

float boardalpha = 1;
float topbary = -100;
int starwarnframes[3];
int starpassedframes[3];
int bannershake = 0;

void showgame() {}

void resetgamescreen() {
    topbary = -100;
    for (int i = 0; i < 3; ++i) starwarnframes[i] = starpassedframes[i] = 0;
    bannershake = 0;
}
