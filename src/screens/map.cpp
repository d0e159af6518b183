#include "screens/map.h"

void loadmapstuff() {}
void instadventuremap() {}
void showadventuremap() {}
void loadmapstuff_dynamic() {}
void deletemapstuff_dynamic() {}
