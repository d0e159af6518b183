#include "platform/mixer.h"

#include <SDL.h>
#include <dlfcn.h>
#include <vorbis/vorbisfile.h>

#include <algorithm>
#include <cstdio>
#include <cstring>

#include "platform/paths.h"
#include "platform/readfile.h"
#include "platform/system.h"
#include "platform/wavfile.h"

struct SoundData {
    std::vector<int16_t> samples;  // interleaved stereo at MIXRATE
    bool loop = false;
    std::string stream;            // a streamed sound: the file, decoded while it plays (samples stay empty)
    std::string deferred;          // loaded while loading was deferred: the file, decoded when first needed
    bool ogg = false;
};

namespace {
void resolve(SoundData& s);

// The decoder of one playing instance of a streamed sound.
struct Stream {
    OggVorbis_File vf;
    int channels = 2;
    std::vector<int16_t> buf;  // decoded stereo frames not yet mixed
    size_t at = 0;             // next frame in buf
    ~Stream() { ov_clear(&vf); }
};

std::unique_ptr<Stream> open_stream(const std::string& path) {
    auto s = std::make_unique<Stream>();
    if (ov_fopen(path.c_str(), &s->vf) != 0) {
        s.release();  // ov_fopen has already cleaned up after itself
        return nullptr;
    }
    vorbis_info* info = ov_info(&s->vf, -1);
    if (!info || info->rate != MIXRATE || info->channels < 1 || info->channels > 2) return nullptr;
    s->channels = info->channels;
    return s;
}
}  // namespace

struct ChannelData {
    TSound sound;        // null when idle or ended
    size_t pos = 0;      // next frame to play
    std::unique_ptr<Stream> stream;
    float gain = 1, pan = 0;
    bool paused = false;
    bool inmixer = false;
};

