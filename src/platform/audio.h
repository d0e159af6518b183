// The sound bank and music: sounds decoded once at load, played on channels with volume, pan and pause.
#pragma once
#include <memory>
#include <string>

struct ChannelData;
using TChannel = std::shared_ptr<ChannelData>;

extern TChannel musicchannel, ambientchannel, bgchannel;
extern int musicvolnow;

void initsound();
// Plays bank sound `slot` panned for logical x; at most once per slot per frame.
void playsound(int slot, float x);
void playsound_ambient(int slot, float x);
void playsound_bg(int slot, float x);
void stop_ambient();
void stop_bg();
// Switches the music track ("/music/title.ogg" ...); flags 1 loops.
void playmusic(const std::string& literal, int flags);
void stopmusic();
void updatemusic();
void pause_channel(const TChannel& channel);
void resume_channel(const TChannel& channel);
