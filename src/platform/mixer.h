// The audio layer: sounds decoded once into memory, played on channels with volume, pan and pause, mixed by a
// small mixer of our own into SDL's audio device. Without a device the same mixer runs into a silent output, so
// the game behaves the same with or without sound.
//
// A channel handle belongs to one playing instance: once its sound has ended (or was stopped) the handle controls
// nothing any more; resuming it does not restart anything.
#pragma once
#include <cstdint>
#include <memory>
#include <string>
#include <vector>

struct SoundData;
struct ChannelData;
using TSound = std::shared_ptr<SoundData>;
using TChannel = std::shared_ptr<ChannelData>;

enum { MIXRATE = 44100, MIXCHANNELS = 64 };

// Decodes an OGG Vorbis or WAV file (told apart by their first bytes) into a sound; flags 1 = loop.
// Null when the file is missing or cannot be decoded.
TSound load_sound(const std::string& path, int flags);
// While on, load_sound only checks that the file is there and of a known kind; it is decoded when first played
// (or measured), or earlier by load_deferred_sounds. A file that then fails to decode plays nothing.
void set_deferred_sound_loading(int on);
// Decodes deferred sounds, oldest first, until `budget_ms` of this thread's CPU time is spent; returns how many
// are left.
int load_deferred_sounds(double budget_ms);
// As load_sound, but an OGG Vorbis file at the mixing rate is decoded piece by piece while it plays (music),
// each playing instance with its own decoder. Other files are decoded whole.
TSound stream_sound(const std::string& path, int flags);
// A sound from interleaved stereo samples at MIXRATE (tests and generated sounds).
TSound sound_from_samples(const std::vector<int16_t>& stereo, int flags);
int sound_frames(const TSound& sound);

TChannel alloc_channel();
// Starts the sound on `channel` (or a new channel when null) and returns the channel.
TChannel play_sound(const TSound& sound, const TChannel& channel);
// As play_sound, but the channel waits paused at the start.
TChannel cue_sound(const TSound& sound, const TChannel& channel);
void stop_channel(const TChannel& channel);
// 1 while the channel plays and is not paused.
int channel_playing(const TChannel& channel);
void pause_channel(const TChannel& channel);
void resume_channel(const TChannel& channel);
// Linear gain, 1 = the sound's own level; limited to 0..1.
void set_channel_volume(const TChannel& channel, float gain);
float channel_volume(const TChannel& channel);
// -1 full left, 0 centre, 1 full right.
void set_channel_pan(const TChannel& channel, float pan);
float channel_pan(const TChannel& channel);

// Opens the audio device; returns 0 (and stays silent) when there is none.
int mixer_open_device();
void mixer_close_device();
int mixer_has_device();
// Mixes `frames` stereo frames of every playing channel into `out` (interleaved, limited to the 16-bit range)
// and advances them. The device callback runs this; tests call it directly without a device.
void mix_audio(int16_t* out, int frames);
// Without a device: lets one frame of the game loop's worth of sound pass in silence, so that sounds end on time.
void mixer_silent_step();
// Channels currently in the mixer (playing or paused).
int mixer_channel_count();
// Stops every channel.
void mixer_reset();
