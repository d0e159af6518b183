// Helpers shared by the data generators: cairo canvases, PNG/JPEG output, seeded randomness, noise.
#pragma once
#include <cairo.h>

#include <cstdint>
#include <string>
#include <vector>

namespace gen {

// A cairo ARGB32 image surface with its context. Pixels are premultiplied, as cairo keeps them.
struct Canvas {
    int w = 0, h = 0;
    cairo_surface_t* surface = nullptr;
    cairo_t* cr = nullptr;
    Canvas(int width, int height);
    ~Canvas();
    Canvas(const Canvas&) = delete;
    Canvas& operator=(const Canvas&) = delete;
    // Straight (not premultiplied) RGBA copy of the pixels.
    std::vector<uint8_t> rgba() const;
    // Replaces the pixels from straight RGBA.
    void set_rgba(const std::vector<uint8_t>& px);
    void clear();
};

// Creates the folder and its parents.
void make_dirs(const std::string& path);
// Writes straight RGBA as PNG (deterministic bytes). Returns false on failure.
bool save_png(const std::string& path, const uint8_t* rgba, int w, int h);
bool save_png(const std::string& path, const Canvas& c);
// Writes the canvas as an RGB JPEG (alpha dropped, composited over black).
bool save_jpeg(const std::string& path, const Canvas& c, int quality = 90);
bool save_jpeg_rgb(const std::string& path, const uint8_t* rgb, int w, int h, int quality = 90);

// Copies a frame into the sheet with its top-left corner at (x, y).
void paste(Canvas& sheet, const Canvas& frame, int x, int y);

// Small deterministic generator (splitmix64); same seed, same sequence on every machine.
struct Rng {
    uint64_t s;
    explicit Rng(uint64_t seed) : s(seed) {}
    uint64_t next();
    double real();                   // [0, 1)
    double range(double a, double b);
    int irange(int a, int b);        // inclusive
};

// Smooth value noise in [0, 1] with a fixed seed; fbm sums octaves.
double noise2(double x, double y, uint32_t seed);
double fbm(double x, double y, int octaves, uint32_t seed);

// Colour helpers.
struct Col {
    double r, g, b, a = 1.0;
};
Col hex(uint32_t rgb, double a = 1.0);
Col mix(const Col& a, const Col& b, double t);
void set_source(cairo_t* cr, const Col& c);
// Path of a rounded rectangle.
void rounded_rect(cairo_t* cr, double x, double y, double w, double h, double r);

}  // namespace gen
