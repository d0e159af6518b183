// Finishing touches for generated interface art: soft shadows, bevels, glows, textures and glyph outlines.
// Shapes are passed as path callbacks so one outline can be shadowed, filled, bevelled and stroked.
#pragma once
#include <cairo.h>

#include <cstdint>
#include <functional>
#include <string>

#include "canvas.h"

namespace ui {

using PathFn = std::function<void(cairo_t*)>;

// Gaussian-like blur (three box passes) of all four premultiplied channels.
void blur(gen::Canvas& c, double radius);
// An alpha mask of the path, filled in opaque white.
void fill_mask(gen::Canvas& m, const PathFn& path);
// Paints `src` onto `dst` at an offset with the given overall alpha.
void composite(gen::Canvas& dst, const gen::Canvas& src, double dx = 0, double dy = 0, double alpha = 1.0,
               cairo_operator_t op = CAIRO_OPERATOR_OVER);

// A soft shadow of the path in colour c, drawn under whatever is painted next.
void drop_shadow(gen::Canvas& dst, const PathFn& path, double dx, double dy, double radius, double alpha,
                 gen::Col c = {0, 0, 0, 1});
// A soft glow around the path (the shadow without offset, optionally spread by stroking first).
void outer_glow(gen::Canvas& dst, const PathFn& path, double spread, double radius, double alpha, gen::Col c);
// Lights the inside of the path as a raised surface: highlight toward the top left, shade toward the bottom right.
// size is the width of the rounded edge; hi and lo the strength of light and shade.
void bevel(gen::Canvas& dst, const PathFn& path, double size, double hi, double lo, bool sunken = false);
// Darkens the inside of the path along its edges (a recess).
void inner_shadow(gen::Canvas& dst, const PathFn& path, double dx, double dy, double radius, double alpha);
// Multiplies the inside of the path by fine noise of the given strength (stone grain); seed fixes the pattern.
void grain(gen::Canvas& dst, const PathFn& path, double strength, double scale, uint32_t seed);
// A vertical linear gradient source from colour a at y0 to colour b at y1 (three stops with the middle one).
cairo_pattern_t* vgrad(double y0, double y1, gen::Col a, gen::Col b);
cairo_pattern_t* vgrad3(double y0, double y1, gen::Col a, gen::Col m, gen::Col b, double mid = 0.5);

// Fills the path with a pattern (takes ownership of the pattern).
void fill_with(gen::Canvas& dst, const PathFn& path, cairo_pattern_t* pat);

// The same finishing steps for a shape given as an alpha mask (a canvas of the same size as dst).
void drop_shadow(gen::Canvas& dst, const gen::Canvas& mask, double dx, double dy, double radius, double alpha,
                 gen::Col c = {0, 0, 0, 1});
void bevel(gen::Canvas& dst, const gen::Canvas& mask, double size, double hi, double lo, bool sunken = false);
void inner_shadow(gen::Canvas& dst, const gen::Canvas& mask, double dx, double dy, double radius, double alpha);
// Paints the pattern through the mask (takes ownership of the pattern).
void fill_with(gen::Canvas& dst, const gen::Canvas& mask, cairo_pattern_t* pat);
// Grows the mask by r pixels (round dilation).
void dilate(gen::Canvas& mask, double r);

// Glyph outlines from a font file through FreeType.
struct Face {
    void* ft_face = nullptr;             // FT_Face
    cairo_font_face_t* cairo_face = nullptr;
    std::string path;
    bool open(const std::string& file);  // false when the file is missing or unreadable
    ~Face();
    bool has(uint32_t cp) const;
    unsigned index(uint32_t cp) const;
    // Horizontal advance of the code point at size 1 (em units).
    double advance(uint32_t cp) const;
};

// Appends the outline of one code point to the current path of cr, pen at (x, y), em size `size`,
// stretched horizontally by sx about the pen.
void glyph_path(cairo_t* cr, const Face& f, uint32_t cp, double x, double y, double size, double sx = 1.0);
// Ink box of one code point at size 1 (x0, y0, x1, y1 relative to the pen, y down). False for blank glyphs.
bool glyph_ink(const Face& f, uint32_t cp, double& x0, double& y0, double& x1, double& y1);

// Writes `text` (UTF-8) with the face, centred at x, baseline y; used for captions of contact sheets and art.
void text_path(cairo_t* cr, const Face& f, const std::string& utf8, double x, double y, double size,
               double align = 0.5);
double text_width(const Face& f, const std::string& utf8, double size);

// Decodes UTF-8 into code points.
std::u32string utf8_decode(const std::string& s);

// Debian paths of the interface fonts.
extern const char* const kDisplayFont;   // carved headline capitals
extern const char* const kBodyFont;      // humanist body text
extern const char* const kBodyBoldFont;  // captions
extern const char* const kFallbackSans;  // for the few marks the chosen faces lack
extern const char* const kFallbackSerif;

}  // namespace ui
