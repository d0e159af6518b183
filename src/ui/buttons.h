// The button widget every screen uses.
#pragma once
#include <string>

extern int buttonlayer;       // 1 screen buttons react, 2 popup buttons react
extern int buttonhover[301];  // [1..300] hover counters 0..8
extern int buttonflash;       // one additive highlight on the next button drawn
// Where each button [1..300] was drawn last, on which layer and in which frame (scripted play finds them here).
extern float buttonseenx[301], buttonseeny[301];
extern int buttonseenlayer[301], buttonseenframe[301];

// The width a caption may take on a button of this kind: the button's image less a margin at each end.
float captionroom(int kind);
// Returns 0 idle, 2 mouse over, 3 clicked in this frame, 4 held (slider knobs). A caption wider than its button
// is drawn smaller, so that it stays on it.
int drawbutton(int id, float x, float y, int kind, int layer, const std::string& caption);
