// The three animals of the valley, drawn at 64 x 64 and readable at that size: round, big-eyed, friendly.
#include <cmath>

#include "board.h"

using namespace art;
using gen::Col;

namespace {

// How an animal holds itself: trapped in the wall it looks at the player; freed it looks up and ahead, beaming.
struct Pose {
    double lookx = 0.12, looky = 0.15;  // pupil offset in eye radii
    bool free = false;
};
Pose pose;

void radial_fill(cairo_t* cr, double cx, double cy, double r, Col light, Col dark) {
    cairo_pattern_t* p = cairo_pattern_create_radial(cx - r * 0.35, cy - r * 0.4, r * 0.1, cx, cy, r * 1.05);
    cairo_pattern_add_color_stop_rgb(p, 0, light.r, light.g, light.b);
    cairo_pattern_add_color_stop_rgb(p, 1, dark.r, dark.g, dark.b);
    cairo_set_source(cr, p);
    cairo_fill_preserve(cr);
    cairo_pattern_destroy(p);
}

void outline(cairo_t* cr, double w, Col c) {
    cairo_set_line_width(cr, w);
    gen::set_source(cr, c);
    cairo_stroke(cr);
}

void ellipse(cairo_t* cr, double cx, double cy, double rx, double ry) {
    cairo_save(cr);
    cairo_translate(cr, cx, cy);
    cairo_scale(cr, rx, ry);
    cairo_new_sub_path(cr);
    cairo_arc(cr, 0, 0, 1, 0, 2 * M_PI);
    cairo_restore(cr);
}

void eye(cairo_t* cr, double x, double y, double r) {
    ellipse(cr, x, y, r, r * 1.12);
    gen::set_source(cr, gen::hex(0xFFFFFF));
    cairo_fill_preserve(cr);
    outline(cr, 1.0, gen::hex(0x2A1A10));
    ellipse(cr, x + r * pose.lookx, y + r * pose.looky, r * 0.66, r * 0.74);
    gen::set_source(cr, gen::hex(0x2A1A12));
    cairo_fill(cr);
    const double hx = x + r * (pose.lookx - 0.24), hy = y + r * (pose.looky - 0.35);
    cairo_arc(cr, hx, hy, r * 0.26, 0, 2 * M_PI);
    gen::set_source(cr, gen::hex(0xFFFFFF));
    cairo_fill(cr);
    cairo_arc(cr, hx + r * 0.47, hy + r * 0.55, r * 0.12, 0, 2 * M_PI);
    cairo_fill(cr);
}

void blush(cairo_t* cr, double x, double y) {
    cairo_pattern_t* p = cairo_pattern_create_radial(x, y, 0, x, y, 5);
    cairo_pattern_add_color_stop_rgba(p, 0, 1, 0.45, 0.45, 0.6);
    cairo_pattern_add_color_stop_rgba(p, 1, 1, 0.45, 0.45, 0);
    cairo_set_source(cr, p);
    cairo_arc(cr, x, y, 5, 0, 2 * M_PI);
    cairo_fill(cr);
    cairo_pattern_destroy(p);
}

// Pen for the fine ink lines of a face.
void inkpen(cairo_t* cr, Col ink) {
    cairo_set_line_width(cr, 1.4);
    cairo_set_line_cap(cr, CAIRO_LINE_CAP_ROUND);
    gen::set_source(cr, ink);
}

// An open, laughing mouth hanging from (x, y), w wide and h deep, with a little tongue.
void laugh(cairo_t* cr, double x, double y, double w, double h, Col ink) {
    cairo_move_to(cr, x - w / 2, y);
    cairo_curve_to(cr, x - w / 2, y + h * 1.3, x + w / 2, y + h * 1.3, x + w / 2, y);
    cairo_close_path(cr);
    gen::set_source(cr, gen::hex(0x7A1E22));
    cairo_fill_preserve(cr);
    cairo_save(cr);
    cairo_clip(cr);
    ellipse(cr, x, y + h, w * 0.32, h * 0.45);
    gen::set_source(cr, gen::hex(0xF27C86));
    cairo_fill(cr);
    cairo_restore(cr);
    cairo_move_to(cr, x - w / 2, y);
    cairo_curve_to(cr, x - w / 2, y + h * 1.3, x + w / 2, y + h * 1.3, x + w / 2, y);
    cairo_close_path(cr);
    cairo_set_line_width(cr, 1.2);
    cairo_set_line_join(cr, CAIRO_LINE_JOIN_ROUND);
    gen::set_source(cr, ink);
    cairo_stroke(cr);
}

// Jaguar cub: golden round head with rosettes and round ears.
void jaguar(cairo_t* cr) {
    Col ink = gen::hex(0x3A200C);
    for (int s = -1; s <= 1; s += 2) {
        cairo_arc(cr, 32 + s * 17, 15, 8, 0, 2 * M_PI);
        radial_fill(cr, 32 + s * 17, 15, 8, gen::hex(0xFFC25A), gen::hex(0xC77414));
        outline(cr, 1.6, ink);
        cairo_arc(cr, 32 + s * 17, 16, 4.2, 0, 2 * M_PI);
        gen::set_source(cr, gen::hex(0x7A3E12));
        cairo_fill(cr);
    }
    ellipse(cr, 32, 35, 25, 23);
    radial_fill(cr, 32, 35, 25, gen::hex(0xFFD27A), gen::hex(0xD37A16));
    outline(cr, 1.8, ink);
    // Rosettes.
    const double spots[][2] = {{18, 26}, {46, 26}, {32, 18}, {14, 40}, {50, 40}, {24, 17}, {40, 17}};
    for (auto& sp : spots) {
        cairo_arc(cr, sp[0], sp[1], 2.6, 0, 2 * M_PI);
        cairo_set_line_width(cr, 1.4);
        gen::set_source(cr, gen::hex(0x5A3008, 0.85));
        cairo_stroke(cr);
    }
    ellipse(cr, 32, 45, 12, 9);
    radial_fill(cr, 32, 45, 12, gen::hex(0xFFF6E4), gen::hex(0xF0D2A8));
    cairo_new_path(cr);
    eye(cr, 23, 34, 5.6);
    eye(cr, 41, 34, 5.6);
    // Nose and smile.
    cairo_move_to(cr, 28.5, 41);
    cairo_line_to(cr, 35.5, 41);
    cairo_line_to(cr, 32, 45);
    cairo_close_path(cr);
    gen::set_source(cr, gen::hex(0xD9576A));
    cairo_fill(cr);
    if (pose.free) {
        laugh(cr, 32, 46, 11, 5.5, ink);
    } else {
        inkpen(cr, ink);
        cairo_move_to(cr, 32, 45);
        cairo_curve_to(cr, 32, 48, 28, 49, 26.5, 47);
        cairo_move_to(cr, 32, 45);
        cairo_curve_to(cr, 32, 48, 36, 49, 37.5, 47);
        cairo_stroke(cr);
    }
    blush(cr, 16, 43);
    blush(cr, 48, 43);
}

// Parrot chick: green round body, yellow breast, red crest, orange beak.
void parrot(cairo_t* cr) {
    Col ink = gen::hex(0x143018);
    // Crest feathers.
    const double cf[][3] = {{-8, 0.9, -0.5}, {0, 1.0, 0}, {8, 0.9, 0.5}};
    for (auto& f : cf) {
        cairo_save(cr);
        cairo_translate(cr, 32 + f[0] * 0.6, 14);
        cairo_rotate(cr, f[2]);
        ellipse(cr, 0, -5, 3.6, 8 * f[1]);
        radial_fill(cr, 0, -5, 6, gen::hex(0xFF6A4A), gen::hex(0xC01E2A));
        outline(cr, 1.3, gen::hex(0x5A0E10));
        cairo_restore(cr);
    }
    ellipse(cr, 32, 36, 25, 25);
    radial_fill(cr, 32, 36, 25, gen::hex(0x8EE86A), gen::hex(0x238A3A));
    outline(cr, 1.8, ink);
    ellipse(cr, 32, 47, 14, 11);
    radial_fill(cr, 32, 47, 14, gen::hex(0xFFF3A0), gen::hex(0xF2B934));
    cairo_new_path(cr);
    // Wings.
    for (int s = -1; s <= 1; s += 2) {
        cairo_save(cr);
        if (pose.free) {
            cairo_translate(cr, 32 + s * 24, 30);
            cairo_rotate(cr, s * 1.05);
        } else {
            cairo_translate(cr, 32 + s * 22, 42);
            cairo_rotate(cr, s * 0.35);
        }
        ellipse(cr, 0, 0, 5.5, 11);
        radial_fill(cr, 0, 0, 9, gen::hex(0x4FC8E8), gen::hex(0x1C6AA0));
        outline(cr, 1.3, ink);
        cairo_restore(cr);
    }
    eye(cr, 23, 31, 5.4);
    eye(cr, 41, 31, 5.4);
    // Beak (open in a happy squawk when free).
    if (pose.free) {
        cairo_move_to(cr, 28, 42);
        cairo_curve_to(cr, 29, 47, 35, 47, 36, 42);
        cairo_close_path(cr);
        radial_fill(cr, 32, 43, 5, gen::hex(0xFFB050), gen::hex(0xC85A10));
        outline(cr, 1.1, gen::hex(0x5A2A08));
        ellipse(cr, 32, 41.5, 3.4, 1.8);
        gen::set_source(cr, gen::hex(0x7A1E22));
        cairo_fill(cr);
    }
    cairo_save(cr);
    if (pose.free) cairo_translate(cr, 0, -2.5);  // the upper beak lifts
    cairo_move_to(cr, 27, 37);
    cairo_curve_to(cr, 28, 33, 36, 33, 37, 37);
    cairo_curve_to(cr, 37, 42, 33, 45, 32, 46);
    cairo_curve_to(cr, 31, 45, 27, 42, 27, 37);
    cairo_close_path(cr);
    radial_fill(cr, 32, 38, 7, gen::hex(0xFFC060), gen::hex(0xD86A10));
    outline(cr, 1.2, gen::hex(0x5A2A08));
    cairo_restore(cr);
    blush(cr, 16, 40);
    blush(cr, 48, 40);
}

// Sloth: soft brown fur, cream face mask, dark eye patches, sleepy smile.
void sloth(cairo_t* cr) {
    Col ink = gen::hex(0x2E1C10);
    ellipse(cr, 32, 34, 27, 26);
    radial_fill(cr, 32, 34, 27, gen::hex(0xC49A70), gen::hex(0x6E4A2C));
    outline(cr, 1.8, ink);
    // Fur tufts on top.
    cairo_move_to(cr, 22, 10);
    cairo_curve_to(cr, 26, 4, 30, 8, 32, 4);
    cairo_curve_to(cr, 34, 8, 38, 4, 42, 10);
    cairo_close_path(cr);
    gen::set_source(cr, gen::hex(0x8A6240));
    cairo_fill(cr);
    // Face mask.
    ellipse(cr, 32, 37, 19, 16);
    radial_fill(cr, 32, 37, 19, gen::hex(0xFFF2D8), gen::hex(0xE2C49A));
    cairo_new_path(cr);
    for (int s = -1; s <= 1; s += 2) {
        cairo_save(cr);
        cairo_translate(cr, 32 + s * 9.5, 35);
        cairo_rotate(cr, s * -0.45);
        ellipse(cr, 0, 0, 8.5, 5.2);
        gen::set_source(cr, gen::hex(0x5A3A22));
        cairo_fill(cr);
        cairo_restore(cr);
    }
    eye(cr, 23, 34.5, 4.4);
    eye(cr, 41, 34.5, 4.4);
    ellipse(cr, 32, 42, 4.2, 3);
    gen::set_source(cr, gen::hex(0x3A2214));
    cairo_fill(cr);
    cairo_arc(cr, 31, 41.2, 1.1, 0, 2 * M_PI);
    gen::set_source(cr, gen::hex(0xFFFFFF, 0.7));
    cairo_fill(cr);
    if (pose.free) {
        laugh(cr, 32, 46, 10, 4.5, ink);
    } else {
        inkpen(cr, ink);
        cairo_move_to(cr, 26, 47);
        cairo_curve_to(cr, 29, 50.5, 35, 50.5, 38, 47);
        cairo_stroke(cr);
    }
    blush(cr, 17, 44);
    blush(cr, 47, 44);
    // Little paws: holding on in the wall, waving once free.
    for (int s = -1; s <= 1; s += 2) {
        const double px = pose.free ? 32 + s * 27 : 32 + s * 20, py = pose.free ? 30 : 55;
        ellipse(cr, px, py, pose.free ? 4.5 : 6, pose.free ? 5.5 : 4.5);
        radial_fill(cr, px, py, 6, gen::hex(0xA27A54), gen::hex(0x5E3E24));
        outline(cr, 1.3, ink);
    }
}

}  // namespace

