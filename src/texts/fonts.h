// The four bitmap fonts, the glyph queue, drawing, measuring and wrapping text.
#pragma once
#include <string>

enum { FONT_BIG = 1, FONT_SMALL = 2, FONT_EFFECT = 3, FONT_SMALL_DARK = 4 };
enum { ALIGN_LEFT = 1, ALIGN_RIGHT = 2, ALIGN_CENTER = 3 };

void loadfonts();
void clearglyphs();
void drawtext(int font, const std::string& text, float x, float y, int align, float scale, float r, float g, float b);
float textwidth(int font, const std::string& text, float scale);
float charwidth(const std::string& character, int font);
void drawtextwrapped(int font, const std::string& text, float x, float y, int maxwidth, int lineheight, int align,
                     float scale, float r, float g, float b);
