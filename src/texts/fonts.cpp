#include "texts/fonts.h"

#include <algorithm>

#include "globals.h"
#include "texts/textcodes.h"
#include "texts/texttables.h"

TImage fontimage[FONTCOUNT];
int glyphframe[FONTCOUNT][GLYPHCODES];
int glyphadvance[FONTCOUNT][GLYPHCODES];

int glyphcode[GLYPHSLOTS + 1];
int glyphfont[GLYPHSLOTS + 1];
int glyphcell[GLYPHSLOTS + 1];
float glyphx[GLYPHSLOTS + 1], glyphy[GLYPHSLOTS + 1];
int glyphcursor = 0;

// Capitals, digits and punctuation of the large sheets (fonts 1 and 3); cell 93 is empty.
const FontListEntry biglist[111] = {
    {0, 0},
    {'A', 58}, {'B', 65}, {'C', 56}, {'D', 65}, {'E', 56}, {'F', 56}, {'G', 61}, {'H', 62}, {'I', 35}, {'J', 39},
    {'K', 62}, {'L', 52}, {'M', 82}, {'N', 65}, {'O', 65}, {'P', 61}, {'Q', 72}, {'R', 65}, {'S', 54}, {'T', 63},
    {'U', 69}, {'V', 69}, {'W', 86}, {'X', 77}, {'Y', 72}, {'Z', 56}, {0xC4, 58}, {0xD6, 65}, {0xDC, 69}, {'0', 65},
    {'1', 41}, {'2', 62}, {'3', 62}, {'4', 62}, {'5', 62}, {'6', 62}, {'7', 62}, {'8', 62}, {'9', 62}, {0xDF, 65},
    {'!', 35}, {'"', 55}, {'%', 90}, {'&', 70}, {'/', 55}, {'(', 45}, {')', 45}, {'=', 87}, {'?', 57}, {',', 32},
    {'.', 32}, {'-', 47}, {'+', 88}, {':', 32}, {'*', 55}, {' ', 55}, {0xAA, 55}, {0xBA, 55}, {0xB4, 60}, {0xC1, 60},
    {0xC9, 53}, {0xCD, 35}, {0xD3, 65}, {0xDA, 69}, {0xDD, 72}, {0x160, 54}, {0xC7, 56}, {0xA8, 64}, {0xCB, 53},
    {0xCF, 35},
    {0x178, 72}, {0xC0, 60}, {0xC8, 53}, {0xCC, 35}, {0xD2, 65}, {0xD9, 69}, {0xC6, 82}, {0x152, 82}, {0xAF, 64},
    {0x131, 35},
    {0xC5, 60}, {0xD8, 65}, {0xC3, 60}, {0xD1, 65}, {0xD5, 65}, {0xC2, 60}, {0xCA, 53}, {0xCE, 35}, {0xD4, 65},
    {0xDB, 69},
    {0xA1, 33}, {0xBF, 58}, {0, 0}, {0xAB, 68}, {0xBB, 68}, {0x2018, 34}, {0x2019, 34}, {0x201A, 35}, {0x201C, 47},
    {0x201D, 57},
    {0x201E, 59}, {0x2022, 76}, {0x2039, 43}, {0x203A, 43}, {0xA4, 92}, {0xA2, 62}, {0x20AC, 62}, {0xDE, 62},
    {0xD0, 65}, {0x17F, 67},
};

