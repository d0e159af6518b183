// Writes data/effects/: glows, sparks, dirt and chain pieces, rings, stars, confetti, smoke, fire and
// explosion sheets, butterflies and fireflies, rain and lightning, and the level and lose banners.
#include <cmath>
#include <cstdio>
#include <string>
#include <thread>

#include "art.h"
#include "effects.h"
#include "palette.h"
#include "symbols.h"

using namespace art;
using gen::Col;

namespace {

std::string dir;
bool ok = true;
void save(const std::string& name, const Img& img) { ok = save_png(dir + name, img) && ok; }
std::string num(int k) { return std::to_string(k); }

// Lays frames out left to right, top to bottom, `cols` to a row.
Img sheet(int cw, int ch, int frames, int cols, const std::function<Img(int)>& frame) {
    int rows = (frames + cols - 1) / cols;
    Img s(cw * cols, ch * rows);
    for (int f = 0; f < frames; ++f) over(s, frame(f), (f % cols) * cw, (f / cols) * ch);
    return s;
}

// Fire colour for heat 0..1: dark red, orange, yellow, white.
Col fire(double h) {
    h = std::clamp(h, 0.0, 1.0);
    if (h < 0.35) return gen::mix(gen::hex(0x5A0A02), gen::hex(0xE0440A), h / 0.35);
    if (h < 0.7) return gen::mix(gen::hex(0xE0440A), gen::hex(0xFFB02A), (h - 0.35) / 0.35);
    return gen::mix(gen::hex(0xFFB02A), gen::hex(0xFFF6D8), (h - 0.7) / 0.3);
}

// Explosion frame t in 0..1: a turbulent fireball that swells, hollows out and fades. Transparent surround.
Img fireball(int size, double t, uint32_t seed, double ring_amount) {
    Img img(size, size);
    double R = size / 2.0;
    double radius = 0.3 + 0.62 * std::pow(t, 0.55);
    for (int y = 0; y < size; ++y)
        for (int x = 0; x < size; ++x) {
            double dx = (x + 0.5 - R) / R, dy = (y + 0.5 - R) / R;
            double d = std::sqrt(dx * dx + dy * dy);
            if (d >= 0.99) continue;
            double ang = std::atan2(dy, dx);
            double n = gen::fbm(std::cos(ang) * 2.2 + 5 + t * 1.5, std::sin(ang) * 2.2 + 5 + d * 3, 4, seed);
            double edge = radius * (0.8 + 0.4 * n);
            double body = 1 - smoothstep(edge * 0.7, edge, d);
            // Later frames burn out from the middle into a ring.
            double hollow = smoothstep(0.0, edge * 0.85, d) * ring_amount * t + (1 - ring_amount * t);
            double heat = body * hollow * (1.05 - t * 0.9) * (0.75 + 0.5 * gen::fbm(dx * 4 + 9, dy * 4 + t * 3, 3, seed + 7));
            double a = std::min(1.0, heat * 1.6) * smoothstep(0.99, 0.9, d);
            if (a <= 0.003) continue;
            Col c = fire(heat);
            c.a = a;
            put(img.at(x, y), c);
        }
    return img;
}

Img sparkle(int size, const Col& c) {
    Img g = radial_glow(size, c, 0.12, 2.2, 0.9);
    fade(g, 0.7f);
    Img rays = mask(size, size, [&](cairo_t* cr) {
        double R = size / 2.0;
        cairo_translate(cr, R, R);
        for (int i = 0; i < 4; ++i) {
            double len = (i % 2 == 0) ? R * 0.96 : R * 0.8;
            cairo_save(cr);
            cairo_rotate(cr, i * M_PI / 2);
            cairo_move_to(cr, 0, -R * 0.07);
            cairo_line_to(cr, len, 0);
            cairo_line_to(cr, 0, R * 0.07);
            cairo_close_path(cr);
            cairo_fill(cr);
            cairo_restore(cr);
        }
        cairo_rotate(cr, M_PI / 4);
        for (int i = 0; i < 4; ++i) {
            cairo_save(cr);
            cairo_rotate(cr, i * M_PI / 2);
            cairo_move_to(cr, 0, -R * 0.04);
            cairo_line_to(cr, R * 0.45, 0);
            cairo_line_to(cr, 0, R * 0.04);
            cairo_close_path(cr);
            cairo_fill(cr);
            cairo_restore(cr);
        }
    });
    Img soft = rays;
    blur(soft, size / 40.0f);
    tint(soft, [&](int, int) { return gen::mix(c, gen::hex(0xFFFFFF), 0.7); });
    add(g, soft, 0, 0, 1.0f);
    return g;
}

// The glow of colour k: the two spots of a superstone, and the motes, sparks and glowing smoke of that colour.
// A white-hot middle in a bright halo, with four short rays, so that a superstone's spots show on a stone of its
// own colour even in the smallest window. The white stone's halo is warm: white on white would not show.
Img glowspot(int k) {
    const int size = 48;
    const double R = size / 2.0;
    Col c = k == 7 ? gen::mix(pal::glow(k), gen::hex(0xFFB040), 0.8) : pal::glow(k);
    Img g = radial_glow(size, c, 0.32, 1.0, 1.0);
    Img rays = mask(size, size, [&](cairo_t* cr) {
        cairo_translate(cr, R, R);
        for (int i = 0; i < 8; ++i) {
            const double len = i % 2 == 0 ? R * 0.9 : R * 0.6, w = i % 2 == 0 ? R * 0.12 : R * 0.08;
            cairo_save(cr);
            cairo_rotate(cr, i * M_PI / 4);
            cairo_move_to(cr, 0, -w);
            cairo_line_to(cr, len, 0);
            cairo_line_to(cr, 0, w);
            cairo_close_path(cr);
            cairo_fill(cr);
            cairo_restore(cr);
        }
    });
    blur(rays, 0.6f);
    tint(rays, [&](int, int) { return gen::mix(c, gen::hex(0xFFFFFF), 0.75); });
    over(g, rays, 0, 0, 1.0f);
    return g;
}

Img spikes() {
    const int S = 128;
    Img m = mask(S, S, [](cairo_t* cr) {
        gen::Rng r(41);
        cairo_translate(cr, 64, 64);
        for (int i = 0; i < 12; ++i) {
            double a = i * M_PI / 6 + r.range(-0.12, 0.12);
            double len = r.range(38, 62);
            cairo_save(cr);
            cairo_rotate(cr, a);
            cairo_move_to(cr, 6, -4);
            cairo_line_to(cr, len, 0);
            cairo_line_to(cr, 6, 4);
            cairo_close_path(cr);
            cairo_fill(cr);
            cairo_restore(cr);
        }
    });
    tint(m, [](int x, int y) {
        double d = std::hypot(x - 64.0, y - 64.0) / 64;
        return gen::mix(gen::hex(0xFFFBE8), gen::hex(0xFFB040), d);
    });
    Img glow = m;
    blur(glow, 3);
    Img out(S, S);
    over(out, glow, 0, 0, 0.8f);
    over(out, m, 0, 0);
    Img core = radial_glow(48, gen::hex(0xFFE9A0), 0.3, 2, 0.8);
    over(out, core, 40, 40, 0.8f);
    return out;
}

Img rain_streak() {
    const int W = 24, H = 48;
    Img m(W, H);
    // A streak along the drops' direction of travel (0.3, 0.6), bright at its head.
    for (int y = 0; y < H; ++y)
        for (int x = 0; x < W; ++x) {
            double px = x + 0.5 - 12, py = y + 0.5 - 24;
            double ux = 0.447, uy = 0.894;
            double along = px * ux + py * uy, across = -px * uy + py * ux;
            if (std::fabs(along) > 22) continue;
            double t = (along + 22) / 44;
            double a = std::exp(-(across * across) / 0.9) * std::pow(t, 1.5) * 0.85;
            put(m.at(x, y), {0.85, 0.92, 1.0, a});
        }
    return m;
}

// A jagged bolt from (cx, top) downward with branches, painted into a mask.
void bolt_path(cairo_t* cr, gen::Rng& r, double x, double y, double len, double ang, double width, int depth) {
    double step = 14;
    int n = (int)(len / step);
    cairo_set_line_cap(cr, CAIRO_LINE_CAP_ROUND);
    cairo_set_line_join(cr, CAIRO_LINE_JOIN_ROUND);
    for (int i = 0; i < n; ++i) {
        double a = ang + r.range(-0.55, 0.55);
        double nx = x + std::sin(a) * step, ny = y + std::cos(a) * step;
        cairo_set_line_width(cr, width * (1 - 0.6 * i / n));
        cairo_move_to(cr, x, y);
        cairo_line_to(cr, nx, ny);
        cairo_stroke(cr);
        if (depth < 2 && r.real() < 0.12) {
            double side = r.real() < 0.5 ? -1 : 1;
            bolt_path(cr, r, nx, ny, len * 0.35 * r.range(0.5, 1), ang + side * r.range(0.5, 0.9), width * 0.5, depth + 1);
        }
        x = nx;
        y = ny;
    }
}

// fade_top: also fade toward the top edge (a bolt that does not hang from it).
Img bolt_image(int W, int H, double x0, double y0, double len, double ang, double width, uint32_t seed,
               const Col& glowc, bool fade_top = false) {
    gen::Rng r(seed);
    Img core = mask(W, H, [&](cairo_t* cr) { bolt_path(cr, r, x0, y0, len, ang, width, 0); });
    Img glow = core;
    blur(glow, width * 2.5f);
    tint(glow, [&](int, int) { return glowc; });
    Img glow2 = core;
    blur(glow2, width * 7.0f);
    tint(glow2, [&](int, int) { return glowc; });
    Img out(W, H);
    fade(glow2, 2.5f);  // a thin line's blur is faint: lift it
    fade(glow, 3.0f);
    for (float& v : glow2.p) v = std::min(v, 1.0f);
    for (float& v : glow.p) v = std::min(v, 1.0f);
    over(out, glow2, 0, 0, 0.8f);
    add(out, glow, 0, 0, 1.0f);
    over(out, core, 0, 0);
    // Fade out toward the image edges.
    for (int y = 0; y < H; ++y)
        for (int x = 0; x < W; ++x) {
            double e = (std::min({x + 0.5, W - x - 0.5, H - y - 0.5, fade_top ? y + 0.5 : 1e9}) - 0.5) / 6.0;
            float f = (float)std::min(1.0, e);
            float* p = out.at(x, y);
            for (int k = 0; k < 4; ++k) p[k] *= f;
        }
    return out;
}

Img glower() {
    const int S = 160;
    Img out(S, S);
    for (int y = 0; y < S; ++y)
        for (int x = 0; x < S; ++x) {
            double dx = (x + 0.5 - 80) / 80, dy = (y + 0.5 - 80) / 80;
            double d = std::sqrt(dx * dx + dy * dy);
            if (d >= 1) continue;
            double ang = std::atan2(dy, dx);
            double rays = std::pow(0.5 + 0.5 * std::cos(ang * 12), 3) * 0.7 + std::pow(0.5 + 0.5 * std::cos(ang * 7 + 1), 6) * 0.3;
            double a = (0.55 * std::pow(1 - d, 2) + 0.6 * rays * std::pow(1 - d, 1.3)) * smoothstep(1.0, 0.8, d);
            Col c = gen::mix(gen::hex(0xFFF8DC), gen::hex(0xFFC24A), d);
            c.a = std::min(1.0, a);
            put(out.at(x, y), c);
        }
    return out;
}

Img ring(int k) {
    const int S = 128;
    Img out(S, S);
    Col c = pal::glow(k);
    for (int y = 0; y < S; ++y)
        for (int x = 0; x < S; ++x) {
            double d = std::hypot(x + 0.5 - 64, y + 0.5 - 64);
            double a = std::exp(-std::pow((d - 52) / 4.0, 2)) + 0.45 * std::exp(-std::pow((d - 50) / 10.0, 2));
            a *= smoothstep(63.5, 60, d);
            if (a < 0.002) continue;
            double w = std::exp(-std::pow((d - 52) / 1.6, 2)) * 0.7;
            Col col = gen::mix(c, gen::hex(0xFFFFFF), w);
            col.a = std::min(1.0, a);
            put(out.at(x, y), col);
        }
    return out;
}

Img star_piece(int k) {
    const int S = 48;
    Img st = mask(S, S, [](cairo_t* cr) {
        cairo_translate(cr, 24, 25);
        for (int i = 0; i < 10; ++i) {
            double a = -M_PI / 2 + i * M_PI / 5;
            double r = (i % 2) ? 8.5 : 19;
            if (i == 0)
                cairo_move_to(cr, r * std::cos(a), r * std::sin(a));
            else
                cairo_line_to(cr, r * std::cos(a), r * std::sin(a));
        }
        cairo_close_path(cr);
        cairo_fill(cr);
    });
    Col lite = pal::glow(k), base = pal::stone(k);
    tint(st, [&](int, int y) { return gen::mix(gen::mix(lite, gen::hex(0xFFFFFF), 0.3), base, y / 48.0); });
    Relief r;
    r.bevel = 3;
    r.slope = 3;
    r.specular = 0.7;
    shade_relief(st, r);
    Img out(S, S);
    Img g = st;
    blur(g, 3);
    tint(g, [&](int, int) { return lite; });
    over(out, g, 0, 0, 0.7f);
    over(out, st, 0, 0);
    return out;
}

// A stone shard of colour k (variant 1 or 2 shape), small and crisp.
Img dirt(int k, int variant) {
    const int S = 24;
    gen::Rng r(700 + k * 3 + variant);
    Img m = mask(S, S, [&](cairo_t* cr) {
        int n = variant == 1 ? 5 : 4;
        for (int i = 0; i < n; ++i) {
            double a = i * 2 * M_PI / n + r.range(-0.35, 0.35);
            double rad = (variant == 1 ? 8.5 : 9.5) * r.range(0.65, 1.05);
            double x = 12 + rad * std::cos(a), y = 12 + rad * std::sin(a) * (variant == 1 ? 1 : 0.7);
            if (i == 0)
                cairo_move_to(cr, x, y);
            else
                cairo_line_to(cr, x, y);
        }
        cairo_close_path(cr);
        cairo_fill(cr);
    });
    Col base = pal::stone(k), lite = pal::glow(k), dark = pal::deep(k);
    if (k == 8) base = gen::hex(0x4A4650), lite = gen::hex(0x8A8890), dark = gen::hex(0x1A181E);
    tint(m, [&](int x, int y) {
        Col c = gen::mix(gen::mix(lite, base, 0.4), dark, (x + y) / 48.0);
        if (gen::noise2(x * 0.8, y * 0.8, 710 + k) > 0.8) c = gen::mix(c, dark, 0.5);
        return c;
    });
    Relief rl;
    rl.bevel = 2;
    rl.slope = 2.5;
    rl.specular = 0.5;
    rl.rim = 0.6;
    shade_relief(m, rl);
    return m;
}

Img chainpart(int k) {
    const int W = k == 3 ? 32 : 24, H = k == 3 ? 22 : 16;
    Img m = mask(W, H, [&](cairo_t* cr) {
        cairo_translate(cr, W / 2.0, H / 2.0);
        if (k == 2) cairo_rotate(cr, 0.5);
        double rx = W * 0.42, ry = H * 0.4;
        cairo_save(cr);
        cairo_scale(cr, rx, ry);
        cairo_arc(cr, 0, 0, 1, 0, 2 * M_PI);
        cairo_restore(cr);
        cairo_save(cr);
        cairo_scale(cr, rx * 0.55, ry * 0.45);
        cairo_arc_negative(cr, 0, 0, 1, 2 * M_PI, 0);
        cairo_restore(cr);
        cairo_fill(cr);
        if (k == 2) {
            // A broken link: cut a gap into one side.
            cairo_set_operator(cr, CAIRO_OPERATOR_CLEAR);
            cairo_rectangle(cr, rx * 0.5, -ry * 0.3, rx, ry * 0.6);
            cairo_fill(cr);
        }
    });
    Col metal = k == 3 ? gen::hex(0x8A7F72) : gen::hex(0xB9BEC6);
    Col dark = k == 3 ? gen::hex(0x2E2820) : gen::hex(0x3C4048);
    tint(m, [&](int, int y) { return gen::mix(metal, dark, (double)y / H); });
    Relief r;
    r.bevel = 1.8;
    r.slope = 2.5;
    r.specular = 0.9;
    r.shininess = 12;
    shade_relief(m, r);
    return m;
}

Img konfetti(int k) {
    const int W = 20, H = 12;
    const uint32_t cols[5] = {0, 0xF2433C, 0xFFD23A, 0x3A8CFF, 0x4CD964};
    Img m = mask(W, H, [](cairo_t* cr) {
        gen::rounded_rect(cr, 1, 1.5, 18, 9, 1.5);
        cairo_fill(cr);
    });
    Col c = gen::hex(cols[k]);
    tint(m, [&](int x, int) { return gen::mix(gen::mix(c, gen::hex(0xFFFFFF), 0.35), gen::mix(c, gen::hex(0), 0.25), x / 20.0); });
    return m;
}

// Smoke puff frame t: a soft billow that grows, thins and drifts up.
Img smoke(int W, int H, double t, uint32_t seed, const Col& light, const Col& dark, bool glints) {
    Img img(W, H);
    double cx = W / 2.0, cy = H / 2.0 + 2 - t * 5;
    double R = std::min(W, H) * (0.26 + 0.24 * std::pow(t, 0.6));
    for (int y = 0; y < H; ++y)
        for (int x = 0; x < W; ++x) {
            double dx = (x + 0.5 - cx) / R, dy = (y + 0.5 - cy) / R;
            double n = gen::fbm(dx * 1.4 + 3, dy * 1.4 + 3 + t * 0.8, 4, seed);
            double d = std::sqrt(dx * dx + dy * dy) * (0.8 + 0.45 * (1 - n));
            double a = (1 - smoothstep(0.5, 1.0, d)) * (1.0 - 0.95 * t) * (0.8 + 0.5 * n);
            double e = std::min({x + 0.5, W - x - 0.5, y + 0.5, H - y - 0.5});
            a *= smoothstep(0, 3, e);
            if (a <= 0.002) continue;
            Col c = gen::mix(light, dark, std::clamp(0.3 + dy * 0.35 + dx * 0.15 - (n - 0.5), 0.0, 1.0));
            c.a = std::min(1.0, a);
            put(img.at(x, y), c);
        }
    if (glints && t < 0.7) {
        gen::Rng r(seed + 99);
        for (int i = 0; i < 5; ++i) {
            double a = r.range(0, 2 * M_PI), rad = R * r.range(0.3, 1.1);
            int gx = (int)(cx + std::cos(a) * rad) - 4, gy = (int)(cy + std::sin(a) * rad) - 4;
            over(img, radial_glow(9, gen::hex(0xE8F0FF), 0.25, 1.5, 1.0), gx, gy, (float)(1 - t));
        }
    }
    return img;
}

// Ring of flames around a superstone, frame f of a loop of 18 (frames 18, 19 continue the loop).
Img roundfire(int f) {
    const int S = 90;
    Img img(S, S);
    double phase = (f % 18) / 18.0;
    for (int y = 0; y < S; ++y)
        for (int x = 0; x < S; ++x) {
            double dx = x + 0.5 - 45, dy = y + 0.5 - 45;
            double d = std::sqrt(dx * dx + dy * dy);
            double ang = std::atan2(dy, dx) / (2 * M_PI) + 0.5;  // 0..1
            // Noise on a circle so that the loop closes: sample around a ring in noise space.
            double u = ang * 2 * M_PI;
            double n = gen::fbm(std::cos(u - phase * 2 * M_PI) * 2.5 + 10, std::sin(u - phase * 2 * M_PI) * 2.5 + 10 + d * 0.08, 4, 881);
            double tongues = 0.5 + 0.5 * std::sin(u * 9 - phase * 2 * M_PI * 3);
            double outer = 34 + 12 * (n - 0.3) + 6 * tongues;
            double inner = 30;
            if (d < inner - 4 || d > outer + 1) continue;
            double body = smoothstep(inner - 4, inner + 1, d) * (1 - smoothstep(outer - 6, outer, d));
            double heat = body * (0.25 + 0.55 * std::pow(1 - (d - inner) / (outer - inner + 1), 1.5)) * (0.7 + 0.5 * n);
            double a = std::min(1.0, body * (0.5 + 0.8 * (1 - (d - inner) / (outer - inner + 1)))) * smoothstep(44.5, 42, d);
            if (a <= 0.003) continue;
            Col c = fire(heat);
            c.a = a;
            put(img.at(x, y), c);
        }
    return img;
}

// Mud splash frame t (variant 1 mud, 2 swamp, 3 stone dust): blobs thrown out from the middle.
Img mudsplash(int variant, double t) {
    const int S = 128;
    Img img(S, S);
    Col light = variant == 1 ? gen::hex(0xA8794A) : (variant == 2 ? gen::hex(0x8A8E48) : gen::hex(0xC8C2B8));
    Col dark = variant == 1 ? gen::hex(0x4A2C14) : (variant == 2 ? gen::hex(0x3A3E18) : gen::hex(0x6E6A64));
    gen::Rng r(1100 + variant);
    Img blobs = mask(S, S, [&](cairo_t* cr) {
        for (int i = 0; i < 22; ++i) {
            double a = r.range(0, 2 * M_PI), speed = r.range(0.35, 1.0), size = r.range(3, 9);
            double dist = 8 + 52 * speed * std::pow(t, 0.6);
            double x = 64 + std::cos(a) * dist, y = 64 + std::sin(a) * dist + 18 * t * t;
            double s = size * (1 - 0.6 * t) * (variant == 3 ? 0.8 : 1);
            cairo_new_sub_path(cr);
            cairo_arc(cr, x, y, std::max(0.5, s), 0, 2 * M_PI);
        }
        // The central splat, shrinking.
        double cs = 20 * (1 - t) * (1 - t);
        if (cs > 0.5) {
            cairo_new_sub_path(cr);
            cairo_arc(cr, 64, 64, cs, 0, 2 * M_PI);
        }
        cairo_fill(cr);
    });
    tint(blobs, [&](int x, int y) { return gen::mix(light, dark, std::clamp((x + y) / 256.0 + 0.2, 0.0, 1.0)); });
    Relief rl;
    rl.bevel = 2.5;
    rl.slope = 2.5;
    rl.specular = variant == 3 ? 0.1 : 0.6;
    shade_relief(blobs, rl);
    if (variant == 3) {
        Img dust = smoke(S, S, std::min(1.0, t * 1.2), 1200, gen::hex(0xE0DAD0), gen::hex(0x8A8478), false);
        over(img, dust, 0, 0);
    }
    over(img, blobs, 0, 0, (float)std::min(1.0, (1 - t) * 1.6));
    return img;
}

}  // namespace

