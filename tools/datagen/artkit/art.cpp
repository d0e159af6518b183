#include "art.h"

#include <cairo-ft.h>
#include <ft2build.h>
#include FT_FREETYPE_H
#include <jpeglib.h>
#include <sys/stat.h>

#include <algorithm>
#include <cmath>
#include <cstdio>

namespace art {

float Img::alpha_lerp(float x, float y) const {
    int x0 = (int)std::floor(x), y0 = (int)std::floor(y);
    float fx = x - x0, fy = y - y0;
    float a = alpha(x0, y0), b = alpha(x0 + 1, y0), c = alpha(x0, y0 + 1), d = alpha(x0 + 1, y0 + 1);
    return (a + (b - a) * fx) * (1 - fy) + (c + (d - c) * fx) * fy;
}

Img from_canvas(const gen::Canvas& c) {
    Img img(c.w, c.h);
    cairo_surface_flush(c.surface);
    const uint8_t* data = cairo_image_surface_get_data(c.surface);
    int stride = cairo_image_surface_get_stride(c.surface);
    for (int y = 0; y < c.h; ++y) {
        const uint32_t* row = reinterpret_cast<const uint32_t*>(data + (size_t)y * stride);
        for (int x = 0; x < c.w; ++x) {
            uint32_t v = row[x];
            float* o = img.at(x, y);
            o[0] = ((v >> 16) & 255) / 255.f;
            o[1] = ((v >> 8) & 255) / 255.f;
            o[2] = (v & 255) / 255.f;
            o[3] = (v >> 24) / 255.f;
        }
    }
    return img;
}

void to_canvas(const Img& img, gen::Canvas& c) {
    cairo_surface_flush(c.surface);
    uint8_t* data = cairo_image_surface_get_data(c.surface);
    int stride = cairo_image_surface_get_stride(c.surface);
    for (int y = 0; y < c.h && y < img.h; ++y) {
        uint32_t* row = reinterpret_cast<uint32_t*>(data + (size_t)y * stride);
        for (int x = 0; x < c.w && x < img.w; ++x) {
            const float* i = img.at(x, y);
            uint32_t a = (uint32_t)std::lround(clamp01(i[3]) * 255);
            auto ch = [&](float v) { return std::min(a, (uint32_t)std::lround(clamp01(v) * 255)); };
            row[x] = a << 24 | ch(i[0]) << 16 | ch(i[1]) << 8 | ch(i[2]);
        }
    }
    cairo_surface_mark_dirty(c.surface);
}

void draw_over(Img& img, const std::function<void(cairo_t*)>& paint) {
    gen::Canvas c(img.w, img.h);
    to_canvas(img, c);
    cairo_save(c.cr);
    paint(c.cr);
    cairo_restore(c.cr);
    img = from_canvas(c);
}

static std::vector<uint8_t> to_rgba8(const Img& img) {
    std::vector<uint8_t> out((size_t)img.w * img.h * 4);
    for (size_t i = 0; i < (size_t)img.w * img.h; ++i) {
        const float* s = &img.p[i * 4];
        float a = clamp01(s[3]);
        uint8_t* o = &out[i * 4];
        if (a <= 0.f) {
            o[0] = o[1] = o[2] = o[3] = 0;
            continue;
        }
        for (int k = 0; k < 3; ++k) o[k] = (uint8_t)std::lround(clamp01(s[k] / a) * 255);
        o[3] = (uint8_t)std::lround(a * 255);
    }
    return out;
}

bool save_png(const std::string& path, const Img& img) {
    std::vector<uint8_t> px = to_rgba8(img);
    return gen::save_png(path, px.data(), img.w, img.h);
}

// Counts the pixels of a JPEG file that decode to pure black (-1 when it cannot be read).
static long black_pixels_in_jpeg(const std::string& path) {
    FILE* f = std::fopen(path.c_str(), "rb");
    if (!f) return -1;
    jpeg_decompress_struct cinfo;
    jpeg_error_mgr err;
    cinfo.err = jpeg_std_error(&err);
    jpeg_create_decompress(&cinfo);
    jpeg_stdio_src(&cinfo, f);
    jpeg_read_header(&cinfo, TRUE);
    cinfo.out_color_space = JCS_RGB;
    jpeg_start_decompress(&cinfo);
    std::vector<uint8_t> row((size_t)cinfo.output_width * 3);
    long black = 0;
    while (cinfo.output_scanline < cinfo.output_height) {
        JSAMPROW r = row.data();
        jpeg_read_scanlines(&cinfo, &r, 1);
        for (size_t i = 0; i < row.size(); i += 3) black += row[i] == 0 && row[i + 1] == 0 && row[i + 2] == 0;
    }
    jpeg_finish_decompress(&cinfo);
    jpeg_destroy_decompress(&cinfo);
    std::fclose(f);
    return black;
}

bool save_jpeg(const std::string& path, const Img& img, int quality, int floor) {
    // Compression can pull a dark pixel down to pure black; raise the floor until none is left.
    for (int attempt = 0; attempt < 6; ++attempt, floor += 6) {
        std::vector<uint8_t> rgb((size_t)img.w * img.h * 3);
        for (size_t i = 0; i < (size_t)img.w * img.h; ++i) {
            const float* s = &img.p[i * 4];
            int v[3];
            for (int k = 0; k < 3; ++k) v[k] = (int)std::lround(clamp01(s[k]) * 255);  // over black
            int m = std::max(v[0], std::max(v[1], v[2]));
            if (m < floor) {
                // Lift very dark pixels just enough, keeping their hue where there is one.
                for (int k = 0; k < 3; ++k) v[k] = m > 0 ? v[k] * floor / m : floor;
                for (int k = 0; k < 3; ++k) v[k] = std::max(v[k], floor / 2);
            }
            for (int k = 0; k < 3; ++k) rgb[i * 3 + k] = (uint8_t)v[k];
        }
        if (!gen::save_jpeg_rgb(path, rgb.data(), img.w, img.h, quality)) return false;
        if (black_pixels_in_jpeg(path) == 0) return true;
    }
    std::fprintf(stderr, "%s: dark pixels still decode to pure black\n", path.c_str());
    return false;
}

static void box_h(const std::vector<float>& in, std::vector<float>& out, int w, int h, int r) {
    float norm = 1.f / (2 * r + 1);
    for (int y = 0; y < h; ++y) {
        const float* row = &in[(size_t)y * w * 4];
        float* orow = &out[(size_t)y * w * 4];
        float acc[4] = {0, 0, 0, 0};
        for (int x = -r; x <= r; ++x) {
            int xx = std::clamp(x, 0, w - 1);
            if (x < 0 || x >= w) continue;
            for (int k = 0; k < 4; ++k) acc[k] += row[xx * 4 + k];
        }
        for (int x = 0; x < w; ++x) {
            for (int k = 0; k < 4; ++k) orow[x * 4 + k] = acc[k] * norm;
            int add = x + r + 1, sub = x - r;
            if (add < w)
                for (int k = 0; k < 4; ++k) acc[k] += row[add * 4 + k];
            if (sub >= 0)
                for (int k = 0; k < 4; ++k) acc[k] -= row[sub * 4 + k];
        }
    }
}

static void transpose(const std::vector<float>& in, std::vector<float>& out, int w, int h) {
    for (int y = 0; y < h; ++y)
        for (int x = 0; x < w; ++x)
            for (int k = 0; k < 4; ++k) out[((size_t)x * h + y) * 4 + k] = in[((size_t)y * w + x) * 4 + k];
}

void blur(Img& img, float radius) {
    if (radius <= 0.3f || img.w == 0) return;
    // Three box passes approximate a gaussian of sigma ~ radius.
    int r = std::max(1, (int)std::lround(radius * 0.87f));
    std::vector<float> a = img.p, b(a.size());
    for (int i = 0; i < 3; ++i) {
        box_h(a, b, img.w, img.h, r);
        a.swap(b);
    }
    transpose(a, b, img.w, img.h);
    a.swap(b);
    for (int i = 0; i < 3; ++i) {
        box_h(a, b, img.h, img.w, r);
        a.swap(b);
    }
    transpose(a, b, img.h, img.w);
    img.p.swap(b);
}

// Visits each pixel of src that lands inside dst.
template <class F>
static void each_overlap(Img& dst, const Img& src, int dx, int dy, F f) {
    for (int y = std::max(0, -dy); y < src.h && y + dy < dst.h; ++y)
        for (int x = std::max(0, -dx); x < src.w && x + dx < dst.w; ++x) f(dst.at(x + dx, y + dy), src.at(x, y));
}

void over(Img& dst, const Img& src, int dx, int dy, float opacity) {
    each_overlap(dst, src, dx, dy, [&](float* d, const float* s) {
        float sa = s[3] * opacity;
        if (sa <= 0) return;
        for (int k = 0; k < 3; ++k) d[k] = s[k] * opacity + d[k] * (1 - sa);
        d[3] = sa + d[3] * (1 - sa);
    });
}

void add(Img& dst, const Img& src, int dx, int dy, float opacity) {
    each_overlap(dst, src, dx, dy, [&](float* d, const float* s) {
        for (int k = 0; k < 4; ++k) d[k] = std::min(1.f, d[k] + s[k] * opacity);
    });
}

Img shadow_of(const Img& src, float radius, float opacity, Col c) {
    Img s(src.w, src.h);
    for (size_t i = 0; i < (size_t)src.w * src.h; ++i) {
        float a = src.p[i * 4 + 3] * opacity;
        s.p[i * 4 + 0] = (float)c.r * a;
        s.p[i * 4 + 1] = (float)c.g * a;
        s.p[i * 4 + 2] = (float)c.b * a;
        s.p[i * 4 + 3] = a;
    }
    blur(s, radius);
    return s;
}

Img padded(const Img& img, int pad) {
    Img out(img.w + 2 * pad, img.h + 2 * pad);
    over(out, img, pad, pad);
    return out;
}

Img crop(const Img& img, int x0, int y0, int w, int h) {
    Img out(w, h);
    for (int y = 0; y < h; ++y)
        for (int x = 0; x < w; ++x) {
            int sx = x + x0, sy = y + y0;
            if (sx < 0 || sy < 0 || sx >= img.w || sy >= img.h) continue;
            std::copy(img.at(sx, sy), img.at(sx, sy) + 4, out.at(x, y));
        }
    return out;
}

void grain(Img& img, double scale, double amount, uint32_t seed, int octaves) {
    for (int y = 0; y < img.h; ++y)
        for (int x = 0; x < img.w; ++x) {
            float* px = img.at(x, y);
            if (px[3] <= 0) continue;
            double n = gen::fbm(x / scale, y / scale, octaves, seed) - 0.5;
            float f = (float)(1 + amount * n * 2);
            for (int k = 0; k < 3; ++k) px[k] = std::min(px[3], std::max(0.f, px[k] * f));
        }
}

void fade(Img& img, float f) {
    for (float& v : img.p) v *= f;
}

Img resized(const Img& img, int w, int h) {
    Img src = img;
    // Pre-blur when shrinking a lot, so that bilinear sampling does not alias.
    double shrink = std::max((double)img.w / w, (double)img.h / h);
    if (shrink > 2) blur(src, (float)(shrink * 0.45));
    Img out(w, h);
    for (int y = 0; y < h; ++y)
        for (int x = 0; x < w; ++x) {
            float sx = (x + 0.5f) * img.w / w - 0.5f, sy = (y + 0.5f) * img.h / h - 0.5f;
            int x0 = (int)std::floor(sx), y0 = (int)std::floor(sy);
            float fx = sx - x0, fy = sy - y0;
            float* o = out.at(x, y);
            for (int j = 0; j < 2; ++j)
                for (int i = 0; i < 2; ++i) {
                    int xx = std::clamp(x0 + i, 0, img.w - 1), yy = std::clamp(y0 + j, 0, img.h - 1);
                    float wgt = (i ? fx : 1 - fx) * (j ? fy : 1 - fy);
                    const float* s = src.at(xx, yy);
                    for (int k = 0; k < 4; ++k) o[k] += s[k] * wgt;
                }
        }
    return out;
}

Col straight(const float* px) {
    if (px[3] <= 0) return {0, 0, 0, 0};
    return {px[0] / px[3], px[1] / px[3], px[2] / px[3], px[3]};
}

void put(float* px, const Col& c) {
    px[0] = (float)(c.r * c.a);
    px[1] = (float)(c.g * c.a);
    px[2] = (float)(c.b * c.a);
    px[3] = (float)c.a;
}

double rrect_depth(double x, double y, double cx, double cy, double hw, double hh, double r) {
    double qx = std::fabs(x - cx) - (hw - r), qy = std::fabs(y - cy) - (hh - r);
    double ox = std::max(qx, 0.0), oy = std::max(qy, 0.0);
    double outside = std::sqrt(ox * ox + oy * oy) + std::min(std::max(qx, qy), 0.0) - r;
    return -outside;
}

Img mask(int w, int h, const std::function<void(cairo_t*)>& paint) {
    gen::Canvas c(w, h);
    cairo_set_source_rgba(c.cr, 1, 1, 1, 1);
    paint(c.cr);
    return from_canvas(c);
}

// ---- lettering ----
namespace {
bool exists(const char* p) {
    struct stat st;
    return stat(p, &st) == 0;
}

cairo_font_face_t* load_face(bool display) {
    static cairo_font_face_t* faces[2] = {nullptr, nullptr};
    static FT_Library lib = nullptr;
    cairo_font_face_t*& f = faces[display ? 1 : 0];
    if (f) return f;
    static const char* display_files[] = {
        "/usr/share/fonts/opentype/quattrocento/Quattrocento-Bold.otf",
        "/usr/share/fonts/opentype/quattrocento/Quattrocento-Regular.otf",
        "/usr/share/fonts/truetype/dejavu/DejaVuSerif-Bold.ttf", nullptr};
    static const char* body_files[] = {"/usr/share/fonts/truetype/open-sans/OpenSans-Bold.ttf",
                                       "/usr/share/fonts/truetype/lato/Lato-Bold.ttf",
                                       "/usr/share/fonts/truetype/dejavu/DejaVuSans-Bold.ttf", nullptr};
    if (!lib) FT_Init_FreeType(&lib);
    for (const char** p = display ? display_files : body_files; *p; ++p) {
        if (!exists(*p)) continue;
        FT_Face face;
        if (FT_New_Face(lib, *p, 0, &face) != 0) continue;
        f = cairo_ft_font_face_create_for_ft_face(face, 0);
        return f;
    }
    std::fprintf(stderr, "no font file found for lettering; using cairo's default face\n");
    f = cairo_toy_font_face_create("serif", CAIRO_FONT_SLANT_NORMAL, CAIRO_FONT_WEIGHT_BOLD);
    return f;
}

double measure(cairo_t* cr, const std::string& text, double tracking) {
    double w = 0;
    for (size_t i = 0; i < text.size(); ++i) {
        char s[2] = {text[i], 0};
        cairo_text_extents_t e;
        cairo_text_extents(cr, s, &e);
        w += e.x_advance + (i + 1 < text.size() ? tracking : 0);
    }
    return w;
}
}  // namespace

double text_path(cairo_t* cr, const std::string& text, double size, double cx, double baseline, double tracking,
                 bool display_face) {
    cairo_set_font_face(cr, load_face(display_face));
    cairo_set_font_size(cr, size);
    double w = measure(cr, text, tracking);
    double x = cx - w / 2;
    for (char ch : text) {
        char s[2] = {ch, 0};
        cairo_text_extents_t e;
        cairo_text_extents(cr, s, &e);
        cairo_move_to(cr, x, baseline);
        cairo_text_path(cr, s);
        x += e.x_advance + tracking;
    }
    return w;
}

double text_width(const std::string& text, double size, double tracking, bool display_face) {
    gen::Canvas c(4, 4);
    cairo_set_font_face(c.cr, load_face(display_face));
    cairo_set_font_size(c.cr, size);
    return measure(c.cr, text, tracking);
}

}  // namespace art

