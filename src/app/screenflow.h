// Screen ids, the fade to black and back, the one way to change screen, and the table of screens.
#pragma once

#include "globals.h"  // the screen ids and the fade state

// One row per screen: how the flow enters it (with the page or chapter for the intro and the story), draws one
// frame of it, and frees its per-visit media. A screen is added by adding its row to screentable.
struct screenrow {
    int id;
    void (*enter)(int argument);
    void (*show)();
    void (*freedynamic)();
    void (*leave)();  // when the fade out of this screen reaches black; may be empty
};
// The rows in the order the flow frees the per-visit media: menu, map, game (with the match-3 backdrop),
// story, loading screen, intro pages. Defined in screentable.cpp, the one place that names the screens.
extern const screenrow screentable[];
extern const int screenrows;
// Queues the background that entering `target` from the current screen will load, to be decoded while the
// current screen fades out (screentable.cpp).
void preparescreen(int target);

void gotoscreen(int target, int argument);
void startfadein();
void updatefade();
void startlevel(int level);
// Frees the per-visit media of every screen but `target`, then runs the target's entry. The fade calls it when
// it reaches black; start-up and the end of loading call it directly (no fade).
void enterscreen(int target, int argument);
// One frame of the current screen.
void showscreen();
