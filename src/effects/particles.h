// The particle pool (1000 slots) and the light motes (100 slots).
//
// A particle is a position, a kind, an age, two spawn parameters (most moving kinds use them as the velocity
// per frame) and an optional board slot it sticks to. The kind alone picks, by range, how the particle moves,
// looks and how long it lives; draweff advances and draws every live particle once per frame.
#pragma once

enum { PARTICLESLOTS = 1001, LIGHTSLOTS = 101 };  // slots 1..1000 and 1..100; slot 0 is never used

extern float part_x[PARTICLESLOTS], part_y[PARTICLESLOTS];
extern float part_a[PARTICLESLOTS], part_b[PARTICLESLOTS];
extern int part_kind[PARTICLESLOTS];    // 0 = free slot
extern int part_age[PARTICLESLOTS];
extern int part_follow[PARTICLESLOTS];  // board slot the particle sticks to (0 none)

extern float light_x[LIGHTSLOTS], light_y[LIGHTSLOTS];
extern int light_depth[LIGHTSLOTS];   // 2..30: deeper motes are drawn later, larger and brighter
extern int light_colour[LIGHTSLOTS];  // 1..9, 0 = free slot
extern int light_life[LIGHTSLOTS];    // frames left
extern int light_age[LIGHTSLOTS];

// Takes the first free slot, or overwrites slot 1000 when the pool is full; returns the slot.
int addparticle(float x, float y, int kind, float a, float b);
void clearparticles();
// One update-and-draw pass over the whole pool.
void draweff();
// Takes the first free mote slot; when all 100 are in use the mote is dropped.
void addlight(float x, float y, int maxlife, int colour);
void clearlights();
// Draws and advances the light motes, deepest last; `alpha` is the caller's alpha, restored afterwards.
void drawlights(float alpha);
// The board slot a particle follows (0 none).
void setparticlefollow(int slot, int boardslot);
