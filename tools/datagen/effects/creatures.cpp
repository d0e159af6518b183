// Butterflies and fireflies of the background layers.
#include <cmath>

#include "effects.h"

using namespace art;
using gen::Col;

namespace {

struct Wings {
    Col base, edge, spot;
};

Wings species_colours(int s) {
    switch (s) {
        case 1: return {gen::hex(0x3AA8FF), gen::hex(0x0E1C3A), gen::hex(0xE8F6FF)};
        case 2: return {gen::hex(0xFF8A1E), gen::hex(0x2A1406), gen::hex(0xFFF2D0)};
        case 3: return {gen::hex(0xFFE04A), gen::hex(0x2C2410), gen::hex(0xFF9A3A)};
        default: return {gen::hex(0xE070D8), gen::hex(0x3A0E3A), gen::hex(0x7AF0FF)};
    }
}

// One side's wings (right side; mirrored for the left), open, body axis at x = 0.
void wing_paths(cairo_t* cr, bool fore) {
    if (fore) {
        cairo_move_to(cr, 1, -3);
        cairo_curve_to(cr, 10, -22, 30, -26, 36, -18);
        cairo_curve_to(cr, 38, -10, 30, 0, 2, 2);
    } else {
        cairo_move_to(cr, 1, 1);
        cairo_curve_to(cr, 22, 0, 32, 10, 26, 20);
        cairo_curve_to(cr, 20, 26, 6, 20, 1, 8);
    }
    cairo_close_path(cr);
}

}  // namespace

Img butterfly(int species, int frame) {
    const int W = 78, H = 54;
    static const int open_of_frame[9] = {0, 1, 2, 3, 4, 5, 6, 5, 4};
    double o = std::cos(open_of_frame[frame] / 6.0 * M_PI / 2 * 0.94);
    Wings c = species_colours(species);
    gen::Canvas cv(W, H);
    cairo_t* cr = cv.cr;
    cairo_translate(cr, 39, 27);
    for (int side = -1; side <= 1; side += 2) {
        for (int fore = 0; fore <= 1; ++fore) {
            cairo_save(cr);
            cairo_scale(cr, side * o, 1);
            wing_paths(cr, fore == 1);
            cairo_pattern_t* p = cairo_pattern_create_radial(4, 0, 2, 4, 0, 36);
            Col inner = gen::mix(c.base, gen::hex(0xFFFFFF), 0.25), outer = c.base;
            // Seen more edge-on the wings show their darker undersides.
            inner = gen::mix(inner, c.edge, (1 - o) * 0.5);
            outer = gen::mix(outer, c.edge, (1 - o) * 0.5);
            cairo_pattern_add_color_stop_rgb(p, 0, inner.r, inner.g, inner.b);
            cairo_pattern_add_color_stop_rgb(p, 0.75, outer.r, outer.g, outer.b);
            cairo_pattern_add_color_stop_rgb(p, 1, c.edge.r, c.edge.g, c.edge.b);
            cairo_set_source(cr, p);
            cairo_fill_preserve(cr);
            cairo_pattern_destroy(p);
            cairo_set_line_width(cr, 1.6);
            gen::set_source(cr, c.edge);
            cairo_stroke(cr);
            // Spots near the wing edge.
            gen::set_source(cr, c.spot);
            if (fore) {
                cairo_arc(cr, 28, -17, 2.2, 0, 2 * M_PI);
                cairo_fill(cr);
                cairo_arc(cr, 32, -11, 1.6, 0, 2 * M_PI);
                cairo_fill(cr);
            } else {
                cairo_arc(cr, 20, 14, 2.6, 0, 2 * M_PI);
                cairo_fill(cr);
            }
            cairo_restore(cr);
        }
    }
    // Body and antennae.
    cairo_set_line_cap(cr, CAIRO_LINE_CAP_ROUND);
    gen::set_source(cr, gen::hex(0x1E140C));
    cairo_save(cr);
    cairo_scale(cr, 2.4, 13);
    cairo_arc(cr, 0, 0.15, 1, 0, 2 * M_PI);
    cairo_restore(cr);
    cairo_fill(cr);
    cairo_set_line_width(cr, 1.0);
    cairo_move_to(cr, -1, -11);
    cairo_curve_to(cr, -3, -17, -6, -20, -7, -22);
    cairo_move_to(cr, 1, -11);
    cairo_curve_to(cr, 3, -17, 6, -20, 7, -22);
    cairo_stroke(cr);
    return from_canvas(cv);
}

Img firefly() {
    const int S = 256;
    Img out = radial_glow(S, gen::hex(0xFFE86A), 0.07, 3.2, 0.95);
    Img halo = radial_glow(S, gen::hex(0xC8FF5A), 0.3, 1.6, 0.0);
    fade(halo, 0.35f);
    add(out, halo, 0, 0);
    gen::Canvas cv(S, S);
    cairo_t* cr = cv.cr;
    cairo_translate(cr, 128, 112);
    // Wings, pale and see-through.
    for (int s = -1; s <= 1; s += 2) {
        cairo_save(cr);
        cairo_rotate(cr, s * 0.5);
        cairo_scale(cr, 7, 15);
        cairo_arc(cr, 0, -0.9, 1, 0, 2 * M_PI);
        cairo_restore(cr);
        cairo_set_source_rgba(cr, 0.9, 0.95, 1.0, 0.45);
        cairo_fill(cr);
    }
    cairo_save(cr);
    cairo_scale(cr, 5, 9);
    cairo_arc(cr, 0, -0.6, 1, 0, 2 * M_PI);
    cairo_restore(cr);
    cairo_set_source_rgba(cr, 0.16, 0.1, 0.06, 1);
    cairo_fill(cr);
    over(out, from_canvas(cv), 0, 0);
    return out;
}
