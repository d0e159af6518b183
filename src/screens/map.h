// The adventure map.
#pragma once

void loadmapstuff();
void instadventuremap();
void showadventuremap();
