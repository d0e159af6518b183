#include "effects.h"

#include <algorithm>

#include "encode.h"
#include "instruments.h"

namespace snd {

namespace {

size_t T(double s) { return secs(s); }
double N(int midi) { return midi_hz(midi); }

void lowpass(Mono& m, double hz) {
    Biquad a = Biquad::lowpass(hz);
    a.run(m);
}
// Lets a ringing sound die away by `len` seconds: the last 40 % fade out along a cosine.
Mono cap(Mono m, double len) {
    m.resize(std::min(m.size(), T(len)));
    size_t fo = m.size() * 2 / 5;
    for (size_t i = 0; i < fo; ++i) m[m.size() - fo + i] *= (float)(0.5 + 0.5 * std::cos(kPi * i / fo));
    return m;
}

void room(Mono& m, double wet, double size = 0.5) {
    m.resize(m.size() + T(0.25 + size * 0.8), 0.f);
    add_reverb_mono(m, wet, size, 0.5);
}

// A voiced call: the pitch travels exponentially from f0 to f1 under a rounded envelope, with vibrato and a few
// harmonics: the stuff of birds and small creatures.
Mono chirp(double f0, double f1, double len, double vib_hz = 0, double vib = 0, double h2 = 0.15, double h3 = 0.05) {
    size_t n = T(len);
    Mono m(n);
    double ph = 0;
    for (size_t i = 0; i < n; ++i) {
        double x = (double)i / n, t = (double)i / kRate;
        double f = f0 * std::pow(f1 / f0, x) * (1.0 + vib * std::sin(2 * kPi * vib_hz * t));
        ph += 2 * kPi * f / kRate;
        double env = std::pow(std::sin(kPi * std::min(1.0, x * 1.15)), 0.7) * (x < 0.87 ? 1.0 : 1.0);
        m[i] = (float)(env * (std::sin(ph) + h2 * std::sin(2 * ph) + h3 * std::sin(3 * ph)));
    }
    fade_edges(m, 0.002, 0.004);
    return m;
}

// A struck blip whose pitch slides: the woody "bloop" of turns and pops.
Mono blip(double f0, double f1, double len, double tau) {
    Mono m;
    add_mode(m, 0, f0, 1.0, tau, T(len), f1 / f0);
    add_mode(m, 0, f0 * 2.01, 0.22, tau * 0.5, T(len), f1 / f0);
    fade_edges(m, 0.001, 0.01);
    return m;
}

// Flutter: a slow random gain between lo and 1, for rustles and squelches.
void flutter(Mono& m, double hz, double lo, uint64_t seed) {
    Rng r(seed);
    OnePole s(hz);
    for (float& v : m) {
        double g = s.tick(r.real());
        v *= (float)(lo + (1 - lo) * std::clamp(g * 2.0 - 0.2, 0.0, 1.0));
    }
}

// ---- stones ------------------------------------------------------------------------------------------------

Mono stonecrack() {
    Mono m = stone_knock(640, 1.0, 0.045, 21);
    mix(m, noise_burst(0.08, 900, 3600, 0.0005, 0.012, 22), 0, 0.55);
    add_mode(m, 0, 150, 0.35, 0.045);
    Rng r(23);
    for (int i = 0; i < 5; ++i) {
        double at = 0.018 + i * 0.017 + r.range(0, 0.01);
        mix(m, stone_knock(r.range(1300, 2200), 1.0, 0.01, 30 + i), T(at), 0.28 * (1.0 - i * 0.15));
    }
    lowpass(m, 6000);
    room(m, 0.12, 0.3);
    return m;
}

Mono stone2() {
    Mono m = stone_knock(880, 1.0, 0.03, 41);
    mix(m, stone_knock(1130, 0.7, 0.025, 42), T(0.07));
    lowpass(m, 6000);
    room(m, 0.12, 0.3);
    return m;
}

Mono contact() {
    Mono m = stone_knock(175, 1.0, 0.06, 51);
    mix(m, noise_burst(0.1, 60, 900, 0.001, 0.02, 52), 0, 0.6);
    lowpass(m, 2600);
    room(m, 0.1, 0.3);
    return m;
}

Mono granite1() {
    Mono m = stone_knock(260, 1.0, 0.07, 61);
    add_mode(m, 0, 95, 0.6, 0.08);
    mix(m, noise_burst(0.15, 400, 3000, 0.001, 0.03, 62), T(0.004), 0.35);
    lowpass(m, 4500);
    room(m, 0.12, 0.35);
    return m;
}

Mono granite2() {
    Mono m = stone_knock(220, 1.0, 0.08, 71);
    add_mode(m, 0, 80, 0.7, 0.12);
    mix(m, noise_burst(0.6, 120, 1600, 0.01, 0.15, 72), 0, 0.3);
    Rng r(73);
    for (int i = 0; i < 14; ++i) {
        double at = 0.03 + 0.5 * std::pow(r.real(), 1.6);
        mix(m, stone_knock(r.range(480, 1800), 1.0, r.range(0.008, 0.02), 80 + i), T(at), r.range(0.12, 0.4) * (1 - at));
    }
    lowpass(m, 5000);
    room(m, 0.15, 0.45);
    return m;
}

Mono lettercontact() {
    Mono m = stone_knock(140, 1.0, 0.08, 91);
    mix(m, noise_burst(0.12, 80, 1200, 0.001, 0.03, 92), 0, 0.7);
    mix(m, noise_burst(0.25, 600, 2500, 0.01, 0.07, 93), T(0.01), 0.08);  // a little sand settling
    lowpass(m, 3000);
    room(m, 0.1, 0.3);
    return m;
}

Mono explosion() {
    Mono m = noise_burst(1.4, 30, 700, 0.004, 0.25, 101);
    add_mode(m, 0, 72, 1.2, 0.3, T(1.2), 0.5);
    Rng r(102);
    for (int i = 0; i < 9; ++i)
        mix(m, noise_burst(0.04, 500, 2500, 0.0005, 0.006, 110 + i), T(0.02 + r.range(0, 0.35)), r.range(0.1, 0.3));
    lowpass(m, 3000);
    room(m, 0.2, 0.6);
    return m;
}

Mono superstoneexplosion() {
    Mono m = noise_burst(0.6, 60, 1500, 0.002, 0.12, 121);
    add_mode(m, 0, 90, 1.0, 0.15, T(0.6), 0.6);
    static const int fall[7] = {96, 93, 91, 88, 86, 84, 81};
    for (int i = 0; i < 7; ++i) mix(m, bell(N(fall[i]), 1.0, 0.5), T(0.03 + i * 0.045), 0.22 * (1 - i * 0.08));
    lowpass(m, 7000);
    room(m, 0.28, 0.6);
    return cap(m, 2.0);
}

// ---- wood, vine and mud ------------------------------------------------------------------------------------

Mono click() {
    Mono m = woodblock(1250, 1.0, 131);
    lowpass(m, 5000);
    room(m, 0.06, 0.2);
    return m;
}

Mono turnup() {
    Mono m = blip(520, 900, 0.18, 0.08);
    mix(m, noise_burst(0.12, 600, 3000, 0.05, 0.04, 141), 0, 0.12);
    room(m, 0.1, 0.3);
    return m;
}

Mono turndown() {
    Mono m = blip(860, 500, 0.18, 0.08);
    mix(m, noise_burst(0.12, 500, 2600, 0.03, 0.04, 151), 0, 0.12);
    room(m, 0.1, 0.3);
    return m;
}

Mono shootkaro() {
    Mono m = noise_burst(0.3, 150, 1800, 0.01, 0.05, 161);
    add_mode(m, 0, 260, 0.9, 0.08, T(0.25), 0.45);
    mix(m, woodblock(900, 0.35, 162), 0);
    lowpass(m, 4000);
    room(m, 0.1, 0.3);
    return m;
}

Mono vine_snap(double rustle_len, uint64_t seed) {
    Mono m = woodblock(1700, 0.8, seed);
    Rng r(seed + 1);
    for (int i = 0; i < 9; ++i)
        mix(m, noise_burst(0.02, 1000, 4000, 0.0003, 0.003, seed + 10 + i), T(0.01 + i * 0.013 + r.range(0, 0.006)),
            0.5 * (1 - i * 0.09));
    Mono leaves = noise_burst(rustle_len, 700, 4500, 0.03, rustle_len * 0.3, seed + 2);
    flutter(leaves, 25, 0.15, seed + 3);
    mix(m, leaves, T(0.02), 0.35);
    lowpass(m, 6000);
    room(m, 0.12, 0.35);
    return m;
}

Mono liane() { return vine_snap(0.35, 171); }

Mono mapliane() {
    Mono m = vine_snap(0.6, 181);
    // A soft creak as the vine gives way.
    Mono creak = chirp(190, 150, 0.22, 30, 0.05, 0.5, 0.3);
    lowpass(creak, 1500);
    mix(m, creak, 0, 0.25);
    return m;
}

Mono moss2() {
    Mono m = noise_burst(0.35, 300, 2500, 0.02, 0.08, 191);
    flutter(m, 40, 0.2, 192);
    mix(m, blip(200, 140, 0.15, 0.06), T(0.01), 0.5);
    lowpass(m, 3000);
    room(m, 0.08, 0.3);
    return m;
}

Mono mud(double pitch, double wet_amt, uint64_t seed) {
    Mono m = noise_burst(0.25, 100, 1200, 0.005, 0.06, seed);
    // A resonance sweeping up through the squelch.
    Biquad bp = Biquad::bandpass(300 * pitch, 3);
    for (size_t i = 0; i < m.size(); ++i) {
        if (i % 64 == 0) bp = [&] {
                Biquad nb = Biquad::bandpass(pitch * (300 + 700.0 * i / m.size()), 3);
                nb.z1 = bp.z1;
                nb.z2 = bp.z2;
                return nb;
            }();
        m[i] = m[i] * 0.3f + bp.tick(m[i]) * 1.4f;
    }
    mix(m, blip(160 * pitch, 300 * pitch, 0.09, 0.04), T(0.03), 0.7);  // the bubble popping
    mix(m, blip(230 * pitch, 420 * pitch, 0.07, 0.03), T(0.11), 0.35 * wet_amt);
    lowpass(m, 3500);
    room(m, 0.1, 0.3);
    return m;
}

Mono mud1() {
    Mono m = mud(1.0, 1.0, 201);
    // The last layer gone: a small bright reward on top.
    mix(m, kalimba(N(84), 0.6, 202), T(0.08), 0.5);
    mix(m, kalimba(N(91), 0.5, 203), T(0.14), 0.4);
    return cap(m, 1.2);
}
Mono mud2() { return mud(0.85, 0.8, 211); }
Mono mud3() { return mud(1.15, 0.6, 221); }
Mono mud4() { return mud(0.72, 1.0, 231); }

// ---- chimes and notes --------------------------------------------------------------------------------------

Mono hint() {
    Mono m = kalimba(N(81), 0.8, 241);
    mix(m, kalimba(N(88), 0.7, 242), T(0.13));
    room(m, 0.25, 0.5);
    return cap(m, 1.2);
}

Mono failure() {
    Mono m = marimba(N(62), 0.9, 251);
    mix(m, marimba(N(58), 0.9, 252), T(0.15));
    lowpass(m, 1600);
    room(m, 0.12, 0.3);
    return cap(m, 1.0);
}

Mono match() {
    Mono m;
    static const int notes[4] = {72, 76, 79, 84};
    for (int i = 0; i < 4; ++i) mix(m, marimba(N(notes[i]), i == 3 ? 0.5 : 0.85, 261 + i), T(i * 0.024));
    room(m, 0.18, 0.4);
    return cap(m, 1.3);
}

Mono puready() {
    Mono m;
    static const int notes[3] = {79, 83, 86};
    for (int i = 0; i < 3; ++i) mix(m, kalimba(N(notes[i]), 0.8, 271 + i), T(i * 0.05));
    mix(m, bell(N(91), 0.25, 0.6), T(0.1));
    room(m, 0.2, 0.45);
    return cap(m, 1.3);
}

Mono mapstar() {
    Mono m = bell(N(88), 0.7, 0.9);
    mix(m, kalimba(N(76), 0.6, 281), 0);
    mix(m, bell(N(95), 0.25, 0.6), T(0.06));
    lowpass(m, 7000);
    room(m, 0.3, 0.6);
    return cap(m, 1.6);
}

Mono flash() {
    Mono m = noise_burst(0.5, 1500, 5000, 0.12, 0.1, 291);
    for (float& v : m) v *= 0.15f;
    static const int run[5] = {88, 91, 93, 96, 100};
    for (int i = 0; i < 5; ++i) mix(m, bell(N(run[i]), 0.45 - i * 0.05, 0.5), T(0.02 + i * 0.032));
    lowpass(m, 7000);
    room(m, 0.3, 0.55);
    return cap(m, 1.4);
}

Mono winstar(int n) {
    static const int notes[5] = {72, 76, 79, 84, 88};
    int k = notes[n - 1];
    Mono m = kalimba(N(k), 0.9, 300 + n);
    mix(m, bell(N(k + 12), 0.45, 1.0), T(0.005));
    mix(m, marimba(N(k - 12), 0.5, 310 + n), 0);
    lowpass(m, 7500);
    room(m, 0.3, 0.65);
    return cap(m, 2.0);
}
Mono winstar1() { return winstar(1); }
Mono winstar2() { return winstar(2); }
Mono winstar3() { return winstar(3); }
Mono winstar4() { return winstar(4); }
Mono winstar5() { return winstar(5); }

Mono winstrike() {
    Mono m = woodblock(1000, 0.6, 321);
    static const int chord[5] = {84, 88, 91, 96, 100};
    for (int i = 0; i < 5; ++i) mix(m, bell(N(chord[i]), 0.5 - i * 0.05, 1.3), T(0.02 + i * 0.03));
    mix(m, marimba(N(60), 0.8, 322), T(0.02));
    mix(m, marimba(N(72), 0.7, 323), T(0.02));
    Mono shimmer = noise_burst(1.0, 2500, 6000, 0.2, 0.3, 324);
    flutter(shimmer, 60, 0.1, 325);
    mix(m, shimmer, T(0.05), 0.05);
    lowpass(m, 7500);
    room(m, 0.35, 0.75);
    return cap(m, 2.6);
}

Mono startimeout() {
    Mono m;
    add_mode(m, 0, N(88), 0.6, 0.5, T(0.6), 0.985);
    add_mode(m, 0, N(88) * 2.76, 0.12, 0.2, T(0.5), 0.985);
    add_mode(m, T(0.16), N(84), 0.6, 0.6, T(0.8), 0.97);
    add_mode(m, T(0.16), N(84) * 1.006, 0.3, 0.6, T(0.8), 0.97);
    add_mode(m, T(0.16), N(84) * 2.76, 0.1, 0.25, T(0.6), 0.97);
    lowpass(m, 6500);
    room(m, 0.25, 0.5);
    return cap(m, 1.4);
}

Mono levelselection() {
    Mono m = woodblock(900, 0.7, 331);
    mix(m, kalimba(N(84), 0.8, 332), T(0.02));
    mix(m, kalimba(N(91), 0.75, 333), T(0.1));
    mix(m, marimba(N(60), 0.5, 334), T(0.02));
    room(m, 0.2, 0.45);
    return cap(m, 1.3);
}

Mono select() {
    Mono m = kalimba(N(79), 0.85, 341);
    mix(m, kalimba(N(86), 0.8, 342), T(0.08));
    room(m, 0.2, 0.4);
    return cap(m, 1.2);
}

Mono newrank() {
    Mono m;
    static const int up[5] = {72, 76, 79, 84, 88};
    for (int i = 0; i < 5; ++i) mix(m, marimba(N(up[i]), 0.85, 351 + i), T(i * 0.075));
    for (int i = 0; i < 4; ++i) mix(m, handdrum(i % 2 ? 3 : 1, 0.35, 360 + i), T(i * 0.075));
    mix(m, bell(N(91), 0.45, 1.2), T(0.38));
    mix(m, bell(N(96), 0.3, 1.2), T(0.42));
    Mono chord = pad(N(60), 0.3, 0.9, 1.2);
    mix(chord, pad(N(64), 0.3, 0.9, 1.2), 0);
    mix(chord, pad(N(67), 0.3, 0.9, 1.2), 0);
    mix(m, chord, T(0.3));
    lowpass(m, 7500);
    room(m, 0.3, 0.7);
    return cap(m, 2.6);
}

Mono lose() {
    Mono m;
    static const int down[4] = {67, 65, 62, 60};
    for (int i = 0; i < 4; ++i) mix(m, marimba(N(down[i]), 0.8, 371 + i), T(i * 0.2));
    mix(m, bass(N(36), 0.6, 0.9), T(0.6));
    mix(m, flute(N(64), 0.25, 0.7, 375), T(0.62));
    lowpass(m, 5000);
    room(m, 0.25, 0.6);
    return cap(m, 2.4);
}

Mono buildsuperstone() {
    Mono m;
    for (int k = 0; k < 4; ++k) {
        double f0 = N(60 + k * 7);
        size_t n = T(0.55);
        Mono v(n);
        double ph = 0;
        for (size_t i = 0; i < n; ++i) {
            double x = (double)i / n;
            ph += 2 * kPi * f0 * std::pow(2.0, x) / kRate;
            double trem = 0.75 + 0.25 * std::sin(2 * kPi * 12 * i / kRate + k);
            v[i] = (float)(std::sin(ph) * x * x * trem);
        }
        mix(m, v, 0, 0.25);
    }
    static const int chord[3] = {84, 88, 91};
    for (int i = 0; i < 3; ++i) mix(m, bell(N(chord[i]), 0.5, 0.8), T(0.55));
    lowpass(m, 7000);
    room(m, 0.25, 0.5);
    return cap(m, 1.8);
}

Mono animaladd() {
    Mono m = blip(380, 760, 0.12, 0.05);
    mix(m, woodblock(700, 0.4, 381), 0);
    mix(m, kalimba(N(91), 0.7, 382), T(0.06));
    room(m, 0.2, 0.4);
    return cap(m, 1.0);
}

// ---- creatures ---------------------------------------------------------------------------------------------

Mono animal1() {  // a small bird: "chirrup"
    Mono m = chirp(1800, 2600, 0.06);
    mix(m, chirp(2000, 2900, 0.06), T(0.09));
    mix(m, chirp(2700, 1900, 0.14, 28, 0.04), T(0.18), 0.9);
    lowpass(m, 5500);
    room(m, 0.15, 0.4);
    return m;
}

Mono animal2() {  // a small furry one: "wee-oo"
    Mono m = chirp(900, 1500, 0.16, 7, 0.015, 0.4, 0.2);
    mix(m, chirp(1500, 1000, 0.22, 7, 0.02, 0.4, 0.2), T(0.15));
    lowpass(m, 3200);
    room(m, 0.15, 0.4);
    return m;
}

Mono animal3() {  // a round, soft one: "hoo-hoo"
    Mono m = chirp(430, 390, 0.2, 5, 0.01, 0.3, 0.08);
    mix(m, chirp(470, 400, 0.24, 5, 0.012, 0.3, 0.08), T(0.26));
    Mono breath = noise_burst(0.5, 300, 1500, 0.05, 0.15, 391);
    mix(m, breath, 0, 0.06);
    lowpass(m, 2500);
    room(m, 0.15, 0.4);
    return m;
}

Mono logoanimal() {  // a cheerful call rising through a little tune
    Mono m;
    static const double tune[4] = {1320, 1480, 1760, 1980};
    for (int i = 0; i < 4; ++i) mix(m, chirp(tune[i] * 0.92, tune[i], 0.08, 0, 0, 0.2, 0.05), T(i * 0.09), 0.8);
    mix(m, chirp(2100, 1700, 0.22, 24, 0.035), T(0.38));
    lowpass(m, 5500);
    room(m, 0.2, 0.5);
    return m;
}

// ---- the splash pages --------------------------------------------------------------------------------------

Mono logoappear() {
    Mono m;
    static const int chord[4] = {48, 55, 64, 71};
    for (int i = 0; i < 4; ++i) mix(m, pad(N(chord[i]), 0.3, 0.9, 1.4), 0);
    // Air rising into the chime.
    Mono air = noise_burst(1.0, 400, 3000, 0.6, 0.15, 401);
    Biquad sweep = Biquad::bandpass(600, 2);
    for (size_t i = 0; i < air.size(); ++i) {
        if (i % 128 == 0) {
            Biquad nb = Biquad::bandpass(500 + 2500.0 * i / air.size(), 2);
            nb.z1 = sweep.z1;
            nb.z2 = sweep.z2;
            sweep = nb;
        }
        air[i] = sweep.tick(air[i]);
    }
    mix(m, air, 0, 0.5);
    mix(m, bell(N(84), 0.5, 1.4), T(0.5));
    mix(m, bell(N(91), 0.3, 1.2), T(0.56));
    lowpass(m, 7000);
    room(m, 0.3, 0.7);
    return cap(m, 3.0);
}

Mono logotext() {
    Mono air = noise_burst(0.3, 500, 2500, 0.2, 0.06, 411);
    Mono m(T(0.2), 0.f);
    mix(m, air, 0, 0.3);
    mix(m, marimba(N(76), 0.8, 412), T(0.2));
    mix(m, marimba(N(81), 0.8, 413), T(0.2));
    mix(m, kalimba(N(88), 0.6, 414), T(0.24));
    room(m, 0.25, 0.55);
    return cap(m, 2.0);
}

// ---- weather and fire --------------------------------------------------------------------------------------

Mono rumble(double len, double brightness, int bumps, uint64_t seed) {
    Mono m = noise_burst(len, 20, 160 * brightness, 0.2, len * 0.35, seed);
    Mono body = noise_burst(len, 20, 90, 0.3, len * 0.4, seed + 1);
    mix(m, body, 0, 1.5);
    // The roll of thunder: a few swells along the way.
    Rng r(seed + 2);
    Mono shape(m.size(), 0.35f);
    for (int b = 0; b < bumps; ++b) {
        double at = r.range(0.05, 0.6) * len, w = r.range(0.25, 0.7), a = r.range(0.5, 1.0);
        for (size_t i = 0; i < shape.size(); ++i) {
            double d = ((double)i / kRate - at) / w;
            shape[i] += (float)(a * std::exp(-d * d));
        }
    }
    for (size_t i = 0; i < m.size(); ++i) m[i] *= shape[i];
    fade_edges(m, 0.01, 0.4);
    return m;
}

Mono lightning() {
    Mono m = noise_burst(0.4, 200, 3500, 0.002, 0.05, 421);
    Mono roll = rumble(4.0, 1.4, 4, 422);
    mix(m, roll, T(0.06), 1.0);
    room(m, 0.25, 0.8);
    return m;
}

Mono lightning2() {
    Mono m = rumble(3.6, 1.0, 3, 431);
    room(m, 0.2, 0.85);
    return m;
}

// Fire: a low breathing roar, soft crackles and now and then a snap. Everything wraps around the loop point.
Mono flamecrackle() {
    const size_t n = T(6.0);
    Rng r(441);
    Mono white(n);
    for (float& v : white) v = (float)r.bip();
    // Filters run over two turns; the second turn is periodic.
    Mono roar(n);
    Biquad l1 = Biquad::lowpass(380), l2 = Biquad::lowpass(380), h = Biquad::highpass(45);
    for (int turn = 0; turn < 2; ++turn)
        for (size_t i = 0; i < n; ++i) roar[i] = h.tick(l2.tick(l1.tick(white[i])));
    Mono out(n, 0.f);
    for (size_t i = 0; i < n; ++i) {
        double t = (double)i / n;  // breathing with whole cycles per loop
        double g = 0.8 + 0.14 * std::sin(2 * kPi * 3 * t) + 0.08 * std::sin(2 * kPi * 7 * t + 1.0);
        out[i] = (float)(roar[i] * g * 0.9);
    }
    auto wrap_add = [&](const Mono& s, size_t at, double gain) {
        for (size_t i = 0; i < s.size(); ++i) out[(at + i) % n] += (float)(s[i] * gain);
    };
    int crackles = (int)(6.0 * 14);
    for (int c = 0; c < crackles; ++c) {
        size_t at = (size_t)(r.real() * n);
        double a = std::pow(r.real(), 2.0) * 0.5 + 0.05;
        wrap_add(noise_burst(0.012, 1200, 4200, 0.0002, r.range(0.0008, 0.0025), 500 + c), at, a);
    }
    for (int c = 0; c < 9; ++c) {  // the snaps of a log settling
        size_t at = (size_t)(r.real() * n);
        Mono snap = stone_knock(r.range(900, 1600), 1.0, 0.008, 700 + c);
        mix(snap, noise_burst(0.03, 800, 3500, 0.0003, 0.004, 720 + c), 0, 0.8);
        wrap_add(snap, at, r.range(0.25, 0.5));
    }
    Biquad soft1 = Biquad::lowpass(5000);
    Mono res(n);
    for (int turn = 0; turn < 2; ++turn)
        for (size_t i = 0; i < n; ++i) res[i] = soft1.tick(out[i]);
    return res;
}

// Cuts the ring-out once it has sunk 50 dB under the peak and lets the last part die away smoothly.
void trim_tail(Mono& m) {
    double floor = peak(m) * db_gain(-50);
    size_t end = m.size();
    while (end > 0 && std::abs(m[end - 1]) < floor) --end;
    m.resize(std::min(m.size(), end + T(0.005)));
    size_t fo = std::min(T(0.3), m.size() / 4);
    for (size_t i = 0; i < fo; ++i) {
        double x = (double)i / fo;
        m[m.size() - fo + i] *= (float)((1 - x) * (1 - x));
    }
    fade_edges(m, 0.0003, 0.0);
}

}  // namespace

const std::vector<Effect>& effect_bank() {
    static const std::vector<Effect> bank = {
        {"stonecrack.ogg", stonecrack, -1.0, false},
        {"turnup.ogg", turnup, -1.5, false},
        {"turndown.ogg", turndown, -1.5, false},
        {"shootkaro.ogg", shootkaro, 0.0, false},
        {"hint.ogg", hint, 0.0, false},
        {"failure.ogg", failure, 0.0, false},
        {"click.ogg", click, -2.5, false},
        {"liane.ogg", liane, 0.0, false},
        {"flash.ogg", flash, 0.0, false},
        {"match.ogg", match, 0.0, false},
        {"puready.ogg", puready, 0.0, false},
        {"mapstar.ogg", mapstar, 0.0, false},
        {"contact.ogg", contact, -1.0, false},
        {"explosion.ogg", explosion, 0.0, false},
        {"logoappear.ogg", logoappear, 0.0, false},
        {"lose.ogg", lose, 0.0, false},
        {"animaladd.ogg", animaladd, 0.0, false},
        {"animal1.ogg", animal1, -1.0, false},
        {"levelselection.ogg", levelselection, 0.0, false},
        {"buildsuperstone.ogg", buildsuperstone, 0.0, false},
        {"stone2.ogg", stone2, -1.0, false},
        {"lettercontact.ogg", lettercontact, -1.5, false},
        {"lightning2.ogg", lightning2, -1.0, false},
        {"moss2.ogg", moss2, -1.0, false},
        {"logotext.ogg", logotext, 0.0, false},
        {"startimeout.ogg", startimeout, 0.0, false},
        {"mud1.ogg", mud1, 0.0, false},
        {"mud2.ogg", mud2, 0.0, false},
        {"animal2.ogg", animal2, -1.0, false},
        {"animal3.ogg", animal3, 0.0, false},
        {"mud3.ogg", mud3, 0.0, false},
        {"mud4.ogg", mud4, 0.0, false},
        {"newrank.ogg", newrank, 0.0, false},
        {"select.ogg", select, 0.0, false},
        {"superstoneexplosion.ogg", superstoneexplosion, 0.0, false},
        {"lightning.ogg", lightning, 0.0, false},
        {"winstar1.ogg", winstar1, 0.0, false},
        {"winstar2.ogg", winstar2, 0.0, false},
        {"winstar3.ogg", winstar3, 0.0, false},
        {"winstar4.ogg", winstar4, 0.0, false},
        {"winstar5.ogg", winstar5, 0.0, false},
        {"winstrike.ogg", winstrike, 0.5, false},
        {"mapliane.ogg", mapliane, 0.0, false},
        {"granite1.ogg", granite1, 0.0, false},
        {"granite2.ogg", granite2, 0.0, false},
        {"flamecrackle.ogg", flamecrackle, 0.0, true},
        {"logoanimal.ogg", logoanimal, 0.0, false},
    };
    return bank;
}

bool write_effect(const Effect& e, const std::string& sound_dir) {
    Mono m = e.make();
    if (e.loop) {
        // A loop keeps its ends as they are (they join each other) and is levelled on its overall RMS.
        double r = rms(m);
        if (r > 0)
            for (float& v : m) v = soft_clip((float)(v * db_gain(kAmbienceLoudnessDb + e.trim_db) / r), (float)db_gain(kPeakCeilingDb));
    } else {
        trim_tail(m);
        normalise_effect(m, kEffectLoudnessDb + e.trim_db, kPeakCeilingDb);
    }
    return write_ogg(sound_dir + "/" + e.file, m, 0.5f);
}

}  // namespace snd
