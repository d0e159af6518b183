// The adventure map.
#pragma once
#include "platform/draw.h"

// Stars of the map and the preview (0 empty, 1 filled, 2 special), the win screen's stars, the lock.
extern TImage mapstar0img, mapstar1img, mapstar2img, gamestar0img, gamestar1img, gamestar2img, lockimg;

void loadmapstuff();
void instadventuremap();
void showadventuremap();
void loadmapstuff_dynamic();
void deletemapstuff_dynamic();
