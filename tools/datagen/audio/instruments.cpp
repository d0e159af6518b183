#include "instruments.h"

#include <algorithm>
#include <array>

namespace snd {

namespace {

// A soft, saw-like single cycle (harmonics falling faster than a saw) read with linear interpolation.
struct Table {
    static constexpr int N = 4096;
    std::array<float, N + 1> v{};
    Table(int harmonics, double slope) {
        double norm = 0;
        for (int i = 0; i < N; ++i) {
            double s = 0;
            for (int h = 1; h <= harmonics; ++h) s += std::sin(2 * kPi * h * i / N) / std::pow(h, slope);
            v[i] = (float)s;
            norm = std::max(norm, std::abs(s));
        }
        for (int i = 0; i < N; ++i) v[i] = (float)(v[i] / norm);
        v[N] = v[0];
    }
    float at(double phase) const {  // phase in turns
        double p = (phase - std::floor(phase)) * N;
        int i = (int)p;
        float f = (float)(p - i);
        return v[i] + (v[i + 1] - v[i]) * f;
    }
};

const Table& sine_table() {
    static const Table t(1, 1.0);
    return t;
}
const Table& soft_saw() {
    static const Table t(14, 1.35);
    return t;
}

Mono band_noise(size_t n, double lo, double hi, uint64_t seed) {
    Rng r(seed);
    Mono m(n);
    for (float& v : m) v = (float)r.bip();
    if (lo > 0) {
        Biquad h = Biquad::highpass(lo);
        h.run(m);
    }
    if (hi > 0) {
        Biquad l = Biquad::lowpass(hi), l2 = Biquad::lowpass(hi);
        l.run(m);
        l2.run(m);
    }
    return m;
}

}  // namespace

Mono noise_burst(double len, double lo_hz, double hi_hz, double attack, double tau, uint64_t seed) {
    size_t n = secs(len);
    Mono m = band_noise(n, lo_hz, hi_hz, seed);
    for (size_t i = 0; i < n; ++i) {
        double t = (double)i / kRate;
        double e = (attack > 0 && t < attack ? t / attack : 1.0) * std::exp(-std::max(0.0, t - attack) / tau);
        m[i] *= (float)e;
    }
    fade_edges(m, 0.0005, 0.003);
    return m;
}

Mono marimba(double hz, double vel, uint64_t seed) {
    double T = std::clamp(0.5 * std::pow(440.0 / hz, 0.65), 0.12, 1.8);
    Mono m;
    add_mode(m, 0, hz, 1.0, T);
    add_mode(m, 0, hz * 3.98, 0.30 * (0.4 + 0.6 * vel), T / 6);
    add_mode(m, 0, hz * 9.85, 0.10 * vel, T / 14);
    // The felt mallet: a soft, quick thump under the bar.
    Mono hit = noise_burst(0.012, 80, std::min(2500.0, hz * 5), 0.0008, 0.003, seed);
    mix(m, hit, 0, 0.18 * vel);
    for (float& v : m) v *= (float)vel;
    return m;
}

Mono kalimba(double hz, double vel, uint64_t seed) {
    double T = std::clamp(0.9 * std::pow(440.0 / hz, 0.4), 0.3, 2.0);
    Mono m;
    add_mode(m, 0, hz, 1.0, T);
    add_mode(m, 0, hz * 2.0, 0.06, T * 0.4);
    add_mode(m, 0, hz * 5.95, 0.22 * vel, 0.05);
    add_mode(m, 0, hz * 11.2, 0.05 * vel, 0.02);
    Mono hit = noise_burst(0.008, 300, 3000, 0.0005, 0.0018, seed);
    mix(m, hit, 0, 0.12 * vel);
    for (float& v : m) v *= (float)vel;
    return m;
}

Mono bell(double hz, double vel, double tau) {
    Mono m;
    add_mode(m, 0, hz, 1.0, tau);
    add_mode(m, 0, hz * 1.003, 0.35, tau * 0.9);  // a slow shimmer against the fundamental
    add_mode(m, 0, hz * 2.76, 0.32, tau * 0.45);
    add_mode(m, 0, hz * 5.40, 0.12, tau * 0.22);
    add_mode(m, 0, hz * 8.93, 0.04, tau * 0.1);
    for (float& v : m) v *= (float)vel;
    // Soften the strike a touch.
    size_t a = std::min(m.size(), secs(0.002));
    for (size_t i = 0; i < a; ++i) m[i] *= (float)((double)i / a);
    return m;
}

Mono flute(double hz, double vel, double dur, uint64_t seed) {
    double rel = 0.14, att = std::min(0.07, dur * 0.3);
    size_t n = secs(dur + rel + 0.02);
    Mono m(n);
    Rng r(seed);
    Mono breath = band_noise(n, 0, 0, seed + 7);
    Biquad bp = Biquad::bandpass(hz, 6), bp2 = Biquad::bandpass(hz * 2, 4), air = Biquad::bandpass(2200, 0.8);
    const Table& sn = sine_table();
    double ph = r.real(), vib_ph = r.real();
    for (size_t i = 0; i < n; ++i) {
        double t = (double)i / kRate;
        double vibd = 0.0035 * std::clamp((t - 0.22) / 0.3, 0.0, 1.0);
        double f = hz * (1.0 + vibd * std::sin(2 * kPi * vib_ph));
        vib_ph += 5.2 / kRate;
        ph += f / kRate;
        double env = adsr(t, att, 0.15, 0.85, dur, rel);
        double swell = 1.0 + 0.06 * std::sin(2 * kPi * 0.7 * t);
        double tone = sn.at(ph) + 0.22 * sn.at(2 * ph + 0.1) + 0.06 * sn.at(3 * ph + 0.3);
        double chiff = t < 0.06 ? (1.0 - t / 0.06) : 0.0;
        double b = breath[i];
        double noise = bp.tick(b) * 0.5 + bp2.tick(b) * 0.15 + air.tick(b) * (0.04 + 0.25 * chiff);
        m[i] = (float)(env * swell * vel * (tone * 0.8 + noise * 0.9));
    }
    return m;
}

Mono pad(double hz, double vel, double dur, double brightness) {
    double att = std::min(0.9, dur * 0.4), rel = 1.4;
    size_t n = secs(dur + rel);
    Mono m(n);
    const Table& saw = soft_saw();
    double det[3] = {1.0, 1.0046, 0.9957};
    double ph[3] = {0.0, 0.33, 0.71};
    Biquad lp = Biquad::lowpass(std::min(900.0 * brightness + hz, 5000.0), 0.6);
    for (size_t i = 0; i < n; ++i) {
        double t = (double)i / kRate, s = 0;
        for (int k = 0; k < 3; ++k) {
            ph[k] += hz * det[k] / kRate;
            s += saw.at(ph[k]);
        }
        double env = adsr(t, att, 0.5, 0.9, dur, rel);
        m[i] = (float)(lp.tick(s / 3.0) * env * vel);
    }
    return m;
}

Mono bass(double hz, double vel, double dur) {
    double rel = 0.12;
    size_t n = secs(dur + rel + 0.01);
    Mono m(n);
    const Table& sn = sine_table();
    Biquad lp = Biquad::lowpass(700, 0.7);
    double ph = 0;
    for (size_t i = 0; i < n; ++i) {
        double t = (double)i / kRate;
        ph += hz / kRate;
        double env = adsr(t, 0.006, 0.35, 0.6, dur, rel);
        double tone = sn.at(ph) + 0.35 * sn.at(2 * ph) * std::exp(-t / 0.25) + 0.12 * sn.at(3 * ph) * std::exp(-t / 0.1);
        m[i] = (float)(lp.tick(tone) * env * vel);
    }
    return m;
}

Mono handdrum(int kind, double vel, uint64_t seed) {
    static const double f0s[4] = {92, 205, 310, 415}, taus[4] = {0.32, 0.2, 0.07, 0.13};
    static const double noise_hz[4] = {600, 1200, 2100, 1800}, noise_amt[4] = {0.25, 0.3, 0.9, 0.35};
    kind = std::clamp(kind, 0, 3);
    double f0 = f0s[kind], tau = taus[kind];
    size_t n = secs(tau * 7 + 0.02);
    Mono m(n);
    double ph = 0;
    for (size_t i = 0; i < n; ++i) {
        double t = (double)i / kRate;
        double f = f0 * (1.0 + 0.45 * std::exp(-t / 0.018));
        ph += 2 * kPi * f / kRate;
        m[i] = (float)(std::sin(ph) * std::exp(-t / tau) + 0.25 * std::sin(ph * 1.58) * std::exp(-t / (tau * 0.4)));
    }
    Mono hit = noise_burst(0.05, noise_hz[kind] * 0.4, noise_hz[kind] * 1.6, 0.0006, kind == 2 ? 0.012 : 0.006, seed);
    mix(m, hit, 0, noise_amt[kind]);
    for (float& v : m) v *= (float)vel;
    return m;
}

Mono shaker(double vel, double len, uint64_t seed) {
    size_t n = secs(len + 0.05);
    Mono m = band_noise(n, 3000, 6500, seed);
    for (size_t i = 0; i < n; ++i) {
        double t = (double)i / kRate, pk = len * 0.45;
        double e = t < pk ? std::pow(t / pk, 1.5) : std::exp(-(t - pk) / (len * 0.25));
        m[i] *= (float)(e * vel);
    }
    return m;
}

Mono woodblock(double hz, double vel, uint64_t seed) {
    Mono m;
    add_mode(m, 0, hz, 1.0, 0.035);
    add_mode(m, 0, hz * 2.63, 0.35, 0.014);
    add_mode(m, 0, hz * 4.4, 0.1, 0.006);
    Mono hit = noise_burst(0.006, 500, 4000, 0.0003, 0.0012, seed);
    mix(m, hit, 0, 0.25);
    for (float& v : m) v *= (float)vel;
    return m;
}

Mono stone_knock(double hz, double vel, double tau, uint64_t seed) {
    Rng r(seed);
    Mono m;
    static const double ratios[5] = {1.0, 1.83, 2.91, 4.37, 6.1}, amps[5] = {1.0, 0.6, 0.35, 0.2, 0.08};
    for (int k = 0; k < 5; ++k) add_mode(m, 0, hz * ratios[k] * r.range(0.98, 1.02), amps[k], tau / (1 + k * 0.8));
    Mono hit = noise_burst(0.03, hz * 0.8, std::min(3200.0, hz * 6), 0.0004, 0.004, seed + 3);
    mix(m, hit, 0, 0.7);
    for (float& v : m) v *= (float)vel;
    return m;
}

}  // namespace snd