// Upper and lower case of the small sheets (fonts 2 and 4); cells 94, 144, 145 and 170 are empty, 194..257 are
// the Cyrillic alphabet, capital then small letter.
const FontListEntry smalllist[260] = {
    {0, 0},
    {'A', 12}, {'B', 13}, {'C', 12}, {'D', 13}, {'E', 10}, {'F', 10}, {'G', 12}, {'H', 13}, {'I', 7}, {'J', 9},
    {'K', 12}, {'L', 10}, {'M', 15}, {'N', 13}, {'O', 12}, {'P', 11}, {'Q', 13}, {'R', 12}, {'S', 11}, {'T', 10},
    {'U', 12}, {'V', 12}, {'W', 15}, {'X', 14}, {'Y', 13}, {'Z', 11}, {0xC4, 12}, {0xD6, 12}, {0xDC, 12}, {'a', 11},
    {'b', 11}, {'c', 9}, {'d', 12}, {'e', 10}, {'f', 10}, {'g', 11}, {'h', 12}, {'i', 8}, {'j', 7}, {'k', 12},
    {'l', 7}, {'m', 16}, {'n', 11}, {'o', 11}, {'p', 11}, {'q', 12}, {'r', 10}, {'s', 9}, {'t', 9}, {'u', 11},
    {'v', 11}, {'w', 15}, {'x', 11}, {'y', 12}, {'z', 11}, {0xE4, 12}, {0xF6, 11}, {0xFC, 12}, {'0', 13}, {'1', 13},
    {'2', 13}, {'3', 13}, {'4', 13}, {'5', 13}, {'6', 13}, {'7', 13}, {'8', 13}, {'9', 13}, {0xDF, 13}, {'!', 7},
    {'"', 11}, {0xA7, 11}, {'%', 16}, {'&', 14}, {'/', 12}, {'(', 10}, {')', 10}, {'=', 19}, {'?', 11}, {',', 6},
    {'.', 6}, {'-', 10}, {'#', 22}, {'+', 22}, {';', 8}, {':', 8}, {'_', 7}, {'\'', 7}, {'*', 12}, {'~', 22},
    {'<', 21}, {'>', 21}, {'|', 10}, {0, 0}, {0x20AC, 11}, {'{', 14}, {'[', 14}, {']', 14}, {'}', 14}, {'\\', 12},
    {'$', 12}, {0xAA, 10}, {0xBA, 10}, {0xB4, 13}, {0xC1, 12}, {0xE1, 11}, {0xC9, 11}, {0xE9, 11}, {0xCD, 10},
    {0xED, 7},
    {0xD3, 12}, {0xF3, 12}, {0xDA, 14}, {0xFA, 14}, {0xDD, 14}, {0xFD, 12}, {0x160, 12}, {0x161, 9}, {0xB8, 14},
    {0xC7, 12},
    {0xE7, 10}, {0xA8, 12}, {0xCB, 11}, {0xEB, 11}, {0xCF, 7}, {0xEF, 7}, {0x178, 14}, {0xFF, 12}, {0xC0, 12},
    {0xE0, 11},
    {0xC8, 11}, {0xE8, 11}, {0xCC, 7}, {0xEC, 7}, {0xD2, 12}, {0xF2, 12}, {0xD9, 12}, {0xF9, 12}, {0xC6, 15},
    {0xE6, 14},
    {0x152, 16}, {0x153, 14}, {0xAF, 12}, {0, 0}, {0, 0}, {0x131, 7}, {0xC5, 12}, {0xE5, 11}, {0xD8, 12}, {0xF8, 12},
    {0xC3, 12}, {0xE3, 11}, {0xD1, 13}, {0xF1, 12}, {0xD5, 12}, {0xF5, 12}, {0xC2, 12}, {0xE2, 11}, {0xCA, 11},
    {0xEA, 11},
    {0xCE, 8}, {0xEE, 8}, {0xD4, 12}, {0xF4, 12}, {0xDB, 12}, {0xFB, 18}, {0xB6, 16}, {0xA1, 7}, {0xBF, 12}, {0, 0},
    {0xAB, 12}, {0xBB, 12}, {0x2018, 8}, {0x2019, 8}, {0x201A, 8}, {0x201C, 12}, {0x201D, 12}, {0x201E, 12},
    {0x201F, 13}, {0x2022, 14},
    {0x2039, 8}, {0x203A, 8}, {0xA4, 18}, {0xA2, 12}, {0x20AC, 12}, {0xA3, 12}, {0xA5, 13}, {'$', 14}, {0xDE, 11},
    {0xFE, 11},
    {0xD0, 12}, {0xF0, 11}, {0x17F, 13},
    {0x410, 12}, {0x430, 11}, {0x411, 12}, {0x431, 11}, {0x412, 12}, {0x432, 12}, {0x413, 10},
    {0x433, 10}, {0x414, 14}, {0x434, 12}, {0x415, 10}, {0x435, 11}, {0x416, 16}, {0x436, 15}, {0x417, 11},
    {0x437, 10}, {0x418, 12},
    {0x438, 11}, {0x419, 12}, {0x439, 11}, {0x41A, 12}, {0x43A, 11}, {0x41B, 12}, {0x43B, 11}, {0x41C, 15},
    {0x43C, 15}, {0x41D, 12},
    {0x43D, 12}, {0x41E, 12}, {0x43E, 11}, {0x41F, 12}, {0x43F, 11}, {0x420, 11}, {0x440, 11}, {0x421, 11},
    {0x441, 9}, {0x422, 10},
    {0x442, 15}, {0x423, 13}, {0x443, 12}, {0x424, 16}, {0x444, 16}, {0x425, 13}, {0x445, 11}, {0x426, 13},
    {0x446, 12}, {0x427, 12},
    {0x447, 11}, {0x428, 17}, {0x448, 16}, {0x429, 18}, {0x449, 17}, {0x42A, 14}, {0x44A, 13}, {0x42B, 16},
    {0x44B, 15}, {0x42C, 12},
    {0x44C, 12}, {0x42D, 11}, {0x44D, 9}, {0x42E, 17}, {0x44E, 16}, {0x42F, 12}, {0x44F, 12}, {'@', 30}, {' ', 7},
};

