// The level banner and the lose banner: a carved step-temple crest with a medallion, above a band on which
// the game writes the headline (72 pixels below the banner's centre).
#include <cmath>

#include "effects.h"
#include "symbols.h"

using namespace art;
using gen::Col;

namespace {
const int W = 640, H = 300;

}  // namespace

Img banner(bool lose) {
    Col stone_a = lose ? gen::hex(0xA09C96) : gen::hex(0xE6B86A);
    Col stone_b = lose ? gen::hex(0x5E5A56) : gen::hex(0x9A6428);
    Col rim_a = lose ? gen::hex(0xC8A078) : gen::hex(0xFFE9A0);
    Col rim_b = lose ? gen::hex(0x5A3A22) : gen::hex(0xA8701A);
    Col disc_a = lose ? gen::hex(0x6A6478) : gen::hex(0x2FB39A);
    Col disc_b = lose ? gen::hex(0x2A2634) : gen::hex(0x0A4A44);
    Col band_a = lose ? gen::hex(0x5A1E16) : gen::hex(0x12625A);
    Col band_b = lose ? gen::hex(0x250806) : gen::hex(0x062A28);

    Img steps = mask(W, H, [](cairo_t* cr) {
        cairo_rectangle(cr, 140, 142, 360, 40);
        cairo_rectangle(cr, 180, 108, 280, 36);
        cairo_rectangle(cr, 220, 74, 200, 36);
        cairo_fill(cr);
    });
    steps = lit(steps, [&](int x, int y) {
        double n = gen::fbm(x / 14.0, y / 5.0, 3, lose ? 61 : 60);
        return gen::mix(stone_a, stone_b, 0.2 + 0.5 * n + (y - 74) / 300.0);
    }, 4, 0.2);
    Img fret = mask(W, H, [](cairo_t* cr) {
        cairo_set_line_width(cr, 2.5);
        for (int i = 0; i < 3; ++i) {
            double y = 92 + i * 34, x0 = 232 - i * 40, x1 = 408 + i * 40;
            for (double x = x0; x < x1 - 20; x += 24) {
                cairo_move_to(cr, x, y + 6);
                cairo_line_to(cr, x, y - 4);
                cairo_line_to(cr, x + 12, y - 4);
                cairo_line_to(cr, x + 12, y + 6);
                cairo_line_to(cr, x + 24, y + 6);
            }
            cairo_stroke(cr);
        }
    });
    carve(steps, fret, lose ? gen::hex(0x3A3634) : gen::hex(0x6A3E14), 0.7, 1.0);
    grain(steps, 2.5, 0.06, 62);

    Img ring = mask(W, H, [](cairo_t* cr) {
        cairo_arc(cr, 320, 100, 64, 0, 2 * M_PI);
        cairo_new_sub_path(cr);
        cairo_arc_negative(cr, 320, 100, 51, 2 * M_PI, 0);
        cairo_fill(cr);
    });
    ring = lit(ring, [&](int x, int y) { return gen::mix(rim_a, rim_b, (x - 256 + y - 36) / 256.0); }, 4, 0.8);
    Img disc = mask(W, H, [](cairo_t* cr) {
        cairo_arc(cr, 320, 100, 52, 0, 2 * M_PI);
        cairo_fill(cr);
    });
    disc = lit(disc, [&](int x, int y) { return gen::mix(disc_a, disc_b, std::hypot(x - 300.0, y - 80.0) / 80.0); }, 6, 0.5);
    Img symbol = mask(W, H, [&](cairo_t* cr) {
        cairo_translate(cr, 320, 100);
        sym::paint(cr, lose ? 6 : 1, 2.6);
    });
    carve(disc, symbol, lose ? gen::hex(0xB8A894) : gen::hex(0xFFD24A), 0.9, 1.2);
    if (lose) {
        Img cracks = mask(W, H, [](cairo_t* cr) {
            cairo_set_line_width(cr, 2);
            cairo_move_to(cr, 300, 50);
            cairo_line_to(cr, 310, 78);
            cairo_line_to(cr, 298, 100);
            cairo_line_to(cr, 316, 128);
            cairo_line_to(cr, 310, 150);
            cairo_move_to(cr, 298, 100);
            cairo_line_to(cr, 272, 108);
            cairo_stroke(cr);
        });
        carve(disc, cracks, gen::hex(0x100C14), 0.95, 1.3);
    }
    gloss(disc, 300, 72, 34, 16, -0.4, 0.35);

    Img band = mask(W, H, [](cairo_t* cr) {
        // A plate with stepped ends.
        cairo_move_to(cr, 40, 180);
        cairo_line_to(cr, 600, 180);
        cairo_line_to(cr, 600, 196);
        cairo_line_to(cr, 616, 196);
        cairo_line_to(cr, 616, 250);
        cairo_line_to(cr, 600, 250);
        cairo_line_to(cr, 600, 266);
        cairo_line_to(cr, 40, 266);
        cairo_line_to(cr, 40, 250);
        cairo_line_to(cr, 24, 250);
        cairo_line_to(cr, 24, 196);
        cairo_line_to(cr, 40, 196);
        cairo_close_path(cr);
        cairo_fill(cr);
    });
    Img band_rim = band;
    band = lit(band, [&](int x, int y) {
        double n = gen::fbm(x / 30.0, y / 8.0, 3, 63);
        return gen::mix(band_a, band_b, 0.15 + 0.6 * (y - 180) / 86.0 + 0.2 * (n - 0.5));
    }, 3, 0.25);
    Img inner = mask(W, H, [](cairo_t* cr) {
        cairo_rectangle(cr, 48, 188, 544, 70);
        cairo_fill(cr);
    });
    // A gold rim: the band minus its inner field.
    for (size_t i = 0; i < (size_t)W * H; ++i) {
        float a = band_rim.p[i * 4 + 3] * (1 - inner.p[i * 4 + 3]);
        for (int k = 0; k < 4; ++k) band_rim.p[i * 4 + k] = a;
    }
    band_rim = lit(band_rim, [&](int x, int y) { return gen::mix(rim_a, rim_b, (y - 180) / 86.0 + x / 2000.0); }, 2.5, 0.9);
    gloss(band, 200, 196, 180, 10, 0, 0.18);

    Img out(W, H);
    Img all(W, H);
    over(all, steps, 0, 0);
    over(all, ring, 0, 0);
    over(all, disc, 0, 0);
    over(all, band, 0, 0);
    over(all, band_rim, 0, 0);
    over(out, shadow_of(all, 6, 0.6f), 5, 8);
    over(out, all, 0, 0);
    return out;
}
