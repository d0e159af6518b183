// Writes data/logo/: the pieces of the animated logo (1 the sunburst that grows in behind, 2 the animals that
// peek up behind the name, 3 the carved name plaque, 4 the caption ribbon) and q4m.png, the plate that carries
// the rank name on the map and the final words of the story. The caption carries words, so each language has its
// own (data/logo/<language>/4.png; English is data/logo/4.png).
#include <algorithm>
#include <cmath>
#include <cstdio>
#include <string>

#include "art.h"
#include "board.h"

using namespace art;
using gen::Col;
using gen::hex;

namespace {

Img gold_letters(int W, int H, const std::string& text, double size, double cx, double baseline, double tracking) {
    Img m = mask(W, H, [&](cairo_t* cr) {
        text_path(cr, text, size, cx, baseline, tracking, true);
        cairo_fill_preserve(cr);
        cairo_set_line_width(cr, size * 0.035);
        cairo_stroke(cr);
    });
    return lit(m, [&](int, int y) {
        double t = (y - (baseline - size * 0.75)) / (size * 0.8);
        return t < 0.5 ? gen::mix(hex(0xFFF4C0), hex(0xF2B838), t * 2) : gen::mix(hex(0xF2B838), hex(0x9A5A10), (t - 0.5) * 2);
    }, 3.5, 0.9, 3);
}

Img sunburst() {
    const int S = 720;
    Img out(S, S);
    for (int y = 0; y < S; ++y)
        for (int x = 0; x < S; ++x) {
            double dx = (x + 0.5 - 360) / 360, dy = (y + 0.5 - 360) / 360;
            double d = std::sqrt(dx * dx + dy * dy);
            if (d >= 1) continue;
            double ang = std::atan2(dy, dx);
            double ray = smoothstep(0.2, 0.6, 0.5 + 0.5 * std::cos(ang * 16));
            double a = (0.5 * ray * std::pow(1 - d, 1.2) + 0.45 * std::exp(-d * d * 6)) * smoothstep(1.0, 0.85, d);
            Col c = gen::mix(hex(0xFFF2B0), hex(0xFFB030), std::min(1.0, d * 1.2));
            c.a = std::min(1.0, a);
            put(out.at(x, y), c);
        }
    return out;
}

Img animals() {
    const int W = 380, H = 200;
    Img out(W, H);
    Img parrot = paint_animal(2, 130), sloth = paint_animal(3, 130), cub = paint_animal(1, 170);
    over(out, parrot, 20, 40);
    over(out, sloth, 230, 44);
    over(out, cub, 105, 8);
    return out;
}

// The name plaque's outline: a long slab with stepped ends.
void plaque_outline(cairo_t* cr) {
    const double pts[][2] = {{40, 20}, {720, 20}, {720, 50}, {748, 50}, {748, 170}, {720, 170},
                             {720, 205}, {40, 205}, {40, 170}, {12, 170}, {12, 50}, {40, 50}};
    cairo_move_to(cr, pts[0][0], pts[0][1]);
    for (const auto& p : pts) cairo_line_to(cr, p[0], p[1]);
    cairo_close_path(cr);
}

Img plaque() {
    const int W = 760, H = 230;
    Img body = mask(W, H, [](cairo_t* cr) {
        plaque_outline(cr);
        cairo_fill(cr);
    });
    Img stone = lit(body, [](int x, int y) {
        double n = gen::fbm(x / 40.0, y / 12.0, 4, 801);
        return gen::mix(hex(0x1E6E62), hex(0x0A3430), 0.2 + 0.6 * n + y / 600.0);
    }, 5, 0.3);
    grain(stone, 2.5, 0.06, 802);
    Img rim = mask(W, H, [](cairo_t* cr) {
        cairo_set_line_width(cr, 7);
        plaque_outline(cr);
        cairo_stroke(cr);
    });
    rim = lit(rim, [](int x, int y) { return gen::mix(hex(0xFFE9A0), hex(0xA8701A), (x / 760.0 + y / 230.0) / 2); }, 2.5, 0.9);
    Img out(W, H);
    over(out, stone, 0, 0);
    over(out, rim, 0, 0);
    Img letters = gold_letters(W, H, "OMBRIVALE", 118, 380, 158, 6);
    over(out, shadow_of(letters, 4, 0.8f), 3, 5);
    over(out, letters, 0, 0);
    gloss(out, 300, 40, 300, 18, 0, 0.12);
    return with_shadow(out, 6, 0.55f, 5, 8);
}

Img ribbon(int W, int H, double fold) {
    return mask(W, H, [&](cairo_t* cr) {
        cairo_move_to(cr, 0, 18);
        cairo_line_to(cr, fold, 18);
        cairo_line_to(cr, fold, H - 8);
        cairo_line_to(cr, 0, H - 8);
        cairo_line_to(cr, fold * 0.45, (18 + H - 8) / 2.0);
        cairo_close_path(cr);
        cairo_move_to(cr, W, 18);
        cairo_line_to(cr, W - fold, 18);
        cairo_line_to(cr, W - fold, H - 8);
        cairo_line_to(cr, W, H - 8);
        cairo_line_to(cr, W - fold * 0.45, (18 + H - 8) / 2.0);
        cairo_close_path(cr);
        cairo_fill(cr);
    });
}

Img caption(const char* words) {
    const int W = 620, H = 96;
    Img tails = ribbon(W, H, 70);
    tails = lit(tails, [](int, int y) { return gen::mix(hex(0x8A2A1A), hex(0x4A1008), y / 96.0); }, 3, 0.2);
    Img band = mask(W, H, [](cairo_t* cr) {
        cairo_move_to(cr, 50, 8);
        cairo_curve_to(cr, 200, 14, 420, 14, 570, 8);
        cairo_line_to(cr, 570, 78);
        cairo_curve_to(cr, 420, 84, 200, 84, 50, 78);
        cairo_close_path(cr);
        cairo_fill(cr);
    });
    band = lit(band, [](int, int y) { return gen::mix(hex(0xD8452C), hex(0x8A1E10), y / 90.0); }, 4, 0.35);
    Img text = mask(W, H, [&](cairo_t* cr) {
        // A longer name is set smaller, so that it stays on the band (500 pixels between its ends).
        const double size = std::min(34.0, 34.0 * 500 / text_width(words, 34, 4, true));
        text_path(cr, words, size, 310, 57 - (34 - size) * 0.35, 4 * size / 34, true);
        cairo_fill(cr);
    });
    text = lit(text, [](int, int y) { return gen::mix(hex(0xFFF4C8), hex(0xF0B840), (y - 30) / 30.0); }, 1.5, 0.6);
    Img out(W, H);
    over(out, tails, 0, 0);
    over(out, shadow_of(band, 3, 0.5f), 0, 3);
    over(out, band, 0, 0);
    over(out, shadow_of(text, 1.5f, 0.8f), 1, 2);
    over(out, text, 0, 0);
    return with_shadow(out, 4, 0.5f, 3, 5);
}

Img plate() {
    // Wide enough for the longest rank name on the map and the final words of the story in the effect font.
    const int W = 660, H = 160;
    Img body = mask(W, H, [](cairo_t* cr) {
        gen::rounded_rect(cr, 10, 14, W - 20, 132, 40);
        cairo_fill(cr);
    });
    Img stone = lit(body, [](int x, int y) {
        double n = gen::fbm(x / 30.0, y / 10.0, 4, 811);
        return gen::mix(hex(0xE8C488), hex(0xA8743A), 0.2 + 0.6 * n);
    }, 6, 0.15);
    grain(stone, 2.5, 0.07, 812);
    Img field = mask(W, H, [](cairo_t* cr) {
        gen::rounded_rect(cr, 34, 34, W - 68, 92, 26);
        cairo_fill(cr);
    });
    Img fieldc = lit(field, [](int x, int y) {
        double n = gen::fbm(x / 40.0, y / 40.0, 3, 813);
        return gen::mix(hex(0x145A50), hex(0x062624), 0.3 + 0.6 * n);
    }, 3, 0.1);
    Img rim = mask(W, H, [](cairo_t* cr) {
        cairo_set_line_width(cr, 4);
        gen::rounded_rect(cr, 30, 30, W - 60, 100, 30);
        cairo_stroke(cr);
    });
    rim = lit(rim, [](int x, int) { return gen::mix(hex(0xFFE9A0), hex(0xA8701A), x / (double)W); }, 1.5, 0.9);
    Img studs = mask(W, H, [](cairo_t* cr) {
        for (double x : {20.0, W - 20.0}) {
            cairo_new_sub_path(cr);
            cairo_arc(cr, x, 80, 6, 0, 2 * M_PI);
        }
        cairo_fill(cr);
    });
    studs = lit(studs, [](int, int) { return hex(0x3FD8C8); }, 2, 1.0);
    Img out(W, H);
    over(out, stone, 0, 0);
    over(out, fieldc, 0, 0);
    over(out, rim, 0, 0);
    over(out, studs, 0, 0);
    return with_shadow(out, 5, 0.55f, 4, 6);
}

}  // namespace

int main(int argc, char** argv) {
    if (argc < 2) {
        std::fprintf(stderr, "usage: gen_logo <data folder>\n");
        return 2;
    }
    std::string dir = std::string(argv[1]) + "/logo/";
    gen::make_dirs(dir);
    bool ok = save_png(dir + "1.png", sunburst());
    ok = save_png(dir + "2.png", animals()) && ok;
    ok = save_png(dir + "3.png", plaque()) && ok;
    ok = save_png(dir + "4.png", caption("THE HIDDEN VALLEY")) && ok;
    static const char* const captions[][2] = {{"de", "DAS VERBORGENE TAL"}, {"fr", "LA VALLÉE CACHÉE"},
                                              {"es", "EL VALLE ESCONDIDO"}, {"it", "LA VALLE NASCOSTA"},
                                              {"pt_BR", "O VALE ESCONDIDO"},  {"nl", "DE VERBORGEN VALLEI"}};
    for (const auto& c : captions) {
        gen::make_dirs(dir + c[0] + "/");
        ok = save_png(dir + c[0] + "/4.png", caption(c[1])) && ok;
    }
    ok = save_png(dir + "q4m.png", plate()) && ok;
    return ok ? 0 : 1;
}
