// Writes data/aztec/: stones 1..10, inert stone strip, variant stones, shadows, chains, granite, animals,
// arrows and the cannon light; and data/game/animal1..3.png, the freed animals flying off the board.
#include <cmath>
#include <cstdio>
#include <string>

#include "art.h"
#include "board.h"
#include "palette.h"
#include "symbols.h"

using namespace art;
using gen::Col;

namespace {

const int S = 64;

// The rounded body of a stone as alpha.
Img stone_body(double half = 30.5, double radius = 12) {
    Img m(S, S);
    for (int y = 0; y < S; ++y)
        for (int x = 0; x < S; ++x) {
            double d = rrect_depth(x + 0.5, y + 0.5, 32, 32, half, half, radius);
            float a = clamp01((float)(d + 0.5));
            put(m.at(x, y), {1, 1, 1, a});
        }
    return m;
}

Img symbol_mask(int colour, double scale = 1.0, double cx = 32, double cy = 32) {
    return mask(S, S, [&](cairo_t* cr) {
        cairo_translate(cr, cx, cy);
        sym::paint(cr, colour, scale);
    });
}

// A colour stone of colour k: bevelled rounded square, gradient body, carved symbol, glossy highlight.
Img colour_stone(int k) {
    Img st = stone_body();
    Col base = pal::stone(k), lite = pal::glow(k), dark = pal::deep(k);
    tint(st, [&](int x, int y) {
        double t = (x * 0.35 + y) / 80.0;
        Col c = t < 0.5 ? gen::mix(gen::mix(lite, base, 0.45), base, t * 2) : gen::mix(base, dark, (t - 0.5) * 0.55);
        return c;
    });
    grain(st, 5.0, 0.05, 100 + k);
    Relief r;
    r.bevel = 7;
    r.slope = 3.2;
    r.specular = k == 8 ? 0.7 : 0.45;
    shade_relief(st, r);
    Col inlay = gen::mix(dark, base, 0.25);
    if (k == 8) inlay = gen::hex(0xB89A5A);  // gold inlay reads on black
    if (k == 7) inlay = gen::hex(0xA89478);
    carve(st, symbol_mask(k), inlay, 0.8, 1.0);
    gloss(st, 24, 17, 17, 9, -0.45, k == 7 ? 0.35 : 0.5);
    return st;
}

// The floor stone: a sandstone block with a carved step fret, tiling edge to edge.
Img floor_stone() {
    Img st = stone_body(32, 5);
    Col a = gen::hex(0xD9A35B), b = gen::hex(0xA8703A);
    tint(st, [&](int x, int y) {
        double strata = gen::fbm(x / 18.0, y / 4.0, 3, 77);
        return gen::mix(a, b, 0.25 + 0.6 * strata + y / 200.0);
    });
    grain(st, 3.0, 0.08, 78);
    Relief r;
    r.bevel = 5;
    r.slope = 3.5;
    r.specular = 0.15;
    shade_relief(st, r);
    Img fret = mask(S, S, [](cairo_t* cr) {
        // A stepped key pattern across the middle band.
        cairo_set_line_width(cr, 3);
        cairo_set_line_join(cr, CAIRO_LINE_JOIN_MITER);
        cairo_move_to(cr, 4, 42);
        cairo_line_to(cr, 14, 42);
        cairo_line_to(cr, 14, 30);
        cairo_line_to(cr, 24, 30);
        cairo_line_to(cr, 24, 22);
        cairo_line_to(cr, 40, 22);
        cairo_line_to(cr, 40, 30);
        cairo_line_to(cr, 50, 30);
        cairo_line_to(cr, 50, 42);
        cairo_line_to(cr, 60, 42);
        cairo_stroke(cr);
        cairo_rectangle(cr, 29, 33, 6, 6);
        cairo_fill(cr);
        cairo_set_line_width(cr, 1.6);
        cairo_move_to(cr, 4, 52);
        cairo_line_to(cr, 60, 52);
        cairo_move_to(cr, 4, 12);
        cairo_line_to(cr, 60, 12);
        cairo_stroke(cr);
    });
    carve(st, fret, gen::hex(0x6E4322), 0.7, 1.1);
    return st;
}

// A stone's shadow, 96 x 96 with the stone's centre in the middle, thrown down and to the right.
Img stone_shadow(const Img& body, Col tintc, double opacity) {
    Img big = padded(body, 16);
    Img sh = shadow_of(big, 4.5f, (float)opacity, tintc);
    Img out(96, 96);
    over(out, sh, 4, 6);
    return out;
}

// Granite block, stage 1..3 (intact, cracked, nearly broken).
Img granite(int stage) {
    Img st = stone_body(30.5, 8);
    if (stage == 3) {
        // Chipped corners.
        Img chips = mask(S, S, [](cairo_t* cr) {
            cairo_move_to(cr, 0, 0);
            cairo_line_to(cr, 17, 0);
            cairo_line_to(cr, 9, 6);
            cairo_line_to(cr, 0, 13);
            cairo_close_path(cr);
            cairo_move_to(cr, 64, 64);
            cairo_line_to(cr, 44, 64);
            cairo_line_to(cr, 53, 55);
            cairo_line_to(cr, 64, 49);
            cairo_close_path(cr);
            cairo_move_to(cr, 64, 20);
            cairo_line_to(cr, 57, 26);
            cairo_line_to(cr, 64, 33);
            cairo_close_path(cr);
            cairo_fill(cr);
        });
        for (size_t i = 0; i < (size_t)S * S; ++i) {
            float keep = 1 - chips.p[i * 4 + 3];
            for (int k = 0; k < 4; ++k) st.p[i * 4 + k] *= keep;
        }
    }
    gen::Rng rng(500 + stage);
    tint(st, [&](int x, int y) {
        double n = gen::fbm(x / 9.0, y / 9.0, 3, 501);
        double speck = gen::noise2(x * 0.9, y * 0.9, 502);
        Col c = gen::mix(gen::hex(0x9A9C9E), gen::hex(0x6E7176), n);
        if (speck > 0.82) c = gen::mix(c, gen::hex(0x2C2E33), 0.7);
        if (speck < 0.12) c = gen::mix(c, gen::hex(0xE4E2DC), 0.6);
        double sp2 = gen::noise2(x * 0.45 + 7, y * 0.45, 503);
        if (sp2 > 0.86) c = gen::mix(c, gen::hex(0xC9A4A0), 0.35);
        return c;
    });
    Relief r;
    r.bevel = 5;
    r.slope = 4;
    r.specular = 0.12;
    shade_relief(st, r);
    if (stage >= 2) {
        Img cracks = mask(S, S, [&](cairo_t* cr) {
            cairo_set_line_cap(cr, CAIRO_LINE_CAP_ROUND);
            cairo_set_line_join(cr, CAIRO_LINE_JOIN_ROUND);
            cairo_set_line_width(cr, stage == 2 ? 1.6 : 2.2);
            cairo_move_to(cr, 22, 4);
            cairo_line_to(cr, 27, 16);
            cairo_line_to(cr, 23, 26);
            cairo_line_to(cr, 33, 36);
            cairo_line_to(cr, 30, 47);
            cairo_line_to(cr, 38, 60);
            cairo_move_to(cr, 23, 26);
            cairo_line_to(cr, 10, 33);
            cairo_line_to(cr, 4, 31);
            cairo_stroke(cr);
            if (stage == 3) {
                cairo_move_to(cr, 60, 14);
                cairo_line_to(cr, 47, 22);
                cairo_line_to(cr, 44, 31);
                cairo_line_to(cr, 33, 36);
                cairo_move_to(cr, 47, 22);
                cairo_line_to(cr, 52, 38);
                cairo_line_to(cr, 61, 43);
                cairo_move_to(cr, 30, 47);
                cairo_line_to(cr, 16, 52);
                cairo_line_to(cr, 9, 60);
                cairo_move_to(cr, 27, 16);
                cairo_line_to(cr, 40, 9);
                cairo_stroke(cr);
            }
        });
        carve(st, cracks, gen::hex(0x1E1F22), 0.95, 1.4);
    }
    gloss(st, 22, 16, 16, 8, -0.45, 0.12);
    return st;
}

// Chain layer 1..3 across a stone: horizontal iron, bronze falling to the right, dark iron rising.
Img chain(int layer) {
    Img links(S, S);
    double ang = layer == 1 ? 0.0 : (layer == 2 ? M_PI / 4 : -M_PI / 4);
    Col metal = layer == 1 ? gen::hex(0xB9BEC6) : (layer == 2 ? gen::hex(0xD29A4E) : gen::hex(0x7D8189));
    Col darkm = layer == 1 ? gen::hex(0x3C4048) : (layer == 2 ? gen::hex(0x5A3410) : gen::hex(0x24262B));
    double len = layer == 1 ? 64 : 90;
    double step = 13.5;
    int n = (int)(len / step) + 2;
    Img shape = mask(S, S, [&](cairo_t* cr) {
        cairo_translate(cr, 32, 32);
        cairo_rotate(cr, ang);
        for (int i = -n / 2; i <= n / 2; ++i) {
            double cx = i * step + (layer == 3 ? 5 : 0);
            if (i % 2 == 0) {
                // Face-on link: an oval ring.
                cairo_save(cr);
                cairo_translate(cr, cx, 0);
                cairo_scale(cr, 1.0, 0.62);
                cairo_new_sub_path(cr);
                cairo_arc(cr, 0, 0, 10.5, 0, 2 * M_PI);
                cairo_restore(cr);
                cairo_save(cr);
                cairo_translate(cr, cx, 0);
                cairo_scale(cr, 1.0, 0.5);
                cairo_new_sub_path(cr);
                cairo_arc_negative(cr, 0, 0, 6.5, 2 * M_PI, 0);
                cairo_restore(cr);
                cairo_fill(cr);
            } else {
                // Edge-on link: a rounded bar.
                gen::rounded_rect(cr, cx - 10.5, -2.6, 21, 5.2, 2.6);
                cairo_fill(cr);
            }
        }
    });
    links = shape;
    tint(links, [&](int x, int y) {
        double t = std::fabs(std::sin((x * std::sin(ang) - y * std::cos(ang)) * 0.35));
        return gen::mix(metal, darkm, 0.2 + 0.5 * t);
    });
    Relief r;
    r.bevel = 2.2;
    r.slope = 2.5;
    r.specular = 0.9;
    r.shininess = 14;
    r.rim = 0.6;
    shade_relief(links, r);
    Img out(S, S);
    Img sh = shadow_of(links, 1.6f, 0.75f);
    over(out, sh, 2, 3);
    over(out, links, 0, 0);
    return out;
}

// Down-pointing aiming arrow in colour k.
Img arrow(int k) {
    Img a = mask(S, S, [](cairo_t* cr) {
        cairo_move_to(cr, 8, 14);
        cairo_line_to(cr, 32, 36);
        cairo_line_to(cr, 56, 14);
        cairo_line_to(cr, 56, 30);
        cairo_line_to(cr, 32, 54);
        cairo_line_to(cr, 8, 30);
        cairo_close_path(cr);
        cairo_fill(cr);
    });
    Col lite = pal::glow(k), base = pal::stone(k);
    tint(a, [&](int, int y) { return gen::mix(lite, base, y / 60.0); });
    Relief r;
    r.bevel = 3;
    r.slope = 3;
    r.specular = 0.5;
    shade_relief(a, r);
    Img out(S, S);
    over(out, shadow_of(a, 2.0f, 0.6f), 1, 2);
    over(out, a, 0, 0);
    return out;
}

// The cannon's light: a small gold claw at the top (the handle point) with a soft beam falling from it.
Img cannon_light() {
    const int W = 96, H = 150;
    Img out(W, H);
    for (int y = 0; y < H; ++y)
        for (int x = 0; x < W; ++x) {
            double t = y / (double)H;
            double half = 10 + 36 * std::pow(t, 0.7);
            double dx = std::fabs(x + 0.5 - 48) / half;
            if (dx >= 1) continue;
            double a = 0.55 * std::pow(1 - dx * dx, 1.5) * std::pow(1 - t, 1.6) * smoothstep(0, 12, y);
            Col c = gen::mix(gen::hex(0xFFF6D8), gen::hex(0xFFD27A), t);
            c.a = a;
            put(out.at(x, y), c);
        }
    Img claw = mask(W, H, [](cairo_t* cr) {
        cairo_move_to(cr, 26, 0);
        cairo_line_to(cr, 70, 0);
        cairo_curve_to(cr, 70, 9, 62, 16, 48, 17);
        cairo_curve_to(cr, 34, 16, 26, 9, 26, 0);
        cairo_close_path(cr);
        cairo_fill(cr);
        cairo_move_to(cr, 30, 6);
        cairo_curve_to(cr, 24, 14, 24, 22, 30, 28);
        cairo_line_to(cr, 33, 26);
        cairo_curve_to(cr, 30, 21, 31, 15, 35, 11);
        cairo_close_path(cr);
        cairo_move_to(cr, 66, 6);
        cairo_curve_to(cr, 72, 14, 72, 22, 66, 28);
        cairo_line_to(cr, 63, 26);
        cairo_curve_to(cr, 66, 21, 65, 15, 61, 11);
        cairo_close_path(cr);
        cairo_fill(cr);
    });
    tint(claw, [](int, int y) { return gen::mix(gen::hex(0xFFE08A), gen::hex(0xB07A1E), y / 28.0); });
    Relief r;
    r.bevel = 2.5;
    r.slope = 3;
    r.specular = 0.8;
    shade_relief(claw, r);
    Img gem = mask(W, H, [](cairo_t* cr) {
        cairo_arc(cr, 48, 9, 4.2, 0, 2 * M_PI);
        cairo_fill(cr);
    });
    tint(gem, [](int, int) { return gen::hex(0x3FD8C8); });
    shade_relief(gem, r);
    over(out, shadow_of(claw, 1.5f, 0.5f), 1, 2);
    over(out, claw, 0, 0);
    over(out, gem, 0, 0);
    return out;
}

// The inert stone, frame f of 8: a pale sealed stone whose carved ring rune breathes with light.
Img inert(int f) {
    Img st = stone_body();
    tint(st, [](int x, int y) {
        double n = gen::fbm(x / 10.0, y / 10.0, 3, 900);
        return gen::mix(gen::hex(0xCFC8B8), gen::hex(0x8F877A), 0.3 + 0.5 * n + y / 260.0);
    });
    grain(st, 3.0, 0.06, 901);
    Relief r;
    r.bevel = 7;
    r.slope = 3;
    r.specular = 0.2;
    shade_relief(st, r);
    Img rune = mask(S, S, [](cairo_t* cr) {
        cairo_set_line_width(cr, 3);
        cairo_arc(cr, 32, 32, 14, 0, 2 * M_PI);
        cairo_stroke(cr);
        for (int i = 0; i < 4; ++i) {
            double a = i * M_PI / 2 + M_PI / 4;
            cairo_move_to(cr, 32 + 8 * std::cos(a), 32 + 8 * std::sin(a));
            cairo_line_to(cr, 32 + 20 * std::cos(a), 32 + 20 * std::sin(a));
        }
        cairo_stroke(cr);
        cairo_arc(cr, 32, 32, 4, 0, 2 * M_PI);
        cairo_fill(cr);
    });
    carve(st, rune, gen::hex(0x5A5247), 0.75, 1.0);
    double pulse = 0.5 + 0.5 * std::sin((f % 7) * 2 * M_PI / 7);
    Img glowr = rune;
    tint(glowr, [](int, int) { return gen::hex(0x9FF3FF); });
    Img halo = glowr;
    blur(halo, 2.5f);
    over(st, halo, 0, 0, (float)(0.25 + 0.45 * pulse));
    over(st, glowr, 0, 0, (float)(0.35 + 0.55 * pulse));
    gloss(st, 24, 17, 17, 9, -0.45, 0.25);
    return st;
}

// A variant colour stone: the colour stone held in riveted bronze corner plates, with a burst mark on the
// lower right plate. Such a stone only breaks in an explosion.
Img variant(int k) {
    Img st = colour_stone(k);
    Img plates = mask(S, S, [](cairo_t* cr) {
        auto corner = [&](double sx, double sy) {
            cairo_save(cr);
            cairo_translate(cr, 32, 32);
            cairo_scale(cr, sx, sy);
            cairo_move_to(cr, -31, -31 + 10);
            cairo_arc(cr, -31 + 10, -31 + 10, 10, M_PI, 1.5 * M_PI);
            cairo_line_to(cr, -9, -31);
            cairo_line_to(cr, -9, -24);
            cairo_line_to(cr, -21, -24);
            cairo_curve_to(cr, -23, -24, -24, -23, -24, -21);
            cairo_line_to(cr, -24, -9);
            cairo_line_to(cr, -31, -9);
            cairo_close_path(cr);
            cairo_fill(cr);
            cairo_restore(cr);
        };
        corner(1, 1);
        corner(-1, 1);
        corner(1, -1);
        corner(-1, -1);
    });
    tint(plates, [](int x, int y) { return gen::mix(gen::hex(0xE2B86A), gen::hex(0x6B4516), (x + y) / 128.0); });
    Relief r;
    r.bevel = 2.5;
    r.slope = 3;
    r.specular = 0.7;
    shade_relief(plates, r);
    over(st, shadow_of(plates, 1.5f, 0.6f), 1, 1);
    over(st, plates, 0, 0);
    Img rivets = mask(S, S, [](cairo_t* cr) {
        const double pts[4][2] = {{10, 10}, {54, 10}, {10, 54}, {54, 54}};
        for (auto& p : pts) {
            cairo_new_sub_path(cr);
            cairo_arc(cr, p[0] - 4, p[1] - 4, 2.2, 0, 2 * M_PI);
        }
        cairo_fill(cr);
    });
    tint(rivets, [](int, int) { return gen::hex(0xFFE7A8); });
    Relief rr;
    rr.bevel = 1.5;
    rr.slope = 3;
    rr.specular = 1.0;
    shade_relief(rivets, rr);
    over(st, rivets, 0, 0);
    // Burst mark: a small many-pointed star engraved in the lower right plate.
    Img burst = mask(S, S, [](cairo_t* cr) {
        cairo_translate(cr, 53, 53);
        for (int i = 0; i < 16; ++i) {
            double a = i * M_PI / 8;
            double rr2 = (i % 2) ? 2.2 : 6.5;
            if (i == 0)
                cairo_move_to(cr, rr2 * std::cos(a), rr2 * std::sin(a));
            else
                cairo_line_to(cr, rr2 * std::cos(a), rr2 * std::sin(a));
        }
        cairo_close_path(cr);
        cairo_fill(cr);
    });
    tint(burst, [](int, int) { return gen::hex(0xFF6A1A); });
    over(st, shadow_of(burst, 1.0f, 0.8f), 1, 1);
    over(st, burst, 0, 0);
    return st;
}

bool ok = true;
void save(const std::string& dir, const std::string& name, const Img& img) { ok = save_png(dir + name, img) && ok; }

}  // namespace

