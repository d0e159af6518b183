// The adventure map.
#pragma once

void loadmapstuff();
void instadventuremap();
void showadventuremap();
void loadmapstuff_dynamic();
void deletemapstuff_dynamic();
