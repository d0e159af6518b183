#include "platform/wavfile.h"

#include <algorithm>
#include <cmath>
#include <cstring>

namespace {
uint32_t le32(const unsigned char* b) { return (uint32_t)b[0] | (uint32_t)b[1] << 8 | (uint32_t)b[2] << 16 | (uint32_t)b[3] << 24; }
uint16_t le16(const unsigned char* b) { return (uint16_t)(b[0] | b[1] << 8); }

bool fail(std::string* error, const char* why) {
    if (error) *error = why;
    return false;
}

void put32(std::string& s, uint32_t v) {
    for (int i = 0; i < 4; ++i) s.push_back((char)(v >> (8 * i) & 0xff));
}
void put16(std::string& s, uint16_t v) {
    s.push_back((char)(v & 0xff));
    s.push_back((char)(v >> 8));
}
}  // namespace

bool decode_wav_bytes(const std::string& bytes, wavsound* out, std::string* error) {
    const unsigned char* b = (const unsigned char*)bytes.data();
    const size_t size = bytes.size();
    if (size < 12 || std::memcmp(b, "RIFF", 4) != 0 || std::memcmp(b + 8, "WAVE", 4) != 0)
        return fail(error, "not a RIFF WAVE file");
    int format = -1, channels = 0, bits = 0;
    uint32_t rate = 0;
    const unsigned char* data = nullptr;
    size_t datasize = 0;
    size_t at = 12;
    while (at + 8 <= size) {
        const unsigned char* chunk = b + at;
        const size_t length = le32(chunk + 4);
        const size_t body = at + 8;
        const size_t avail = std::min(length, size - body);  // a cut file keeps what it holds
        if (std::memcmp(chunk, "fmt ", 4) == 0) {
            if (avail < 16) return fail(error, "the format chunk is too short");
            format = le16(b + body);
            channels = le16(b + body + 2);
            rate = le32(b + body + 4);
            bits = le16(b + body + 14);
            if (format == 0xFFFE) {  // extensible: the real format is the first two bytes of the sub-format
                if (avail < 26) return fail(error, "the extensible format chunk is too short");
                format = le16(b + body + 24);
            }
        } else if (std::memcmp(chunk, "data", 4) == 0 && !data) {
            data = b + body;
            datasize = avail;
        }
        if (length > size - body) break;
        at = body + length + (length & 1);
    }
    if (format < 0) return fail(error, "no format chunk");
    if (!data) return fail(error, "no data chunk");
    if (channels < 1 || channels > 8) return fail(error, "unsupported channel count");
    if (rate < 1000 || rate > 384000) return fail(error, "unsupported sample rate");
    const bool pcm = format == 1 && (bits == 8 || bits == 16 || bits == 24 || bits == 32);
    const bool flt = format == 3 && bits == 32;
    if (!pcm && !flt) return fail(error, "unsupported sample format");
    if (datasize > (size_t)WAV_MAX_DATA) return fail(error, "too much sample data");
    const size_t width = (size_t)bits / 8;
    const size_t frames = datasize / (width * (size_t)channels);
    wavsound s;
    s.channels = channels;
    s.rate = (int)rate;
    s.samples.resize(frames * (size_t)channels);
    for (size_t i = 0; i < s.samples.size(); ++i) {
        const unsigned char* p = data + i * width;
        int v;
        if (flt) {
            float f;
            uint32_t u = le32(p);
            std::memcpy(&f, &u, 4);
            if (!(f == f)) f = 0;  // not a number
            v = (int)std::lround(std::clamp(f, -1.0f, 1.0f) * 32767.0f);
        } else if (bits == 8) {
            v = ((int)p[0] - 128) << 8;
        } else if (bits == 16) {
            v = (int16_t)le16(p);
        } else if (bits == 24) {
            v = (int16_t)(p[1] | p[2] << 8);
        } else {
            v = (int16_t)(p[2] | p[3] << 8);
        }
        s.samples[i] = (int16_t)v;
    }
    *out = std::move(s);
    return true;
}

std::string encode_wav(const wavsound& sound) {
    const uint32_t datasize = (uint32_t)(sound.samples.size() * 2);
    const int channels = std::max(1, sound.channels);
    std::string s = "RIFF";
    put32(s, 36 + datasize);
    s += "WAVEfmt ";
    put32(s, 16);
    put16(s, 1);
    put16(s, (uint16_t)channels);
    put32(s, (uint32_t)sound.rate);
    put32(s, (uint32_t)(sound.rate * channels * 2));
    put16(s, (uint16_t)(channels * 2));
    put16(s, 16);
    s += "data";
    put32(s, datasize);
    for (int16_t v : sound.samples) put16(s, (uint16_t)v);
    return s;
}
