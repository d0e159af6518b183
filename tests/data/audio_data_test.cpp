// The generated sound bank and music: every file decodes, fits its moment in length, sits at the bank's loudness,
// never clips, stays clear of shrill highs, and the loops join without a jump or a gap.
#include <SDL.h>
#include <gtest/gtest.h>
#include <vorbis/vorbisfile.h>

#include <algorithm>
#include <cmath>
#include <complex>
#include <string>
#include <vector>

#include "support/headless.h"

namespace {

struct Pcm {
    int channels = 0;
    long rate = 0;
    std::vector<std::vector<float>> ch;
    double seconds() const { return ch.empty() ? 0 : (double)ch[0].size() / rate; }
};

bool decode_ogg(const std::string& path, Pcm& out) {
    OggVorbis_File vf;
    if (ov_fopen(path.c_str(), &vf) != 0) return false;
    vorbis_info* vi = ov_info(&vf, -1);
    out.channels = vi->channels;
    out.rate = vi->rate;
    out.ch.assign(out.channels, {});
    for (;;) {
        float** pcm;
        int section;
        long n = ov_read_float(&vf, &pcm, 4096, &section);
        if (n < 0) {
            ov_clear(&vf);
            return false;
        }
        if (n == 0) break;
        for (int c = 0; c < out.channels; ++c) out.ch[c].insert(out.ch[c].end(), pcm[c], pcm[c] + n);
    }
    ov_clear(&vf);
    return true;
}

double db(double v) { return 20.0 * std::log10(std::max(v, 1e-9)); }

double peak_db(const Pcm& p) {
    double m = 0;
    for (auto& c : p.ch)
        for (float v : c) m = std::max(m, (double)std::abs(v));
    return db(m);
}

double rms(const std::vector<float>& x, size_t from, size_t to) {
    to = std::min(to, x.size());
    double s = 0;
    for (size_t i = from; i < to; ++i) s += (double)x[i] * x[i];
    return to > from ? std::sqrt(s / (double)(to - from)) : 0;
}

double overall_rms_db(const Pcm& p) {
    double s = 0;
    for (auto& c : p.ch) s += std::pow(rms(c, 0, c.size()), 2);
    return db(std::sqrt(s / p.ch.size()));
}

// Loudness of a short effect: the RMS of its loudest 50 ms (a 50 ms window even when the sound is shorter).
double loudest_50ms_db(const std::vector<float>& x, long rate) {
    size_t win = (size_t)rate / 20;
    double best = 0;
    for (size_t at = 0; at < x.size(); at += win / 4) {
        double s = 0;
        for (size_t i = at; i < std::min(x.size(), at + win); ++i) s += (double)x[i] * x[i];
        best = std::max(best, std::sqrt(s / (double)win));
    }
    return db(best);
}

// Share of the energy above `hz`, from Hann-windowed 2048-point transforms.
double energy_share_above(const std::vector<float>& x, long rate, double hz) {
    const size_t n = 2048;
    double hi = 0, all = 0;
    std::vector<std::complex<double>> a(n);
    for (size_t at = 0; at + n <= std::max(x.size(), n); at += n / 2) {
        for (size_t i = 0; i < n; ++i) {
            double w = 0.5 - 0.5 * std::cos(2 * M_PI * i / n);
            a[i] = at + i < x.size() ? x[at + i] * w : 0.0;
        }
        for (size_t i = 1, j = 0; i < n; ++i) {  // iterative radix-2 transform
            size_t bit = n >> 1;
            for (; j & bit; bit >>= 1) j ^= bit;
            j ^= bit;
            if (i < j) std::swap(a[i], a[j]);
        }
        for (size_t len = 2; len <= n; len <<= 1) {
            std::complex<double> wl = std::polar(1.0, -2 * M_PI / len);
            for (size_t i = 0; i < n; i += len) {
                std::complex<double> w = 1;
                for (size_t k = 0; k < len / 2; ++k, w *= wl) {
                    auto u = a[i + k], v = a[i + k + len / 2] * w;
                    a[i + k] = u + v;
                    a[i + k + len / 2] = u - v;
                }
            }
        }
        for (size_t k = 1; k < n / 2; ++k) {
            double e = std::norm(a[k]);
            all += e;
            if ((double)k * rate / n > hz) hi += e;
        }
    }
    return all > 0 ? hi / all : 0;
}

// A loop joins cleanly when the step from its last sample back to its first is no bigger than the steps the
// music itself takes around the joint, and neither end falls silent.
void expect_seamless(const Pcm& p, const std::string& name) {
    for (const auto& c : p.ch) {
        size_t n = c.size(), w = 4096;
        ASSERT_GT(n, 4 * w) << name;
        double local = 0;
        for (size_t i = 0; i + 1 < w; ++i) {
            local = std::max(local, (double)std::abs(c[i + 1] - c[i]));
            local = std::max(local, (double)std::abs(c[n - w + i + 1] - c[n - w + i]));
        }
        double jump = std::abs(c[0] - c[n - 1]);
        EXPECT_LE(jump, local * 1.5 + 1e-4) << name << ": the loop point jumps";
        size_t quarter = (size_t)p.rate / 4, second = std::min((size_t)p.rate, n / 2);
        EXPECT_GT(db(rms(c, 0, quarter)), -45.0) << name << ": silent gap at the start of the loop";
        EXPECT_GT(db(rms(c, n - quarter, n)), -45.0) << name << ": silent gap at the end of the loop";
        EXPECT_NEAR(db(rms(c, 0, second)), db(rms(c, n - second, n)), 10.0) << name << ": the level drops across the loop point";
    }
}

std::string data_dir() { return build_dir() + "/data/"; }

enum Kind { Tick, Chime, Thunder, Loop };
struct BankFile {
    const char* name;
    Kind kind;
};

const BankFile kBank[] = {
    {"stonecrack", Tick},   {"turnup", Tick},          {"turndown", Tick},       {"shootkaro", Tick},
    {"hint", Chime},        {"failure", Chime},        {"click", Tick},          {"liane", Tick},
    {"flash", Chime},       {"match", Chime},          {"puready", Chime},       {"mapstar", Chime},
    {"contact", Tick},      {"explosion", Chime},      {"logoappear", Chime},    {"lose", Chime},
    {"animaladd", Chime},   {"animal1", Chime},        {"animal2", Chime},       {"animal3", Chime},
    {"levelselection", Chime}, {"buildsuperstone", Chime}, {"stone2", Tick},     {"lettercontact", Tick},
    {"lightning", Thunder}, {"lightning2", Thunder},   {"moss2", Tick},          {"logotext", Chime},
    {"startimeout", Chime}, {"mud1", Chime},           {"mud2", Tick},           {"mud3", Tick},
    {"mud4", Tick},         {"newrank", Chime},        {"select", Chime},        {"superstoneexplosion", Chime},
    {"winstar1", Chime},    {"winstar2", Chime},       {"winstar3", Chime},      {"winstar4", Chime},
    {"winstar5", Chime},    {"winstrike", Chime},      {"mapliane", Tick},       {"granite1", Tick},
    {"granite2", Tick},     {"flamecrackle", Loop},    {"logoanimal", Chime},
};

const char* kLoops[] = {"title", "game1", "game2", "game3", "rain", "story"};

}  // namespace

