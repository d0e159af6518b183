// The valley's instruments, each rendering one note from its start: struck bars and tines, a breathy flute,
// soft pads, a round bass, hand drums and shakers, and the small wooden and stone bodies the effects are made of.
#pragma once
#include "dsp.h"

namespace snd {

// vel 0..1; dur is how long the note is held (struck instruments ring on regardless).
Mono marimba(double hz, double vel, uint64_t seed = 1);
Mono kalimba(double hz, double vel, uint64_t seed = 1);
Mono bell(double hz, double vel, double tau = 1.2);
Mono flute(double hz, double vel, double dur, uint64_t seed = 1);
Mono pad(double hz, double vel, double dur, double brightness = 1.0);
Mono bass(double hz, double vel, double dur);

// Hand drums: 0 low open tone, 1 mid tone, 2 high slap, 3 small high drum.
Mono handdrum(int kind, double vel, uint64_t seed = 1);
Mono shaker(double vel, double len, uint64_t seed = 1);

// Effect bodies.
Mono woodblock(double hz, double vel, uint64_t seed = 1);
Mono stone_knock(double hz, double vel, double tau, uint64_t seed = 1);
Mono noise_burst(double len, double lo_hz, double hi_hz, double attack, double tau, uint64_t seed);

}  // namespace snd
