// Writes data/minigames/match3/: the cell, its hit mask and hover mark, the five items (and the two spare
// ones), the hint arrows and the four mud layers.
#include <cmath>
#include <cstdio>
#include <string>

#include "art.h"

using namespace art;
using gen::Col;
using gen::hex;

namespace {
const int S = 64;

Img cell() {
    Img m = mask(S, S, [](cairo_t* cr) {
        gen::rounded_rect(cr, 1, 1, 62, 62, 7);
        cairo_fill(cr);
    });
    Img c = lit(m, [](int x, int y) {
        double n = gen::fbm(x / 12.0, y / 12.0, 3, 1301);
        return gen::mix(hex(0x3A8A7A), hex(0x164A42), 0.35 + 0.4 * n + (x + y) / 400.0);
    }, 5, 0.12);
    grain(c, 2.0, 0.05, 1302);
    // A shallow dish in the middle where the item sits.
    Img dish = mask(S, S, [](cairo_t* cr) {
        gen::rounded_rect(cr, 7, 7, 50, 50, 10);
        cairo_fill(cr);
    });
    Img inner = shadow_of(dish, 3, 1.0f);
    for (int y = 0; y < S; ++y)
        for (int x = 0; x < S; ++x) {
            float d = dish.alpha(x, y);
            if (d <= 0) continue;
            float sh = (1 - inner.alpha(x - 3, y - 3)) * d;
            float hl = (1 - inner.alpha(x + 2, y + 2)) * d;
            float* p = c.at(x, y);
            for (int k = 0; k < 3; ++k) p[k] = std::clamp(p[k] * (1 - 0.45f * sh) + 0.12f * hl * p[3], 0.f, p[3]);
        }
    return c;
}

Img cellmask() {
    return mask(S, S, [](cairo_t* cr) {
        gen::rounded_rect(cr, 2, 2, 60, 60, 8);
        cairo_fill(cr);
    });
}

Img cellmark() {
    Img out(S, S);
    for (int y = 0; y < S; ++y)
        for (int x = 0; x < S; ++x) {
            double d = -rrect_depth(x + 0.5, y + 0.5, 32, 32, 28, 28, 8);  // distance outside the inner square
            double a = std::exp(-std::pow((d + 1) / 3.0, 2)) * 0.9 + 0.18 * smoothstep(6, -20, d);
            double e = std::min({x + 0.5, S - x - 0.5, y + 0.5, S - y - 0.5});
            a *= smoothstep(0, 3, e);
            put(out.at(x, y), {1.0, 0.93, 0.7, std::min(1.0, a)});
        }
    return out;
}

struct Gem {
    Col light, base, dark;
};

// Item k: 1 ruby disc, 2 jade hexagon, 3 sapphire diamond, 4 golden sun coin, 5 amethyst triangle,
// 7 pearl, 10 amber cabochon.
Img item(int k) {
    Gem g;
    switch (k) {
        case 1: g = {hex(0xFF8A80), hex(0xD81E2A), hex(0x5A0610)}; break;
        case 2: g = {hex(0xA8F0A0), hex(0x2EA844), hex(0x0A3A14)}; break;
        case 3: g = {hex(0x9AD0FF), hex(0x2A6AE0), hex(0x0A1E5A)}; break;
        case 4: g = {hex(0xFFF0A0), hex(0xF0B428), hex(0x7A4A06)}; break;
        case 5: g = {hex(0xE0B0FF), hex(0x9A3ADA), hex(0x36104E)}; break;
        case 7: g = {hex(0xFFFFFF), hex(0xE8E2F0), hex(0x8A8296)}; break;
        default: g = {hex(0xFFD890), hex(0xE08A1A), hex(0x6A3004)}; break;
    }
    Img m = mask(S, S, [k](cairo_t* cr) {
        cairo_translate(cr, 32, 32);
        switch (k) {
            case 1: cairo_arc(cr, 0, 0, 22, 0, 2 * M_PI); break;
            case 2:
                for (int i = 0; i < 6; ++i) {
                    double a = i * M_PI / 3 + M_PI / 6;
                    if (i == 0) cairo_move_to(cr, 24 * std::cos(a), 24 * std::sin(a));
                    else cairo_line_to(cr, 24 * std::cos(a), 24 * std::sin(a));
                }
                cairo_close_path(cr);
                break;
            case 3:
                cairo_move_to(cr, 0, -25);
                cairo_line_to(cr, 21, 0);
                cairo_line_to(cr, 0, 25);
                cairo_line_to(cr, -21, 0);
                cairo_close_path(cr);
                break;
            case 4:
                for (int i = 0; i < 24; ++i) {
                    double a = i * M_PI / 12;
                    double r = (i % 2) ? 20 : 24;
                    if (i == 0) cairo_move_to(cr, r * std::cos(a), r * std::sin(a));
                    else cairo_line_to(cr, r * std::cos(a), r * std::sin(a));
                }
                cairo_close_path(cr);
                break;
            case 5:
                cairo_move_to(cr, 0, -23);
                cairo_line_to(cr, 24, 19);
                cairo_line_to(cr, -24, 19);
                cairo_close_path(cr);
                break;
            case 7: cairo_arc(cr, 0, 0, 19, 0, 2 * M_PI); break;
            default:
                cairo_scale(cr, 1, 0.8);
                cairo_arc(cr, 0, 0, 23, 0, 2 * M_PI);
                break;
        }
        cairo_fill(cr);
    });
    Img gem = lit(m, [&](int x, int y) {
        double t = (x * 0.4 + y) / 90.0;
        return t < 0.5 ? gen::mix(g.light, g.base, t * 2) : gen::mix(g.base, g.dark, (t - 0.5) * 1.6);
    }, k == 4 ? 4 : 7, 0.7, 2.5);
    // Facets: a lighter inner table for the cut stones, a carved sun on the coin.
    if (k == 2 || k == 3 || k == 5 || k == 1) {
        Img table = mask(S, S, [k](cairo_t* cr) {
            cairo_translate(cr, 32, k == 5 ? 36 : 32);
            cairo_scale(cr, 0.45, 0.45);
            if (k == 1) cairo_arc(cr, 0, 0, 22, 0, 2 * M_PI);
            else if (k == 2)
                for (int i = 0; i < 6; ++i) {
                    double a = i * M_PI / 3 + M_PI / 6;
                    if (i == 0) cairo_move_to(cr, 24 * std::cos(a), 24 * std::sin(a));
                    else cairo_line_to(cr, 24 * std::cos(a), 24 * std::sin(a));
                }
            else if (k == 3) {
                cairo_move_to(cr, 0, -25);
                cairo_line_to(cr, 21, 0);
                cairo_line_to(cr, 0, 25);
                cairo_line_to(cr, -21, 0);
            } else {
                cairo_move_to(cr, 0, -23);
                cairo_line_to(cr, 24, 19);
                cairo_line_to(cr, -24, 19);
            }
            cairo_close_path(cr);
            cairo_fill(cr);
        });
        Img t = lit(table, [&](int, int y) { return gen::mix(g.light, g.base, y / 64.0); }, 2, 0.9);
        over(gem, t, 0, 0, 0.75f);
    }
    if (k == 4) {
        Img sun = mask(S, S, [](cairo_t* cr) {
            cairo_arc(cr, 32, 32, 8, 0, 2 * M_PI);
            cairo_fill(cr);
            cairo_set_line_width(cr, 2.5);
            cairo_arc(cr, 32, 32, 14, 0, 2 * M_PI);
            cairo_stroke(cr);
        });
        carve(gem, sun, g.dark, 0.5, 1.2);
    }
    gloss(gem, 24, 20, 12, 7, -0.6, 0.6);
    return with_shadow(gem, 2.5f, 0.6f, 2, 3);
}

// Hint arrow toward direction d: 1 right, 2 left, 3 down, 4 up.
Img hint_arrow(int d) {
    const int A = 32;
    Img m = mask(A, A, [d](cairo_t* cr) {
        cairo_translate(cr, 16, 16);
        const double rot[5] = {0, 0, M_PI, M_PI / 2, -M_PI / 2};
        cairo_rotate(cr, rot[d]);
        cairo_move_to(cr, 12, 0);
        cairo_line_to(cr, -2, -11);
        cairo_line_to(cr, -2, -5);
        cairo_line_to(cr, -12, -5);
        cairo_line_to(cr, -12, 5);
        cairo_line_to(cr, -2, 5);
        cairo_line_to(cr, -2, 11);
        cairo_close_path(cr);
        cairo_fill(cr);
    });
    Img a = lit(m, [](int, int y) { return gen::mix(hex(0xFFF4B0), hex(0xF0A020), y / 32.0); }, 2, 0.7);
    Img out(A, A);
    Img glow = m;
    blur(glow, 2.5f);
    tint(glow, [](int, int) { return hex(0xFFE070); });
    over(out, glow, 0, 0, 0.8f);
    over(out, a, 0, 0);
    return out;
}

// Mud of n layers over a cell: patches at one layer, a thick lumpy cake at four.
Img mud(int n) {
    gen::Rng r(1400 + n);
    Img m(S, S);
    for (int y = 0; y < S; ++y)
        for (int x = 0; x < S; ++x) {
            double d = rrect_depth(x + 0.5, y + 0.5, 32, 32, 31, 31, 9);
            if (d <= -0.5) continue;
            double nz = gen::fbm(x / 10.0, y / 10.0, 4, 1410);
            double cover = smoothstep(0.62 - 0.16 * n, 0.7 - 0.16 * n, nz);
            double a = std::min(1.0, cover * (0.55 + 0.15 * n)) * std::clamp(d + 0.5, 0.0, 1.0);
            if (n >= 3) a = std::max(a, std::clamp(d + 0.5, 0.0, 1.0) * (0.55 + 0.15 * (n - 3)));
            if (a <= 0.01) continue;
            double lump = gen::fbm(x / 6.0, y / 6.0, 3, 1420 + n);
            Col c = gen::mix(hex(0x8A5A2E), hex(0x3A2210), 0.2 + 0.5 * lump + 0.08 * n);
            c.a = a;
            put(m.at(x, y), c);
        }
    // Lumps stand out more as layers pile up.
    Relief rl;
    rl.bevel = 2 + n;
    rl.slope = 2;
    rl.specular = 0.35;
    rl.rim = 0.3;
    shade_relief(m, rl);
    for (int i = 0; i < 3 * n; ++i) {
        double x = r.range(10, 54), y = r.range(10, 54), rad = r.range(2.5, 5) + n * 0.6;
        Img lump = mask(S, S, [&](cairo_t* cr) {
            cairo_arc(cr, x, y, rad, 0, 2 * M_PI);
            cairo_fill(cr);
        });
        lump = lit(lump, [](int, int) { return hex(0x5A3A1C); }, 2, 0.5, 2);
        over(m, lump, 0, 0, 0.9f);
    }
    return m;
}

}  // namespace

int main(int argc, char** argv) {
    if (argc < 2) {
        std::fprintf(stderr, "usage: gen_match3 <data folder>\n");
        return 2;
    }
    std::string dir = std::string(argv[1]) + "/minigames/match3/";
    gen::make_dirs(dir);
    bool ok = save_png(dir + "cell2.png", cell());
    ok = save_png(dir + "cellmask.png", cellmask()) && ok;
    ok = save_png(dir + "cellmark.png", cellmark()) && ok;
    for (int k : {1, 2, 3, 4, 5, 7, 10}) ok = save_png(dir + "item1-" + std::to_string(k) + ".png", item(k)) && ok;
    for (int d = 1; d <= 4; ++d) ok = save_png(dir + "arrow" + std::to_string(d) + ".png", hint_arrow(d)) && ok;
    for (int n = 1; n <= 4; ++n) ok = save_png(dir + "mud" + std::to_string(n) + ".png", mud(n)) && ok;
    return ok ? 0 : 1;
}
