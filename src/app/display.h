// Display modes, the window, and the logical drawing size the rest of the game reads.
#pragma once
#include "globals.h"  // the logical size

extern int windoww, windowh;    // physical size of the window or screen
extern int mainwindow;          // the window handle (1 while a window is open)
extern int modewidth[11], modeheight[11];
extern int modeavailable[11];
extern int bestmode;
extern int desktopw, desktoph;
// A desktop of this size instead of the real one (0: the real desktop). Lets the mode choice and the window
// checks be tried for desktops the machine does not have.
extern int fakedesktopw, fakedesktoph;
// With a faked desktop: a frame this high above the window (a title bar), and a panel this high along the
// bottom of the desktop that the usable area leaves out.
extern int fakeframetop, fakepanel;

// Window pixels of the mouse to logical units, and logical units to the window pixel that shows them (where
// the pointer is warped to). Whenever the picture is letterboxed both go through the area it is drawn in.
void window_to_logical(int wx, int wy, int* lx, int* ly);
void logical_to_window(int lx, int ly, int* wx, int* wy);

// Once a frame: a window the player resized or maximised gives the new physical size, and the size it keeps
// is remembered for the next start (window.txt in the user folder, restored within the desktop).
void followwindowsize();
// A window opened around the display code (the test harness's, a tool's) is not one to remember.
void forgetwindowsize();
void checkvideo();
void instgraphic();
void togglescreensize(int mode, int full);
int windowtoolarge(int window);
void addminimizebox(int window);
void setwindowicon(int window);
// Reads the 32-pixel entry of an .ico file (PNG- or BMP-encoded) into RGBA; false when there is none.
bool read_ico_entry(const unsigned char* data, unsigned long size, int want, int* w, int* h,
                    unsigned char** rgba_out);
