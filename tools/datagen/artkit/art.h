// Painting helpers of the art generators. Images are premultiplied float RGBA so that blurs, glows and
// layering stay exact; cairo draws the vector shapes and is converted in and out.
#pragma once
#include <cairo.h>

#include <functional>
#include <string>
#include <vector>

#include "canvas.h"

namespace art {

using gen::Col;

// Premultiplied RGBA, 0..1 per channel.
struct Img {
    int w = 0, h = 0;
    std::vector<float> p;
    Img() = default;
    Img(int width, int height) : w(width), h(height), p((size_t)width * height * 4, 0.f) {}
    float* at(int x, int y) { return &p[((size_t)y * w + x) * 4]; }
    const float* at(int x, int y) const { return &p[((size_t)y * w + x) * 4]; }
    float alpha(int x, int y) const { return (x < 0 || y < 0 || x >= w || y >= h) ? 0.f : at(x, y)[3]; }
    // Bilinear sample of the alpha channel (0 outside).
    float alpha_lerp(float x, float y) const;
};

Img from_canvas(const gen::Canvas& c);
void to_canvas(const Img& img, gen::Canvas& c);
// A canvas holding a copy of the image (for drawing over it with cairo).
void draw_over(Img& img, const std::function<void(cairo_t*)>& paint);

bool save_png(const std::string& path, const Img& img);
// Opaque JPEG. Pixels are kept at least `floor` bright in their brightest channel, so that no pixel decodes to
// pure black (the game treats pure black in JPEGs as transparent).
bool save_jpeg(const std::string& path, const Img& img, int quality = 90, int floor = 10);

// Gaussian-like blur (three box passes) of all channels.
void blur(Img& img, float radius);
// Source-over composition of src onto dst at offset (dx, dy), scaled by opacity.
void over(Img& dst, const Img& src, int dx, int dy, float opacity = 1.f);
// Additive composition (for light).
void add(Img& dst, const Img& src, int dx, int dy, float opacity = 1.f);
// A soft shadow from the alpha of src: colour c, blurred by radius, at opacity.
Img shadow_of(const Img& src, float radius, float opacity, Col c = {0, 0, 0, 1});
// Copy of img with a transparent border of `pad` pixels.
Img padded(const Img& img, int pad);
// Copy of a rectangle.
Img crop(const Img& img, int x, int y, int w, int h);
// Multiplies colour by 1 + amount * (fbm - 0.5) * 2 (texture grain), keeping alpha.
void grain(Img& img, double scale, double amount, uint32_t seed, int octaves = 4);
// Scales the alpha of every pixel (and its premultiplied colour).
void fade(Img& img, float f);
// Resamples to a new size (bilinear; box-filtered when shrinking by more than 2).
Img resized(const Img& img, int w, int h);
// Straight colour of a pixel.
Col straight(const float* px);
void put(float* px, const Col& c);  // stores straight colour c (with its alpha) premultiplied

// Lettering: a path of text in a packaged font, centred on cx with its baseline at y. Returns its width.
// The font is chosen from a list of packaged files; the first that exists is used.
double text_path(cairo_t* cr, const std::string& text, double size, double cx, double baseline,
                 double tracking = 0.0, bool display_face = true);
double text_width(const std::string& text, double size, double tracking = 0.0, bool display_face = true);

// Helpers for shading.
inline float clamp01(float v) { return v < 0 ? 0 : (v > 1 ? 1 : v); }
inline double smoothstep(double a, double b, double x) {
    double t = (x - a) / (b - a);
    t = t < 0 ? 0 : (t > 1 ? 1 : t);
    return t * t * (3 - 2 * t);
}
// Signed distance to a rounded rectangle centred at (cx, cy) with half extents (hw, hh) and corner radius r:
// positive inside.
double rrect_depth(double x, double y, double cx, double cy, double hw, double hh, double r);

// An alpha mask painted by cairo (white on transparent), as an Img.
Img mask(int w, int h, const std::function<void(cairo_t*)>& paint);

}  // namespace art

namespace art {
// Lit relief: surface shading for a shape given as alpha, with light from the top left.
struct Relief {
    double bevel = 6;        // width of the rounded edge in pixels
    double slope = 5;        // steepness of the edge
    double ambient = 0.62;   // brightness of a flat face
    double diffuse = 0.9;    // strength of the edge light
    double specular = 0.45;      // specular highlight strength
    double shininess = 22;
    double top_light = 0.2;  // brighter toward the top of the shape
    double rim = 0.45;       // darkening of the outermost pixel ring
};
// Shades the colour of img (premultiplied, with its alpha) as a raised relief of its own alpha.
void shade_relief(Img& img, const Relief& r);
// Carves a symbol (alpha mask) into img: darkens it toward `inlay` and lights its walls from the top left.
void carve(Img& img, const Img& symbol, const Col& inlay, double depth = 0.85, double wall = 1.0);
// A soft elliptical gloss highlight, clipped to the alpha of img.
void gloss(Img& img, double cx, double cy, double rx, double ry, double angle, double strength);
// Fills every pixel that has alpha with a straight colour from f(x, y), keeping the alpha.
void tint(Img& img, const std::function<Col(int, int)>& f);
// Radial glow: colour c, brightness falling to nothing at radius r (for additive and alpha drawing alike).
Img radial_glow(int size, const Col& c, double core, double falloff_power, double white_core = 0.6);
}  // namespace art

namespace art {
// A shape (alpha mask) coloured by f and shaded as a relief: the usual way a carved or cast part is made.
Img lit(Img shape, const std::function<Col(int, int)>& f, double bevel, double specular, double slope = 3);
// The image over its own soft drop shadow, on a canvas of the same size.
Img with_shadow(const Img& src, float radius, float opacity, int dx, int dy);
}  // namespace art
