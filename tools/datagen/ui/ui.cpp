// Interface art: every image under data/ui, data/map and data/game, sized for where the game draws it.
//   datagen_ui <data folder> ui
//   datagen_ui <data folder> branding <branding sources> <build folder>
#include <array>
#include <cmath>
#include <initializer_list>
#include <cstdio>
#include <cstring>
#include <functional>
#include <string>

#include "art.h"

using namespace art;
using gen::Canvas;

int make_branding(const std::string& data, const std::string& sources, const std::string& build);

namespace {

bool ok = true;

void out(const Canvas& c, const std::string& dir, const char* name) { ok = save(c, dir, name) && ok; }

// A caption-free button of the given size and tone, drawn with room for its shadow.
void button(const std::string& dir, const char* name, int w, int h, int tone, uint32_t seed) {
    Canvas c(w, h);
    button_face(c, 3, 2, w - 8, h - 9, (h - 9) * 0.32, tone, seed);
    out(c, dir, name);
}

// A bar fill: colour stops along the width (position, r, g, b), a shine on top and shade below; y0..y1 filled.
void strip(Canvas& c, double y0, double y1, std::initializer_list<std::array<double, 4>> stops, double shine,
           double shade) {
    auto rect = [&](cairo_t* cr) { cairo_rectangle(cr, 0, y0, c.w, y1 - y0); };
    cairo_pattern_t* g = cairo_pattern_create_linear(0, 0, c.w, 0);
    for (auto& st : stops) cairo_pattern_add_color_stop_rgb(g, st[0], st[1], st[2], st[3]);
    ui::fill_with(c, rect, g);
    cairo_pattern_t* s = cairo_pattern_create_linear(0, y0, 0, y1);
    cairo_pattern_add_color_stop_rgba(s, 0, 1, 1, 1, shine);
    cairo_pattern_add_color_stop_rgba(s, 0.4, 1, 1, 1, 0.05);
    cairo_pattern_add_color_stop_rgba(s, 0.7, 0, 0, 0, 0.0);
    cairo_pattern_add_color_stop_rgba(s, 1, 0, 0, 0, shade);
    ui::fill_with(c, rect, s);
}

void make_ui(const std::string& d) {
    // Popup panel: at scale 1 it holds the options rows (centre - 90 .. + 175), the title at - 210, the close
    // button at + 250 and the player list's rows 320 either side; at 0.8 the three buttons 210 either side.
    {
        Canvas c(860, 640);
        stone_panel(c, 10, 8, 838, 618, 26, 11);
        out(c, d, "popup.png");
    }
    {  // The title's divider: a gold bar with a jade gem, drawn 190 above the panel centre.
        Canvas c(460, 30);
        gold_bar(c, 16, 12, 428, 6, 3);
        medallion(c, 230, 15, 11, kJadeHi, kJadeLo, 3);
        for (int s : {-1, 1}) {
            auto dia = [=](cairo_t* cr) {
                double x = 230 + s * 200;
                cairo_move_to(cr, x - 9, 15);
                cairo_line_to(cr, x, 7);
                cairo_line_to(cr, x + 9, 15);
                cairo_line_to(cr, x, 23);
                cairo_close_path(cr);
            };
            ui::fill_with(c, dia, ui::vgrad(7, 23, kGoldHi, kGoldLo));
            ui::bevel(c, dia, 2, 0.8, 0.6);
        }
        out(c, d, "popupline.png");
    }
    {  // Row separator: a carved groove with a light lip below.
        Canvas c(640, 8);
        ui::fill_with(c, rrect(2, 1, 636, 3, 1.5), ui::vgrad(1, 4, gen::hex(0x6a4a26, 0.75), gen::hex(0x9a7444, 0.6)));
        ui::fill_with(c, rrect(2, 4, 636, 2, 1), ui::vgrad(4, 6, gen::hex(0xfff4d8, 0.7), gen::hex(0xfff4d8, 0.2)));
        out(c, d, "line.png");
    }
    {  // Volume slider track: the fill runs from 216 left of the panel centre to 334 right of it, and the
       // track (drawn 55 right of the centre) leaves the row caption the room left of that.
        Canvas c(558, 34);
        auto p = rrect(2, 6, 554, 22, 11);
        ui::fill_with(c, p, ui::vgrad(6, 28, gen::hex(0x3a2616), gen::hex(0x6a4a2a)));
        ui::inner_shadow(c, p, 1, 3, 3, 0.8);
        cairo_new_path(c.cr);
        gen::rounded_rect(c.cr, 2, 6, 554, 22, 11);
        cairo_set_line_width(c.cr, 2);
        gen::set_source(c.cr, gen::hex(0xf0c868, 0.8));
        cairo_stroke(c.cr);
        out(c, d, "optionstrack.png");
    }
    for (int first = 0; first < 2; ++first) {  // fill segments, 10 apart; the first has a rounded end
        Canvas c(10, 18);
        double x0 = first ? 2 : 0, r = first ? 7 : 0;
        auto p = [=](cairo_t* cr) {
            if (r > 0) {
                gen::rounded_rect(cr, x0, 1, 18, 16, r);
            } else {
                cairo_rectangle(cr, 0, 1, 10, 16);
            }
        };
        ui::fill_with(c, p, ui::vgrad3(1, 17, kJadeHi, gen::hex(0x2ba87e), kJadeLo, 0.45));
        cairo_pattern_t* g = cairo_pattern_create_linear(0, 1, 0, 9);
        cairo_pattern_add_color_stop_rgba(g, 0, 1, 1, 1, 0.5);
        cairo_pattern_add_color_stop_rgba(g, 1, 1, 1, 1, 0);
        ui::fill_with(c, [=](cairo_t* cr) { cairo_rectangle(cr, x0, 3, 10, 5); }, g);
        out(c, d, first ? "optionstrackfill1.png" : "optionstrackfill.png");
    }
    {  // Slider knob (button kind 5).
        Canvas c(40, 48);
        auto p = rrect(6, 4, 26, 36, 9);
        ui::drop_shadow(c, p, 2, 3, 3, 0.6);
        ui::fill_with(c, p, ui::vgrad3(4, 40, kGoldHi, kGold, kGoldLo, 0.45));
        ui::bevel(c, p, 3, 1.0, 0.7);
        for (int k = 0; k < 3; ++k) {
            auto g = rrect(13, 14 + k * 6, 12, 2, 1);
            ui::fill_with(c, g, ui::vgrad(0, 48, gen::hex(0x6a3a0c), gen::hex(0x6a3a0c)));
        }
        out(c, d, "button5.png");
    }
    {  // Check box plate.
        Canvas c(36, 36);
        auto p = rrect(4, 4, 26, 26, 6);
        ui::drop_shadow(c, p, 1, 2, 2, 0.5);
        ui::fill_with(c, p, ui::vgrad3(4, 30, kGoldHi, kGold, kGoldLo, 0.45));
        auto in = rrect(8, 8, 18, 18, 3);
        ui::fill_with(c, in, ui::vgrad(8, 26, gen::hex(0x5a3e24), gen::hex(0x8a6a44)));
        ui::inner_shadow(c, in, 1, 2, 2, 0.8);
        ui::bevel(c, p, 2, 0.8, 0.5);
        out(c, d, "cb.png");
    }
    {  // Tick mark: its corner sits at (19, 35), which the game puts on the box centre; the long stroke overflows.
        Canvas c(56, 50);
        auto tick = [](cairo_t* cr) {
            cairo_move_to(cr, 6, 26);
            cairo_curve_to(cr, 10, 24, 14, 27, 19, 33);
            cairo_curve_to(cr, 27, 19, 38, 8, 52, 2);
            cairo_curve_to(cr, 40, 13, 29, 27, 22, 42);
            cairo_curve_to(cr, 20, 44, 18, 44, 16, 42);
            cairo_close_path(cr);
        };
        ui::drop_shadow(c, tick, 2, 3, 2.5, 0.6);
        ui::fill_with(c, tick, ui::vgrad(2, 44, gen::hex(0x7fe8b8), gen::hex(0x0e6a4c)));
        ui::bevel(c, tick, 2, 0.9, 0.6);
        out(c, d, "h.png");
    }
    {  // Row highlight, drawn additively: a warm glow on transparent black.
        Canvas c(660, 44);
        cairo_pattern_t* g = cairo_pattern_create_linear(0, 0, 660, 0);
        cairo_pattern_add_color_stop_rgba(g, 0, 1, 0.75, 0.3, 0);
        cairo_pattern_add_color_stop_rgba(g, 0.15, 1, 0.75, 0.3, 0.5);
        cairo_pattern_add_color_stop_rgba(g, 0.85, 1, 0.75, 0.3, 0.5);
        cairo_pattern_add_color_stop_rgba(g, 1, 1, 0.75, 0.3, 0);
        ui::fill_with(c, rrect(4, 6, 652, 32, 16), g);
        ui::blur(c, 4);
        out(c, d, "bar.png");
    }
    {
        Canvas c(200, 200);
        cairo_set_source_rgb(c.cr, 0, 0, 0);
        cairo_paint(c.cr);
        out(c, d, "black.png");
    }
    for (int k = 0; k < 2; ++k) {  // help arrow between the mud stages, and the hint arrow
        int w = k ? 48 : 44, h = k ? 48 : 30;
        Canvas c(w, h);
        auto a = arrow(w / 2.0, h / 2.0, w - 10, k ? 12 : 8, 1);
        ui::drop_shadow(c, a, 1, 2, 2, 0.6);
        ui::fill_with(c, a, ui::vgrad3(0, h, kGoldHi, kGold, kGoldLo, 0.45));
        ui::bevel(c, a, 2, 0.9, 0.6);
        out(c, d, k ? "harrow.png" : "helparrow2.png");
    }
    {  // Mouse points for the overlap test: the pointer's tip (top-left pivot), a 3 x 3 dot and a centred dot.
        Canvas a(2, 2), b(3, 3), m(5, 5);
        for (Canvas* c : {&a, &b, &m}) {
            cairo_set_source_rgb(c->cr, 1, 1, 1);
            cairo_paint(c->cr);
        }
        out(a, d, "coll.png");
        out(b, d, "coll2.png");
        out(m, d, "coll3.png");
    }
    {  // Pointer: a gold arrow with a jade inlay; hot spot at the top-left pixel.
        Canvas c(40, 48);
        auto p = [](cairo_t* cr) {
            cairo_move_to(cr, 1, 1);
            cairo_line_to(cr, 30, 27);
            cairo_line_to(cr, 18, 28);
            cairo_line_to(cr, 25, 42);
            cairo_line_to(cr, 19, 45);
            cairo_line_to(cr, 12, 31);
            cairo_line_to(cr, 2, 39);
            cairo_close_path(cr);
        };
        auto in = [](cairo_t* cr) {
            cairo_move_to(cr, 5, 9);
            cairo_line_to(cr, 22, 24);
            cairo_line_to(cr, 13, 25);
            cairo_line_to(cr, 6, 31);
            cairo_close_path(cr);
        };
        ui::drop_shadow(c, p, 2, 3, 2.5, 0.6);
        cairo_new_path(c.cr);
        p(c.cr);
        cairo_set_line_width(c.cr, 2);
        gen::set_source(c.cr, gen::hex(0x3a1e08));
        cairo_stroke_preserve(c.cr);
        cairo_set_source(c.cr, ui::vgrad3(0, 45, kGoldHi, kGold, kGoldLo, 0.5));
        cairo_fill(c.cr);
        ui::bevel(c, p, 2, 0.8, 0.5);
        ui::fill_with(c, in, ui::vgrad(9, 31, kJadeHi, kJadeLo));
        ui::inner_shadow(c, in, 1, 1, 1.5, 0.6);
        out(c, d, "cursor.png");
    }
    {  // Loading bar: a carved plaque with the trough 54 below the image centre (fill 402 x 40 from 205 left).
        // The bar waits 50 below the screen's bottom edge before it rises, so nothing is drawn more than 48
        // above the centre.
        Canvas c(470, 168);
        int cy = 84, ty = cy + 54;
        stone_panel(c, 8, 60, 454, 102, 22, 21, false);
        medallion(c, 235, 62, 24, kJadeHi, kJadeLo, 5);
        for (int s : {-1, 1}) gold_bar(c, 235 + s * 112 - 70, 56, 140, 8, 4);
        auto trough = rrect(235 - 208, ty - 23, 416, 46, 12);
        ui::fill_with(c, trough, ui::vgrad(ty - 23, ty + 23, gen::hex(0x24160c), gen::hex(0x4a3420)));
        ui::inner_shadow(c, trough, 1, 3, 4, 0.9);
        out(c, d, "loadbar.png");
    }
    {  // Loading fill: 402 columns of 40 rows, jade to gold along the bar.
        Canvas c(402, 40);
        strip(c, 2, 38, {{0, 0.10, 0.55, 0.42}, {0.6, 0.35, 0.75, 0.45}, {1, 0.95, 0.80, 0.30}}, 0.55, 0.45);
        ui::grain(c, [](cairo_t* cr) { cairo_rectangle(cr, 0, 0, 402, 40); }, 0.05, 4, 7);
        out(c, d, "loadfill.png");
    }
    button(d, "menubutton1.png", 300, 70, 0, 31);
    button(d, "button3.png", 204, 56, 0, 32);
    button(d, "button6.png", 144, 46, 0, 33);
    button(d, "button10.png", 240, 60, 1, 34);
    button(d, "button11.png", 210, 42, 3, 35);  // dark red caption
    button(d, "pause.png", 130, 46, 1, 36);
}

void make_map(const std::string& d) {
    for (int dir : {1, -1}) {  // page arrows (kinds 1 and 2)
        Canvas c(72, 72);
        medallion(c, 36, 35, 30, kJadeHi, kJadeLo, 41);
        auto a = arrow(36 + dir * 2, 35, 36, 10, dir);
        ui::drop_shadow(c, a, 1, 2, 2, 0.6);
        ui::fill_with(c, a, ui::vgrad3(20, 50, kGoldHi, kGold, kGoldLo, 0.45));
        ui::bevel(c, a, 2, 0.9, 0.6);
        out(c, d, dir > 0 ? "arrowright.png" : "arrowleft.png");
    }
    {  // section button (kind 12): a sandstone disc for the section number
        Canvas c(58, 58);
        medallion(c, 29, 28, 25, kSandHi, kSandLo, 42);
        out(c, d, "nav.png");
    }
    {  // current-section marker: the disc lit in gold
        Canvas c(62, 62);
        ui::outer_glow(c, [](cairo_t* cr) { cairo_arc(cr, 31, 30, 26, 0, 2 * M_PI); }, 2, 5, 0.8, gen::hex(0xffe08a));
        medallion(c, 31, 30, 26, gen::hex(0xfff0b0), gen::hex(0xe0a02a), 43);
        out(c, d, "navfull.png");
    }
    {  // navigation bar: spans the two arrows 250 either side
        Canvas c(620, 84);
        stone_panel(c, 6, 10, 608, 64, 30, 44, false);
        auto groove = rrect(60, 34, 500, 16, 8);
        ui::fill_with(c, groove, ui::vgrad(34, 50, gen::hex(0x6a4a26), gen::hex(0x9a7444)));
        ui::inner_shadow(c, groove, 1, 2, 2, 0.7);
        out(c, d, "selection.png");
    }
    for (int look = 1; look <= 2; ++look) {  // level nodes: aztec (jade) and match-3 (terracotta)
        Canvas c(100, 100);
        gen::Col hi = look == 1 ? kJadeHi : gen::hex(0xf0a060), lo = look == 1 ? kJadeLo : gen::hex(0x7a3212);
        // A stepped temple plinth behind the medallion.
        auto plinth = [](cairo_t* cr) {
            cairo_rectangle(cr, 10, 60, 80, 14);
            cairo_rectangle(cr, 18, 52, 64, 10);
        };
        ui::drop_shadow(c, plinth, 2, 3, 3, 0.5);
        ui::fill_with(c, plinth, ui::vgrad(52, 74, kSand, kSandLo));
        ui::bevel(c, plinth, 2, 0.7, 0.6);
        medallion(c, 50, 44, 36, hi, lo, 50 + look);
        out(c, d, look == 1 ? "level1.png" : "level2.png");
    }
    {  // chains over a locked node: two crossed chains of oval links
        Canvas c(112, 112);
        auto chain = [](cairo_t* cr, double a) {
            for (int k = -4; k <= 4; ++k) {
                cairo_save(cr);
                cairo_translate(cr, 56, 56);
                cairo_rotate(cr, a);
                cairo_translate(cr, k * 12.5, 0);
                cairo_rotate(cr, k % 2 ? M_PI / 2 : 0);
                cairo_scale(cr, 1, k % 2 ? 0.55 : 0.6);
                cairo_new_sub_path(cr);
                cairo_arc(cr, 0, 0, 9, 0, 2 * M_PI);
                cairo_new_sub_path(cr);
                cairo_arc_negative(cr, 0, 0, 5, 2 * M_PI, 0);
                cairo_restore(cr);
            }
        };
        for (double a : {M_PI / 4, -M_PI / 4}) {
            auto p = [=](cairo_t* cr) { chain(cr, a); };
            ui::drop_shadow(c, p, 2, 3, 2, 0.6);
            ui::fill_with(c, p, ui::vgrad(0, 112, gen::hex(0xcfd3d6), gen::hex(0x50585e)));
            ui::bevel(c, p, 1.5, 0.9, 0.7);
        }
        out(c, d, "chain.png");
    }
    {  // padlock
        Canvas c(44, 52);
        auto shackle = [](cairo_t* cr) {
            cairo_arc(cr, 22, 20, 12, M_PI, 2 * M_PI);
            cairo_line_to(cr, 34, 26);
            cairo_line_to(cr, 29, 26);
            cairo_arc_negative(cr, 22, 20, 7, 2 * M_PI, M_PI);
            cairo_line_to(cr, 15, 26);
            cairo_line_to(cr, 10, 26);
            cairo_close_path(cr);
        };
        ui::fill_with(c, shackle, ui::vgrad(8, 26, gen::hex(0xd8dcdf), gen::hex(0x5a6268)));
        ui::bevel(c, shackle, 1.5, 0.8, 0.6);
        auto body = rrect(6, 24, 32, 24, 5);
        ui::drop_shadow(c, body, 1, 2, 2, 0.6);
        ui::fill_with(c, body, ui::vgrad3(24, 48, kGoldHi, kGold, kGoldLo, 0.45));
        ui::bevel(c, body, 2, 0.9, 0.6);
        ui::fill_with(c, [](cairo_t* cr) { cairo_arc(cr, 22, 34, 3.5, 0, 2 * M_PI); cairo_rectangle(cr, 20.5, 35, 3, 7); },
                      ui::vgrad(30, 42, gen::hex(0x2a1606), gen::hex(0x4a2a0c)));
        out(c, d, "lock.png");
    }
    for (int k = 0; k < 3; ++k) {  // map stars: empty, filled, special
        int s = k == 2 ? 34 : 28;
        Canvas c(s, s);
        gold_star(c, s / 2.0, s / 2.0 + 0.5, s * 0.44, k > 0, k == 2);
        out(c, d, k == 0 ? "star0.png" : k == 1 ? "star1.png" : "star2.png");
    }
    {  // backdrop of the level preview's miniature board (0.3 scale of 12 columns), drawn 134 below the preview
       // popup's centre: low enough to stay inside the panel, tall enough for the usual stacks
        const double w = 248, h = 140;
        Canvas c(260, 152);
        auto p = rrect(6, 6, w, h, 12);
        ui::drop_shadow(c, p, 2, 3, 4, 0.5);
        ui::fill_with(c, p, ui::vgrad(6, 6 + h, gen::hex(0x1d4a40), gen::hex(0x0c241f)));
        ui::grain(c, p, 0.08, 6, 60);
        ui::inner_shadow(c, p, 2, 3, 6, 0.8);
        cairo_new_path(c.cr);
        gen::rounded_rect(c.cr, 6, 6, w, h, 12);
        cairo_set_line_width(c.cr, 3);
        cairo_set_source(c.cr, ui::vgrad(6, 6 + h, kGoldHi, kGoldLo));
        cairo_stroke(c.cr);
        out(c, d, "downbackmap.png");
    }
    {  // rank bar: the fill runs 135 either side of the centre, 8 high
        Canvas c(300, 22);
        auto p = rrect(3, 2, 294, 17, 8);
        ui::drop_shadow(c, p, 1, 2, 2, 0.5);
        ui::fill_with(c, p, ui::vgrad3(2, 19, kGoldHi, kGold, kGoldLo, 0.45));
        auto t = rrect(14, 6, 272, 10, 5);
        ui::fill_with(c, t, ui::vgrad(6, 16, gen::hex(0x2a1a0c), gen::hex(0x4a3420)));
        ui::inner_shadow(c, t, 0, 1, 1.5, 0.8);
        out(c, d, "rankbar.png");
    }
    {
        Canvas c(270, 8);
        strip(c, 0, 8, {{0, 0.12, 0.55, 0.42}, {1, 0.40, 0.85, 0.55}}, 0.5, 0.35);
        out(c, d, "rankbarfill.png");
    }
}

void make_game(const std::string& d) {
    {  // shelf under the win screen's five stars (75 apart): the game hangs it from the middle of its top edge,
       // level with the stars' centres, so each star sits half sunk in a cup carved into the top edge
        Canvas c(440, 78);
        stone_panel(c, 8, 2, 424, 66, 20, 70, false);
        for (int i = 0; i < 5; ++i) {
            auto cup = [=](cairo_t* cr) {
                cairo_new_path(cr);
                cairo_arc(cr, 70 + 75 * i, 2, 33, 0, M_PI);
                cairo_close_path(cr);
            };
            ui::fill_with(c, cup, ui::vgrad(2, 35, gen::hex(0x5a3e1e), gen::hex(0x8a6a3c)));
            ui::inner_shadow(c, cup, 1, 3, 4, 0.7);
            auto lip = [=](cairo_t* cr) {
                cairo_new_path(cr);
                cairo_arc(cr, 70 + 75 * i, 2, 36, 0, M_PI);
                cairo_arc_negative(cr, 70 + 75 * i, 2, 33, M_PI, 0);
                cairo_close_path(cr);
            };
            ui::fill_with(c, lip, ui::vgrad(2, 38, kGoldHi, kGoldLo));
        }
        out(c, d, "board.png");
    }
    for (int k = 0; k < 3; ++k) {  // win screen stars
        int s = k == 2 ? 84 : 66;
        Canvas c(s, s);
        gold_star(c, s / 2.0, s / 2.0 + 1, s * 0.45, k > 0, k == 2);
        out(c, d, k == 0 ? "star0.png" : k == 1 ? "star1.png" : "star2.png");
    }
    for (int side = 0; side < 2; ++side) {
        // Top corner plates, hung from the middle of their top edge at centerx -/+ 430. The cannon shows the next
        // stone at the top of the screen over its column, 70 right of the left plate's middle at the first column
        // and 86 left of the right plate's middle at the last: each plate stops short of that on its inner side,
        // and its shadow is cut there too. What remains still holds the level caption (centred 3 right of the
        // middle) and the menu button (3 left of it).
        Canvas c(200, 74);
        const double x0 = side ? 31 : 6, x1 = side ? 194 : 153;
        stone_panel(c, x0, -30, x1 - x0, 96, 22, 80 + side, false);
        auto slot = side ? rrect(36, 16, 128, 34, 14) : rrect(54, 16, 96, 34, 14);
        ui::fill_with(c, slot, ui::vgrad(16, 50, gen::hex(0x6a4a26, 0.9), gen::hex(0x3a2614, 0.9)));
        ui::inner_shadow(c, slot, 1, 2, 3, 0.8);
        cairo_save(c.cr);
        cairo_set_operator(c.cr, CAIRO_OPERATOR_CLEAR);
        if (side) cairo_rectangle(c.cr, 0, 0, x0 - 1, c.h);
        else cairo_rectangle(c.cr, x1, 0, c.w - x1, c.h);
        cairo_fill(c.cr);
        cairo_restore(c.cr);
        out(c, d, side ? "uiupright.png" : "uiupleft.png");
    }
    {  // the top rim over the board: a gold-trimmed lintel
        Canvas c(800, 36);
        stone_panel(c, 4, -20, 792, 50, 14, 83, false);
        gold_bar(c, 20, 22, 760, 5, 2.5);
        out(c, d, "up.png");
    }
    {  // back panel behind the board's lower stack: a dark recess framed in stone, drawn centred 2 right of the
       // screen centre and 200 above the bottom. Its wings are the plaques under the side counters: rescued
       // animals and score on the left (468..485 left of the centre), the star marks and the clock on the right.
        Canvas c(1024, 400);
        auto p = rrect(118, 6, 788, 420, 18);
        ui::fill_with(c, p, ui::vgrad(6, 400, gen::hex(0x163832, 0.55), gen::hex(0x081814, 0.8)));
        ui::grain(c, p, 0.1, 12, 84);
        ui::inner_shadow(c, p, 0, 6, 14, 0.7);
        struct Wing {
            double x, y, w, h;
            uint32_t seed;
        };
        for (const Wing& wg : {Wing{2, 106, 100, 108, 87}, Wing{890, 66, 132, 170, 88}}) {
            stone_panel(c, wg.x, wg.y, wg.w, wg.h, 14, wg.seed, false);
            // A narrow rim, so that the counters have the room they need at their widest.
            auto field = rrect(wg.x + 8, wg.y + 8, wg.w - 16, wg.h - 16, 9);
            ui::fill_with(c, field, ui::vgrad(wg.y + 8, wg.y + wg.h - 8, gen::hex(0x2a1c10, 0.82),
                                              gen::hex(0x140c06, 0.88)));
            ui::inner_shadow(c, field, 1, 2, 4, 0.8);
        }
        out(c, d, "downback2.png");
    }
    {  // front ledge below the board, handle (415, 58): the floor step and the side counters' plates
        Canvas c(830, 110);
        auto ledge = [](cairo_t* cr) {
            cairo_rectangle(cr, 30, 40, 770, 70);
            gen::rounded_rect(cr, 0, 20, 120, 90, 18);
            gen::rounded_rect(cr, 710, 20, 120, 90, 18);
        };
        ui::drop_shadow(c, ledge, 0, -4, 8, 0.6);
        ui::fill_with(c, ledge, ui::vgrad3(20, 110, kSandHi, kSand, kSandLo, 0.5));
        ui::grain(c, ledge, 0.07, 9, 85);
        ui::bevel(c, ledge, 5, 0.5, 0.4);
        gold_bar(c, 30, 44, 770, 6, 3);
        out(c, d, "downfront2.png");
    }
    {  // countdown bar frame: fill 340 x 32 from 170 left of the centre
        Canvas c(372, 48);
        stone_panel(c, 2, 2, 368, 44, 20, 86, false);
        auto t = rrect(14, 7, 344, 34, 12);
        ui::fill_with(c, t, ui::vgrad(7, 41, gen::hex(0x24160c), gen::hex(0x4a3420)));
        ui::inner_shadow(c, t, 1, 2, 3, 0.9);
        out(c, d, "timer.png");
    }
    {
        Canvas c(340, 32);
        strip(c, 1, 31, {{0, 0.85, 0.30, 0.10}, {0.3, 0.95, 0.70, 0.20}, {1, 0.35, 0.80, 0.50}}, 0.6, 0.4);
        out(c, d, "timerfill.png");
    }
    {  // warning flash over the bar frame
        Canvas c(372, 48);
        ui::fill_with(c, rrect(10, 6, 352, 36, 14), ui::vgrad(6, 42, gen::hex(0xff4020), gen::hex(0xc01000)));
        ui::blur(c, 4);
        out(c, d, "timerwarn.png");
    }
    {  // challenge icons: an hourglass in a jade medallion, and a karo stone with a count
        Canvas t(120, 120), m(120, 120);
        medallion(t, 60, 58, 54, kSandHi, kSandLo, 90);
        auto glass = [](cairo_t* cr) {
            cairo_move_to(cr, 38, 26);
            cairo_line_to(cr, 82, 26);
            cairo_curve_to(cr, 82, 46, 64, 52, 64, 58);
            cairo_curve_to(cr, 64, 64, 82, 70, 82, 90);
            cairo_line_to(cr, 38, 90);
            cairo_curve_to(cr, 38, 70, 56, 64, 56, 58);
            cairo_curve_to(cr, 56, 52, 38, 46, 38, 26);
            cairo_close_path(cr);
        };
        ui::fill_with(t, glass, ui::vgrad(26, 90, gen::hex(0xe8fff6, 0.9), gen::hex(0x8fd8c0, 0.9)));
        auto sand = [](cairo_t* cr) {
            cairo_move_to(cr, 46, 36);
            cairo_line_to(cr, 74, 36);
            cairo_curve_to(cr, 70, 46, 62, 50, 60, 56);
            cairo_curve_to(cr, 58, 50, 50, 46, 46, 36);
            cairo_move_to(cr, 60, 62);
            cairo_curve_to(cr, 66, 74, 78, 78, 78, 86);
            cairo_line_to(cr, 42, 86);
            cairo_curve_to(cr, 42, 78, 54, 74, 60, 62);
        };
        ui::fill_with(t, sand, ui::vgrad(36, 86, kGoldHi, kGold));
        ui::bevel(t, glass, 2, 0.6, 0.4);
        gold_bar(t, 32, 20, 56, 8, 4);
        gold_bar(t, 32, 88, 56, 8, 4);
        out(t, d, "time-icon.png");
        medallion(m, 60, 58, 54, kSandHi, kSandLo, 91);
        auto stone = rrect(34, 30, 52, 52, 12);
        ui::drop_shadow(m, stone, 2, 3, 3, 0.6);
        ui::fill_with(m, stone, ui::vgrad3(30, 82, gen::hex(0x9ae0ff), gen::hex(0x2a8ad8), gen::hex(0x0c3a78), 0.5));
        ui::bevel(m, stone, 5, 0.9, 0.6);
        auto tgt = [](cairo_t* cr) {
            cairo_arc(cr, 60, 56, 13, 0, 2 * M_PI);
            cairo_new_sub_path(cr);
            cairo_arc_negative(cr, 60, 56, 8, 2 * M_PI, 0);
            cairo_new_sub_path(cr);
            cairo_arc(cr, 60, 56, 4, 0, 2 * M_PI);
        };
        ui::fill_with(m, tgt, ui::vgrad(40, 70, gen::hex(0xffffff, 0.9), gen::hex(0xcfe8ff, 0.9)));
        out(m, d, "move-icon.png");
    }
}

}  // namespace

int main(int argc, char** argv) {
    if (argc < 3) {
        std::fprintf(stderr, "usage: datagen_ui <data folder> ui | branding <sources> <build folder>\n");
        return 2;
    }
    std::string data = argv[1];
    if (std::strcmp(argv[2], "ui") == 0) {
        make_ui(data + "/ui");
        make_map(data + "/map");
        make_game(data + "/game");
        return ok ? 0 : 1;
    }
    if (std::strcmp(argv[2], "branding") == 0 && argc >= 5) return make_branding(data, argv[3], argv[4]);
    std::fprintf(stderr, "datagen_ui: unknown step %s\n", argv[2]);
    return 2;
}