namespace art {

void shade_relief(Img& img, const Relief& r) {
    Img hgt(img.w, img.h);
    for (size_t i = 0; i < (size_t)img.w * img.h; ++i) hgt.p[i * 4 + 3] = img.p[i * 4 + 3];
    blur(hgt, (float)(r.bevel * 0.5));
    // Heights follow the blurred alpha, but only inside the shape: a plateau with rounded edges.
    const double lx = -0.55, ly = -0.68, lz = 0.78;
    const double ln = std::sqrt(lx * lx + ly * ly + lz * lz);
    const double Lx = lx / ln, Ly = ly / ln, Lz = lz / ln;
    double hx = Lx, hy = Ly, hz = Lz + 1;
    double hn = std::sqrt(hx * hx + hy * hy + hz * hz);
    hx /= hn, hy /= hn, hz /= hn;
    std::vector<float> out = img.p;
    for (int y = 0; y < img.h; ++y)
        for (int x = 0; x < img.w; ++x) {
            float* px = &out[((size_t)y * img.w + x) * 4];
            float a = px[3];
            if (a <= 0) continue;
            double h0 = hgt.alpha(x, y);
            double shaped = std::sqrt(std::max(0.0, h0));
            (void)shaped;
            double gx = (std::sqrt(hgt.alpha(x + 1, y)) - std::sqrt(hgt.alpha(x - 1, y))) * 0.5;
            double gy = (std::sqrt(hgt.alpha(x, y + 1)) - std::sqrt(hgt.alpha(x, y - 1))) * 0.5;
            double nx = -gx * r.slope * r.bevel, ny = -gy * r.slope * r.bevel, nz = 1;
            double nn = std::sqrt(nx * nx + ny * ny + nz * nz);
            nx /= nn, ny /= nn, nz /= nn;
            double diff = nx * Lx + ny * Ly + nz * Lz - Lz;
            double shade = r.ambient + r.diffuse * diff + r.top_light * (0.5 - (double)y / img.h);
            double sp = std::pow(std::max(0.0, nx * hx + ny * hy + nz * hz), r.shininess) * r.specular;
            double rimf = 1 - r.rim * (1 - smoothstep(0.25, 0.75, h0 * 2));
            for (int k = 0; k < 3; ++k) {
                double c = px[k] / a;
                c = c * shade / r.ambient * 0.62 * rimf / 0.62;
                c = c + sp;
                px[k] = (float)(clamp01((float)c) * a);
            }
        }
    img.p.swap(out);
}

void carve(Img& img, const Img& symbol, const Col& inlay, double depth, double wall) {
    Img b = symbol;
    blur(b, 0.9f);
    const double Lx = -0.6, Ly = -0.8;
    for (int y = 0; y < img.h; ++y)
        for (int x = 0; x < img.w; ++x) {
            float* px = img.at(x, y);
            float a = px[3];
            if (a <= 0) continue;
            double m = symbol.alpha(x, y);
            double gx = (b.alpha(x + 1, y) - b.alpha(x - 1, y)) * 0.5;
            double gy = (b.alpha(x, y + 1) - b.alpha(x, y - 1)) * 0.5;
            double edge = (gx * Lx + gy * Ly) * wall * 1.6;
            for (int k = 0; k < 3; ++k) {
                double c = px[k] / a;
                double in = k == 0 ? inlay.r : (k == 1 ? inlay.g : inlay.b);
                c = c + (in - c) * m * depth;
                c += edge;
                px[k] = (float)(clamp01((float)c) * a);
            }
        }
}

void gloss(Img& img, double cx, double cy, double rx, double ry, double angle, double strength) {
    double ca = std::cos(angle), sa = std::sin(angle);
    for (int y = 0; y < img.h; ++y)
        for (int x = 0; x < img.w; ++x) {
            float* px = img.at(x, y);
            if (px[3] <= 0) continue;
            double dx = x + 0.5 - cx, dy = y + 0.5 - cy;
            double u = (dx * ca + dy * sa) / rx, v = (-dx * sa + dy * ca) / ry;
            double d = std::sqrt(u * u + v * v);
            double g = strength * (1 - smoothstep(0.0, 1.0, d)) * (0.6 + 0.4 * (v < 0 ? 1 : 1 - v));
            for (int k = 0; k < 3; ++k) px[k] = (float)(px[k] + (px[3] - px[k]) * g);
        }
}

void tint(Img& img, const std::function<Col(int, int)>& f) {
    for (int y = 0; y < img.h; ++y)
        for (int x = 0; x < img.w; ++x) {
            float* px = img.at(x, y);
            if (px[3] <= 0) continue;
            Col c = f(x, y);
            px[0] = (float)(c.r * px[3]);
            px[1] = (float)(c.g * px[3]);
            px[2] = (float)(c.b * px[3]);
        }
}

Img radial_glow(int size, const Col& c, double core, double power, double white_core) {
    Img g(size, size);
    double R = size / 2.0;
    for (int y = 0; y < size; ++y)
        for (int x = 0; x < size; ++x) {
            double dx = (x + 0.5 - R) / R, dy = (y + 0.5 - R) / R;
            double d = std::sqrt(dx * dx + dy * dy);
            if (d >= 1) continue;
            double a = std::pow(1 - d, power);
            double w = white_core * std::exp(-(d * d) / (core * core));
            // Edge fades exactly to zero.
            a *= smoothstep(1.0, 0.85, d);
            a = std::min(1.0, a);
            Col col{c.r + (1 - c.r) * w, c.g + (1 - c.g) * w, c.b + (1 - c.b) * w, a};
            put(g.at(x, y), col);
        }
    return g;
}

}  // namespace art

namespace art {

Img lit(Img shape, const std::function<Col(int, int)>& f, double bevel, double specular, double slope) {
    tint(shape, f);
    Relief r;
    r.bevel = bevel;
    r.slope = slope;
    r.specular = specular;
    shade_relief(shape, r);
    return shape;
}

Img with_shadow(const Img& src, float radius, float opacity, int dx, int dy) {
    Img out(src.w, src.h);
    over(out, shadow_of(src, radius, opacity), dx, dy);
    over(out, src, 0, 0);
    return out;
}

}  // namespace art
