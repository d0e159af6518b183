#include "scenery.h"

#include <cmath>

namespace scene {
using namespace art;

void sky(Img& img, Col top, Col mid, Col horizon, double hy, double sx, double sy, Col sun, double sun_r) {
    for (int y = 0; y < img.h; ++y) {
        double t = y / hy;
        Col c = t < 0.55 ? gen::mix(top, mid, t / 0.55) : gen::mix(mid, horizon, std::min(1.0, (t - 0.55) / 0.45));
        for (int x = 0; x < img.w; ++x) {
            double d = std::hypot(x - sx, (y - sy) * 1.3) / sun_r;
            double g = std::exp(-d * d) * 0.9 + std::exp(-d * 0.35) * 0.35;
            Col o{c.r + (sun.r - c.r) * std::min(1.0, g), c.g + (sun.g - c.g) * std::min(1.0, g),
                  c.b + (sun.b - c.b) * std::min(1.0, g), 1};
            put(img.at(x, y), o);
        }
    }
}

void clouds(Img& img, double y0, double y1, Col light, Col shade, double cover, uint32_t seed) {
    for (int y = (int)std::max(0.0, y0); y < std::min((double)img.h, y1); ++y) {
        double band = std::sin(M_PI * (y - y0) / (y1 - y0));
        for (int x = 0; x < img.w; ++x) {
            double n = gen::fbm(x / 260.0, y / 70.0, 5, seed);
            double a = smoothstep(1 - cover, 1 - cover + 0.25, n) * band;
            if (a <= 0.01) continue;
            double nl = gen::fbm((x + 14) / 260.0, (y + 10) / 70.0, 5, seed);
            double lit = std::clamp(0.5 + (n - nl) * 6, 0.0, 1.0);
            Col c = gen::mix(shade, light, lit);
            float* p = img.at(x, y);
            a *= 0.85;
            for (int k = 0; k < 3; ++k) {
                double cv = k == 0 ? c.r : (k == 1 ? c.g : c.b);
                p[k] = (float)(p[k] * (1 - a) + cv * a * p[3]);
            }
        }
    }
}

void ridge(Img& img, double base, double amp, double scale, Col top, Col bottom, uint32_t seed) {
    for (int x = 0; x < img.w; ++x) {
        double n = gen::fbm(x / scale, 0.5, 5, seed);
        double ridge_y = base - amp * (n - 0.3) * 2;
        for (int y = std::max(0, (int)ridge_y - 1); y < img.h; ++y) {
            double a = std::clamp(y - ridge_y + 0.5, 0.0, 1.0);
            double t = std::clamp((y - ridge_y) / (img.h - ridge_y + 1), 0.0, 1.0);
            Col c = gen::mix(top, bottom, std::pow(t, 0.7));
            // Faint vertical texture of trees on the slopes.
            double tex = gen::noise2(x / 3.0, y / 9.0, seed + 5) - 0.5;
            c = gen::mix(c, bottom, 0.08 * tex + 0.04);
            float* p = img.at(x, y);
            Col prev = straight(p);
            double pa = p[3];
            double na = a + pa * (1 - a);
            Col o = gen::mix(prev, c, na > 0 ? a / na : 0);
            o.a = na;
            put(p, o);
        }
    }
}

void mist(Img& img, double y, double height, Col c, double strength, uint32_t seed) {
    for (int yy = std::max(0, (int)(y - height)); yy < std::min(img.h, (int)(y + height)); ++yy)
        for (int x = 0; x < img.w; ++x) {
            double d = (yy - y) / height;
            double n = gen::fbm(x / 300.0, yy / 40.0, 3, seed);
            double a = std::exp(-d * d * 3) * strength * (0.6 + 0.8 * n);
            a = std::min(a, 0.95);
            float* p = img.at(x, yy);
            if (p[3] <= 0) continue;
            for (int k = 0; k < 3; ++k) {
                double cv = k == 0 ? c.r : (k == 1 ? c.g : c.b);
                p[k] = (float)(p[k] * (1 - a) + cv * a * p[3]);
            }
        }
}

void haze(Img& img, Col c, double amount) {
    for (size_t i = 0; i < (size_t)img.w * img.h; ++i) {
        float* p = &img.p[i * 4];
        if (p[3] <= 0) continue;
        for (int k = 0; k < 3; ++k) {
            double cv = k == 0 ? c.r : (k == 1 ? c.g : c.b);
            p[k] = (float)(p[k] * (1 - amount) + cv * amount * p[3]);
        }
    }
}

Img temple(int W, int H, double x, double y, double w, int tiers, Col stone, Col shadow, Col haze_c, double hz,
           uint32_t seed) {
    double th = w * 0.085;
    Img body = mask(W, H, [&](cairo_t* cr) {
        for (int i = 0; i < tiers; ++i) {
            double tw = w * (1 - 0.13 * i);
            cairo_rectangle(cr, x - tw / 2, y - th * (i + 1), tw, th + 1);
        }
        double sw = w * (1 - 0.13 * tiers) * 0.75;
        cairo_rectangle(cr, x - sw / 2, y - th * tiers - th * 1.4, sw, th * 1.4 + 1);
        cairo_rectangle(cr, x - sw / 2 - 4, y - th * tiers - th * 1.55, sw + 8, th * 0.25);
        cairo_fill(cr);
    });
    tint(body, [&](int px, int py) {
        double n = gen::fbm(px / 12.0, py / 6.0, 3, seed);
        double side = (px - x) / (w / 2);
        return gen::mix(stone, shadow, std::clamp(0.25 + 0.35 * side + 0.3 * (n - 0.5), 0.0, 1.0));
    });
    Relief r;
    r.bevel = std::max(1.5, th * 0.12);
    r.slope = 2;
    r.specular = 0.05;
    shade_relief(body, r);
    // Stair down the middle, the shrine's doorway and the block joints of each tier.
    Img cut = mask(W, H, [&](cairo_t* cr) {
        double sw = w * 0.16;
        double top = y - th * tiers;
        cairo_move_to(cr, x - sw * 0.45, top);
        cairo_line_to(cr, x + sw * 0.45, top);
        cairo_line_to(cr, x + sw * 0.62, y);
        cairo_line_to(cr, x - sw * 0.62, y);
        cairo_close_path(cr);
        cairo_fill(cr);
        double dw = w * (1 - 0.13 * tiers) * 0.22;
        cairo_rectangle(cr, x - dw / 2, top - th * 1.1, dw, th * 1.1);
        cairo_fill(cr);
        cairo_set_line_width(cr, std::max(0.8, th * 0.06));
        for (int i = 0; i < tiers; ++i) {
            double tw = w * (1 - 0.13 * i);
            double ly = y - th * (i + 1) + th * 0.5;
            cairo_move_to(cr, x - tw / 2, ly);
            cairo_line_to(cr, x + tw / 2, ly);
        }
        cairo_stroke(cr);
    });
    for (size_t i = 0; i < (size_t)W * H; ++i) {
        float m = cut.p[i * 4 + 3];
        if (m <= 0 || body.p[i * 4 + 3] <= 0) continue;
        for (int k = 0; k < 3; ++k) body.p[i * 4 + k] *= (1 - 0.45f * m);
    }
    // Stair treads: light lines across the stair.
    draw_over(body, [&](cairo_t* cr) {
        double sw = w * 0.16;
        int steps = tiers * 4;
        double top = y - th * tiers;
        cairo_set_line_width(cr, std::max(0.7, th * 0.05));
        cairo_set_source_rgba(cr, stone.r, stone.g, stone.b, 0.55);
        for (int s = 1; s < steps; ++s) {
            double ly = top + (y - top) * s / steps;
            double half = sw * (0.45 + 0.17 * s / steps);
            cairo_move_to(cr, x - half, ly);
            cairo_line_to(cr, x + half, ly);
        }
        cairo_stroke(cr);
    });
    haze(body, haze_c, hz);
    return body;
}

Img canopy(int W, int H, double top, double bottom, double blob, Col light, Col dark, double relief, uint32_t seed,
           double clear_from, double clear_to) {
    gen::Rng r(seed);
    Img m = mask(W, H, [&](cairo_t* cr) {
        for (double x = -blob; x < W + blob; x += blob * r.range(0.45, 0.8)) {
            double h = top + (bottom - top) * gen::fbm(x / (blob * 5), 1.5, 3, seed + 1) * 0.9;
            if (clear_from >= 0 && x > clear_from && x < clear_to) {
                double mid = (clear_from + clear_to) / 2, half = (clear_to - clear_from) / 2;
                double k = 1 - std::fabs(x - mid) / half;
                h += (bottom - h) * std::min(1.0, k * 1.6) * 0.85;
            }
            int n = 3;
            for (int i = 0; i < n; ++i) {
                double bx = x + r.range(-blob * 0.4, blob * 0.4);
                double by = h + r.range(0, blob * 0.8) + i * blob * 0.5;
                double br = blob * r.range(0.45, 0.8);
                cairo_new_sub_path(cr);
                cairo_arc(cr, bx, by, br, 0, 2 * M_PI);
            }
            cairo_rectangle(cr, x - blob * 0.6, h + blob * 0.6, blob * 1.4, H);
        }
        cairo_fill(cr);
    });
    // Leafy edges: thin the mask where fine noise is low near its border.
    tint(m, [&](int x, int y) {
        double n = gen::fbm(x / (blob * 0.35), y / (blob * 0.35), 4, seed + 2);
        double t = std::clamp((y - top) / (H - top + 1), 0.0, 1.0);
        return gen::mix(gen::mix(light, dark, 0.15 + 0.6 * t), dark, 0.5 * (1 - n));
    });
    Relief rl;
    rl.bevel = blob * 0.35 * relief;
    rl.slope = 1.6;
    rl.specular = 0.06;
    rl.ambient = 0.62;
    rl.diffuse = 1.1;
    rl.rim = 0.2;
    shade_relief(m, rl);
    grain(m, blob * 0.08, 0.22, seed + 3, 3);
    return m;
}

Img trunks(int W, int H, const std::vector<double>& xs, double width, Col bark, Col dark, uint32_t seed) {
    gen::Rng r(seed);
    Img m = mask(W, H, [&](cairo_t* cr) {
        for (double x : xs) {
            double lean = r.range(-40, 40), wd = width * r.range(0.7, 1.2);
            cairo_move_to(cr, x - wd * 0.9, H + 5);
            cairo_curve_to(cr, x - wd * 0.5, H * 0.6, x + lean - wd * 0.45, H * 0.3, x + lean - wd * 0.4, -10);
            cairo_line_to(cr, x + lean + wd * 0.4, -10);
            cairo_curve_to(cr, x + lean + wd * 0.45, H * 0.3, x + wd * 0.5, H * 0.6, x + wd * 0.9, H + 5);
            cairo_close_path(cr);
            cairo_fill(cr);
            // Buttress roots.
            for (int s = -1; s <= 1; s += 2) {
                cairo_move_to(cr, x + s * wd * 0.4, H * 0.72);
                cairo_curve_to(cr, x + s * wd * 0.8, H * 0.88, x + s * wd * 1.4, H * 0.95, x + s * wd * 2.0, H + 5);
                cairo_line_to(cr, x + s * wd * 0.5, H + 5);
                cairo_close_path(cr);
                cairo_fill(cr);
            }
        }
    });
    tint(m, [&](int x, int y) {
        double n = gen::fbm(x / 6.0, y / 60.0, 4, seed + 1);
        double moss = gen::fbm(x / 30.0, y / 30.0, 3, seed + 2);
        Col c = gen::mix(bark, dark, 0.2 + 0.6 * n);
        if (moss > 0.6) c = gen::mix(c, gen::hex(0x4A7A2A), (moss - 0.6) * 1.5);
        return c;
    });
    Relief rl;
    rl.bevel = width * 0.5;
    rl.slope = 1.2;
    rl.specular = 0.05;
    rl.diffuse = 1.2;
    rl.rim = 0.3;
    shade_relief(m, rl);
    return m;
}

Img vines(int W, int H, const std::vector<double>& xs, double maxlen, Col leaf, Col dark, uint32_t seed) {
    gen::Rng r(seed);
    Img m = mask(W, H, [&](cairo_t* cr) {
        cairo_set_line_cap(cr, CAIRO_LINE_CAP_ROUND);
        for (double x : xs) {
            double len = maxlen * r.range(0.5, 1.0);
            double sway = r.range(-60, 60);
            cairo_set_line_width(cr, r.range(2.5, 4.5));
            cairo_move_to(cr, x, -5);
            cairo_curve_to(cr, x + sway, len * 0.35, x - sway * 0.5, len * 0.7, x + sway * 0.3, len);
            cairo_stroke(cr);
            // Leaves along the vine.
            for (double t = 0.08; t < 1; t += r.range(0.05, 0.09)) {
                double u = 1 - t;
                double px = u * u * u * x + 3 * u * u * t * (x + sway) + 3 * u * t * t * (x - sway * 0.5) + t * t * t * (x + sway * 0.3);
                double py = -5 * u * u * u + 3 * u * u * t * len * 0.35 + 3 * u * t * t * len * 0.7 + t * t * t * len;
                double side = r.real() < 0.5 ? -1 : 1;
                double ll = r.range(10, 20);
                cairo_save(cr);
                cairo_translate(cr, px, py);
                cairo_rotate(cr, side * r.range(0.6, 1.2) + M_PI / 2);
                cairo_move_to(cr, 0, 0);
                cairo_curve_to(cr, ll * 0.4, -ll * 0.35, ll * 0.8, -ll * 0.2, ll, 0);
                cairo_curve_to(cr, ll * 0.8, ll * 0.2, ll * 0.4, ll * 0.35, 0, 0);
                cairo_fill(cr);
                cairo_restore(cr);
            }
        }
    });
    tint(m, [&](int x, int y) { return gen::mix(leaf, dark, 0.3 + 0.5 * gen::noise2(x / 7.0, y / 7.0, seed)); });
    Relief rl;
    rl.bevel = 2;
    rl.slope = 2;
    rl.specular = 0.1;
    shade_relief(m, rl);
    return m;
}

namespace {
// A fern frond or palm leaf: a curved rib with leaflets, from (x, y) toward angle ang.
void frond(cairo_t* cr, gen::Rng& r, double x, double y, double len, double ang, double curl, double leaflet) {
    int n = (int)(len / (leaflet * 0.32));
    double px = x, py = y, a = ang;
    cairo_set_line_cap(cr, CAIRO_LINE_CAP_ROUND);
    for (int i = 0; i < n; ++i) {
        double t = (double)i / n;
        double step = len / n;
        double nx = px + std::cos(a) * step, ny = py + std::sin(a) * step;
        cairo_set_line_width(cr, std::max(1.0, leaflet * 0.12 * (1 - t)));
        cairo_move_to(cr, px, py);
        cairo_line_to(cr, nx, ny);
        cairo_stroke(cr);
        double ll = leaflet * (1 - 0.75 * t) * r.range(0.85, 1.1);
        for (int s = -1; s <= 1; s += 2) {
            double la = a + s * (1.0 - 0.3 * t);
            cairo_save(cr);
            cairo_translate(cr, nx, ny);
            cairo_rotate(cr, la);
            cairo_move_to(cr, 0, 0);
            cairo_curve_to(cr, ll * 0.3, -ll * 0.18, ll * 0.75, -ll * 0.14, ll, ll * 0.08 * s);
            cairo_curve_to(cr, ll * 0.7, ll * 0.12, ll * 0.3, ll * 0.12, 0, 0);
            cairo_fill(cr);
            cairo_restore(cr);
        }
        a += curl / n;
        px = nx;
        py = ny;
    }
}

// A broad heart-shaped leaf on a stalk.
void broadleaf(cairo_t* cr, double x, double y, double len, double ang) {
    cairo_save(cr);
    cairo_translate(cr, x, y);
    cairo_rotate(cr, ang);
    cairo_move_to(cr, 0, 0);
    cairo_curve_to(cr, len * 0.3, -len * 0.45, len * 0.85, -len * 0.3, len, 0);
    cairo_curve_to(cr, len * 0.85, len * 0.3, len * 0.3, len * 0.45, 0, 0);
    cairo_fill(cr);
    cairo_restore(cr);
}
}  // namespace

Img foreground(int W, int H, Col leaf, Col dark, Col rim, uint32_t seed, double density) {
    gen::Rng r(seed);
    Img m = mask(W, H, [&](cairo_t* cr) {
        // Bottom corners: ferns and broad leaves rising inward.
        for (int side = 0; side < 2; ++side) {
            double sx = side == 0 ? 0 : W;
            double dir = side == 0 ? 1 : -1;
            int n = (int)(7 * density);
            for (int i = 0; i < n; ++i) {
                double bx = sx + dir * r.range(-30, 260), by = H + r.range(0, 40);
                double ang = -M_PI / 2 + dir * r.range(0.2, 1.1);
                frond(cr, r, bx, by, r.range(180, 340), ang, dir * r.range(0.4, 1.0), r.range(38, 60));
            }
            for (int i = 0; i < (int)(4 * density); ++i) {
                double bx = sx + dir * r.range(0, 200), by = H - r.range(0, 120);
                broadleaf(cr, bx, by, r.range(110, 190), -M_PI / 2 + dir * r.range(0.5, 1.3));
            }
            // Leaves hanging into the top corner.
            for (int i = 0; i < (int)(4 * density); ++i) {
                double bx = sx + dir * r.range(-40, 180), by = r.range(-40, 40);
                frond(cr, r, bx, by, r.range(160, 300), M_PI / 2 - dir * r.range(0.3, 1.0), -dir * r.range(0.3, 0.8),
                      r.range(30, 48));
            }
        }
    });
    Img lit = m;
    tint(lit, [&](int x, int y) {
        double n = gen::fbm(x / 40.0, y / 40.0, 3, seed + 1);
        return gen::mix(leaf, dark, 0.25 + 0.6 * n);
    });
    Relief rl;
    rl.bevel = 5;
    rl.slope = 2.2;
    rl.specular = 0.15;
    rl.diffuse = 1.3;
    rl.rim = 0.4;
    shade_relief(lit, rl);
    // A warm rim light on the upper-left edges of the leaves.
    for (int y = 1; y < H; ++y)
        for (int x = 1; x < W; ++x) {
            float* p = lit.at(x, y);
            if (p[3] <= 0) continue;
            double e = p[3] - m.alpha(x - 2, y - 2);
            if (e <= 0) continue;
            double k = std::min(1.0, e) * 0.6;
            p[0] = (float)(p[0] + (rim.r * p[3] - p[0]) * k);
            p[1] = (float)(p[1] + (rim.g * p[3] - p[1]) * k);
            p[2] = (float)(p[2] + (rim.b * p[3] - p[2]) * k);
        }
    return lit;
}

}  // namespace scene
