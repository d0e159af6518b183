#include "uikit.h"

#include <cairo-ft.h>
#include <ft2build.h>
#include FT_FREETYPE_H
#include FT_OUTLINE_H

#include <algorithm>
#include <cmath>
#include <vector>

namespace ui {

const char* const kDisplayFont = "/usr/share/fonts/opentype/quattrocento/Quattrocento-Regular.otf";
const char* const kBodyFont = "/usr/share/fonts/truetype/open-sans/OpenSans-Semibold.ttf";
const char* const kBodyBoldFont = "/usr/share/fonts/truetype/open-sans/OpenSans-Bold.ttf";
const char* const kFallbackSans = "/usr/share/fonts/truetype/dejavu/DejaVuSans-Bold.ttf";
const char* const kFallbackSerif = "/usr/share/fonts/truetype/dejavu/DejaVuSerif.ttf";

namespace {

struct Px {
    uint32_t* data;
    int stride;  // in pixels
    uint32_t& at(int x, int y) { return data[(size_t)y * stride + x]; }
};

Px pixels(gen::Canvas& c) {
    cairo_surface_flush(c.surface);
    return {reinterpret_cast<uint32_t*>(cairo_image_surface_get_data(c.surface)),
            cairo_image_surface_get_stride(c.surface) / 4};
}

void done(gen::Canvas& c) { cairo_surface_mark_dirty(c.surface); }

// One box pass over a channel plane, along rows (step 1) or columns (step w).
void box_pass(std::vector<float>& v, std::vector<float>& tmp, int w, int h, int r, bool rows) {
    int n = rows ? w : h, lines = rows ? h : w;
    for (int l = 0; l < lines; ++l) {
        auto idx = [&](int i) { return rows ? (size_t)l * w + i : (size_t)i * w + l; };
        double acc = 0;
        for (int i = -r; i <= r; ++i) acc += (i >= 0 && i < n) ? v[idx(i)] : 0.0;
        for (int i = 0; i < n; ++i) {
            tmp[i] = (float)(acc / (2 * r + 1));
            int add = i + r + 1, sub = i - r;
            if (add < n) acc += v[idx(add)];
            if (sub >= 0) acc -= v[idx(sub)];
        }
        for (int i = 0; i < n; ++i) v[idx(i)] = tmp[i];
    }
}

void blur_plane(std::vector<float>& v, int w, int h, double radius) {
    if (radius <= 0.3) return;
    // Three box passes approximate a gaussian of the given radius.
    int r = std::max(1, (int)std::lround(radius / 1.7));
    std::vector<float> tmp(std::max(w, h));
    for (int k = 0; k < 3; ++k) {
        box_pass(v, tmp, w, h, r, true);
        box_pass(v, tmp, w, h, r, false);
    }
}

std::vector<float> alpha_plane(gen::Canvas& c) {
    Px p = pixels(c);
    std::vector<float> a((size_t)c.w * c.h);
    for (int y = 0; y < c.h; ++y)
        for (int x = 0; x < c.w; ++x) a[(size_t)y * c.w + x] = (p.at(x, y) >> 24) / 255.0f;
    return a;
}

// Source-over of a flat colour with the given alpha onto one premultiplied pixel.
inline void over(uint32_t& d, double r, double g, double b, double a) {
    if (a <= 0) return;
    a = std::min(1.0, a);
    double da = (d >> 24) / 255.0, dr = ((d >> 16) & 255) / 255.0, dg = ((d >> 8) & 255) / 255.0,
           db = (d & 255) / 255.0;
    double oa = a + da * (1 - a), orr = r * a + dr * (1 - a), og = g * a + dg * (1 - a), ob = b * a + db * (1 - a);
    auto q = [](double v) { return (uint32_t)std::clamp((int)std::lround(v * 255), 0, 255); };
    d = q(oa) << 24 | q(orr) << 16 | q(og) << 8 | q(ob);
}

}  // namespace

void blur(gen::Canvas& c, double radius) {
    Px p = pixels(c);
    std::vector<float> ch[4];
    for (auto& v : ch) v.resize((size_t)c.w * c.h);
    for (int y = 0; y < c.h; ++y)
        for (int x = 0; x < c.w; ++x) {
            uint32_t v = p.at(x, y);
            for (int k = 0; k < 4; ++k) ch[k][(size_t)y * c.w + x] = (float)((v >> (8 * k)) & 255);
        }
    for (auto& v : ch) blur_plane(v, c.w, c.h, radius);
    for (int y = 0; y < c.h; ++y)
        for (int x = 0; x < c.w; ++x) {
            uint32_t out = 0;
            size_t i = (size_t)y * c.w + x;
            uint32_t a = (uint32_t)std::clamp((int)std::lround(ch[3][i]), 0, 255);
            for (int k = 0; k < 3; ++k) {
                uint32_t v = (uint32_t)std::clamp((int)std::lround(ch[k][i]), 0, (int)a);
                out |= v << (8 * k);
            }
            p.at(x, y) = out | a << 24;
        }
    done(c);
}

void fill_mask(gen::Canvas& m, const PathFn& path) {
    m.clear();
    cairo_new_path(m.cr);
    path(m.cr);
    cairo_set_source_rgba(m.cr, 1, 1, 1, 1);
    cairo_fill(m.cr);
}

void composite(gen::Canvas& dst, const gen::Canvas& src, double dx, double dy, double alpha, cairo_operator_t op) {
    cairo_surface_flush(src.surface);
    cairo_save(dst.cr);
    cairo_set_operator(dst.cr, op);
    cairo_set_source_surface(dst.cr, src.surface, dx, dy);
    cairo_paint_with_alpha(dst.cr, alpha);
    cairo_restore(dst.cr);
}

void drop_shadow(gen::Canvas& dst, const PathFn& path, double dx, double dy, double radius, double alpha, gen::Col c) {
    gen::Canvas m(dst.w, dst.h);
    fill_mask(m, path);
    drop_shadow(dst, m, dx, dy, radius, alpha, c);
}

void drop_shadow(gen::Canvas& dst, const gen::Canvas& mask, double dx, double dy, double radius, double alpha,
                 gen::Col c) {
    gen::Canvas s(dst.w, dst.h);
    gen::set_source(s.cr, {c.r, c.g, c.b, 1});
    cairo_surface_flush(mask.surface);
    cairo_mask_surface(s.cr, mask.surface, 0, 0);
    blur(s, radius);
    composite(dst, s, dx, dy, alpha);
}

void fill_with(gen::Canvas& dst, const gen::Canvas& mask, cairo_pattern_t* pat) {
    cairo_surface_flush(mask.surface);
    cairo_save(dst.cr);
    cairo_set_source(dst.cr, pat);
    cairo_mask_surface(dst.cr, mask.surface, 0, 0);
    cairo_restore(dst.cr);
    cairo_pattern_destroy(pat);
}

void dilate(gen::Canvas& mask, double r) {
    std::vector<float> a = alpha_plane(mask), out(a.size());
    int w = mask.w, h = mask.h, R = (int)std::ceil(r);
    for (int y = 0; y < h; ++y)
        for (int x = 0; x < w; ++x) {
            float best = 0;
            for (int dy = -R; dy <= R; ++dy) {
                int yy = y + dy;
                if (yy < 0 || yy >= h) continue;
                for (int dx = -R; dx <= R; ++dx) {
                    int xx = x + dx;
                    if (xx < 0 || xx >= w) continue;
                    double d = std::sqrt((double)dx * dx + dy * dy);
                    if (d > r + 1) continue;
                    float v = a[(size_t)yy * w + xx] * (float)std::clamp(r + 1 - d, 0.0, 1.0);
                    best = std::max(best, v);
                }
            }
            out[(size_t)y * w + x] = best;
        }
    Px p = pixels(mask);
    for (int y = 0; y < h; ++y)
        for (int x = 0; x < w; ++x) {
            uint32_t v = (uint32_t)std::lround(out[(size_t)y * w + x] * 255);
            p.at(x, y) = v << 24 | v << 16 | v << 8 | v;
        }
    done(mask);
}

void outer_glow(gen::Canvas& dst, const PathFn& path, double spread, double radius, double alpha, gen::Col c) {
    gen::Canvas s(dst.w, dst.h);
    cairo_new_path(s.cr);
    path(s.cr);
    gen::set_source(s.cr, {c.r, c.g, c.b, 1});
    if (spread > 0) {
        cairo_set_line_width(s.cr, spread * 2);
        cairo_set_line_join(s.cr, CAIRO_LINE_JOIN_ROUND);
        cairo_fill_preserve(s.cr);
        cairo_stroke(s.cr);
    } else {
        cairo_fill(s.cr);
    }
    blur(s, radius);
    composite(dst, s, 0, 0, alpha);
}

void bevel(gen::Canvas& dst, const PathFn& path, double size, double hi, double lo, bool sunken) {
    gen::Canvas m(dst.w, dst.h);
    fill_mask(m, path);
    bevel(dst, m, size, hi, lo, sunken);
}

void bevel(gen::Canvas& dst, const gen::Canvas& mask, double size, double hi, double lo, bool sunken) {
    gen::Canvas& m = const_cast<gen::Canvas&>(mask);
    std::vector<float> a = alpha_plane(m);
    std::vector<float> hgt = a;
    blur_plane(hgt, m.w, m.h, size);
    Px d = pixels(dst);
    int w = m.w, h = m.h;
    for (int y = 0; y < h; ++y)
        for (int x = 0; x < w; ++x) {
            float ma = a[(size_t)y * w + x];
            if (ma <= 0) continue;
            auto H = [&](int xx, int yy) {
                xx = std::clamp(xx, 0, w - 1);
                yy = std::clamp(yy, 0, h - 1);
                return hgt[(size_t)yy * w + xx];
            };
            double gx = H(x + 1, y) - H(x - 1, y), gy = H(x, y + 1) - H(x, y - 1);
            double s = (gx * 0.8 + gy * 1.0) * size * 0.9;
            if (sunken) s = -s;
            if (s > 0)
                over(d.at(x, y), 1, 1, 1, std::min(1.0, s * hi) * ma);
            else
                over(d.at(x, y), 0, 0, 0, std::min(1.0, -s * lo) * ma);
        }
    done(dst);
}

void inner_shadow(gen::Canvas& dst, const PathFn& path, double dx, double dy, double radius, double alpha) {
    gen::Canvas m(dst.w, dst.h);
    fill_mask(m, path);
    inner_shadow(dst, m, dx, dy, radius, alpha);
}

void inner_shadow(gen::Canvas& dst, const gen::Canvas& mask, double dx, double dy, double radius, double alpha) {
    gen::Canvas& m = const_cast<gen::Canvas&>(mask);
    std::vector<float> a = alpha_plane(m);
    std::vector<float> inv((size_t)m.w * m.h);
    for (int y = 0; y < m.h; ++y)
        for (int x = 0; x < m.w; ++x) {
            int sx = (int)std::lround(x - dx), sy = (int)std::lround(y - dy);
            float v = (sx < 0 || sy < 0 || sx >= m.w || sy >= m.h) ? 0.f : a[(size_t)sy * m.w + sx];
            inv[(size_t)y * m.w + x] = 1.f - v;
        }
    blur_plane(inv, m.w, m.h, radius);
    Px d = pixels(dst);
    for (int y = 0; y < m.h; ++y)
        for (int x = 0; x < m.w; ++x) {
            size_t i = (size_t)y * m.w + x;
            if (a[i] > 0) over(d.at(x, y), 0, 0, 0, inv[i] * a[i] * alpha);
        }
    done(dst);
}

void grain(gen::Canvas& dst, const PathFn& path, double strength, double scale, uint32_t seed) {
    gen::Canvas m(dst.w, dst.h);
    fill_mask(m, path);
    std::vector<float> a = alpha_plane(m);
    Px d = pixels(dst);
    gen::Rng rng(seed);
    for (int y = 0; y < m.h; ++y)
        for (int x = 0; x < m.w; ++x) {
            float ma = a[(size_t)y * m.w + x];
            if (ma <= 0) continue;
            double n = gen::fbm(x / scale, y / scale, 4, seed) - 0.5;
            n += (rng.real() - 0.5) * 0.35;
            double f = 1 + n * 2 * strength * ma;
            uint32_t& p = d.at(x, y);
            uint32_t pa = p >> 24;
            auto ch = [&](int sh) {
                int v = (int)std::lround(((p >> sh) & 255) * f);
                return (uint32_t)std::clamp(v, 0, (int)pa) << sh;
            };
            p = pa << 24 | ch(16) | ch(8) | ch(0);
        }
    done(dst);
}

cairo_pattern_t* vgrad(double y0, double y1, gen::Col a, gen::Col b) {
    cairo_pattern_t* p = cairo_pattern_create_linear(0, y0, 0, y1);
    cairo_pattern_add_color_stop_rgba(p, 0, a.r, a.g, a.b, a.a);
    cairo_pattern_add_color_stop_rgba(p, 1, b.r, b.g, b.b, b.a);
    return p;
}

cairo_pattern_t* vgrad3(double y0, double y1, gen::Col a, gen::Col m, gen::Col b, double mid) {
    cairo_pattern_t* p = vgrad(y0, y1, a, b);
    cairo_pattern_add_color_stop_rgba(p, mid, m.r, m.g, m.b, m.a);
    return p;
}

void fill_with(gen::Canvas& dst, const PathFn& path, cairo_pattern_t* pat) {
    cairo_new_path(dst.cr);
    path(dst.cr);
    cairo_set_source(dst.cr, pat);
    cairo_fill(dst.cr);
    cairo_pattern_destroy(pat);
}

// ---- glyphs ----

static FT_Library ft_library() {
    static FT_Library lib = [] {
        FT_Library l = nullptr;
        FT_Init_FreeType(&l);
        return l;
    }();
    return lib;
}

bool Face::open(const std::string& file) {
    FT_Face f = nullptr;
    if (FT_New_Face(ft_library(), file.c_str(), 0, &f) != 0) return false;
    ft_face = f;
    cairo_face = cairo_ft_font_face_create_for_ft_face(f, FT_LOAD_NO_HINTING);
    path = file;
    return true;
}

Face::~Face() {
    if (cairo_face) cairo_font_face_destroy(cairo_face);
    // The FT_Face stays alive with the process: cairo may still hold it in its font cache.
}

unsigned Face::index(uint32_t cp) const { return ft_face ? FT_Get_Char_Index((FT_Face)ft_face, cp) : 0; }
bool Face::has(uint32_t cp) const { return index(cp) != 0; }

double Face::advance(uint32_t cp) const {
    FT_Face f = (FT_Face)ft_face;
    if (!f || FT_Load_Glyph(f, index(cp), FT_LOAD_NO_SCALE) != 0) return 0;
    return (double)f->glyph->advance.x / f->units_per_EM;
}

bool glyph_ink(const Face& fc, uint32_t cp, double& x0, double& y0, double& x1, double& y1) {
    FT_Face f = (FT_Face)fc.ft_face;
    if (!f || FT_Load_Glyph(f, fc.index(cp), FT_LOAD_NO_SCALE) != 0) return false;
    if (f->glyph->format != FT_GLYPH_FORMAT_OUTLINE || f->glyph->outline.n_points == 0) return false;
    FT_BBox b;
    FT_Outline_Get_CBox(&f->glyph->outline, &b);
    double u = f->units_per_EM;
    x0 = b.xMin / u;
    x1 = b.xMax / u;
    y0 = -b.yMax / u;
    y1 = -b.yMin / u;
    return true;
}

static void prepare_font(cairo_t* cr, const Face& f, double size) {
    cairo_set_font_face(cr, f.cairo_face);
    cairo_set_font_size(cr, size);
    cairo_font_options_t* o = cairo_font_options_create();
    cairo_font_options_set_hint_style(o, CAIRO_HINT_STYLE_NONE);
    cairo_font_options_set_hint_metrics(o, CAIRO_HINT_METRICS_OFF);
    cairo_set_font_options(cr, o);
    cairo_font_options_destroy(o);
}

void glyph_path(cairo_t* cr, const Face& f, uint32_t cp, double x, double y, double size, double sx) {
    unsigned gi = f.index(cp);
    if (!gi) return;
    cairo_save(cr);
    cairo_translate(cr, x, y);
    cairo_scale(cr, sx, 1);
    prepare_font(cr, f, size);
    cairo_glyph_t g{gi, 0, 0};
    cairo_glyph_path(cr, &g, 1);
    cairo_restore(cr);
}

std::u32string utf8_decode(const std::string& s) {
    std::u32string out;
    for (size_t i = 0; i < s.size();) {
        unsigned char c = s[i];
        uint32_t cp;
        int n;
        if (c < 0x80) { cp = c; n = 1; }
        else if ((c >> 5) == 6) { cp = c & 31; n = 2; }
        else if ((c >> 4) == 14) { cp = c & 15; n = 3; }
        else { cp = c & 7; n = 4; }
        for (int k = 1; k < n && i + k < s.size(); ++k) cp = cp << 6 | (s[i + k] & 63);
        out += (char32_t)cp;
        i += n;
    }
    return out;
}

double text_width(const Face& f, const std::string& utf8, double size) {
    double w = 0;
    for (char32_t c : utf8_decode(utf8)) w += f.advance(c) * size;
    return w;
}

void text_path(cairo_t* cr, const Face& f, const std::string& utf8, double x, double y, double size, double align) {
    double pen = x - text_width(f, utf8, size) * align;
    for (char32_t c : utf8_decode(utf8)) {
        glyph_path(cr, f, c, pen, y, size);
        pen += f.advance(c) * size;
    }
}

}  // namespace ui
