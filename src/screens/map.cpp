#include "screens/map.h"

void loadmapstuff() {}
void instadventuremap() {}
void showadventuremap() {}