namespace {
Img painted(int k, int size, const Pose& how) {
    pose = how;
    gen::Canvas c(size, size);
    cairo_scale(c.cr, size / 64.0, size / 64.0);
    if (how.free) {
        // Tipped toward the upper right, where it is flying, and a little smaller so the tilt stays inside.
        cairo_translate(c.cr, 32, 32);
        cairo_rotate(c.cr, 0.28);
        cairo_scale(c.cr, 0.8, 0.8);
        cairo_translate(c.cr, -33, -33);
    }
    if (k == 1)
        jaguar(c.cr);
    else if (k == 2)
        parrot(c.cr);
    else
        sloth(c.cr);
    pose = Pose();
    return from_canvas(c);
}
}  // namespace

Img paint_free_animal(int k, int size) {
    Pose how;
    how.lookx = 0.3;
    how.looky = -0.2;
    how.free = true;
    Img body = painted(k, size, how);
    grain(body, 2.5, 0.04, 310 + k);
    Img out(size, size);
    over(out, shadow_of(body, size / 40.0f, 0.45f), size / 32, size / 22);
    over(out, body, 0, 0);
    return out;
}

Img paint_animal(int k, int size) {
    Img body = painted(k, size, Pose());
    grain(body, 2.5, 0.04, 300 + k);
    Img out(size, size);
    over(out, shadow_of(body, size / 40.0f, 0.55f), size / 32, size / 22);
    over(out, body, 0, 0);
    return out;
}
