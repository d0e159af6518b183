#include "canvas.h"

#include <jpeglib.h>
#include <png.h>
#include <sys/stat.h>

#include <cmath>
#include <cstdio>
#include <cstring>

namespace gen {

Canvas::Canvas(int width, int height) : w(width), h(height) {
    surface = cairo_image_surface_create(CAIRO_FORMAT_ARGB32, w, h);
    cr = cairo_create(surface);
}

Canvas::~Canvas() {
    cairo_destroy(cr);
    cairo_surface_destroy(surface);
}

void Canvas::clear() {
    cairo_save(cr);
    cairo_set_operator(cr, CAIRO_OPERATOR_CLEAR);
    cairo_paint(cr);
    cairo_restore(cr);
}

std::vector<uint8_t> Canvas::rgba() const {
    cairo_surface_flush(surface);
    const uint8_t* data = cairo_image_surface_get_data(surface);
    int stride = cairo_image_surface_get_stride(surface);
    std::vector<uint8_t> out((size_t)w * h * 4);
    for (int y = 0; y < h; ++y) {
        const uint32_t* row = reinterpret_cast<const uint32_t*>(data + (size_t)y * stride);
        for (int x = 0; x < w; ++x) {
            uint32_t p = row[x];
            uint32_t a = p >> 24, r = (p >> 16) & 255, g = (p >> 8) & 255, b = p & 255;
            uint8_t* o = &out[((size_t)y * w + x) * 4];
            if (a == 0) {
                o[0] = o[1] = o[2] = o[3] = 0;
            } else {
                o[0] = (uint8_t)std::min(255u, (r * 255 + a / 2) / a);
                o[1] = (uint8_t)std::min(255u, (g * 255 + a / 2) / a);
                o[2] = (uint8_t)std::min(255u, (b * 255 + a / 2) / a);
                o[3] = (uint8_t)a;
            }
        }
    }
    return out;
}

void Canvas::set_rgba(const std::vector<uint8_t>& px) {
    cairo_surface_flush(surface);
    uint8_t* data = cairo_image_surface_get_data(surface);
    int stride = cairo_image_surface_get_stride(surface);
    for (int y = 0; y < h; ++y) {
        uint32_t* row = reinterpret_cast<uint32_t*>(data + (size_t)y * stride);
        for (int x = 0; x < w; ++x) {
            const uint8_t* i = &px[((size_t)y * w + x) * 4];
            uint32_t a = i[3];
            uint32_t r = (i[0] * a + 127) / 255, g = (i[1] * a + 127) / 255, b = (i[2] * a + 127) / 255;
            row[x] = a << 24 | r << 16 | g << 8 | b;
        }
    }
    cairo_surface_mark_dirty(surface);
}

void make_dirs(const std::string& path) {
    std::string cur;
    for (size_t i = 0; i < path.size(); ++i) {
        cur += path[i];
        if (path[i] == '/' || i + 1 == path.size()) mkdir(cur.c_str(), 0755);
    }
}

bool save_png(const std::string& path, const uint8_t* rgba, int w, int h) {
    png_image img;
    std::memset(&img, 0, sizeof img);
    img.version = PNG_IMAGE_VERSION;
    img.width = (png_uint_32)w;
    img.height = (png_uint_32)h;
    img.format = PNG_FORMAT_RGBA;
    if (!png_image_write_to_file(&img, path.c_str(), 0, rgba, 0, nullptr)) {
        std::fprintf(stderr, "cannot write %s\n", path.c_str());
        return false;
    }
    return true;
}

bool save_png(const std::string& path, const Canvas& c) {
    std::vector<uint8_t> px = c.rgba();
    return save_png(path, px.data(), c.w, c.h);
}

bool save_jpeg_rgb(const std::string& path, const uint8_t* rgb, int w, int h, int quality) {
    FILE* f = std::fopen(path.c_str(), "wb");
    if (!f) {
        std::fprintf(stderr, "cannot write %s\n", path.c_str());
        return false;
    }
    jpeg_compress_struct cinfo;
    jpeg_error_mgr err;
    cinfo.err = jpeg_std_error(&err);
    jpeg_create_compress(&cinfo);
    jpeg_stdio_dest(&cinfo, f);
    cinfo.image_width = (JDIMENSION)w;
    cinfo.image_height = (JDIMENSION)h;
    cinfo.input_components = 3;
    cinfo.in_color_space = JCS_RGB;
    jpeg_set_defaults(&cinfo);
    jpeg_set_quality(&cinfo, quality, TRUE);
    jpeg_start_compress(&cinfo, TRUE);
    while (cinfo.next_scanline < cinfo.image_height) {
        JSAMPROW row = const_cast<uint8_t*>(rgb + (size_t)cinfo.next_scanline * w * 3);
        jpeg_write_scanlines(&cinfo, &row, 1);
    }
    jpeg_finish_compress(&cinfo);
    jpeg_destroy_compress(&cinfo);
    std::fclose(f);
    return true;
}

bool save_jpeg(const std::string& path, const Canvas& c, int quality) {
    std::vector<uint8_t> px = c.rgba();
    std::vector<uint8_t> rgb((size_t)c.w * c.h * 3);
    for (size_t i = 0, j = 0; i < px.size(); i += 4, j += 3) {
        unsigned a = px[i + 3];
        rgb[j] = (uint8_t)(px[i] * a / 255);
        rgb[j + 1] = (uint8_t)(px[i + 1] * a / 255);
        rgb[j + 2] = (uint8_t)(px[i + 2] * a / 255);
    }
    return save_jpeg_rgb(path, rgb.data(), c.w, c.h, quality);
}

void paste(Canvas& sheet, const Canvas& frame, int x, int y) {
    cairo_save(sheet.cr);
    cairo_set_source_surface(sheet.cr, frame.surface, x, y);
    cairo_rectangle(sheet.cr, x, y, frame.w, frame.h);
    cairo_set_operator(sheet.cr, CAIRO_OPERATOR_SOURCE);
    cairo_fill(sheet.cr);
    cairo_restore(sheet.cr);
}

uint64_t Rng::next() {
    uint64_t z = (s += 0x9E3779B97F4A7C15ull);
    z = (z ^ (z >> 30)) * 0xBF58476D1CE4E5B9ull;
    z = (z ^ (z >> 27)) * 0x94D049BB133111EBull;
    return z ^ (z >> 31);
}

double Rng::real() { return (double)(next() >> 11) / 9007199254740992.0; }
double Rng::range(double a, double b) { return a + (b - a) * real(); }
int Rng::irange(int a, int b) { return a + (int)(real() * (b - a + 1)); }

namespace {
double hash2(int x, int y, uint32_t seed) {
    uint32_t h = (uint32_t)x * 374761393u + (uint32_t)y * 668265263u + seed * 2246822519u;
    h = (h ^ (h >> 13)) * 1274126177u;
    h ^= h >> 16;
    return (h & 0xffffff) / 16777215.0;
}
double smooth(double t) { return t * t * (3 - 2 * t); }
}  // namespace

double noise2(double x, double y, uint32_t seed) {
    int xi = (int)std::floor(x), yi = (int)std::floor(y);
    double fx = smooth(x - xi), fy = smooth(y - yi);
    double a = hash2(xi, yi, seed), b = hash2(xi + 1, yi, seed);
    double c = hash2(xi, yi + 1, seed), d = hash2(xi + 1, yi + 1, seed);
    return (a + (b - a) * fx) + ((c + (d - c) * fx) - (a + (b - a) * fx)) * fy;
}

double fbm(double x, double y, int octaves, uint32_t seed) {
    double sum = 0, amp = 0.5, norm = 0;
    for (int i = 0; i < octaves; ++i) {
        sum += amp * noise2(x, y, seed + (uint32_t)i * 101u);
        norm += amp;
        x *= 2.03;
        y *= 2.03;
        amp *= 0.5;
    }
    return sum / norm;
}

Col hex(uint32_t rgb, double a) {
    return {((rgb >> 16) & 255) / 255.0, ((rgb >> 8) & 255) / 255.0, (rgb & 255) / 255.0, a};
}

Col mix(const Col& a, const Col& b, double t) {
    return {a.r + (b.r - a.r) * t, a.g + (b.g - a.g) * t, a.b + (b.b - a.b) * t, a.a + (b.a - a.a) * t};
}

void set_source(cairo_t* cr, const Col& c) { cairo_set_source_rgba(cr, c.r, c.g, c.b, c.a); }

void rounded_rect(cairo_t* cr, double x, double y, double w, double h, double r) {
    cairo_new_sub_path(cr);
    cairo_arc(cr, x + w - r, y + r, r, -M_PI / 2, 0);
    cairo_arc(cr, x + w - r, y + h - r, r, 0, M_PI / 2);
    cairo_arc(cr, x + r, y + h - r, r, M_PI / 2, M_PI);
    cairo_arc(cr, x + r, y + r, r, M_PI, 3 * M_PI / 2);
    cairo_close_path(cr);
}

}  // namespace gen
