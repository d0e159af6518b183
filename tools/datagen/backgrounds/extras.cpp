// The pictures that are not parallax layers: the menu picture and its torch-lit twin, the story page,
// the match-3 camp and the match-3 board backdrop.
#include <cmath>

#include "art.h"
#include "backgrounds.h"
#include "scenery.h"

using namespace art;
using gen::Col;
using gen::hex;

namespace {
const int W = 1366, H = 768;

// A lit block from a mask with colours from f.
Img block(Img m, const std::function<Col(int, int)>& f, double bevel, double specular, double grain_amt, uint32_t seed) {
    tint(m, f);
    if (grain_amt > 0) grain(m, 3.0, grain_amt, seed);
    Relief r;
    r.bevel = bevel;
    r.slope = 2.5;
    r.specular = specular;
    shade_relief(m, r);
    return m;
}

void drop(Img& dst, const Img& src, float blur_r, float opacity, int dx, int dy) {
    over(dst, shadow_of(src, blur_r, opacity), dx, dy);
    over(dst, src, 0, 0);
}

// A torch flame with its glow centred at (x, y).
Img torch_light(double x, double y, double strength, double radius) {
    Img g(W, H);
    for (int yy = 0; yy < H; ++yy)
        for (int xx = 0; xx < W; ++xx) {
            double d = std::hypot(xx - x, (yy - y) * 1.1) / radius;
            double a = strength * std::exp(-d * d * 1.6);
            if (a < 0.004) continue;
            put(g.at(xx, yy), {1.0, 0.62, 0.28, std::min(1.0, a)});
        }
    return g;
}

Img flame(double x, double y, double s) {
    Img f(W, H);
    for (int yy = (int)(y - 60 * s); yy < y + 20 * s; ++yy)
        for (int xx = (int)(x - 25 * s); xx < x + 25 * s; ++xx) {
            double u = (xx - x) / (14 * s), v = (yy - y) / (44 * s);
            double n = gen::fbm(xx / (8 * s), yy / (10 * s), 3, 71);
            double w = (1 - std::max(0.0, -v)) * (1 + 0.3 * (n - 0.5));
            double d = std::fabs(u) / std::max(0.05, w) + (v > 0 ? v * 2.5 : 0);
            if (d >= 1 || v < -1) continue;
            double heat = (1 - d) * (1 - 0.5 * std::max(0.0, -v));
            Col c = heat > 0.6 ? gen::mix(hex(0xFFD060), hex(0xFFF8E0), (heat - 0.6) / 0.4)
                               : gen::mix(hex(0xE04A10), hex(0xFFD060), heat / 0.6);
            c.a = std::min(1.0, (1 - d) * 2.2);
            put(f.at(xx, yy), c);
        }
    return f;
}

bool menu(const std::string& dir) {
    Img pic(W, H);
    scene::sky(pic, hex(0x23305E), hex(0xB8687A), hex(0xFFC47A), 520, 520, 330, hex(0xFFE2A0), 260);
    scene::clouds(pic, 20, 330, hex(0xFFC8A0), hex(0x6A4A6A), 0.5, 201);
    scene::ridge(pic, 420, 60, 240, hex(0x8A6A8A), hex(0x5A4A6A), 202);
    scene::mist(pic, 430, 60, hex(0xC88A7A), 0.5, 203);
    over(pic, scene::temple(W, H, 470, 600, 420, 6, hex(0xD0A878), hex(0x6A4A40), hex(0xC88A7A), 0.2, 204), 0, 0);
    over(pic, scene::canopy(W, H, 540, 700, 44, hex(0x6A8A6A), hex(0x1E3A2A), 1.0, 205, 300, 640), 0, 0);
    over(pic, scene::trunks(W, H, {60, 170}, 80, hex(0x4A3424), hex(0x1A120C), 206), 0, 0);
    over(pic, scene::vines(W, H, {40, 120, 210, 260}, 360, hex(0x2E5A2E), hex(0x0C1E12), 207), 0, 0);
    // The right side: a carved stone wall with the tablet of the player panel and a torch.
    Img wall = mask(W, H, [](cairo_t* cr) {
        cairo_rectangle(cr, 770, 0, 440, H);
        cairo_fill(cr);
    });
    wall = block(wall, [](int x, int y) {
        double n = gen::fbm(x / 40.0, y / 12.0, 4, 210);
        return gen::mix(hex(0x7A5A3A), hex(0x3A2818), 0.3 + 0.5 * n);
    }, 10, 0.05, 0.08, 211);
    Img joints = mask(W, H, [](cairo_t* cr) {
        cairo_set_line_width(cr, 3);
        for (int row = 0; row < 12; ++row) {
            double y = row * 72 + 20;
            cairo_move_to(cr, 770, y);
            cairo_line_to(cr, 1210, y);
            for (double x = 770 + (row % 2) * 70; x < 1210; x += 140) {
                cairo_move_to(cr, x, y);
                cairo_line_to(cr, x, y + 72);
            }
        }
        cairo_stroke(cr);
    });
    carve(wall, joints, hex(0x1A1008), 0.8, 1.0);
    drop(pic, wall, 18, 0.7f, -12, 0);
    Img tablet = mask(W, H, [](cairo_t* cr) {
        gen::rounded_rect(cr, 818, 96, 330, 262, 18);
        cairo_fill(cr);
    });
    tablet = block(tablet, [](int x, int y) {
        double n = gen::fbm(x / 30.0, y / 30.0, 4, 212);
        return gen::mix(hex(0xF2E0B8), hex(0xC8A474), 0.2 + 0.5 * n + (y - 96) / 900.0);
    }, 8, 0.1, 0.05, 213);
    Img border = mask(W, H, [](cairo_t* cr) {
        cairo_set_line_width(cr, 3);
        gen::rounded_rect(cr, 832, 110, 302, 234, 10);
        cairo_stroke(cr);
        cairo_set_line_width(cr, 2);
        for (int i = 0; i < 11; ++i) {
            double x = 862 + i * 24;
            cairo_move_to(cr, x, 126);
            cairo_line_to(cr, x, 120);
            cairo_line_to(cr, x + 12, 120);
            cairo_line_to(cr, x + 12, 126);
            cairo_move_to(cr, x, 328);
            cairo_line_to(cr, x, 334);
            cairo_line_to(cr, x + 12, 334);
            cairo_line_to(cr, x + 12, 328);
        }
        cairo_stroke(cr);
    });
    carve(tablet, border, hex(0x8A6038), 0.7, 1.0);
    drop(pic, tablet, 10, 0.6f, 6, 9);
    // Torch bracket.
    Img bracket = mask(W, H, [](cairo_t* cr) {
        cairo_move_to(cr, 1172, 300);
        cairo_line_to(cr, 1198, 300);
        cairo_line_to(cr, 1192, 250);
        cairo_line_to(cr, 1178, 250);
        cairo_close_path(cr);
        cairo_fill(cr);
        gen::rounded_rect(cr, 1166, 238, 38, 16, 5);
        cairo_fill(cr);
    });
    bracket = block(bracket, [](int, int y) { return gen::mix(hex(0xC89A4A), hex(0x4A3010), (y - 238) / 70.0); }, 3, 0.7, 0, 0);
    drop(pic, bracket, 4, 0.6f, 4, 5);
    Img lf = scene::foreground(W, H, hex(0x1E3A22), hex(0x06120A), hex(0xFFB070), 214, 0.9);
    over(pic, lf, 0, 0);
    Img lit = pic;
    over(pic, torch_light(1185, 210, 0.35, 260), 0, 0);
    over(pic, flame(1185, 232, 1.0), 0, 0);
    // The flicker: the same scene with the torch flaring up.
    over(lit, torch_light(1185, 205, 0.6, 380), 0, 0);
    add(lit, torch_light(1185, 205, 0.25, 160), 0, 0);
    over(lit, flame(1185, 230, 1.25), 0, 0);
    bool ok = save_jpeg(dir + "menubg1.jpg", pic, 90);
    return save_jpeg(dir + "menubg2.jpg", lit, 90) && ok;
}

bool story(const std::string& dir) {
    Img pic(W, H);
    // The table: dark warm wood.
    for (int y = 0; y < H; ++y)
        for (int x = 0; x < W; ++x) {
            double n = gen::fbm(x / 300.0, y / 9.0, 5, 301);
            double ring = 0.5 + 0.5 * std::sin(y / 7.0 + n * 12);
            Col c = gen::mix(hex(0x5A3418), hex(0x2A160A), 0.4 * n + 0.4 * ring);
            double v = std::hypot((x - 683) / 900.0, (y - 384) / 600.0);
            c = gen::mix(c, hex(0x120804), std::min(1.0, v * 0.8));
            put(pic.at(x, y), c);
        }
    // The open book: two pages with a fold between them.
    const double L = 175, R = 1175, T = 58, B = 716, fold = 673;
    Img pages = mask(W, H, [&](cairo_t* cr) {
        cairo_move_to(cr, L, T + 10);
        cairo_curve_to(cr, L + 200, T - 6, fold - 150, T - 4, fold, T + 14);
        cairo_curve_to(cr, fold + 150, T - 4, R - 200, T - 6, R, T + 10);
        cairo_line_to(cr, R + 4, B);
        cairo_curve_to(cr, R - 200, B - 12, fold + 150, B - 10, fold, B + 8);
        cairo_curve_to(cr, fold - 150, B - 10, L + 200, B - 12, L - 4, B);
        cairo_close_path(cr);
        cairo_fill(cr);
    });
    Img under = pages;
    tint(under, [](int, int) { return hex(0xD8C098); });
    tint(pages, [&](int x, int y) {
        double n = gen::fbm(x / 80.0, y / 80.0, 5, 302);
        double stain = gen::fbm(x / 25.0 + 40, y / 25.0, 3, 303);
        Col c = gen::mix(hex(0xF6E8C8), hex(0xE2CA9C), 0.2 + 0.6 * n);
        if (stain > 0.72) c = gen::mix(c, hex(0xC8A070), (stain - 0.72) * 1.2);
        double dfold = std::fabs(x - fold) / 60.0;
        c = gen::mix(c, hex(0x9A7A50), std::max(0.0, 1 - dfold) * 0.55);
        double edge = std::min({x - L, R - x, y - T, B - y}) / 40.0;
        c = gen::mix(c, hex(0xC8A070), std::max(0.0, 1 - edge) * 0.45);
        return c;
    });
    grain(pages, 1.5, 0.04, 304, 2);
    Img stack(W, H);
    over(stack, shadow_of(under, 14, 0.8f), 8, 14);
    over(stack, under, 0, 6);
    over(stack, under, 0, 3);
    over(stack, pages, 0, 0);
    over(pic, stack, 0, 0);
    // Faded ink ornaments: a step-fret rule under each title area and in the corners.
    draw_over(pic, [&](cairo_t* cr) {
        cairo_set_source_rgba(cr, 0.45, 0.28, 0.14, 0.5);
        cairo_set_line_width(cr, 2);
        for (double x0 : {L + 40.0, fold + 40.0}) {
            for (double yb : {T + 30.0, B - 30.0}) {
                for (int i = 0; i < 18; ++i) {
                    double x = x0 + i * 24;
                    double s = yb < 300 ? 1 : -1;
                    cairo_move_to(cr, x, yb);
                    cairo_line_to(cr, x, yb - 6 * s);
                    cairo_line_to(cr, x + 12, yb - 6 * s);
                    cairo_line_to(cr, x + 12, yb);
                    cairo_line_to(cr, x + 24, yb);
                }
            }
        }
        cairo_stroke(cr);
        // A small drawing of a step temple under a rising sun at the head of the right page.
        double cx = 1000, by = 178;
        cairo_set_line_width(cr, 1.6);
        cairo_set_source_rgba(cr, 0.38, 0.22, 0.1, 0.7);
        for (int i = 0; i < 5; ++i) {
            double w = 150 - i * 24;
            cairo_rectangle(cr, cx - w / 2, by - 16 * (i + 1), w, 16);
        }
        cairo_rectangle(cr, cx - 18, by - 104, 36, 24);
        cairo_stroke(cr);
        for (int i = 0; i < 5; ++i) {
            cairo_move_to(cr, cx - 10 - i * 2, by - 16 * i);
            cairo_line_to(cr, cx + 10 + i * 2, by - 16 * i);
        }
        cairo_stroke(cr);
        cairo_arc(cr, cx + 95, by - 85, 18, 0, 2 * M_PI);
        cairo_stroke(cr);
        for (int i = 0; i < 12; ++i) {
            double a = i * M_PI / 6;
            cairo_move_to(cr, cx + 95 + 24 * std::cos(a), by - 85 + 24 * std::sin(a));
            cairo_line_to(cr, cx + 95 + 32 * std::cos(a), by - 85 + 32 * std::sin(a));
        }
        cairo_stroke(cr);
        cairo_move_to(cr, cx - 140, by);
        cairo_curve_to(cr, cx - 60, by - 4, cx + 60, by + 4, cx + 140, by);
        cairo_stroke(cr);
    });
    gen::make_dirs(dir + "story/");
    return save_jpeg(dir + "story/bg.jpg", pic, 90);
}

bool tent(const std::string& dir) {
    Img pic(W, H);
    // Canvas walls in vertical panels that sag between the poles, lit by a lantern on the left.
    for (int y = 0; y < H; ++y)
        for (int x = 0; x < W; ++x) {
            double panel = std::fmod(x + 40, 170.0) / 170.0;
            double fold = 0.5 + 0.5 * std::cos(panel * 2 * M_PI);
            double weave = gen::noise2(x / 1.5, y / 1.5, 401) * 0.5 + gen::fbm(x / 120.0, y / 120.0, 3, 402) * 0.5;
            Col c = gen::mix(hex(0xD8B888), hex(0x8A6A44), 0.25 + 0.35 * fold + 0.25 * weave);
            double light = std::exp(-std::pow(std::hypot(x - 140.0, y - 200.0) / 700.0, 2));
            c = gen::mix(gen::mix(c, hex(0x3A2414), 0.45), c, light);
            put(pic.at(x, y), c);
        }
    // Seams.
    draw_over(pic, [](cairo_t* cr) {
        cairo_set_source_rgba(cr, 0.3, 0.2, 0.1, 0.45);
        cairo_set_line_width(cr, 2);
        for (double x = 130; x < W; x += 170) {
            cairo_move_to(cr, x, 0);
            cairo_line_to(cr, x, 640);
        }
        cairo_stroke(cr);
    });
    // Floor boards.
    Img floor = mask(W, H, [](cairo_t* cr) {
        cairo_rectangle(cr, 0, 640, W, 128);
        cairo_fill(cr);
    });
    floor = block(floor, [](int x, int y) {
        double n = gen::fbm(x / 200.0, y / 5.0, 4, 403);
        double board = std::fmod(y - 640, 32.0) < 2 ? 0.8 : 0.0;
        return gen::mix(gen::mix(hex(0x8A5A30), hex(0x4A2C14), n), hex(0x24140A), board);
    }, 4, 0.1, 0.05, 404);
    over(pic, floor, 0, 0);
    // Poles.
    Img poles = mask(W, H, [](cairo_t* cr) {
        cairo_rectangle(cr, 60, 0, 34, 700);
        cairo_rectangle(cr, 1272, 0, 34, 700);
        cairo_fill(cr);
    });
    poles = block(poles, [](int x, int y) {
        return gen::mix(hex(0x9A6A3A), hex(0x4A2A12), gen::fbm(x / 4.0, y / 50.0, 3, 405));
    }, 12, 0.15, 0, 0);
    drop(pic, poles, 10, 0.6f, 10, 4);
    // A map pinned to the right wall and a hanging lantern on the left.
    Img map = mask(W, H, [](cairo_t* cr) {
        cairo_move_to(cr, 1100, 120);
        cairo_line_to(cr, 1240, 110);
        cairo_line_to(cr, 1250, 300);
        cairo_line_to(cr, 1106, 310);
        cairo_close_path(cr);
        cairo_fill(cr);
    });
    map = block(map, [](int x, int y) {
        return gen::mix(hex(0xF0DCB0), hex(0xC8A070), gen::fbm(x / 30.0, y / 30.0, 3, 406));
    }, 2, 0.05, 0.03, 407);
    draw_over(map, [](cairo_t* cr) {
        cairo_set_source_rgba(cr, 0.35, 0.2, 0.1, 0.7);
        cairo_set_line_width(cr, 1.5);
        cairo_move_to(cr, 1120, 280);
        cairo_curve_to(cr, 1150, 220, 1200, 250, 1230, 140);
        cairo_stroke(cr);
        cairo_set_dash(cr, (const double[]){5, 4}, 2, 0);
        cairo_move_to(cr, 1130, 160);
        cairo_curve_to(cr, 1170, 200, 1160, 240, 1210, 270);
        cairo_stroke(cr);
        cairo_set_dash(cr, nullptr, 0, 0);
        cairo_set_source_rgba(cr, 0.7, 0.15, 0.1, 0.8);
        cairo_move_to(cr, 1204, 264);
        cairo_line_to(cr, 1216, 276);
        cairo_move_to(cr, 1216, 264);
        cairo_line_to(cr, 1204, 276);
        cairo_stroke(cr);
    });
    drop(pic, map, 5, 0.5f, 4, 6);
    Img lantern = mask(W, H, [](cairo_t* cr) {
        cairo_set_line_width(cr, 2);
        cairo_move_to(cr, 180, 0);
        cairo_line_to(cr, 180, 160);
        cairo_stroke(cr);
        gen::rounded_rect(cr, 160, 160, 40, 12, 4);
        gen::rounded_rect(cr, 163, 230, 34, 10, 4);
        cairo_fill(cr);
        cairo_rectangle(cr, 165, 172, 4, 58);
        cairo_rectangle(cr, 191, 172, 4, 58);
        cairo_fill(cr);
    });
    lantern = block(lantern, [](int, int y) { return gen::mix(hex(0x6A5030), hex(0x2A1A0A), y / 240.0); }, 2, 0.5, 0, 0);
    Img glow = torch_light(180, 200, 0.45, 320);
    over(pic, glow, 0, 0);
    over(pic, flame(180, 214, 0.45), 0, 0);
    drop(pic, lantern, 4, 0.5f, 4, 4);
    return save_jpeg(dir + "tentbg.jpg", pic, 90);
}

bool puzzle_backdrop(const std::string& data) {
    // A carved tray behind the 12 x 12 match-3 board; drawn centred 200 pixels above the screen bottom, so
    // its upper edge lies just above the top of the screen and its lower part continues below the screen.
    const int TW = 824, TH = 1148;
    Img frame = mask(TW, TH, [&](cairo_t* cr) {
        gen::rounded_rect(cr, 2, 2, TW - 4, TH - 4, 26);
        cairo_fill(cr);
    });
    frame = block(frame, [](int x, int y) {
        double n = gen::fbm(x / 30.0, y / 10.0, 4, 501);
        return gen::mix(hex(0xE0B070), hex(0x9A6430), 0.2 + 0.6 * n);
    }, 8, 0.15, 0.06, 502);
    Img fret = mask(TW, TH, [&](cairo_t* cr) {
        cairo_set_line_width(cr, 3);
        gen::rounded_rect(cr, 12, 12, TW - 24, TH - 24, 18);
        cairo_stroke(cr);
    });
    carve(frame, fret, hex(0x6A4018), 0.6, 1.0);
    Img field = mask(TW, TH, [&](cairo_t* cr) {
        gen::rounded_rect(cr, 24, 24, TW - 48, TH - 48, 14);
        cairo_fill(cr);
    });
    tint(field, [](int x, int y) {
        double n = gen::fbm(x / 60.0, y / 60.0, 4, 503);
        return gen::mix(hex(0x1E5A50), hex(0x0A2A26), 0.3 + 0.6 * n);
    });
    grain(field, 2.0, 0.06, 504);
    // The field is sunk: shade it with an inner shadow from the top left.
    Img inner = shadow_of(field, 8, 0.8f);
    Img out(TW, TH);
    over(out, frame, 0, 0);
    over(out, field, 0, 0);
    for (int y = 0; y < TH; ++y)
        for (int x = 0; x < TW; ++x) {
            float* p = out.at(x, y);
            float fa = field.alpha(x, y);
            if (fa <= 0) continue;
            float sh = 1 - inner.alpha(x - 7, y - 7);
            float dark = std::min(1.f, sh * fa) * 0.6f;
            for (int k = 0; k < 3; ++k) p[k] *= (1 - dark);
        }
    gen::make_dirs(data + "/minigames/");
    return save_png(data + "/minigames/downbackpuzzle.png", out);
}

}  // namespace

bool write_extras(const std::string& data) {
    std::string dir = data + "/bg/";
    gen::make_dirs(dir);
    bool ok = menu(dir);
    ok = story(dir) && ok;
    ok = tent(dir) && ok;
    return puzzle_backdrop(data) && ok;
}
