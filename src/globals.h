// The state the whole game shares, declared in this one place. Every layer may include it; it includes
// nothing. Each variable is defined (and owned) by the module named beside it; everything else a module keeps
// is declared in that module's own header.
#pragma once

// Screen ids: the values of curscreen and nextscreen.
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

// The loop and this frame's input snapshot (app/shell.cpp).
extern int quitrequested;
extern int framecount;
extern int fps;
extern int curscreen;
extern int mx, my;
extern int mhit1, mhit2, mdown1, mheld1;
extern int key_escape, key_f2, key_f3, key_f4;
extern int escapedelay;
extern int f7held, f8held;
extern int mouseactive;
extern int devkeys;
extern int paused;
extern int appsuspended;
extern int pointershown;
// The keyboard's and the pads' actions (app/shell.cpp): `actheld` held in this frame, `actpress` pressed in it
// (a held direction presses again at a steady rate). `inputdevice` is the device used last (0 mouse, 1 keys,
// 2 pad) and `padkind` the button layout of the pad.
enum { ACT_LEFT = 1, ACT_RIGHT = 2, ACT_UP = 4, ACT_DOWN = 8, ACT_CONFIRM = 16, ACT_BACK = 32, ACT_SWAP = 64,
       ACT_PAUSE = 128, ACT_PREV = 256, ACT_NEXT = 512, ACT_DIRS = 15 };
extern int actheld, actpress, inputdevice, padkind;
enum { DEVICE_MOUSE = 0, DEVICE_KEYS = 1, DEVICE_PAD = 2 };
// Pad layouts: 0 the default (A B X Y), 1 shapes on the buttons, 2 the letters in swapped places.
enum { PADKIND_DEFAULT = 0, PADKIND_SHAPES = 1, PADKIND_SWAPPED = 2 };

// The fade between screens (app/screenflow.cpp).
extern int fadelevel;      // -16..256, the brightness every drawing follows
extern int fadestate;      // 0 before the first entry, 1 after an entry, 2 fading out
extern int nextscreen, nextscreenarg;

// The logical drawing size (app/display.cpp).
extern int virtw, virth;        // logical size
extern int centerx, centery;    // its halves
extern int widthshift;          // offset of this width's centre against a 1366-wide layout

// The settings (storage/settings.cpp).
extern int fullscreen, displaymode, musicvolume, soundvolume, curplayer, bganimation, customcursor;

// The screen the menu was entered from (ui/menu.cpp).
extern int prevscreen;
// The ending of the last story chapter: 0 while a chapter is read, 1..300 while it ends; all text dims with it
// (screens/story.cpp).
extern int storyfade;