TEST(SoundBank, EveryEffectDecodesFitsItsMomentAndMatchesTheBankLoudness) {
    for (const BankFile& b : kBank) {
        SCOPED_TRACE(b.name);
        Pcm p;
        ASSERT_TRUE(decode_ogg(data_dir() + "sound/" + b.name + ".ogg", p));
        EXPECT_EQ(p.rate, 44100);
        EXPECT_EQ(p.channels, 1);  // the game pans effects itself
        double len = p.seconds();
        switch (b.kind) {
            case Tick: EXPECT_GT(len, 0.05); EXPECT_LE(len, 0.7); break;
            case Chime: EXPECT_GT(len, 0.2); EXPECT_LE(len, 3.2); break;
            case Thunder: EXPECT_GT(len, 2.0); EXPECT_LE(len, 5.0); break;
            case Loop: EXPECT_GE(len, 2.0); EXPECT_LE(len, 10.0); break;
        }
        EXPECT_LE(peak_db(p), -0.5) << "clips or nearly so";
        if (b.kind == Loop) {
            EXPECT_NEAR(overall_rms_db(p), -23.0, 1.5);
        } else {
            // -14 dB in the loudest 50 ms, trimmed by at most a few dB per effect.
            double l = loudest_50ms_db(p.ch[0], p.rate);
            EXPECT_GE(l, -17.5);
            EXPECT_LE(l, -12.5);
        }
        EXPECT_LT(energy_share_above(p.ch[0], p.rate, 9000), 0.02) << "shrill";
        if (b.kind != Loop) {
            // One-shots start at once and end in silence, so stopping or retriggering them never clicks.
            EXPECT_LT(db(rms(p.ch[0], p.ch[0].size() - 441, p.ch[0].size())), -40.0);
            EXPECT_LT(std::abs(p.ch[0][0]), 0.05);
        } else {
            expect_seamless(p, b.name);
        }
    }
}