int main(int argc, char** argv) {
    if (argc < 2) {
        std::fprintf(stderr, "usage: gen_effects <data folder>\n");
        return 2;
    }
    dir = std::string(argv[1]) + "/effects/";
    gen::make_dirs(dir);
    // The big sheets go to a second thread; the small images are quick.
    std::thread heavy([] {
        save("explosion3.png", sheet(256, 256, 32, 8, [](int f) {
                 Img fb = fireball(256, f / 31.0, 3000, 0.9);
                 // A shock ring running ahead of the fire.
                 double t = f / 31.0;
                 Img ringi(256, 256);
                 double rr = 40 + 88 * std::pow(t, 0.5);
                 for (int y = 0; y < 256; ++y)
                     for (int x = 0; x < 256; ++x) {
                         double d = std::hypot(x + 0.5 - 128, y + 0.5 - 128);
                         double a = std::exp(-std::pow((d - rr) / 5.0, 2)) * (1 - t) * smoothstep(127.5, 120, d);
                         if (a > 0.003) put(ringi.at(x, y), {1.0, 0.85, 0.6, a});
                     }
                 add(fb, ringi, 0, 0);
                 return fb;
             }));
        for (int v = 1; v <= 3; ++v)
            save("match3mudexplosion" + num(v) + ".png",
                 sheet(128, 128, 32, 8, [v](int f) { return mudsplash(v, f / 31.0); }));
    });
    save("explosion.png", sheet(128, 128, 16, 4, [](int f) { return fireball(128, f / 15.0, 2000, 0.6); }));
    save("glowstar.png", sparkle(64, gen::hex(0xFFE7A0)));
    save("spikes.png", spikes());
    save("glowworm.png", radial_glow(256, gen::hex(0xB8FF6A), 0.08, 3.0, 0.9));
    save("insect.png", firefly());
    save("rain2.png", rain_streak());
    save("lightning.png", bolt_image(168, 620, 84, 0, 640, 0.0, 3.2, 58, gen::hex(0x8FB8FF)));
    save("glower.png", glower());
    Img blitz = bolt_image(128, 128, 64, 64, 100, 2.3, 2.4, 77, gen::hex(0xC89BFF), true);
    add(blitz, bolt_image(128, 128, 64, 64, 80, 1.7, 1.8, 79, gen::hex(0xC89BFF), true), 0, 0);
    add(blitz, radial_glow(40, gen::hex(0xE8D8FF), 0.3, 1.5, 1.0), 44, 44);
    save("blitz.png", blitz);
    for (int k = 1; k <= 4; ++k) save("konfetti" + num(k) + ".png", konfetti(k));
    for (int k = 1; k <= 9; ++k) {
        save("glb" + num(k) + ".png", glowspot(k));
        save("dirt" + num(k) + ".png", dirt(k, 1));
        save("dirt" + num(k) + "-2.png", dirt(k, 2));
        save("circle" + num(k) + ".png", ring(k));
        save("star" + num(k) + ".png", star_piece(k));
    }
    for (int k = 1; k <= 3; ++k) save("chainpart" + num(k) + ".png", chainpart(k));
    for (int k = 1; k <= 4; ++k)
        save("butterfly" + num(k) + ".png", sheet(78, 54, 9, 9, [k](int f) { return butterfly(k, f); }));
    save("smoke1.png", sheet(54, 55, 32, 8, [](int f) {
             return smoke(54, 55, f / 31.0, 890, gen::hex(0xF2E8D8), gen::hex(0x9A8C78), false);
         }));
    save("smokechain.png", sheet(54, 55, 32, 8, [](int f) {
             return smoke(54, 55, f / 31.0, 1105, gen::hex(0xD8DEE8), gen::hex(0x6A7080), true);
         }));
    save("roundfire1.png", sheet(90, 90, 20, 5, roundfire));
    save("levelbanner.png", banner(false));
    save("losebanner.png", banner(true));
    heavy.join();
    return ok ? 0 : 1;
}
