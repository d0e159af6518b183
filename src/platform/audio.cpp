#include "platform/audio.h"

TChannel musicchannel, ambientchannel, bgchannel;
int musicvolnow = 0;

void initsound() {}
void updatemusic() {}
void pause_channel(const TChannel&) {}
void resume_channel(const TChannel&) {}
