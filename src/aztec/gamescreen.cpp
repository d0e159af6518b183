#include "aztec/gamescreen.h"

void showgame() {}
