#include "effects/effects.h"

void loadeffects() {}
void landingdust(float, float) {}
void stoneburst(float, float, int) {}
void chainbreak(float, float) {}
void chainshatter(float, float) {}
void mapchainbreak(float, float) {}
void superstoneexplosion(float, float, int) {}
void granitehit(float, float) {}
void granitebreak(float, float) {}
void winstarburst(float, float, int) {}
void mudexplosion(float, float, int) {}
void starlost(float, float) {}
