// One frame of the aztec board: cannon, rules, scrolling and drawing in their order.
#pragma once

extern int glintsweep;  // board x of the glint running across the board
extern int stonerow;    // stone image row of the player's stone set

void aztecframe();
// Moves the stack one row down when it grows too high, and back up when it has shrunk.
void scrolling_casual();