namespace {

SDL_AudioDeviceID device = 0;
std::vector<TChannel> active;  // channels in the mixer, oldest first
std::vector<float> mixbuf;

// Holds the device's lock while the game changes what the callback reads.
struct MixLock {
    MixLock() {
        if (device) SDL_LockAudioDevice(device);
    }
    ~MixLock() {
        if (device) SDL_UnlockAudioDevice(device);
    }
};

// Turns interleaved 16-bit PCM of any channel count and rate into stereo at MIXRATE: mono is doubled, more
// channels keep their first two, and the rate is changed by linear interpolation.
bool to_mix_format(const int16_t* pcm, size_t frames, int channels, int rate, std::vector<int16_t>& out) {
    if (channels < 1 || channels > 8 || rate < 1000 || rate > 384000) return false;
    auto sample = [&](size_t f, int side) -> float {
        return (float)pcm[f * (size_t)channels + (channels > 1 ? (size_t)side : 0)];
    };
    out.clear();
    if (frames == 0) return true;
    const size_t n = (size_t)((double)frames * (double)MIXRATE / rate);
    out.resize(n * 2);
    const double step = (double)rate / (double)MIXRATE;
    for (size_t i = 0; i < n; ++i) {
        double at = (double)i * step;
        size_t f = (size_t)at;
        float t = (float)(at - (double)f);
        size_t g = std::min(f + 1, frames - 1);
        f = std::min(f, frames - 1);
        for (int side = 0; side < 2; ++side)
            out[i * 2 + (size_t)side] = (int16_t)(sample(f, side) * (1 - t) + sample(g, side) * t);
    }
    return true;
}

// Any SDL sample format at its own rate and channel count, first brought to 16-bit.
bool convert(const void* data, size_t bytes, SDL_AudioFormat format, int channels, int rate,
             std::vector<int16_t>& out) {
    if (channels < 1 || channels > 8 || rate <= 0) return false;
    if (format == AUDIO_S16SYS)
        return to_mix_format((const int16_t*)data, bytes / 2 / (size_t)channels, channels, rate, out);
    SDL_AudioCVT cvt;
    if (SDL_BuildAudioCVT(&cvt, format, (Uint8)channels, rate, AUDIO_S16SYS, (Uint8)channels, rate) < 0) return false;
    std::vector<Uint8> buf(bytes * (size_t)std::max(1, cvt.len_mult));
    std::memcpy(buf.data(), data, bytes);
    cvt.buf = buf.data();
    cvt.len = (int)bytes;
    if (cvt.needed && SDL_ConvertAudio(&cvt) != 0) return false;
    size_t len = cvt.needed ? (size_t)cvt.len_cvt : bytes;
    return to_mix_format((const int16_t*)buf.data(), len / 2 / (size_t)channels, channels, rate, out);
}

bool decode_ogg(const std::string& path, std::vector<int16_t>& out) {
    OggVorbis_File vf;
    if (ov_fopen(path.c_str(), &vf) != 0) return false;
    vorbis_info* info = ov_info(&vf, -1);
    bool ok = info != nullptr;
    std::vector<char> pcm;
    if (ok) {
        char buf[16384];
        int section = 0;
        for (;;) {
            long n = ov_read(&vf, buf, sizeof buf, SDL_BYTEORDER == SDL_BIG_ENDIAN ? 1 : 0, 2, 1, &section);
            if (n == 0) break;
            if (n < 0) {
                if (n == OV_HOLE) continue;  // a gap in the stream: keep what follows
                ok = false;
                break;
            }
            pcm.insert(pcm.end(), buf, buf + n);
        }
    }
    if (ok) ok = convert(pcm.data(), pcm.size(), AUDIO_S16SYS, info->channels, (int)info->rate, out);
    ov_clear(&vf);
    return ok;
}

bool decode_wav(const std::string& path, std::vector<int16_t>& out) {
    std::string bytes;
    if (read_file(path, bytes, (size_t)WAV_MAX_DATA + (1 << 20)) != READ_OK) return false;
    wavsound w;
    if (!decode_wav_bytes(bytes, &w, nullptr)) return false;
    return to_mix_format(w.samples.data(), w.samples.size() / (size_t)w.channels, w.channels, w.rate, out);
}

void detach(ChannelData& c) {
    c.inmixer = false;
    c.sound.reset();
    c.stream.reset();
    c.pos = 0;
}

// Decodes the next piece of a stream into its buffer (about 4096 frames); false at the end of a sound that
// plays once, or on a broken file. A looping stream starts over from its beginning.
bool refill(Stream& st, bool loop) {
    char raw[16384];
    st.buf.clear();
    st.at = 0;
    for (int attempt = 0; attempt < 4; ++attempt) {
        int section = 0;
        long n = ov_read(&st.vf, raw, sizeof raw, SDL_BYTEORDER == SDL_BIG_ENDIAN ? 1 : 0, 2, 1, &section);
        if (n == OV_HOLE) continue;
        if (n < 0) return false;
        if (n == 0) {
            if (!loop || ov_pcm_seek(&st.vf, 0) != 0) return false;
            continue;
        }
        const int16_t* pcm = (const int16_t*)raw;
        const size_t frames = (size_t)n / 2 / (size_t)st.channels;
        st.buf.resize(frames * 2);
        for (size_t f = 0; f < frames; ++f) {
            st.buf[f * 2] = pcm[f * (size_t)st.channels];
            st.buf[f * 2 + 1] = pcm[f * (size_t)st.channels + (size_t)(st.channels - 1)];
        }
        return true;
    }
    return false;
}

void remove_channel(const TChannel& ch) {
    auto it = std::find(active.begin(), active.end(), ch);
    if (it != active.end()) active.erase(it);
    detach(*ch);
}

// Makes room for one more channel: the oldest sound that plays once gives way.
bool make_room() {
    if ((int)active.size() < MIXCHANNELS) return true;
    for (auto it = active.begin(); it != active.end(); ++it) {
        if ((*it)->sound && !(*it)->sound->loop) {
            detach(**it);
            active.erase(it);
            return true;
        }
    }
    return false;
}

TChannel start(const TSound& sound, const TChannel& channel, bool paused) {
    TChannel ch = channel ? channel : std::make_shared<ChannelData>();
    if (sound) resolve(*sound);
    if (!sound || (sound->samples.empty() && sound->stream.empty())) return ch;
    std::unique_ptr<Stream> stream;
    if (!sound->stream.empty() && !(stream = open_stream(sound->stream))) return ch;
    MixLock lock;
    if (!ch->inmixer) {
        if (!make_room()) return ch;
        active.push_back(ch);
        ch->inmixer = true;
    }
    ch->sound = sound;
    ch->stream = std::move(stream);
    ch->pos = 0;
    ch->paused = paused;
    return ch;
}

void mix_core(int16_t* out, int frames) {
    mixbuf.assign((size_t)frames * 2, 0.0f);
    for (size_t i = 0; i < active.size();) {
        ChannelData& c = *active[i];
        if (c.paused || !c.sound) {
            ++i;
            continue;
        }
        const float left = c.gain * std::min(1.0f, 1.0f - c.pan), right = c.gain * std::min(1.0f, 1.0f + c.pan);
        bool ended = false;
        if (c.stream) {
            Stream& st = *c.stream;
            for (int f = 0; f < frames; ++f) {
                if (st.at * 2 >= st.buf.size() && !refill(st, c.sound->loop)) {
                    ended = true;
                    break;
                }
                mixbuf[(size_t)f * 2] += (float)st.buf[st.at * 2] * left;
                mixbuf[(size_t)f * 2 + 1] += (float)st.buf[st.at * 2 + 1] * right;
                ++st.at;
            }
            if (ended) {
                detach(c);
                active.erase(active.begin() + (long)i);
            } else {
                ++i;
            }
            continue;
        }
        const std::vector<int16_t>& s = c.sound->samples;
        const size_t total = s.size() / 2;
        for (int f = 0; f < frames; ++f) {
            if (c.pos >= total) {
                if (!c.sound->loop) {
                    ended = true;
                    break;
                }
                c.pos = 0;
            }
            mixbuf[(size_t)f * 2] += (float)s[c.pos * 2] * left;
            mixbuf[(size_t)f * 2 + 1] += (float)s[c.pos * 2 + 1] * right;
            ++c.pos;
        }
        if (!ended && !c.sound->loop && c.pos >= total) ended = true;
        if (ended) {
            detach(c);
            active.erase(active.begin() + (long)i);
        } else {
            ++i;
        }
    }
    for (size_t i = 0; i < mixbuf.size(); ++i) out[i] = (int16_t)std::clamp(mixbuf[i], -32768.0f, 32767.0f);
}

void SDLCALL callback(void*, Uint8* stream, int len) { mix_core((int16_t*)stream, len / 4); }

}  // namespace

