// The four bitmap fonts, the glyph queue, drawing, measuring and wrapping text.
//
// Texts are 8-bit strings read from the text files; each byte is one character code (Latin-1, and in 0x80..0x9F
// the typographic marks of texts/textcodes.h), looked up in the glyph tables. The tables are built for codes
// 0..1500 from the two character lists, so the few listed characters above 255 (Cyrillic and some Latin Extended
// letters) have glyph entries but no byte reaches them, except the marks, whose bytes share their cells.
#pragma once
#include <string>

#include "platform/draw.h"

enum { FONT_BIG = 1, FONT_SMALL = 2, FONT_EFFECT = 3, FONT_SMALL_DARK = 4 };
enum { ALIGN_LEFT = 1, ALIGN_RIGHT = 2, ALIGN_CENTER = 3 };

enum { FONTCOUNT = 8, GLYPHCODES = 1501, GLYPHSLOTS = 200, WRAPLINES = 10 };

extern TImage fontimage[FONTCOUNT];                   // [1..4]; 0 and 5..7 stay empty
extern int glyphframe[FONTCOUNT][GLYPHCODES];         // list position of the glyph's cell, 0 = no glyph
extern int glyphadvance[FONTCOUNT][GLYPHCODES];       // pen advance at scale 1

// The glyph queue: slots 1..200, code -1 = free. A text call fills slot n with its n-th character, draws and
// frees them all before it returns.
extern int glyphcode[GLYPHSLOTS + 1];
extern int glyphfont[GLYPHSLOTS + 1];
extern int glyphcell[GLYPHSLOTS + 1];
extern float glyphx[GLYPHSLOTS + 1], glyphy[GLYPHSLOTS + 1];
extern int glyphcursor;  // last slot used

// The two character lists: position p (from 1) is cell p of the sheet. code 0 = empty cell.
struct FontListEntry {
    int code;
    int width;
};
extern const FontListEntry biglist[111];    // [1..110]
extern const FontListEntry smalllist[260];  // [1..259]

void loadfonts();
// Builds the glyph table of one font from a list (positions 1..length).
void buildglyphtable(int font, const FontListEntry* list, int length);
// The tables of all four fonts and an empty queue (the part of loadfonts that needs no images).
void buildfonttables();
void clearglyphs();
void drawtext(int font, const std::string& text, float x, float y, int align, float scale, float r, float g, float b);
float textwidth(int font, const std::string& text, float scale);
float charwidth(const std::string& character, int font);
// The scale at which a text fits `room` pixels: `scale`, or less when the text at `scale` is wider (a longer
// translation shrinks where it is drawn instead of running out of its box).
float fittedscale(int font, const std::string& text, float scale, float room);
void drawtextwrapped(int font, const std::string& text, float x, float y, int maxwidth, int lineheight, int align,
                     float scale, float r, float g, float b);

// Parts of the text drawer the headline and number drawers share.
// Queues one character at (x, y) in the next slot; returns its advance times scale. Characters past the last
// slot are not queued (and not drawn) but still advance.
float queueglyph(int font, float x, float y, unsigned char character, float scale);
// Draws every queued glyph with the current drawing state, then frees all slots.
void flushglyphs();
// Steps 1..4 of drawtext: resets the cursor and queues the line's glyphs at their placements (no drawing).
void queuetext(int font, const std::string& text, float x, float y, int align, float scale);
// Font 1 is always drawn in capitals without surrounding blanks.
std::string bigfonttext(const std::string& text);
// Greedy word wrap into at most `maxlines` lines (each keeps its trailing space); returns the line count.
// Text beyond the last line is dropped; a word wider than maxwidth is broken where it overflows.
int wraptext(int font, const std::string& text, int maxwidth, float scale, std::string* lines, int maxlines);
