// The button widget every screen uses.
#pragma once
#include <string>

// Returns 0 idle, 2 mouse over, 3 clicked in this frame, 4 held (slider knobs).
int drawbutton(int id, float x, float y, int kind, int layer, const std::string& caption);
