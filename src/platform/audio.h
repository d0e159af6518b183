// The sound bank and music: sounds decoded once at load, played on channels with volume, pan and pause.
#pragma once
#include <string>

#include "platform/mixer.h"

enum { SOUNDSLOTS = 81 };  // bank slots 1..80

extern TSound sounds[SOUNDSLOTS];
extern int soundplayed[SOUNDSLOTS];  // 1 = started during this frame
extern int sound_ok;                 // 1 when the probe sound loaded at start
extern TChannel musicchannel, ambientchannel, bgchannel;
extern TSound musicsound;
extern int musicvolnow;

// Loads the bank and opens the audio output (silent when there is no device).
void initsound();
// Stops and closes the audio output, then frees the bank and the music (the last step before the game ends).
void closesound();
// Plays bank sound `slot` panned for logical x; at most once per slot per frame.
void playsound(int slot, float x);
void playsound_ambient(int slot, float x);
void playsound_bg(int slot, float x);
void stop_ambient();
void stop_bg();
// Switches the music track ("/music/title.ogg" ...); flags 1 loops.
void playmusic(const std::string& literal, int flags);
void stopmusic();
// The per-frame audio step: music volume and fade, clearing the once-per-frame marks, resuming after a pause.
void updatemusic();
