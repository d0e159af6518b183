#include "aztec/gamescreen.h"

float boardalpha = 1;

void showgame() {}