namespace {

struct FontSheet {
    const char* path;
    int cellw, cellh, frames;
    float hx, hy;
};
const FontSheet sheets[5] = {
    {nullptr, 0, 0, 0, 0, 0},
    {"data\\texts/font2.png", 92, 166, 110, 0, 145},
    {"data\\texts/font_ME_28_white.png", 28, 36, 260, 0, 20},
    {"data\\texts/efffont2.png", 92, 166, 110, 40, 100},
    {"data\\texts/font_ME_28_white2black.png", 28, 36, 260, 0, 20},
};

bool validfont(int font) { return font >= 0 && font < FONTCOUNT; }

int advanceof(int font, int code) {
    if (!validfont(font) || code < 0 || code >= GLYPHCODES) return 0;
    return glyphadvance[font][code];
}

}  // namespace

void buildglyphtable(int font, const FontListEntry* list, int length) {
    if (!validfont(font)) return;
    const int less = (font == 1 || font == 3) ? 7 : 2;
    for (int p = 1; p <= length; ++p) {
        int code = list[p].code;
        if (code <= 0 || code >= 1500) continue;  // an empty cell, or a mark only its byte below reaches
        glyphframe[font][code] = p;
        glyphadvance[font][code] = list[p].width - less;
    }
    // The marks that texts carry in the bytes 0x80..0x9F (texts/textcodes.h) are drawn from their cells too.
    for (int b = 0x80; b < 0xA0; ++b) {
        const char32_t cp = textcodes::markcodepoint((unsigned char)b);
        for (int p = 1; cp != 0 && p <= length; ++p)
            if ((char32_t)list[p].code == cp) {
                glyphframe[font][b] = p;
                glyphadvance[font][b] = list[p].width - less;
            }
    }
}

void clearglyphs() {
    for (int i = 1; i <= GLYPHSLOTS; ++i) {
        glyphcode[i] = -1;
        glyphfont[i] = 0;
        glyphcell[i] = 0;
    }
    glyphcursor = 0;
}

void buildfonttables() {
    buildglyphtable(1, biglist, 110);
    buildglyphtable(2, smalllist, 259);
    buildglyphtable(3, biglist, 110);
    buildglyphtable(4, smalllist, 259);
    clearglyphs();
}

void loadfonts() {
    buildfonttables();
    const int midhandle = get_auto_midhandle();
    set_auto_midhandle(0);
    for (int f = 1; f <= 4; ++f) {
        const FontSheet& s = sheets[f];
        fontimage[f] = load_anim_image_logged(s.path, s.cellw, s.cellh, s.frames);
        if (fontimage[f]) set_image_handle(fontimage[f], s.hx, s.hy);
    }
    set_auto_midhandle(midhandle);
}

float charwidth(const std::string& character, int font) {
    unsigned char code = character.empty() ? ' ' : (unsigned char)character[0];
    return (float)advanceof(font, code);
}

float fittedscale(int font, const std::string& text, float scale, float room) {
    const float w = textwidth(font, text, scale);
    return w > room && w > 0 ? scale * room / w : scale;
}

std::string bigfonttext(const std::string& text) {
    size_t a = 0, b = text.size();
    while (a < b && (unsigned char)text[a] <= 32) ++a;
    while (b > a && (unsigned char)text[b - 1] <= 32) --b;
    return upper8(text.substr(a, b - a));
}

