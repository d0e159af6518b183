// The match-3 minigame.
#pragma once
#include "platform/draw.h"

// Item images by row 0..4 and column 0..29; only row 1 is filled (the items of kinds 1..5).
extern TImage m3itemimage[5][30];

void loadmatch3stuff();
