// Start-up, the main loop and the shell-wide state every screen reads.
#pragma once
#include <string>

#include "globals.h"
#include "platform/draw.h"
#include "platform/system.h"

extern TTimer frametimer, secondtimer, clocktimer;
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