namespace {
int defer_sounds = 0;
std::vector<std::weak_ptr<SoundData>> deferred_sounds;  // in the order they were loaded
size_t deferred_next = 0;

bool decode_sound(const std::string& real, bool ogg, std::vector<int16_t>& out) {
    return (ogg ? decode_ogg(real, out) : decode_wav(real, out)) && !out.empty();
}

// Decodes a deferred sound; one that fails now stays silent (it plays nothing).
void resolve(SoundData& s) {
    if (s.deferred.empty()) return;
    const std::string real = std::move(s.deferred);
    s.deferred.clear();
    if (!decode_sound(real, s.ogg, s.samples)) s.samples.clear();
}

}  // namespace

TSound load_sound(const std::string& path, int flags) {
    std::string real = resolve_path(path);
    FILE* f = std::fopen(real.c_str(), "rb");
    if (!f) return nullptr;
    char magic[4] = {};
    size_t n = std::fread(magic, 1, 4, f);
    std::fclose(f);
    if (n < 4) return nullptr;
    auto sound = std::make_shared<SoundData>();
    sound->loop = flags == 1;
    sound->ogg = std::memcmp(magic, "OggS", 4) == 0;
    if (!sound->ogg && std::memcmp(magic, "RIFF", 4) != 0) return nullptr;
    if (defer_sounds) {
        sound->deferred = real;
        deferred_sounds.push_back(sound);
        return sound;
    }
    if (!decode_sound(real, sound->ogg, sound->samples)) return nullptr;
    return sound;
}

void set_deferred_sound_loading(int on) { defer_sounds = on ? 1 : 0; }

int load_deferred_sounds(double budget_ms) {
    const double start = thread_cpu_ms();
    while (deferred_next < deferred_sounds.size() && thread_cpu_ms() - start < budget_ms) {
        if (TSound s = deferred_sounds[deferred_next++].lock()) resolve(*s);
    }
    if (deferred_next >= deferred_sounds.size()) {
        deferred_sounds.clear();
        deferred_next = 0;
    }
    return (int)(deferred_sounds.size() - deferred_next);
}

TSound stream_sound(const std::string& path, int flags) {
    std::string real = resolve_path(path);
    if (!open_stream(real)) return load_sound(path, flags);  // WAV, or a rate the mixer does not play directly
    auto sound = std::make_shared<SoundData>();
    sound->loop = flags == 1;
    sound->stream = real;
    return sound;
}

