#include "art.h"

#include <cmath>
#include <cstdio>

namespace art {

const gen::Col kGoldHi = gen::hex(0xfff1b8), kGold = gen::hex(0xe0a83a), kGoldLo = gen::hex(0x8a5210),
               kJadeHi = gen::hex(0x4fc49a), kJade = gen::hex(0x1f8a6a), kJadeLo = gen::hex(0x0b4a3a),
               kSandHi = gen::hex(0xf6e4bb), kSand = gen::hex(0xe0c48a), kSandLo = gen::hex(0xb98f55),
               kInk = gen::hex(0x3a2414);

ui::PathFn rrect(double x, double y, double w, double h, double r) {
    return [=](cairo_t* cr) { gen::rounded_rect(cr, x, y, w, h, r); };
}

ui::PathFn star(double cx, double cy, double outer, double inner, double rot) {
    return [=](cairo_t* cr) {
        for (int i = 0; i < 10; ++i) {
            double a = (rot + i * 36) * M_PI / 180, r = i % 2 ? inner : outer;
            double x = cx + r * std::cos(a), y = cy + r * std::sin(a);
            i ? cairo_line_to(cr, x, y) : cairo_move_to(cr, x, y);
        }
        cairo_close_path(cr);
    };
}

ui::PathFn arrow(double cx, double cy, double len, double thick, int dir) {
    return [=](cairo_t* cr) {
        double hl = len / 2, head = std::min(len * 0.5, thick * 1.6);
        auto P = [&](double x, double y) { return std::pair<double, double>{cx + dir * x, cy + y}; };
        std::pair<double, double> pts[] = {P(-hl, -thick / 2), P(hl - head, -thick / 2), P(hl - head, -thick * 1.1),
                                           P(hl, 0),           P(hl - head, thick * 1.1), P(hl - head, thick / 2),
                                           P(-hl, thick / 2)};
        cairo_move_to(cr, pts[0].first, pts[0].second);
        for (auto& p : pts) cairo_line_to(cr, p.first, p.second);
        cairo_close_path(cr);
    };
}

// Stepped pyramids along a band from (0,0) to (len,0), height b, in the current transform.
static void fret_run(cairo_t* cr, double len, double b) {
    double u = b * 2.2;
    int n = std::max(1, (int)std::floor(len / u));
    double off = (len - n * u) / 2;
    for (int i = 0; i < n; ++i) {
        double x = off + i * u;
        double pts[][2] = {{0, b}, {0, 2 * b / 3}, {u / 6, 2 * b / 3}, {u / 6, b / 3}, {u / 3, b / 3}, {u / 3, 0},
                           {2 * u / 3, 0}, {2 * u / 3, b / 3}, {5 * u / 6, b / 3}, {5 * u / 6, 2 * b / 3},
                           {u * 0.94, 2 * b / 3}, {u * 0.94, b}};
        for (int k = 0; k < 12; ++k)
            k ? cairo_line_to(cr, x + pts[k][0], pts[k][1] * 0.8 + b * 0.1)
              : cairo_move_to(cr, x + pts[k][0], pts[k][1] * 0.8 + b * 0.1);
        cairo_close_path(cr);
    }
}

void stone_panel(gen::Canvas& c, double x, double y, double w, double h, double r, uint32_t seed, bool fret) {
    auto body = rrect(x, y, w, h, r);
    ui::drop_shadow(c, body, 4, 7, 9, 0.55);
    ui::fill_with(c, body, ui::vgrad3(y, y + h, kSandHi, kSand, kSandLo, 0.55));
    ui::grain(c, body, 0.07, 9, seed);
    // Outer gold trim and the inner edge of the frame.
    double t = std::min(w, h) > 120 ? 7 : 4;
    auto rim = [=](cairo_t* cr) {
        gen::rounded_rect(cr, x, y, w, h, r);
        gen::rounded_rect(cr, x + t, y + t, w - 2 * t, h - 2 * t, std::max(1.0, r - t));
        cairo_set_fill_rule(cr, CAIRO_FILL_RULE_EVEN_ODD);
    };
    gen::Canvas m(c.w, c.h);
    cairo_set_fill_rule(m.cr, CAIRO_FILL_RULE_EVEN_ODD);
    ui::fill_mask(m, rim);
    ui::fill_with(c, m, ui::vgrad3(y, y + h, kGoldHi, kGold, kGoldLo, 0.4));
    ui::bevel(c, m, 2.5, 0.8, 0.6);
    if (fret && w > 160 && h > 120) {
        double b = 16, in = t + 8;
        auto band = [=](cairo_t* cr) {
            cairo_save(cr);
            cairo_translate(cr, x + in + b, y + in);
            fret_run(cr, w - 2 * in - 2 * b, b);
            cairo_restore(cr);
            cairo_save(cr);
            cairo_translate(cr, x + w - in - b, y + h - in);
            cairo_rotate(cr, M_PI);
            fret_run(cr, w - 2 * in - 2 * b, b);
            cairo_restore(cr);
            cairo_save(cr);
            cairo_translate(cr, x + in, y + h - in - b);
            cairo_rotate(cr, -M_PI / 2);
            fret_run(cr, h - 2 * in - 2 * b, b);
            cairo_restore(cr);
            cairo_save(cr);
            cairo_translate(cr, x + w - in, y + in + b);
            cairo_rotate(cr, M_PI / 2);
            fret_run(cr, h - 2 * in - 2 * b, b);
            cairo_restore(cr);
        };
        // A recessed channel carrying the raised steps.
        auto channel = [=](cairo_t* cr) {
            gen::rounded_rect(cr, x + in - 3, y + in - 3, w - 2 * in + 6, h - 2 * in + 6, 6);
            gen::rounded_rect(cr, x + in + b + 3, y + in + b + 3, w - 2 * (in + b + 3), h - 2 * (in + b + 3), 4);
        };
        gen::Canvas cm(c.w, c.h);
        cairo_set_fill_rule(cm.cr, CAIRO_FILL_RULE_EVEN_ODD);
        ui::fill_mask(cm, channel);
        ui::fill_with(c, cm, ui::vgrad(y, y + h, gen::hex(0xc9a56a), gen::hex(0xa07a44)));
        ui::inner_shadow(c, cm, 2, 2, 3, 0.6);
        ui::fill_with(c, band, ui::vgrad(y, y + h, gen::hex(0xeed9a8), gen::hex(0xcfae72)));
        ui::bevel(c, band, 2, 0.7, 0.6);
        // Jade studs at the corners of the channel.
        for (int k = 0; k < 4; ++k) {
            double cx = k % 2 ? x + w - in - b / 2 : x + in + b / 2, cy = k / 2 ? y + h - in - b / 2 : y + in + b / 2;
            medallion(c, cx, cy, b * 0.55, kJadeHi, kJadeLo, seed + k);
        }
    }
    ui::bevel(c, body, 6, 0.35, 0.3);
}

void gold_bar(gen::Canvas& c, double x, double y, double w, double h, double r) {
    auto p = rrect(x, y, w, h, r);
    ui::drop_shadow(c, p, 1, 2, 2, 0.5);
    ui::fill_with(c, p, ui::vgrad3(y, y + h, kGoldHi, kGold, kGoldLo, 0.45));
    ui::bevel(c, p, std::max(1.0, h / 4), 0.9, 0.6);
}

void button_face(gen::Canvas& c, double x, double y, double w, double h, double r, int tone, uint32_t seed) {
    gen::Col hi = kJadeHi, mid = kJade, lo = kJadeLo;
    if (tone == 1) hi = gen::hex(0xe58a52), mid = gen::hex(0xb4532a), lo = gen::hex(0x6a2a12);
    if (tone == 2) hi = gen::hex(0x8a7a6a), mid = gen::hex(0x5a4c40), lo = gen::hex(0x2c241e);
    if (tone == 3) hi = gen::hex(0xfbf0d4), mid = gen::hex(0xead2a0), lo = gen::hex(0xc09a62);
    auto outer = rrect(x, y, w, h, r);
    double t = std::max(3.0, std::min(w, h) * 0.09);
    auto inner = rrect(x + t, y + t, w - 2 * t, h - 2 * t, std::max(1.0, r - t));
    ui::drop_shadow(c, outer, 2, 4, 4, 0.6);
    ui::fill_with(c, outer, ui::vgrad3(y, y + h, kGoldHi, kGold, kGoldLo, 0.45));
    ui::bevel(c, outer, 2.5, 0.9, 0.7);
    ui::fill_with(c, inner, ui::vgrad3(y + t, y + h - t, hi, mid, lo, 0.5));
    ui::grain(c, inner, 0.05, 6, seed);
    ui::inner_shadow(c, inner, 0, 2, 3, 0.55);
    // Gloss: a soft white lens over the upper half.
    cairo_pattern_t* g = cairo_pattern_create_linear(0, y + t, 0, y + h * 0.55);
    cairo_pattern_add_color_stop_rgba(g, 0, 1, 1, 1, 0.45);
    cairo_pattern_add_color_stop_rgba(g, 1, 1, 1, 1, 0.0);
    ui::fill_with(c, rrect(x + t + 3, y + t + 2, w - 2 * t - 6, (h - 2 * t) * 0.48, std::max(1.0, r - t - 2)), g);
}

void gold_star(gen::Canvas& c, double cx, double cy, double outer, bool filled, bool special) {
    auto p = star(cx, cy, outer, outer * 0.48);
    if (!filled) {
        ui::fill_with(c, p, ui::vgrad(cy - outer, cy + outer, gen::hex(0x6a5236, 0.85), gen::hex(0x3e2c1c, 0.85)));
        ui::inner_shadow(c, p, 1.5, 2, 2.5, 0.8);
        ui::bevel(c, p, 1.5, 0.0, 0.0);
        auto rim = star(cx, cy, outer, outer * 0.48);
        cairo_new_path(c.cr);
        rim(c.cr);
        cairo_set_line_width(c.cr, std::max(1.0, outer * 0.07));
        gen::set_source(c.cr, gen::hex(0xf2dcaa, 0.55));
        cairo_stroke(c.cr);
        return;
    }
    ui::outer_glow(c, p, outer * 0.05, outer * 0.25, special ? 0.9 : 0.45,
                   special ? gen::hex(0xff7ad0) : gen::hex(0xffd35a));
    ui::drop_shadow(c, p, outer * 0.04, outer * 0.08, outer * 0.08, 0.6);
    gen::Col hi = special ? gen::hex(0xffe6fb) : kGoldHi, mid = special ? gen::hex(0xf07ac8) : gen::hex(0xffc83a),
             lo = special ? gen::hex(0x8a1e6a) : gen::hex(0xb86a0c);
    ui::fill_with(c, p, ui::vgrad3(cy - outer, cy + outer * 0.8, hi, mid, lo, 0.45));
    ui::bevel(c, p, std::max(1.5, outer * 0.12), 1.0, 0.7);
    // The facet lines from the centre to the points.
    cairo_new_path(c.cr);
    for (int i = 0; i < 5; ++i) {
        double a = (-90 + i * 72) * M_PI / 180;
        cairo_move_to(c.cr, cx, cy);
        cairo_line_to(c.cr, cx + outer * 0.85 * std::cos(a), cy + outer * 0.85 * std::sin(a));
    }
    cairo_set_line_width(c.cr, std::max(0.6, outer * 0.03));
    gen::set_source(c.cr, {1, 1, 1, 0.35});
    cairo_stroke(c.cr);
}

void medallion(gen::Canvas& c, double cx, double cy, double r, gen::Col face_hi, gen::Col face_lo, uint32_t seed) {
    auto outer = [=](cairo_t* cr) { cairo_arc(cr, cx, cy, r, 0, 2 * M_PI); };
    auto inner = [=](cairo_t* cr) { cairo_arc(cr, cx, cy, r * 0.78, 0, 2 * M_PI); };
    ui::drop_shadow(c, outer, r * 0.06, r * 0.12, r * 0.12, 0.55);
    ui::fill_with(c, outer, ui::vgrad3(cy - r, cy + r, kGoldHi, kGold, kGoldLo, 0.45));
    ui::bevel(c, outer, std::max(1.0, r * 0.12), 0.9, 0.7);
    cairo_pattern_t* g = cairo_pattern_create_radial(cx - r * 0.3, cy - r * 0.35, r * 0.05, cx, cy, r * 0.8);
    cairo_pattern_add_color_stop_rgba(g, 0, face_hi.r, face_hi.g, face_hi.b, 1);
    cairo_pattern_add_color_stop_rgba(g, 1, face_lo.r, face_lo.g, face_lo.b, 1);
    ui::fill_with(c, inner, g);
    if (r > 12) ui::grain(c, inner, 0.05, 5, seed);
    ui::inner_shadow(c, inner, r * 0.03, r * 0.06, r * 0.1, 0.6);
    cairo_pattern_t* gl = cairo_pattern_create_radial(cx - r * 0.25, cy - r * 0.35, 0, cx - r * 0.25, cy - r * 0.35,
                                                       r * 0.5);
    cairo_pattern_add_color_stop_rgba(gl, 0, 1, 1, 1, 0.55);
    cairo_pattern_add_color_stop_rgba(gl, 1, 1, 1, 1, 0);
    ui::fill_with(c, inner, gl);
}

bool save(const gen::Canvas& c, const std::string& dir, const std::string& name) {
    gen::make_dirs(dir);
    if (!gen::save_png(dir + "/" + name, c)) {
        std::printf("datagen_ui: cannot write %s/%s\n", dir.c_str(), name.c_str());
        return false;
    }
    return true;
}

}  // namespace art
