// Branding: the studio's splash page, the splash configuration and the window icon made from the game's emblem.
#include <cmath>
#include <cstdio>
#include <fstream>
#include <iterator>
#include <string>
#include <vector>

#include "art.h"

using namespace art;
using gen::Canvas;

namespace {

// The application id the desktop knows the game by; the icon theme's files are named after it.
const char* const kAppId = "io.github.ombrivale.Ombrivale";

// The game's emblem: a karo stone with a carved sun, in a gold ring on jade.
void emblem(Canvas& c, double cx, double cy, double r) {
    medallion(c, cx, cy, r, kJadeHi, kJadeLo, 7);
    double s = r * 0.95;
    auto stone = rrect(cx - s / 2, cy - s / 2, s, s, s * 0.22);
    ui::drop_shadow(c, stone, r * 0.03, r * 0.06, r * 0.06, 0.6);
    ui::fill_with(c, stone, ui::vgrad3(cy - s / 2, cy + s / 2, gen::hex(0xffd08a), gen::hex(0xf08a2a),
                                       gen::hex(0x9a3c0a), 0.5));
    ui::bevel(c, stone, std::max(1.0, s * 0.09), 0.9, 0.6);
    auto sun = [=](cairo_t* cr) {
        cairo_arc(cr, cx, cy, s * 0.16, 0, 2 * M_PI);
        for (int k = 0; k < 8; ++k) {
            double a = k * M_PI / 4;
            cairo_move_to(cr, cx + std::cos(a - 0.18) * s * 0.22, cy + std::sin(a - 0.18) * s * 0.22);
            cairo_line_to(cr, cx + std::cos(a) * s * 0.36, cy + std::sin(a) * s * 0.36);
            cairo_line_to(cr, cx + std::cos(a + 0.18) * s * 0.22, cy + std::sin(a + 0.18) * s * 0.22);
            cairo_close_path(cr);
        }
    };
    ui::fill_with(c, sun, ui::vgrad(cy - s / 2, cy + s / 2, gen::hex(0xfff3c0), gen::hex(0xffc050)));
    if (r > 20) ui::bevel(c, sun, std::max(1.0, s * 0.03), 0.2, 0.8, true);
    // Gloss over the stone's upper half.
    cairo_pattern_t* g = cairo_pattern_create_linear(0, cy - s / 2, 0, cy);
    cairo_pattern_add_color_stop_rgba(g, 0, 1, 1, 1, 0.45);
    cairo_pattern_add_color_stop_rgba(g, 1, 1, 1, 1, 0);
    ui::fill_with(c, rrect(cx - s * 0.42, cy - s * 0.45, s * 0.84, s * 0.4, s * 0.18), g);
}

void set(cairo_t* cr, gen::Col c) { cairo_set_source_rgba(cr, c.r, c.g, c.b, c.a); }

// The emblem for small icons: the same ring, stone and sun as flat, outlined shapes on whole pixels, bigger in
// the frame, without grain, gloss or soft shadows that would only blur at this size. Medium sizes (32..48)
// keep a bevel on the stone; the smallest show the sun as a plain disc.
void small_emblem(Canvas& c, int s) {
    cairo_t* cr = c.cr;
    const bool tiny = s < 32;
    const double cx = s / 2.0, cy = s / 2.0, px = s / 32.0 < 1 ? 1 : s / 32.0;
    const double r = s / 2.0 - 0.5;
    cairo_arc(cr, cx, cy, r, 0, 2 * M_PI);
    cairo_set_source(cr, ui::vgrad(cy - r, cy + r, kGoldHi, kGoldLo));
    cairo_fill_preserve(cr);
    set(cr, gen::hex(0x4a2a06));
    cairo_set_line_width(cr, 1.0);
    cairo_stroke(cr);
    double face = r - (tiny ? 2.0 : 3.0 * px);
    cairo_arc(cr, cx, cy, face, 0, 2 * M_PI);
    cairo_set_source(cr, ui::vgrad(cy - face, cy + face, kJadeHi, kJadeLo));
    cairo_fill(cr);
    // The stone nearly fills the face: at 16 pixels it is the picture.
    double side = std::round(face * (tiny ? 1.36 : 1.3));
    double x0 = std::round(cx - side / 2), y0 = std::round(cy - side / 2);
    auto stone = rrect(x0 + 0.5, y0 + 0.5, side - 1, side - 1, side * 0.2);
    if (!tiny) ui::drop_shadow(c, stone, 0, px, px, 0.5);
    ui::fill_with(c, stone, ui::vgrad(y0, y0 + side, gen::hex(0xffc070), gen::hex(0xc0500e)));
    if (!tiny) ui::bevel(c, stone, 2 * px, 0.8, 0.6);
    stone(cr);
    set(cr, gen::hex(0x5a1e04));
    cairo_set_line_width(cr, 1.0);
    cairo_stroke(cr);
    // The sun: a round disc with short thick rays; at 16 pixels the disc alone.
    const int rays = s < 20 ? 0 : 8;
    double sr = side * (s < 20 ? 0.27 : 0.21), ray = side * 0.39;
    set(cr, gen::hex(0xfff0b0));
    cairo_arc(cr, cx, cy, sr, 0, 2 * M_PI);
    cairo_fill(cr);
    cairo_set_line_cap(cr, CAIRO_LINE_CAP_ROUND);
    cairo_set_line_width(cr, tiny ? 1.5 : 1.8 * px);
    for (int k = 0; k < rays; ++k) {
        double a = k * M_PI / 4;
        cairo_move_to(cr, cx + std::cos(a) * (sr + px), cy + std::sin(a) * (sr + px));
        cairo_line_to(cr, cx + std::cos(a) * ray, cy + std::sin(a) * ray);
    }
    cairo_stroke(cr);
    if (s < 20) {
        // A darker core ring so the disc reads as a sun and not a hole.
        set(cr, gen::hex(0xe08a20));
        cairo_set_line_width(cr, 1.0);
        cairo_arc(cr, cx, cy, sr - 0.5, 0, 2 * M_PI);
        cairo_stroke(cr);
    }
}

// The icon at one size: the full emblem from 64 pixels up, the simplified one below.
void icon(Canvas& c, int s) {
    if (s >= 64)
        emblem(c, s / 2.0, s / 2.0 - s * 0.01, s * 0.46);
    else
        small_emblem(c, s);
}

// The desktop icon at every size of the icon theme, and a sheet of them all at their own size and enlarged.
bool write_theme_icons(const std::string& build) {
    const int sizes[] = {16, 24, 32, 48, 64, 128, 256, 512};
    bool ok = true;
    Canvas sheet(1500, 700);
    cairo_set_source_rgb(sheet.cr, 0.55, 0.55, 0.58);
    cairo_paint(sheet.cr);
    cairo_set_source_rgb(sheet.cr, 0.12, 0.12, 0.14);
    cairo_rectangle(sheet.cr, 0, 350, 1500, 350);
    cairo_fill(sheet.cr);
    double x = 10;
    for (int s : sizes) {
        Canvas c(s, s);
        icon(c, s);
        std::string dir = build + "/icons/hicolor/" + std::to_string(s) + "x" + std::to_string(s) + "/apps";
        ok = save(c, dir, std::string(kAppId) + ".png") && ok;
        if (s > 256) continue;
        // Natural size on light and dark, and small sizes blown up 4x (nearest) to judge their pixels.
        for (int band = 0; band < 2; ++band) {
            cairo_set_source_surface(sheet.cr, c.surface, x, 10 + band * 350);
            cairo_paint(sheet.cr);
            if (s <= 64) {
                cairo_save(sheet.cr);
                cairo_translate(sheet.cr, x, 80 + band * 350);
                cairo_scale(sheet.cr, 4, 4);
                cairo_set_source_surface(sheet.cr, c.surface, 0, 0);
                cairo_pattern_set_filter(cairo_get_source(sheet.cr), CAIRO_FILTER_NEAREST);
                cairo_paint(sheet.cr);
                cairo_restore(sheet.cr);
            }
        }
        x += std::max(s, s <= 64 ? s * 4 : s) + 14;
    }
    ok = save(sheet, build + "/icons", "sheet.png") && ok;
    return ok;
}

std::vector<uint8_t> png_bytes(const Canvas& c, const std::string& tmp) {
    gen::save_png(tmp, c);
    std::ifstream in(tmp, std::ios::binary);
    std::vector<uint8_t> b((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
    std::remove(tmp.c_str());
    return b;
}

void put16(std::vector<uint8_t>& v, unsigned x) {
    v.push_back(x & 255);
    v.push_back(x >> 8 & 255);
}
void put32(std::vector<uint8_t>& v, unsigned x) {
    put16(v, x & 0xffff);
    put16(v, x >> 16);
}

// An icon file whose entries are PNG-encoded images, smallest first (32 x 32 is the first entry).
bool write_ico(const std::string& path, const std::string& tmp) {
    const int sizes[] = {32, 48, 256};
    std::vector<std::vector<uint8_t>> imgs;
    for (int s : sizes) {
        Canvas c(s, s);
        icon(c, s);
        imgs.push_back(png_bytes(c, tmp));
        if (imgs.back().empty()) return false;
    }
    std::vector<uint8_t> f;
    put16(f, 0);
    put16(f, 1);
    put16(f, 3);
    unsigned offset = 6 + 16 * 3;
    for (int i = 0; i < 3; ++i) {
        f.push_back(sizes[i] >= 256 ? 0 : sizes[i]);
        f.push_back(sizes[i] >= 256 ? 0 : sizes[i]);
        f.push_back(0);
        f.push_back(0);
        put16(f, 1);
        put16(f, 32);
        put32(f, (unsigned)imgs[i].size());
        put32(f, offset);
        offset += (unsigned)imgs[i].size();
    }
    for (auto& im : imgs) f.insert(f.end(), im.begin(), im.end());
    std::ofstream out(path, std::ios::binary);
    out.write(reinterpret_cast<const char*>(f.data()), (std::streamsize)f.size());
    return (bool)out;
}

// The studio page: wide enough for the widest screen, the logo in the middle of a 1024 x 768 safe area.
void studio_page(Canvas& c) {
    cairo_pattern_t* bg = cairo_pattern_create_radial(683, 360, 40, 683, 384, 760);
    cairo_pattern_add_color_stop_rgb(bg, 0, 0.09, 0.20, 0.17);
    cairo_pattern_add_color_stop_rgb(bg, 1, 0.01, 0.03, 0.03);
    cairo_set_source(c.cr, bg);
    cairo_paint(c.cr);
    cairo_pattern_destroy(bg);
    ui::grain(c, [&](cairo_t* cr) { cairo_rectangle(cr, 0, 0, c.w, c.h); }, 0.05, 30, 9);
    ui::Face display;
    display.open(ui::kDisplayFont);
    // A raven's wing over a ring: the studio mark.
    double cx = 683, cy = 300;
    auto ring = [=](cairo_t* cr) {
        cairo_arc(cr, cx, cy, 92, 0, 2 * M_PI);
        cairo_new_sub_path(cr);
        cairo_arc_negative(cr, cx, cy, 78, 2 * M_PI, 0);
    };
    ui::outer_glow(c, ring, 2, 18, 0.35, gen::hex(0xffc860));
    ui::fill_with(c, ring, ui::vgrad3(cy - 92, cy + 92, kGoldHi, kGold, kGoldLo, 0.45));
    ui::bevel(c, ring, 3, 0.9, 0.6);
    auto wing = [=](cairo_t* cr) {
        cairo_move_to(cr, cx - 60, cy + 30);
        cairo_curve_to(cr, cx - 30, cy - 50, cx + 20, cy - 70, cx + 66, cy - 44);
        cairo_curve_to(cr, cx + 30, cy - 36, cx + 10, cy - 20, cx - 2, cy - 6);
        cairo_curve_to(cr, cx + 26, cy - 14, cx + 44, cy - 8, cx + 56, cy + 4);
        cairo_curve_to(cr, cx + 26, cy + 4, cx + 6, cy + 12, cx - 8, cy + 24);
        cairo_curve_to(cr, cx + 14, cy + 24, cx + 30, cy + 30, cx + 40, cy + 42);
        cairo_curve_to(cr, cx + 4, cy + 34, cx - 30, cy + 36, cx - 60, cy + 30);
        cairo_close_path(cr);
    };
    ui::drop_shadow(c, wing, 3, 5, 5, 0.6);
    ui::fill_with(c, wing, ui::vgrad(cy - 70, cy + 42, kJadeHi, kJadeLo));
    ui::bevel(c, wing, 3, 0.7, 0.6);
    auto name = [&](cairo_t* cr) { ui::text_path(cr, display, "CORVANTIS", cx, 500, 96); };
    ui::drop_shadow(c, name, 3, 5, 6, 0.7);
    ui::fill_with(c, name, ui::vgrad3(430, 500, kGoldHi, kGold, kGoldLo, 0.55));
    ui::bevel(c, name, 2.5, 0.9, 0.6);
    auto sub = [&](cairo_t* cr) { ui::text_path(cr, display, "G  A  M  E     S  T  U  D  I  O", cx, 560, 26); };
    ui::fill_with(c, sub, ui::vgrad(540, 560, gen::hex(0xcfe8dc), gen::hex(0x8ab8a4)));
    gold_bar(c, cx - 220, 585, 440, 4, 2);
}

}  // namespace

int make_branding(const std::string& data, const std::string& sources, const std::string& build) {
    std::string dir = data + "/branding";
    gen::make_dirs(dir);
    bool ok = true;
    {
        std::ifstream in(sources + "/splashconfig.txt", std::ios::binary);
        std::string cfg((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
        std::ofstream out(dir + "/splashconfig.txt", std::ios::binary);
        out << cfg;
        if (!in || cfg.empty() || !out) {
            std::printf("datagen_ui: cannot copy %s/splashconfig.txt\n", sources.c_str());
            ok = false;
        }
    }
    {
        Canvas page(1366, 768);
        studio_page(page);
        ok = save(page, dir, "corvantis.png") && ok;
    }
    ok = write_theme_icons(build) && ok;
    if (!write_ico(build + "/icon32.ico", build + "/icon32.tmp.png")) {
        std::printf("datagen_ui: cannot write %s/icon32.ico\n", build.c_str());
        ok = false;
    }
    return ok ? 0 : 1;
}
