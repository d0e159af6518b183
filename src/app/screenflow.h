// Screen ids, the fade to black and back, and the one way to change screen.
#pragma once

enum {
    screen_quit = -999,
    screen_none = -3,
    screen_intro = -2,
    screen_load = -1,
    screen_menu = 0,
    screen_game = 12,
    screen_map = 13,
    screen_story = 18,
};

extern int fadelevel;      // -16..256, the brightness every drawing follows
extern int fadestate;      // 0 before the first entry, 1 after an entry, 2 fading out
extern int nextscreen, nextscreenarg;

void gotoscreen(int target, int argument);
void startfadein();
void updatefade();
void startlevel(int level);