float textwidth(int font, const std::string& text, float scale) {
    const std::string* t = &text;
    std::string big;
    if (font == 1) {
        big = bigfonttext(text);
        t = &big;
        scale *= 0.7f;
    }
    float sum = 0;
    for (unsigned char c : *t) sum += (float)advanceof(font, c);
    return sum * scale;
}

float queueglyph(int font, float x, float y, unsigned char character, float scale) {
    ++glyphcursor;
    if (glyphcursor > GLYPHSLOTS) {
        // A line longer than the queue: the characters that fit are drawn, the rest only move the pen.
        glyphcursor = GLYPHSLOTS + 1;
        return (float)advanceof(font, character) * scale;
    }
    int code = character;
    if (!validfont(font)) return 0;
    glyphcode[glyphcursor] = code;
    glyphfont[glyphcursor] = font;
    glyphcell[glyphcursor] = glyphframe[font][code];
    glyphx[glyphcursor] = x;
    glyphy[glyphcursor] = y;
    return (float)glyphadvance[font][code] * scale;
}

void flushglyphs() {
    if (glyphcode[1] != -1 && validfont(glyphfont[1]) && fontimage[glyphfont[1]]) {
        for (int i = 1; i <= GLYPHSLOTS; ++i) {
            if (glyphcode[i] == -1 || glyphcell[i] <= 0 || glyphx[i] <= -40) continue;
            draw_image(fontimage[glyphfont[i]], glyphx[i], glyphy[i], glyphcell[i] - 1);
        }
    }
    clearglyphs();
}

void queuetext(int font, const std::string& text, float x, float y, int align, float scale) {
    glyphcursor = 0;
    int w = (int)textwidth(font, text, scale);
    if (w % 2 == 1) w += 1;
    const std::string* t = &text;
    std::string big;
    if (font == 1) {
        big = bigfonttext(text);
        t = &big;
        scale *= 0.7f;
    }
    if (align < 1 || align > 3) return;
    float pen = 0;
    for (unsigned char c : *t) {
        float px = align == ALIGN_LEFT ? x + pen : align == ALIGN_RIGHT ? x + pen - (float)w : x + pen - (float)w * 0.5f;
        pen += queueglyph(font, px, y, c, scale);
    }
}

void drawtext(int font, const std::string& text, float x, float y, int align, float scale, float r, float g, float b) {
    queuetext(font, text, x, y, align, scale);
    const float s = font == 1 ? scale * 0.7f : scale;
    set_scale(s, s);
    float f = 1;
    if (curscreen == screen_story && storyfade != 0) f = (float)std::max(0, 20 - storyfade) * 0.05f;
    if (f == 1)
        set_color((int)((float)fadelevel * r), (int)((float)fadelevel * g), (int)((float)fadelevel * b));
    else
        set_color((int)((float)fadelevel * f * r), (int)((float)fadelevel * f * g), (int)((float)fadelevel * f * b));
    flushglyphs();
    set_scale(1, 1);
    set_color(fadelevel, fadelevel, fadelevel);
}

int wraptext(int font, const std::string& text, int maxwidth, float scale, std::string* lines, int maxlines) {
    int count = 0;
    const size_t n = text.size();
    size_t pos = 0;
    while (pos < n && count < maxlines) {
        size_t start = pos;
        int w = 0;
        while (pos < n) {
            w = (int)((float)w + (float)advanceof(font, (unsigned char)text[pos]) * scale);
            ++pos;
            if (w > maxwidth) break;
        }
        if (w > maxwidth) {
            // pos - 1 overflowed: end the line after the nearest space at or before it.
            size_t over = pos - 1, k = over + 1;
            while (k > start && text[k - 1] != ' ') --k;
            if (k > start)
                pos = k;
            else
                pos = over > start ? over : start + 1;  // one word wider than the box: break it
        }
        lines[count++] = text.substr(start, pos - start);
    }
    return count;
}

void drawtextwrapped(int font, const std::string& text, float x, float y, int maxwidth, int lineheight, int align,
                     float scale, float r, float g, float b) {
    glyphcursor = 0;
    std::string lines[WRAPLINES];
    int count = wraptext(font, text, maxwidth, scale, lines, WRAPLINES);
    for (int k = 1; k <= count; ++k)
        drawtext(font, lines[k - 1], x, y - (float)lineheight + (float)lineheight * (float)k, align, scale, r, g, b);
}
