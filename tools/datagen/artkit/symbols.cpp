#include "symbols.h"

#include <cmath>

namespace sym {
namespace {

void sun(cairo_t* cr) {
    cairo_arc(cr, 0, 0, 6.5, 0, 2 * M_PI);
    cairo_fill(cr);
    for (int i = 0; i < 8; ++i) {
        double a = i * M_PI / 4;
        double ca = std::cos(a), sa = std::sin(a);
        cairo_move_to(cr, ca * 8.8 - sa * 2.6, sa * 8.8 + ca * 2.6);
        cairo_line_to(cr, ca * 14.5, sa * 14.5);
        cairo_line_to(cr, ca * 8.8 + sa * 2.6, sa * 8.8 - ca * 2.6);
        cairo_close_path(cr);
    }
    cairo_fill(cr);
}

void leaf(cairo_t* cr) {
    cairo_save(cr);
    cairo_rotate(cr, -M_PI / 4);
    cairo_move_to(cr, 0, -14);
    cairo_curve_to(cr, 10, -7, 10, 7, 0, 14);
    cairo_curve_to(cr, -10, 7, -10, -7, 0, -14);
    cairo_close_path(cr);
    // Midrib and veins cut out of the blade.
    cairo_move_to(cr, 0, -10);
    cairo_line_to(cr, 0.9, 13);
    cairo_line_to(cr, -0.9, 13);
    cairo_close_path(cr);
    for (int i = 0; i < 3; ++i) {
        double y = -5 + i * 5.5;
        cairo_move_to(cr, 0, y + 3);
        cairo_line_to(cr, 5.5, y - 1.5);
        cairo_line_to(cr, 5.8, y - 0.2);
        cairo_line_to(cr, 0, y + 4.4);
        cairo_close_path(cr);
        cairo_move_to(cr, 0, y + 3);
        cairo_line_to(cr, -5.5, y - 1.5);
        cairo_line_to(cr, -5.8, y - 0.2);
        cairo_line_to(cr, 0, y + 4.4);
        cairo_close_path(cr);
    }
    cairo_set_fill_rule(cr, CAIRO_FILL_RULE_EVEN_ODD);
    cairo_fill(cr);
    cairo_restore(cr);
    // Stem.
    cairo_set_line_width(cr, 2.2);
    cairo_set_line_cap(cr, CAIRO_LINE_CAP_ROUND);
    cairo_move_to(cr, -8.5, 8.5);
    cairo_line_to(cr, -13, 13);
    cairo_stroke(cr);
}

void wave(cairo_t* cr) {
    cairo_set_line_width(cr, 3.6);
    cairo_set_line_cap(cr, CAIRO_LINE_CAP_ROUND);
    for (int row = 0; row < 3; ++row) {
        double y = -8 + row * 8;
        cairo_move_to(cr, -13, y);
        for (int k = 0; k < 2; ++k) {
            double x = -13 + k * 13;
            cairo_curve_to(cr, x + 3.2, y - 5, x + 6.5, y - 5, x + 6.5, y);
            cairo_curve_to(cr, x + 6.5, y + 5, x + 9.8, y + 5, x + 13, y);
        }
        cairo_stroke(cr);
    }
}

void star(cairo_t* cr) {
    for (int i = 0; i < 10; ++i) {
        double a = -M_PI / 2 + i * M_PI / 5;
        double r = (i % 2) ? 6.2 : 15;
        if (i == 0)
            cairo_move_to(cr, r * std::cos(a), r * std::sin(a) + 1);
        else
            cairo_line_to(cr, r * std::cos(a), r * std::sin(a) + 1);
    }
    cairo_close_path(cr);
    cairo_fill(cr);
}

void droplet(cairo_t* cr) {
    cairo_move_to(cr, 0, -15);
    cairo_curve_to(cr, 3, -8, 10, -2, 10, 5);
    cairo_arc(cr, 0, 5, 10, 0, M_PI);
    cairo_curve_to(cr, -10, -2, -3, -8, 0, -15);
    cairo_close_path(cr);
    // A small highlight cut in the drop.
    cairo_new_sub_path(cr);
    cairo_arc(cr, -4, 6, 2.6, 0, 2 * M_PI);
    cairo_set_fill_rule(cr, CAIRO_FILL_RULE_EVEN_ODD);
    cairo_fill(cr);
}

void moon(cairo_t* cr) {
    cairo_arc(cr, 0, 0, 14, 0, 2 * M_PI);
    cairo_new_sub_path(cr);
    cairo_arc(cr, 6.5, -4, 11.5, 0, 2 * M_PI);
    cairo_set_fill_rule(cr, CAIRO_FILL_RULE_EVEN_ODD);
    cairo_save(cr);
    cairo_clip(cr);
    cairo_arc(cr, 0, 0, 14, 0, 2 * M_PI);
    cairo_fill(cr);
    cairo_restore(cr);
    cairo_new_path(cr);
}

void feather(cairo_t* cr) {
    cairo_save(cr);
    cairo_rotate(cr, M_PI / 5);
    cairo_move_to(cr, 0, -15);
    cairo_curve_to(cr, 8, -9, 8, 5, 1, 11);
    cairo_line_to(cr, -1, 11);
    cairo_curve_to(cr, -8, 5, -8, -9, 0, -15);
    cairo_close_path(cr);
    // Notches of the vane and the quill.
    for (int i = 0; i < 3; ++i) {
        double y = -6 + i * 5.5;
        cairo_move_to(cr, 7.5, y - 2);
        cairo_line_to(cr, 2.5, y + 1.5);
        cairo_line_to(cr, 7.6, y + 0.4);
        cairo_close_path(cr);
        cairo_move_to(cr, -7.5, y - 0.5);
        cairo_line_to(cr, -2.5, y + 3);
        cairo_line_to(cr, -7.6, y + 1.9);
        cairo_close_path(cr);
    }
    cairo_move_to(cr, -0.7, -11);
    cairo_line_to(cr, 0.7, -11);
    cairo_line_to(cr, 0.7, 10);
    cairo_line_to(cr, -0.7, 10);
    cairo_close_path(cr);
    cairo_set_fill_rule(cr, CAIRO_FILL_RULE_EVEN_ODD);
    cairo_fill(cr);
    cairo_set_line_width(cr, 2.0);
    cairo_set_line_cap(cr, CAIRO_LINE_CAP_ROUND);
    cairo_move_to(cr, 0, 10);
    cairo_line_to(cr, 0, 16);
    cairo_stroke(cr);
    cairo_restore(cr);
}

void eye(cairo_t* cr) {
    cairo_move_to(cr, -15, 0);
    cairo_curve_to(cr, -8, -10, 8, -10, 15, 0);
    cairo_curve_to(cr, 8, 10, -8, 10, -15, 0);
    cairo_close_path(cr);
    cairo_new_sub_path(cr);
    cairo_arc(cr, 0, 0, 6.3, 0, 2 * M_PI);
    cairo_set_fill_rule(cr, CAIRO_FILL_RULE_EVEN_ODD);
    cairo_fill(cr);
    cairo_arc(cr, 0, 0, 3.6, 0, 2 * M_PI);
    cairo_fill(cr);
}

void spiral(cairo_t* cr) {
    cairo_set_line_width(cr, 3.3);
    cairo_set_line_cap(cr, CAIRO_LINE_CAP_ROUND);
    double turns = 2.6;
    int steps = 120;
    for (int i = 0; i <= steps; ++i) {
        double t = (double)i / steps;
        double a = t * turns * 2 * M_PI;
        double r = 1.5 + 12.5 * t;
        double x = r * std::cos(a), y = r * std::sin(a);
        if (i == 0)
            cairo_move_to(cr, x, y);
        else
            cairo_line_to(cr, x, y);
    }
    cairo_stroke(cr);
}

}  // namespace

void paint(cairo_t* cr, int colour, double scale) {
    cairo_save(cr);
    cairo_scale(cr, scale, scale);
    switch (colour) {
        case 1: sun(cr); break;
        case 2: leaf(cr); break;
        case 3: wave(cr); break;
        case 4: star(cr); break;
        case 5: droplet(cr); break;
        case 6: moon(cr); break;
        case 7: feather(cr); break;
        case 8: eye(cr); break;
        case 9: spiral(cr); break;
        default: break;
    }
    cairo_restore(cr);
}

}  // namespace sym
