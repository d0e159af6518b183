// The particle pool (1000 slots) and the light motes (100 slots).
#pragma once

int addparticle(float x, float y, int kind, float a, float b);
void clearparticles();
void draweff();
void addlight(float x, float y, int maxlife, int colour);
void clearlights();
void drawlights(float alpha);
// The board slot a particle follows (0 none).
void setparticlefollow(int slot, int boardslot);
