// Renders the four bitmap font sheets: glyph cells in list order, each glyph fitted to its listed advance and
// placed on the line the text layout hangs it from.
//   datagen_fonts <data folder> [--preview <png>]
#include <algorithm>
#include <cmath>
#include <cstdio>
#include <cstring>
#include <memory>
#include <string>
#include <vector>

#include "canvas.h"
#include "charlists.h"
#include "uikit.h"

namespace {

enum Look { CARVED_LIGHT, GOLD_EFFECT, CAPTION_WHITE, BODY_PLAIN };

struct FontSpec {
    const char* file;       // under data/texts/
    const ListEntry* list;
    int count;              // list positions
    int cells;              // cells in the sheet (at least the frames the game loads)
    int cols;
    int cw, ch;             // cell size
    int sub;                // advance = width - sub
    double pen_x;           // cell x of the pen (where the handle puts the text position)
    double baseline;        // cell row of the baseline
    double pad;             // room the decoration needs around the ink
    double bold;            // outline growth of the letter body, pixels
    double size_boost;      // scale over the size that matches the listed advances
    const char* face;
    Look look;
};

// Large cells: the layout hangs the text from row 145 (fonts 1) and pivots pop-in letters on (40, 100) after a
// shift of (+30, -40) (font 3), so both put the baseline near row 140-145 and the letters' middle near the pivot.
// Small cells: captions are centred on buttons through row 20, so the capitals are centred on that row.
const FontSpec kFonts[] = {
    {"font2.png", kBigList, 110, 110, 10, 92, 166, 7, 2.0, 145, 4, 1.6, 1.0, ui::kDisplayFont, CARVED_LIGHT},
    {"efffont2.png", kBigList, 110, 110, 10, 92, 166, 7, 10.0, 140, 6, 3.2, 1.0, ui::kDisplayFont, GOLD_EFFECT},
    {"font_ME_28_white.png", kSmallList, 259, 260, 20, 28, 36, 2, 0.5, 0, 1.6, 0.0, 1.12, ui::kBodyBoldFont,
     CAPTION_WHITE},
    {"font_ME_28_white2black.png", kSmallList, 259, 260, 20, 28, 36, 2, 0.5, 0, 0.8, 0.0, 1.12, ui::kBodyFont,
     BODY_PLAIN},
};

struct Faces {
    ui::Face main, fallback;
    const ui::Face& pick(char32_t cp) const { return main.has(cp) || !fallback.has(cp) ? main : fallback; }
};

// Em size at which the face's capitals (and small letters, when listed) advance as the list says, on the median.
double matching_size(const FontSpec& fs, const Faces& f) {
    std::vector<double> r;
    for (int p = 0; p < fs.count; ++p) {
        char32_t cp = fs.list[p].cp;
        bool letter = (cp >= 'A' && cp <= 'Z') || (cp >= 'a' && cp <= 'z');
        double adv = f.main.advance(cp);
        if (letter && adv > 0) r.push_back((fs.list[p].width - fs.sub) / adv);
    }
    std::sort(r.begin(), r.end());
    return r.empty() ? 20 : r[r.size() / 2];
}

struct Placement {
    double pen, sx, sy, size;
    double cap_top;  // cell row of the capitals' top
};

// The letter body grown by r pixels: the dark rim around a letter.
void grow_into(gen::Canvas& rim, const gen::Canvas& body, double r) {
    ui::composite(rim, body);
    ui::dilate(rim, r);
}

void style_glyph(gen::Canvas& cell, const FontSpec& fs, const ui::PathFn& shape, const Placement& pl, uint32_t seed) {
    // The letter body: the outline grown by `bold`.
    gen::Canvas body(cell.w, cell.h);
    ui::fill_mask(body, shape);
    if (fs.bold > 0) ui::dilate(body, fs.bold);
    double top = pl.cap_top, base = fs.baseline;
    switch (fs.look) {
    case CARVED_LIGHT: {
        // Pale stone letters with a dark rim: the game tints them (brown on panels, score colours in play).
        gen::Canvas rim(cell.w, cell.h);
        grow_into(rim, body, 2.2);
        ui::drop_shadow(cell, rim, 2.5, 3.5, 3.5, 0.55);
        ui::fill_with(cell, rim, ui::vgrad(top, base, gen::hex(0x6a5a4c), gen::hex(0x2c241e)));
        ui::fill_with(cell, body, ui::vgrad3(top, base, gen::hex(0xffffff), gen::hex(0xf4efe6), gen::hex(0xcfc4b4), 0.45));
        ui::bevel(cell, body, 3.5, 0.9, 0.55);
        ui::grain(cell, [&](cairo_t* cr) { cairo_rectangle(cr, 0, 0, cell.w, cell.h); }, 0.04, 3.0, seed);
        break;
    }
    case GOLD_EFFECT: {
        gen::Canvas rim(cell.w, cell.h);
        grow_into(rim, body, 3.5);
        ui::drop_shadow(cell, rim, 3, 5, 5, 0.6);
        ui::fill_with(cell, rim, ui::vgrad(top, base, gen::hex(0x5a2a08), gen::hex(0x2a1004)));
        ui::fill_with(cell, body, ui::vgrad3(top - 4, base + 4, gen::hex(0xfff6c2), gen::hex(0xffcf4a),
                                             gen::hex(0xb55f0a), 0.5));
        // A bright band across the upper half, as light catching polished metal.
        {
            cairo_pattern_t* band = cairo_pattern_create_linear(0, top, 0, base);
            cairo_pattern_add_color_stop_rgba(band, 0.0, 1, 1, 1, 0.0);
            cairo_pattern_add_color_stop_rgba(band, 0.18, 1, 1, 0.9, 0.55);
            cairo_pattern_add_color_stop_rgba(band, 0.40, 1, 1, 0.9, 0.0);
            ui::fill_with(cell, body, band);
        }
        ui::bevel(cell, body, 4.0, 1.0, 0.7);
        break;
    }
    case CAPTION_WHITE: {
        gen::Canvas rim(cell.w, cell.h);
        grow_into(rim, body, 1.1);
        ui::drop_shadow(cell, rim, 0.8, 1.3, 1.3, 0.75, gen::hex(0x1a0c04));
        ui::fill_with(cell, rim, ui::vgrad(top, base, gen::hex(0x3a2410, 0.85), gen::hex(0x1a0c04, 0.9)));
        ui::fill_with(cell, body, ui::vgrad(top, base, gen::hex(0xffffff), gen::hex(0xf1e6d2)));
        break;
    }
    case BODY_PLAIN:
        // Plain white: the caller's colour (dark ink on panels) multiplies it.
        ui::fill_with(cell, body, ui::vgrad(top, base, gen::hex(0xffffff), gen::hex(0xffffff)));
        break;
    }
}

// Fits a glyph into its cell: squeezed to its advance when wider, bearings kept in proportion.
bool place(const FontSpec& fs, const Faces& faces, char32_t cp, int width, double size, Placement& pl) {
    const ui::Face& f = faces.pick(cp);
    double x0, y0, x1, y1;
    if (!ui::glyph_ink(f, cp, x0, y0, x1, y1)) return false;
    double adv = width - fs.sub;
    double nat = f.advance(cp);
    double ink = (x1 - x0) * size, room = std::max(1.0, adv - (fs.sub == 7 ? 3.0 : 1.0));
    pl.size = size;
    pl.sx = ink > room ? room / ink : 1.0;
    double inkw = ink * pl.sx;
    double lsb = std::max(0.0, x0), rsb = std::max(0.0, nat - x1);
    double left = (adv - inkw) * (lsb + rsb > 1e-6 ? lsb / (lsb + rsb) : 0.5);
    double xs = fs.pen_x + left;
    // Keep the ink and its decoration inside the cell.
    double lo = fs.pad + fs.bold, hi = fs.cw - fs.pad - fs.bold - (fs.sub == 7 ? 3 : 0.5);
    if (xs + inkw > hi) {
        if (hi - lo < inkw) {
            pl.sx *= (hi - lo) / inkw;
            inkw = hi - lo;
        }
        xs = hi - inkw;
    }
    xs = std::max(xs, lo);
    pl.pen = xs - x0 * size * pl.sx;
    // Vertically: the baseline stays; a glyph reaching past the cell is shrunk toward the baseline.
    pl.sy = 1.0;
    double bottom = fs.baseline + y1 * size, topy = fs.baseline + y0 * size;
    double maxb = fs.ch - fs.pad - fs.bold - 1, mint = fs.pad + fs.bold + 1;
    if (bottom > maxb && y1 > 0) pl.sy = std::min(pl.sy, (maxb - fs.baseline) / (y1 * size));
    if (topy < mint && y0 < 0) pl.sy = std::min(pl.sy, (fs.baseline - mint) / (-y0 * size));
    return true;
}

struct Sheet {
    std::vector<std::unique_ptr<gen::Canvas>> cells;  // per list position; null for blank cells
};

Sheet render(const FontSpec& fs0, Faces& faces) {
    FontSpec fs = fs0;
    double size = matching_size(fs, faces) * fs.size_boost;
    double cx0, cy0, cx1, cy1;
    ui::glyph_ink(faces.main, 'H', cx0, cy0, cx1, cy1);
    double cap = -cy0 * size;
    if (fs.baseline == 0) fs.baseline = std::round(20 + cap / 2);  // small fonts: capitals centred on row 20
    std::printf("%s: size %.1f, cap height %.1f, baseline %.0f\n", fs.file, size, cap, fs.baseline);
    Sheet s;
    s.cells.resize(fs.count);
    for (int p = 0; p < fs.count; ++p) {
        char32_t cp = fs.list[p].cp;
        if (cp == 0 || cp == ' ') continue;
        Placement pl;
        if (!place(fs, faces, cp, fs.list[p].width, size, pl)) {
            std::printf("  no glyph for U+%04X\n", (unsigned)cp);
            continue;
        }
        pl.cap_top = fs.baseline - cap;
        const ui::Face& f = faces.pick(cp);
        auto shape = [&](cairo_t* cr) {
            cairo_save(cr);
            cairo_translate(cr, pl.pen, fs.baseline);
            cairo_scale(cr, pl.sx, pl.sy);
            ui::glyph_path(cr, f, cp, 0, 0, size);
            cairo_restore(cr);
        };
        auto cell = std::make_unique<gen::Canvas>(fs.cw, fs.ch);
        style_glyph(*cell, fs, shape, pl, 1000u + (uint32_t)p);
        s.cells[p] = std::move(cell);
    }
    return s;
}

bool write_sheet(const FontSpec& fs, const Sheet& s, const std::string& path) {
    int rows = (fs.cells + fs.cols - 1) / fs.cols;
    gen::Canvas sheet(fs.cols * fs.cw, rows * fs.ch);
    for (int p = 0; p < fs.count; ++p)
        if (s.cells[p]) gen::paste(sheet, *s.cells[p], (p % fs.cols) * fs.cw, (p / fs.cols) * fs.ch);
    return gen::save_png(path, sheet);
}

// ---- preview: lines set through the sheets exactly as the game's layout does ----

struct Lookup {
    const FontSpec* fs;
    const Sheet* sheet;
    int pos(char32_t c) const {
        int found = -1;
        for (int p = 0; p < fs->count; ++p)
            if (fs->list[p].cp == c) found = p;  // a repeated character takes its later position
        return found;
    }
};

void preview_line(gen::Canvas& out, const Lookup& L, const std::string& utf8, double x, double y, double scale,
                  gen::Col tint, double hx, double hy, bool centre) {
    std::u32string t = ui::utf8_decode(utf8);
    double w = 0;
    for (char32_t c : t) {
        int p = L.pos(c);
        if (p >= 0) w += (L.fs->list[p].width - L.fs->sub) * scale;
    }
    double pen = centre ? x - std::floor(w / 2) : x;
    for (char32_t c : t) {
        int p = L.pos(c);
        if (p < 0) continue;
        if (L.sheet->cells[p]) {
            gen::Canvas tinted(L.fs->cw, L.fs->ch);
            ui::composite(tinted, *L.sheet->cells[p]);
            cairo_set_operator(tinted.cr, CAIRO_OPERATOR_MULTIPLY);
            gen::set_source(tinted.cr, tint);
            cairo_paint(tinted.cr);
            cairo_set_operator(tinted.cr, CAIRO_OPERATOR_DEST_IN);
            cairo_set_source_surface(tinted.cr, L.sheet->cells[p]->surface, 0, 0);
            cairo_paint(tinted.cr);
            cairo_save(out.cr);
            cairo_translate(out.cr, pen, y);
            cairo_scale(out.cr, scale, scale);
            cairo_set_source_surface(out.cr, tinted.surface, -hx, -hy);
            cairo_paint(out.cr);
            cairo_restore(out.cr);
        }
        pen += (L.fs->list[p].width - L.fs->sub) * scale;
    }
}

void preview(const std::string& path, const std::vector<Sheet>& sheets) {
    gen::Canvas out(1024, 600);
    ui::fill_with(out, [](cairo_t* cr) { cairo_rectangle(cr, 0, 0, 1024, 300); },
                  ui::vgrad(0, 300, gen::hex(0x2f6b5a), gen::hex(0x163a32)));
    ui::fill_with(out, [](cairo_t* cr) { cairo_rectangle(cr, 0, 300, 1024, 300); },
                  ui::vgrad(300, 600, gen::hex(0xf1dfb4), gen::hex(0xd9bd86)));
    Lookup f1{&kFonts[0], &sheets[0]}, f3{&kFonts[1], &sheets[1]}, f2{&kFonts[2], &sheets[2]},
        f4{&kFonts[3], &sheets[3]};
    // Font 3 as the pop-in headline places it: shifted (+30, -40), pivot (40, 100).
    preview_line(out, f3, "LEVEL 12 COMPLETE!", 512 + 30, 110 - 40, 0.8, {1, 1, 1, 1}, 40, 100, true);
    preview_line(out, f1, "1.250 ÄÖÜ ÇÉ", 512, 190, 0.7, {1, 0.8, 0, 1}, 0, 145, true);
    // A button-like bar with a white caption centred on it through row 20 of the small cells.
    cairo_rectangle(out.cr, 380, 230, 264, 44);
    cairo_set_source_rgb(out.cr, 0.55, 0.32, 0.12);
    cairo_fill(out.cr);
    cairo_set_source_rgba(out.cr, 1, 1, 1, 0.4);
    cairo_rectangle(out.cr, 380, 251.5, 264, 1);
    cairo_fill(out.cr);
    preview_line(out, f2, "NEW ADVENTURE", 512, 252, 1.0, {1, 1, 1, 1}, 0, 20, true);
    preview_line(out, f1, "OPTIONS", 512, 370, 0.7, {0.43, 0.16, 0.1, 1}, 0, 145, true);
    preview_line(out, f4, "THE KARO STONES SLEEP IN THE TEMPLE WALLS.", 100, 420, 1.0, {0.15, 0.11, 0.1, 1}, 0, 20,
                 false);
    preview_line(out, f4, "Quiet water, ferns and roots: ÀÉÎÕÜ ß 0123456789", 100, 448, 1.0,
                 {0.15, 0.11, 0.1, 1}, 0, 20, false);
    preview_line(out, f4, "ДОБРО ПОЖАЛОВАТЬ В ДОЛИНУ", 100, 476, 1.0, {0.22, 0.05, 0.04, 1}, 0, 20, false);
    preview_line(out, f2, "SCORE 12.480  MOVES 7/9", 100, 530, 1.0, {1, 1, 1, 1}, 0, 20, false);
    preview_line(out, f1, "MENU", 800, 560, 0.28, {0.43, 0.16, 0.1, 1}, 0, 145, true);
    gen::save_png(path, out);
}

}  // namespace

int main(int argc, char** argv) {
    if (argc < 2) {
        std::fprintf(stderr, "usage: datagen_fonts <data folder> [--preview <png>]\n");
        return 2;
    }
    std::string dir = std::string(argv[1]) + "/texts";
    gen::make_dirs(dir);
    std::vector<Sheet> sheets;
    for (const FontSpec& fs : kFonts) {
        Faces faces;
        if (!faces.main.open(fs.face)) {
            std::fprintf(stderr, "datagen_fonts: cannot open %s (install the font package)\n", fs.face);
            return 1;
        }
        faces.fallback.open(fs.look == GOLD_EFFECT || fs.look == CARVED_LIGHT ? ui::kFallbackSerif
                                                                             : ui::kFallbackSans);
        sheets.push_back(render(fs, faces));
        if (!write_sheet(fs, sheets.back(), dir + "/" + fs.file)) {
            std::fprintf(stderr, "datagen_fonts: cannot write %s/%s\n", dir.c_str(), fs.file);
            return 1;
        }
    }
    if (argc >= 4 && std::strcmp(argv[2], "--preview") == 0) preview(argv[3], sheets);
    return 0;
}
