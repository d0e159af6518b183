// The illustrated help pages of popup 102.
#pragma once

extern int helppage;    // page shown, 1..11
extern int fullhelp;    // 1 when opened from the pause menu: every page browsable
extern int helpframes;  // frame of the page's animation

// Chooses the page for the level in play when popup 102 opens; 0 when none applies (the popup stays shut).
int choosehelppage();
// Frame function of popup 102.
void drawhelppage();
