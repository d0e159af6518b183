// The illustrated help pages of popup 102: one or two paragraphs and a small looping animation made of the
// game's own images, opened at the start of the levels that teach something new and from the pause menu.
// Pages 12 (variant stones) and 13 (sleeping stones) open on the first level of the catalogue that has such a
// stone and no page of its own.
#pragma once

enum { HELPPAGES = 13 };

extern int helppage;    // page shown, 1..13
extern int fullhelp;    // 1 when opened from the pause menu: every page browsable
extern int helpframes;  // frame of the page's animation, 0 when the page opens; wraps at the page's cycle
extern int helpcolour;  // 1..5: the colour of the group on page 2 (page 10 sets 1)
// Page 10's animation: the four match-3 items [1..4] (x and scale) and the pointer.
extern float helpitemx[5], helpitemscale[5];
extern float helppointerx, helppointery;

// Chooses the page for the level in play when popup 102 opens; 0 when none applies (the popup stays shut).
int choosehelppage();
// The page a level opens by itself, 0 for none.
int levelhelppage(int level);
// Frames of a page's animation loop; 0 for the still pages.
int helpcycle(int page);
// Alpha factor of the page's illustration at the current frame: it fades in and, on looping pages, out.
float helpfade();
// Which navigation buttons the page shows.
bool helphasprevious();
bool helphasnext();
// Frame function of popup 102.
void drawhelppage();
