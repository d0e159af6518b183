// Reading WAV files: RIFF/WAVE with integer PCM of 8, 16, 24 or 32 bits or 32-bit float, any channel count
// from 1 to 8, brought to interleaved 16-bit samples at the file's own rate.
#pragma once
#include <cstdint>
#include <string>
#include <vector>

struct wavsound {
    int channels = 0;
    int rate = 0;
    std::vector<int16_t> samples;  // interleaved, channels per frame
};

// The most sample data a sound may hold (about six minutes of stereo at 44.1 kHz in 16 bits).
enum { WAV_MAX_DATA = 64 << 20 };

// Decodes the bytes of a WAV file. On failure returns false and says why in `error` (when given).
bool decode_wav_bytes(const std::string& bytes, wavsound* out, std::string* error);
// A 16-bit PCM WAV file of the given samples (used by the tests and the sound generators).
std::string encode_wav(const wavsound& sound);
