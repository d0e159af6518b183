// Small signal toolkit of the sound generator: buffers, randomness, filters, envelopes and a light reverb.
#pragma once
#include <cmath>
#include <cstddef>
#include <cstdint>
#include <vector>

namespace snd {

constexpr int kRate = 44100;
constexpr double kPi = 3.14159265358979323846;

using Mono = std::vector<float>;

struct Stereo {
    Mono l, r;
    explicit Stereo(size_t n = 0) : l(n, 0.f), r(n, 0.f) {}
    size_t size() const { return l.size(); }
};

inline size_t secs(double s) { return (size_t)std::lround(s * kRate); }
inline double midi_hz(double note) { return 440.0 * std::pow(2.0, (note - 69.0) / 12.0); }
inline double db_gain(double db) { return std::pow(10.0, db / 20.0); }

// Deterministic generator (splitmix64): the same seed gives the same sound everywhere.
struct Rng {
    uint64_t s;
    explicit Rng(uint64_t seed) : s(seed * 0x9E3779B97F4A7C15ull + 0x2545F4914F6CDD1Dull) {}
    uint64_t next() {
        uint64_t z = (s += 0x9E3779B97F4A7C15ull);
        z = (z ^ (z >> 30)) * 0xBF58476D1CE4E5B9ull;
        z = (z ^ (z >> 27)) * 0x94D049BB133111EBull;
        return z ^ (z >> 31);
    }
    double real() { return (next() >> 11) * (1.0 / 9007199254740992.0); }  // [0, 1)
    double range(double a, double b) { return a + (b - a) * real(); }
    double bip() { return real() * 2.0 - 1.0; }  // [-1, 1)
};

// RBJ biquad. Process in place or sample by sample.
struct Biquad {
    double b0 = 1, b1 = 0, b2 = 0, a1 = 0, a2 = 0;
    double z1 = 0, z2 = 0;
    static Biquad lowpass(double hz, double q = 0.707);
    static Biquad highpass(double hz, double q = 0.707);
    static Biquad bandpass(double hz, double q);  // 0 dB peak gain
    static Biquad peak(double hz, double q, double db);
    float tick(double x) {
        double y = b0 * x + z1;
        z1 = b1 * x - a1 * y + z2;
        z2 = b2 * x - a2 * y;
        return (float)y;
    }
    void run(Mono& m) {
        for (float& v : m) v = tick(v);
    }
};

// One-pole smoother / lowpass.
struct OnePole {
    double a = 0, y = 0;
    explicit OnePole(double hz = 1000) { set(hz); }
    void set(double hz) { a = 1.0 - std::exp(-2.0 * kPi * hz / kRate); }
    float tick(double x) { return (float)(y += a * (x - y)); }
};

// A decaying sine started at a phase of zero: a mode of a struck body (a bar, a tine, a stone).
// Adds amp * exp(-t/tau) * sin(2 pi f t) from sample `at` for `len` samples, with an optional linear pitch glide
// to f * glide over the length.
void add_mode(Mono& out, size_t at, double hz, double amp, double tau, size_t len = 0, double glide = 1.0);

// Envelope shapes, t in seconds.
double adsr(double t, double a, double d, double s, double len, double r);

// Shapes the buffer with a short fade at both ends (removes clicks at the cut).
void fade_edges(Mono& m, double in_s, double out_s);
// Mixes src into dst at sample offset `at` with a gain; grows dst when needed.
void mix(Mono& dst, const Mono& src, size_t at, double gain = 1.0);
void mix_pan(Stereo& dst, const Mono& src, size_t at, double gain, double pan);
// Mixes modulo the length of dst: whatever runs past the end comes in again at the start (for loops).
void mix_wrap(Stereo& dst, const Mono& src, size_t at, double gain, double pan);

double peak(const Mono& m);
double rms(const Mono& m, size_t from = 0, size_t to = SIZE_MAX);
// Loudest RMS over any window of `win` samples (hop win/4).
double max_window_rms(const Mono& m, size_t win);

// Soft limiter: below `ceiling` * 0.7 the signal passes; above, it bends smoothly toward `ceiling`.
float soft_clip(float x, float ceiling);
// Scales so that the loudest 50 ms window reaches `target_db` RMS, then keeps every peak under `peak_db`.
void normalise_effect(Mono& m, double target_db, double peak_db);
// Scales a stereo track so its overall RMS reaches `target_db`, with peaks kept under `peak_db`.
void normalise_track(Stereo& s, double target_db, double peak_db);

// Light stereo room (parallel combs into series allpasses, after the well-known Schroeder layout).
struct Reverb {
    struct Comb {
        std::vector<float> buf;
        size_t i = 0;
        float store = 0;
    };
    struct Allpass {
        std::vector<float> buf;
        size_t i = 0;
    };
    Comb cl[8], cr[8];
    Allpass al[4], ar[4];
    float feedback, damp;
    explicit Reverb(double room = 0.7, double damping = 0.4);
    void tick(float in, float& outl, float& outr);
};

// Adds a wet reverb of `in` (mono or stereo mix) to `s`. When `periodic` is set the buffer is treated as one turn of
// a loop: the room is run over two turns and the second is kept, so the tail of the end rings on into the start.
void add_reverb(Stereo& s, double wet, double room, double damping, bool periodic);
void add_reverb_mono(Mono& m, double wet, double room, double damping);

}  // namespace snd
