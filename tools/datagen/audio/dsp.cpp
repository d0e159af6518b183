#include "dsp.h"

#include <algorithm>

namespace snd {

static Biquad make(double b0, double b1, double b2, double a0, double a1, double a2) {
    Biquad f;
    f.b0 = b0 / a0;
    f.b1 = b1 / a0;
    f.b2 = b2 / a0;
    f.a1 = a1 / a0;
    f.a2 = a2 / a0;
    return f;
}

Biquad Biquad::lowpass(double hz, double q) {
    double w = 2 * kPi * std::min(hz, kRate * 0.45) / kRate, c = std::cos(w), al = std::sin(w) / (2 * q);
    return make((1 - c) / 2, 1 - c, (1 - c) / 2, 1 + al, -2 * c, 1 - al);
}

Biquad Biquad::highpass(double hz, double q) {
    double w = 2 * kPi * std::min(hz, kRate * 0.45) / kRate, c = std::cos(w), al = std::sin(w) / (2 * q);
    return make((1 + c) / 2, -(1 + c), (1 + c) / 2, 1 + al, -2 * c, 1 - al);
}

Biquad Biquad::bandpass(double hz, double q) {
    double w = 2 * kPi * std::min(hz, kRate * 0.45) / kRate, c = std::cos(w), al = std::sin(w) / (2 * q);
    return make(al, 0, -al, 1 + al, -2 * c, 1 - al);
}

Biquad Biquad::peak(double hz, double q, double db) {
    double A = std::pow(10.0, db / 40.0);
    double w = 2 * kPi * std::min(hz, kRate * 0.45) / kRate, c = std::cos(w), al = std::sin(w) / (2 * q);
    return make(1 + al * A, -2 * c, 1 - al * A, 1 + al / A, -2 * c, 1 - al / A);
}

void add_mode(Mono& out, size_t at, double hz, double amp, double tau, size_t len, double glide) {
    if (hz <= 0 || hz > 10000 || amp == 0) return;  // nothing shrill: partials above 10 kHz are left out
    if (len == 0) len = (size_t)(tau * std::log(std::max(std::abs(amp), 1e-4) / 1e-5) * kRate) + 1;
    if (out.size() < at + len) out.resize(at + len, 0.f);
    double decay = std::exp(-1.0 / (tau * kRate));
    if (glide == 1.0) {
        // A rotating phasor: one complex multiply per sample.
        double w = 2 * kPi * hz / kRate, cr = std::cos(w) * decay, ci = std::sin(w) * decay;
        double re = amp, im = 0;
        for (size_t i = 0; i < len; ++i) {
            out[at + i] += (float)im;
            double nr = re * cr - im * ci;
            im = re * ci + im * cr;
            re = nr;
        }
    } else {
        double ph = 0, a = amp;
        for (size_t i = 0; i < len; ++i) {
            double f = hz * (1.0 + (glide - 1.0) * (double)i / (double)len);
            f = std::min(f, kRate * 0.45);
            out[at + i] += (float)(a * std::sin(ph));
            ph += 2 * kPi * f / kRate;
            a *= decay;
        }
    }
}

double adsr(double t, double a, double d, double s, double len, double r) {
    if (t < 0) return 0;
    double v;
    if (t < a)
        v = t / a;
    else if (t < a + d)
        v = 1.0 - (1.0 - s) * (t - a) / d;
    else
        v = s;
    if (t > len) {
        double k = 1.0 - (t - len) / r;
        v = k > 0 ? v * k * k : 0;
    }
    return v;
}

void fade_edges(Mono& m, double in_s, double out_s) {
    size_t fi = std::min(secs(in_s), m.size()), fo = std::min(secs(out_s), m.size());
    for (size_t i = 0; i < fi; ++i) m[i] *= (float)((double)i / fi);
    for (size_t i = 0; i < fo; ++i) m[m.size() - 1 - i] *= (float)((double)i / fo);
}

void mix(Mono& dst, const Mono& src, size_t at, double gain) {
    if (dst.size() < at + src.size()) dst.resize(at + src.size(), 0.f);
    for (size_t i = 0; i < src.size(); ++i) dst[at + i] += (float)(src[i] * gain);
}

static void pan_gains(double gain, double pan, double& gl, double& gr) {
    double a = (std::clamp(pan, -1.0, 1.0) + 1.0) * kPi / 4;  // equal power
    gl = gain * std::cos(a) * 1.41421356;
    gr = gain * std::sin(a) * 1.41421356;
}

void mix_pan(Stereo& dst, const Mono& src, size_t at, double gain, double pan) {
    if (dst.size() < at + src.size()) {
        dst.l.resize(at + src.size(), 0.f);
        dst.r.resize(at + src.size(), 0.f);
    }
    double gl, gr;
    pan_gains(gain, pan, gl, gr);
    for (size_t i = 0; i < src.size(); ++i) {
        dst.l[at + i] += (float)(src[i] * gl);
        dst.r[at + i] += (float)(src[i] * gr);
    }
}

void mix_wrap(Stereo& dst, const Mono& src, size_t at, double gain, double pan) {
    size_t n = dst.size();
    if (n == 0) return;
    double gl, gr;
    pan_gains(gain, pan, gl, gr);
    size_t j = at % n;
    for (size_t i = 0; i < src.size(); ++i) {
        dst.l[j] += (float)(src[i] * gl);
        dst.r[j] += (float)(src[i] * gr);
        if (++j == n) j = 0;
    }
}

double peak(const Mono& m) {
    double p = 0;
    for (float v : m) p = std::max(p, (double)std::abs(v));
    return p;
}

double rms(const Mono& m, size_t from, size_t to) {
    to = std::min(to, m.size());
    if (to <= from) return 0;
    double s = 0;
    for (size_t i = from; i < to; ++i) s += (double)m[i] * m[i];
    return std::sqrt(s / (double)(to - from));
}

double max_window_rms(const Mono& m, size_t win) {
    if (m.size() <= win) return rms(m) * std::sqrt((double)m.size() / (double)win);
    double best = 0;
    for (size_t at = 0; at + win <= m.size(); at += std::max<size_t>(1, win / 4)) best = std::max(best, rms(m, at, at + win));
    return best;
}

float soft_clip(float x, float ceiling) {
    float knee = ceiling * 0.7f, ax = std::abs(x);
    if (ax <= knee) return x;
    float room = ceiling - knee;
    float y = knee + room * std::tanh((ax - knee) / room);
    return x < 0 ? -y : y;
}

void normalise_effect(Mono& m, double target_db, double peak_db) {
    double w = max_window_rms(m, secs(0.05));
    if (w <= 0) return;
    double g = db_gain(target_db) / w;
    float ceil = (float)db_gain(peak_db);
    for (float& v : m) v = soft_clip((float)(v * g), ceil);
}

void normalise_track(Stereo& s, double target_db, double peak_db) {
    double e = 0;
    for (size_t i = 0; i < s.size(); ++i) e += (double)s.l[i] * s.l[i] + (double)s.r[i] * s.r[i];
    double r = std::sqrt(e / (2.0 * std::max<size_t>(1, s.size())));
    if (r <= 0) return;
    double g = db_gain(target_db) / r;
    float ceil = (float)db_gain(peak_db);
    for (size_t i = 0; i < s.size(); ++i) {
        s.l[i] = soft_clip((float)(s.l[i] * g), ceil);
        s.r[i] = soft_clip((float)(s.r[i] * g), ceil);
    }
}

Reverb::Reverb(double room, double damping) {
    static const int combs[8] = {1116, 1188, 1277, 1356, 1422, 1491, 1557, 1617};
    static const int alls[4] = {556, 441, 341, 225};
    const int spread = 23;
    for (int i = 0; i < 8; ++i) {
        cl[i].buf.assign(combs[i], 0.f);
        cr[i].buf.assign(combs[i] + spread, 0.f);
    }
    for (int i = 0; i < 4; ++i) {
        al[i].buf.assign(alls[i], 0.f);
        ar[i].buf.assign(alls[i] + spread, 0.f);
    }
    feedback = (float)(0.7 + 0.28 * room);
    damp = (float)damping;
}

static inline float comb_tick(Reverb::Comb& c, float in, float fb, float damp) {
    float out = c.buf[c.i];
    c.store = out * (1 - damp) + c.store * damp;
    c.buf[c.i] = in + c.store * fb;
    if (++c.i == c.buf.size()) c.i = 0;
    return out;
}

static inline float allpass_tick(Reverb::Allpass& a, float in) {
    float b = a.buf[a.i];
    float out = -in + b;
    a.buf[a.i] = in + b * 0.5f;
    if (++a.i == a.buf.size()) a.i = 0;
    return out;
}

void Reverb::tick(float in, float& outl, float& outr) {
    float x = in * 0.015f, l = 0, r = 0;
    for (int i = 0; i < 8; ++i) {
        l += comb_tick(cl[i], x, feedback, damp);
        r += comb_tick(cr[i], x, feedback, damp);
    }
    for (int i = 0; i < 4; ++i) {
        l = allpass_tick(al[i], l);
        r = allpass_tick(ar[i], r);
    }
    outl = l;
    outr = r;
}

void add_reverb(Stereo& s, double wet, double room, double damping, bool periodic) {
    size_t n = s.size();
    if (n == 0) return;
    Reverb rv(room, damping);
    Mono wl(n), wr(n);
    int turns = periodic ? 2 : 1;
    for (int t = 0; t < turns; ++t)
        for (size_t i = 0; i < n; ++i) {
            float l, r;
            rv.tick((s.l[i] + s.r[i]) * 0.5f, l, r);
            wl[i] = l;
            wr[i] = r;
        }
    for (size_t i = 0; i < n; ++i) {
        s.l[i] += (float)(wl[i] * wet);
        s.r[i] += (float)(wr[i] * wet);
    }
}

void add_reverb_mono(Mono& m, double wet, double room, double damping) {
    Reverb rv(room, damping);
    for (float& v : m) {
        float l, r;
        rv.tick(v, l, r);
        v += (float)((l + r) * 0.5 * wet);
    }
}

}  // namespace snd
