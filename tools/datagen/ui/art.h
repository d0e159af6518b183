// The painters of the interface look: sandstone panels with carved borders, jade buttons with gold rims,
// gold stars and trim, all lit from the top left.
#pragma once
#include <string>

#include "canvas.h"
#include "uikit.h"

namespace art {

extern const gen::Col kGoldHi, kGold, kGoldLo, kJadeHi, kJade, kJadeLo, kSandHi, kSand, kSandLo, kInk;

// Rounded rectangle path as a callback.
ui::PathFn rrect(double x, double y, double w, double h, double r);
// Five-pointed star path centred at (cx, cy).
ui::PathFn star(double cx, double cy, double outer, double inner, double rot_deg = -90);

// Sandstone panel filling the rectangle: grain, bevel, a carved step-fret band and gold trim.
void stone_panel(gen::Canvas& c, double x, double y, double w, double h, double r, uint32_t seed, bool fret = true);
// Jade button face with a gold rim and a glossy top; `tone` 0 jade, 1 terracotta, 2 dark stone, 3 pale
// sandstone (for dark captions).
void button_face(gen::Canvas& c, double x, double y, double w, double h, double r, int tone, uint32_t seed);
// Gold trim: a rounded bar with a metallic gradient.
void gold_bar(gen::Canvas& c, double x, double y, double w, double h, double r);
// A gold star (filled) or its carved empty socket.
void gold_star(gen::Canvas& c, double cx, double cy, double outer, bool filled, bool special = false);
// A round gold-rimmed medallion with a coloured face.
void medallion(gen::Canvas& c, double cx, double cy, double r, gen::Col face_hi, gen::Col face_lo, uint32_t seed);
// An arrow pointing right (flip with dir -1), centred.
ui::PathFn arrow(double cx, double cy, double len, double thick, int dir);

// Saves into <dir>/<name>, creating the folder; prints and returns false on failure.
bool save(const gen::Canvas& c, const std::string& dir, const std::string& name);

}  // namespace art