TEST(Music, LoopsLastOneToTwoMinutesAtOneLoudnessAndJoinSeamlessly) {
    for (const char* name : kLoops) {
        SCOPED_TRACE(name);
        Pcm p;
        ASSERT_TRUE(decode_ogg(data_dir() + "music/" + name + ".ogg", p));
        EXPECT_EQ(p.rate, 44100);
        EXPECT_EQ(p.channels, 2);
        EXPECT_GE(p.seconds(), 60.0);
        EXPECT_LE(p.seconds(), 120.0);
        EXPECT_NEAR(overall_rms_db(p), -20.0, 1.0);
        EXPECT_LE(peak_db(p), -0.5);
        std::vector<float> opening(p.ch[0].begin(), p.ch[0].begin() + 30 * p.rate);
        EXPECT_LT(energy_share_above(opening, p.rate, 9000), 0.02);
        expect_seamless(p, name);
    }
}

TEST(Music, WinFanfareIsAShortCleanSixteenBitWave) {
    std::string path = data_dir() + "music/win.wav";
    SDL_AudioSpec fmt;
    Uint8* buf = nullptr;
    Uint32 bytes = 0;
    ASSERT_NE(SDL_LoadWAV(path.c_str(), &fmt, &buf, &bytes), nullptr) << SDL_GetError();
    EXPECT_EQ(fmt.freq, 44100);
    EXPECT_EQ(fmt.format, AUDIO_S16LSB);
    ASSERT_EQ(fmt.channels, 2);
    const Sint16* s = reinterpret_cast<const Sint16*>(buf);
    size_t frames = bytes / 4;
    Pcm p;
    p.rate = fmt.freq;
    p.channels = 2;
    p.ch.assign(2, std::vector<float>(frames));
    for (size_t i = 0; i < frames; ++i)
        for (int c = 0; c < 2; ++c) p.ch[c][i] = s[i * 2 + c] / 32768.0f;
    SDL_FreeWAV(buf);
    EXPECT_GE(p.seconds(), 2.0);
    EXPECT_LE(p.seconds(), 10.0);
    EXPECT_LE(peak_db(p), -0.5);
    // As loud as the music around it, and it rings out to silence instead of stopping dead.
    double loud = std::max(loudest_50ms_db(p.ch[0], p.rate), loudest_50ms_db(p.ch[1], p.rate));
    EXPECT_GT(loud, -18.0);
    EXPECT_LT(loud, -4.0);
    for (auto& c : p.ch) EXPECT_LT(db(rms(c, c.size() - 441, c.size())), -50.0);
}
