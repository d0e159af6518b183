#include "platform/audio.h"

#include "globals.h"
#include "platform/system.h"

TSound sounds[SOUNDSLOTS];
int soundplayed[SOUNDSLOTS];
int sound_ok = 0;
TChannel musicchannel, ambientchannel, bgchannel;
TSound musicsound;
int musicvolnow = 0;

namespace {

struct BankEntry {
    int slot;
    const char* file;
};
const BankEntry bank[] = {
    {2, "stonecrack.ogg"},  {5, "turnup.ogg"},       {6, "turndown.ogg"},       {8, "shootkaro.ogg"},
    {9, "hint.ogg"},        {10, "failure.ogg"},     {13, "click.ogg"},         {15, "liane.ogg"},
    {18, "flash.ogg"},      {19, "match.ogg"},       {20, "puready.ogg"},       {21, "mapstar.ogg"},
    {23, "contact.ogg"},    {25, "explosion.ogg"},   {26, "logoappear.ogg"},    {27, "lose.ogg"},
    {30, "animaladd.ogg"},  {31, "animal1.ogg"},     {32, "levelselection.ogg"}, {33, "buildsuperstone.ogg"},
    {35, "stone2.ogg"},     {38, "lettercontact.ogg"}, {39, "lightning2.ogg"},  {40, "moss2.ogg"},
    {43, "logotext.ogg"},   {44, "startimeout.ogg"}, {45, "mud1.ogg"},          {46, "mud2.ogg"},
    {47, "newrank.ogg"},    {48, "mud3.ogg"},        {49, "mud4.ogg"},          {50, "select.ogg"},
    {57, "superstoneexplosion.ogg"}, {58, "lightning.ogg"}, {59, "winstar1.ogg"}, {60, "winstar2.ogg"},
    {61, "winstar3.ogg"},   {62, "winstar4.ogg"},    {63, "winstar5.ogg"},      {64, "winstrike.ogg"},
    {66, "animal2.ogg"},    {67, "animal3.ogg"},     {68, "mapliane.ogg"},      {69, "granite1.ogg"},
    {70, "granite2.ogg"},   {71, "flamecrackle.ogg"}, {72, "logoanimal.ogg"},
};

// Starts a bank sound if the frame allows it; null when the request is dropped.
TChannel startbanksound(int slot, float x) {
    if (slot < 1 || slot >= SOUNDSLOTS) return nullptr;
    if (paused != -1 || !sounds[slot] || soundvolume <= 10 || soundplayed[slot] != 0) return nullptr;
    TChannel ch = play_sound(sounds[slot], nullptr);
    set_channel_volume(ch, (float)soundvolume * 0.0028571f);
    set_channel_pan(ch, (x - (float)centerx) * 0.0017f * 0.5f);
    soundplayed[slot] = 1;
    return ch;
}

}  // namespace

void closesound() {
    // The device's thread mixes the channel list: it stops before anything it reads is freed.
    mixer_close_device();
    mixer_reset();
    for (TSound& s : sounds) s = nullptr;
    musicsound = nullptr;
    musicchannel = ambientchannel = bgchannel = nullptr;
}

void initsound() {
    mixer_open_device();
    musicchannel = alloc_channel();
    sound_ok = load_sound("data\\sound\\click.ogg", 1) ? 1 : 0;
    for (int i = 1; i < SOUNDSLOTS; ++i) soundplayed[i] = 0;
    if (sound_ok != 1) return;
    // Decoded a slice per frame during the first screens (see loadpendingmedia), or when first played.
    set_deferred_sound_loading(1);
    for (const BankEntry& e : bank) sounds[e.slot] = load_sound(std::string("data\\sound\\") + e.file, e.slot == 71);
    set_deferred_sound_loading(0);
}

void playsound(int slot, float x) { startbanksound(slot, x); }

void playsound_ambient(int slot, float x) {
    if (TChannel ch = startbanksound(slot, x)) ambientchannel = ch;
}

void playsound_bg(int slot, float x) {
    if (TChannel ch = startbanksound(slot, x)) bgchannel = ch;
}

void stop_ambient() {
    if (ambientchannel) stop_channel(ambientchannel);
}

void stop_bg() {
    if (bgchannel) stop_channel(bgchannel);
}

void playmusic(const std::string& literal, int flags) {
    timing_step("before the music");
    stopmusic();
    musicsound = stream_sound("data\\" + literal, flags);
    musicchannel = cue_sound(musicsound, nullptr);
    set_channel_volume(musicchannel, (float)musicvolnow * 0.0028571f);
    timing_step("music started");
}

void stopmusic() {
    if (musicchannel) stop_channel(musicchannel);
}

void updatemusic() {
    mixer_silent_step();
    if (curscreen == screen_intro) return;
    if (musicvolnow < musicvolume) musicvolnow += 5;
    if (musicvolnow > musicvolume) musicvolnow -= 5;
    if (musicvolume < 10) musicvolnow = 0;
    float gain = (float)musicvolnow * 0.001845f * (float)fadelevel * 0.00390625f;
    const bool menumap = (curscreen == screen_menu && (nextscreen == screen_map || prevscreen == screen_map)) ||
                         (curscreen == screen_map && (nextscreen == screen_menu || prevscreen == screen_menu));
    if (menumap && !(curscreen == screen_map && nextscreen == screen_story)) gain = (float)musicvolnow * 0.001845f;
    for (int i = 1; i < SOUNDSLOTS; ++i) soundplayed[i] = 0;
    set_channel_volume(musicchannel, gain);
    if (paused == -1 && !channel_playing(musicchannel)) resume_channel(musicchannel);
    if (paused == -1 && curscreen == screen_menu && ambientchannel && !channel_playing(ambientchannel))
        resume_channel(ambientchannel);
}