int main(int argc, char** argv) {
    if (argc < 2) {
        std::fprintf(stderr, "usage: gen_board <data folder>\n");
        return 2;
    }
    std::string dir = std::string(argv[1]) + "/aztec/";
    gen::make_dirs(dir);
    for (int k = 1; k <= 9; ++k) {
        Img st = colour_stone(k);
        save(dir, "stone" + std::to_string(k) + ".png", st);
        Col sc = gen::mix(gen::hex(0x000000), pal::deep(k), 0.35);
        save(dir, "sh" + std::to_string(k) + ".png", stone_shadow(stone_body(), sc, 0.85));
        save(dir, "arrow" + std::to_string(k) + ".png", arrow(k));
        save(dir, "variant" + std::to_string(k) + ".png", variant(k));
    }
    save(dir, "stone10.png", floor_stone());
    save(dir, "shall.png", stone_shadow(stone_body(), {0, 0, 0, 1}, 0.85));
    for (int c = 1; c <= 3; ++c) save(dir, "chain" + std::to_string(c) + ".png", chain(c));
    for (int g = 1; g <= 3; ++g) save(dir, "granite" + std::to_string(g) + ".png", granite(g));
    for (int a = 1; a <= 3; ++a) save(dir, "animal" + std::to_string(a) + ".png", paint_animal(a));
    save(dir, "light.png", cannon_light());
    const std::string game = std::string(argv[1]) + "/game/";
    gen::make_dirs(game);
    for (int a = 1; a <= 3; ++a) save(game, "animal" + std::to_string(a) + ".png", paint_free_animal(a));
    Img strip(S * 8, S);
    for (int f = 0; f < 8; ++f) over(strip, inert(f), f * S, 0);
    save(dir, "inert.png", strip);
    return ok ? 0 : 1;
}
