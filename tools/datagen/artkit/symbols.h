// The carved symbols of the nine stone colours, as cairo paths centred on the origin and about 28 units
// across. Shared by the stones, the arrows and the effects.
#pragma once
#include <cairo.h>

namespace sym {
// Fills (or strokes) the symbol of colour 1..9 with the current source: sun, leaf, wave, star, droplet, moon,
// feather, eye, spiral.
void paint(cairo_t* cr, int colour, double scale = 1.0);
}  // namespace sym
