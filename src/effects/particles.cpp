#include "effects/particles.h"

int addparticle(float, float, int, float, float) { return 1; }
void clearparticles() {}
void draweff() {}
void addlight(float, float, int, int) {}
void clearlights() {}
void drawlights(float) {}
void setparticlefollow(int, int) {}