TSound sound_from_samples(const std::vector<int16_t>& stereo, int flags) {
    auto sound = std::make_shared<SoundData>();
    sound->samples = stereo;
    sound->samples.resize(stereo.size() / 2 * 2);
    sound->loop = flags == 1;
    return sound;
}

int sound_frames(const TSound& sound) {
    if (!sound) return 0;
    resolve(*sound);
    return (int)(sound->samples.size() / 2);
}

TChannel alloc_channel() { return std::make_shared<ChannelData>(); }

TChannel play_sound(const TSound& sound, const TChannel& channel) { return start(sound, channel, false); }

TChannel cue_sound(const TSound& sound, const TChannel& channel) { return start(sound, channel, true); }

void stop_channel(const TChannel& channel) {
    if (!channel) return;
    MixLock lock;
    if (channel->inmixer) remove_channel(channel);
}

int channel_playing(const TChannel& channel) {
    if (!channel) return 0;
    MixLock lock;
    return channel->inmixer && !channel->paused ? 1 : 0;
}

void pause_channel(const TChannel& channel) {
    if (!channel) return;
    MixLock lock;
    if (channel->inmixer) channel->paused = true;
}

void resume_channel(const TChannel& channel) {
    if (!channel) return;
    MixLock lock;
    if (channel->inmixer) channel->paused = false;
}

void set_channel_volume(const TChannel& channel, float gain) {
    if (!channel) return;
    MixLock lock;
    channel->gain = std::clamp(gain, 0.0f, 1.0f);  // louder than the sound itself is limited, not wrapped
    if (!(channel->gain >= 0)) channel->gain = 0;
}

float channel_volume(const TChannel& channel) { return channel ? channel->gain : 0; }

void set_channel_pan(const TChannel& channel, float pan) {
    if (!channel) return;
    MixLock lock;
    channel->pan = std::clamp(pan, -1.0f, 1.0f);
    if (!(channel->pan >= -1)) channel->pan = 0;
}

float channel_pan(const TChannel& channel) { return channel ? channel->pan : 0; }

namespace {
void silent(const char*, int, const char*, int, const char*, ...) {}

// The ALSA library prints its own errors on standard error: eight "ALSA lib ..." lines on a machine without a
// sound card, before the game's own "no sound" line says the same in words. SDL loads the library by name when it
// tries that driver; loading it first (and keeping it) lets the game hand it a handler that prints nothing.
void quietsoundlibrary() {
    static bool done = false;
    if (done) return;
    done = true;
    void* lib = dlopen("libasound.so.2", RTLD_NOW | RTLD_LOCAL);
    if (!lib) return;  // no ALSA here: nothing to quieten
    using Handler = void (*)(const char*, int, const char*, int, const char*, ...);
    auto sethandler = (int (*)(Handler))dlsym(lib, "snd_lib_error_set_handler");
    if (sethandler) sethandler(silent);
}
}  // namespace

int mixer_open_device() {
    if (device) return 1;
    quietsoundlibrary();
    if (!SDL_WasInit(SDL_INIT_AUDIO) && SDL_InitSubSystem(SDL_INIT_AUDIO) != 0) {
        std::printf("no sound: the audio system could not start (%s); the game plays silently\n", SDL_GetError());
        return 0;
    }
    SDL_AudioSpec want{}, have{};
    want.freq = MIXRATE;
    want.format = AUDIO_S16SYS;
    want.channels = 2;
    want.samples = 1024;
    want.callback = callback;
    device = SDL_OpenAudioDevice(nullptr, 0, &want, &have, 0);
    if (!device) {
        std::printf("no sound: no audio device could be opened (%s); the game plays silently\n", SDL_GetError());
        return 0;
    }
    SDL_PauseAudioDevice(device, 0);
    return 1;
}

void mixer_close_device() {
    if (!device) return;
    SDL_CloseAudioDevice(device);
    device = 0;
}

int mixer_has_device() { return device ? 1 : 0; }

void mix_audio(int16_t* out, int frames) {
    if (!out || frames <= 0) return;
    MixLock lock;
    mix_core(out, frames);
}

void mixer_silent_step() {
    if (device) return;
    static std::vector<int16_t> sink((size_t)MIXRATE / 50 * 2);
    mix_core(sink.data(), MIXRATE / 50);
}

int mixer_channel_count() {
    MixLock lock;
    return (int)active.size();
}

void mixer_reset() {
    MixLock lock;
    for (TChannel& ch : active) detach(*ch);
    active.clear();
}
