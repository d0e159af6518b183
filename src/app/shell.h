// Start-up, the main loop and the shell-wide state every screen reads.
#pragma once
#include <string>

#include "globals.h"
#include "platform/draw.h"
#include "platform/system.h"

extern TTimer frametimer, secondtimer, clocktimer;
extern TImage cursorimage;
// The name a running game holds (with the user's id and data folder); tests use names of their own.
extern std::string instancename;

void checksingleinstance(const char* name);
void minimizewindow(int window);
void loadall();
void loadmaingraphics();
void instmain();
void pollinput();
// This frame's actions (`actheld`, `actpress`, the device and pad layout) from its journal key bits.
void takeactions(int keys);
// No action held, the mouse in use (start of a run, tests).
void resetactions();
void doall();
// Decodes a slice of the media that start-up deferred (called after each frame is shown).
void loadpendingmedia();
void stattime();

// Start-up steps 1..11; returns 0 when the platform cannot start.
int startup();
// One frame up to its presentation: clear, poll, frame, present; 0 when a stop signal ended the run instead.
int mainloop_show();
// One pass of the main loop: mainloop_show, then a slice of deferred media; waits for the frame timer when
// `wait` is 1.
void mainloop_frame(int wait);
// The main loop until quitrequested.
void mainloop();
// What focus loss saves: the current player (on the game screen and the screens up to the menu) and the settings.
void savesuspended();
// A stop signal arrived: save as on focus loss and end the loop after this frame.
void stopbysignal();
// The single-instance name: `instancename` with the user's data folder, so each data folder has one game.
std::string instancekey();
// The one way the game ends once it has started: the audio output is stopped and closed and the media freed
// before the process exits with `code`, so nothing is left mixing freed sounds.
[[noreturn]] void exitgame(int code);
