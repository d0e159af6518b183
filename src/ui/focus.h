// The focus for play by keys and pads. Every target a player can press (the buttons, and the few rows and
// boxes a screen draws itself) registers where it was drawn as it is drawn; in the next frame a direction moves
// the focus to the nearest target that way on the layer that reacts, and confirm presses the focused one. The
// ring shows only while the keyboard or a pad is the device in use; with the mouse nothing here changes
// anything.
#pragma once

#include <vector>

#include "platform/draw.h"

enum { FOCUS_SLIDER = 1 };  // left and right move the target's value, not the focus

// Registers a target of half size (hw, hh) around (x, y); returns 1 when confirm pressed it in this frame.
int focustarget(int id, float x, float y, float hw, float hh, int layer, int flags = 0);
// 1 while this target holds the focus and the focus shows.
int focused(int id, int layer);
// The target a screen or popup opens with (called in each frame it is drawn).
void focusmain(int id, int layer);
// The screen takes the actions itself in this frame (the board in play): no focus, no ring.
void focusaside();
// 1 while the focus shows (keys or a pad in use, navigation on).
int focusshown();
// Moves the focus and takes this frame's confirm; once per frame, after the input snapshot.
void focusframe();
// Draws a ring of half size (hw, hh) around (x, y) at an alpha (the match-3 cursor too).
void drawfocusring(float x, float y, float hw, float hh, float alpha);
// Draws the ring around the focused target; after the screen, before the pointer.
void drawfocus();
// The picture of what does `act` (ACT_CONFIRM, ACT_BACK or ACT_SWAP) on the device in use, centred at (x, y):
// the pad's face button in the pad's layout, the Enter key, or the mouse.
void drawprompt(int act, float x, float y, float alpha);
// The corner image of the ring and the prompt pictures (resident).
void loadfocusstuff();
// No target, no focus (start of a run, tests).
void resetfocus();

// What the last frame registered, for tests and scripted play.
struct focusitem {
    int id, layer, flags;
    float x, y, hw, hh;
};
const std::vector<focusitem>& focuslast();
// The focused target (id 0: none).
int focusid();
int focuslayer();
// Where a direction (ACT_LEFT .. ACT_DOWN) leads from `from` among `items` on `layer`: an index, or -1 to stay.
int focusstep(const std::vector<focusitem>& items, int from, int dir, int layer);
