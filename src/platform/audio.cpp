#include "platform/audio.h"

TChannel musicchannel, ambientchannel, bgchannel;
int musicvolnow = 0;

void initsound() {}
void playsound(int, float) {}
void playsound_ambient(int, float) {}
void playsound_bg(int, float) {}
void stop_ambient() {}
void stop_bg() {}
void playmusic(const std::string&, int) {}
void stopmusic() {}
void updatemusic() {}
void pause_channel(const TChannel&) {}
void resume_channel(const TChannel&) {}
