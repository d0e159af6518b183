// The sound bank and music.
#pragma once
#include <memory>

struct ChannelData;
using TChannel = std::shared_ptr<ChannelData>;

extern TChannel musicchannel, ambientchannel, bgchannel;
extern int musicvolnow;

void initsound();
void updatemusic();
void pause_channel(const TChannel& channel);
void resume_channel(const TChannel& channel);
