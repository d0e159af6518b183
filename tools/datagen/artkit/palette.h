// The nine stone colours (the game's colour numbers 1..9) and the shared light direction.
#pragma once
#include "canvas.h"

namespace pal {
// Body colour of colour k (1..9): orange, green, blue, gold, turquoise, silver, pearl, obsidian, violet.
gen::Col stone(int k);
// A lighter, saturated tone of colour k for glows and sparks.
gen::Col glow(int k);
// Deep tone of colour k for carved recesses.
gen::Col deep(int k);
}  // namespace pal
