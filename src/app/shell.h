// Start-up, the main loop and the shell-wide state every screen reads.
#pragma once
#include <string>

#include "platform/draw.h"
#include "platform/system.h"

extern int quitrequested;
extern TTimer frametimer, secondtimer, clocktimer;
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
extern TImage cursorimage;
// The system-wide name a running game holds; tests that start the game use names of their own.
extern std::string instancename;

void checksingleinstance(const char* name);
void minimizewindow(int window);
void loadall();
void loadmaingraphics();
void instmain();
void pollinput();
void doall();
void stattime();

// Start-up steps 1..11; returns 0 when the platform cannot start.
int startup();
// One pass of the main loop: clear, poll, frame, present; waits for the frame timer when `wait` is 1.
void mainloop_frame(int wait);
// The main loop until quitrequested.
void mainloop();
// The one way the game ends once it has started: the audio output is stopped and closed and the media freed
// before the process exits with `code`, so nothing is left mixing freed sounds.
[[noreturn]] void exitgame(int code);
