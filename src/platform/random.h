// The one random source of the game, and the millisecond clock.
#pragma once
#include <cstdint>

int rand_range(int a, int b);
void seed_rnd(int32_t seed);
// A real in [0, 1) from two steps of the generator.
double rnd_real();
// The generator's state (the level solver saves and restores it with the board).
int32_t rnd_state();
void set_rnd_state(int32_t s);
// Milliseconds of a monotonic clock, 32-bit, wrapping.
int32_t millisecs();
