// The character codes the text drawer works in, and the decoding of the translated text tables into them.
//
// Every text in the game is an 8-bit string, one byte per character. The English tables are read that way
// straight from their files (plain ASCII). The translations are written in UTF-8 and decoded when they are read:
// a character becomes its Latin-1 byte, and the typographic marks the fonts hold beyond Latin-1 (quotes, the
// euro, Œ œ Š š Ÿ, the bullet, the single guillemets) take the bytes 0x80..0x9F they have in the Windows Western
// code page. A character the fonts do not hold has no byte: the decoder refuses the file, and the data build
// names the line and the character.
//
// Header only, so that the data tools check the tables with the same decoding the game reads them with.
#pragma once
#include <cstddef>
#include <string>

namespace textcodes {

// The byte a code point is drawn as, or -1 when the fonts hold no glyph for it.
inline int fontbyte(char32_t cp) {
    if (cp < 0x80 || (cp >= 0xA0 && cp <= 0xFF)) return (int)cp;
    switch (cp) {
        case 0x20AC: return 0x80;  // €
        case 0x201A: return 0x82;  // ‚
        case 0x201E: return 0x84;  // „
        case 0x0160: return 0x8A;  // Š
        case 0x2039: return 0x8B;  // ‹
        case 0x0152: return 0x8C;  // Œ
        case 0x2018: return 0x91;  // ‘
        case 0x2019: return 0x92;  // ’
        case 0x201C: return 0x93;  // “
        case 0x201D: return 0x94;  // ”
        case 0x2022: return 0x95;  // •
        case 0x0161: return 0x9A;  // š
        case 0x203A: return 0x9B;  // ›
        case 0x0153: return 0x9C;  // œ
        case 0x0178: return 0x9F;  // Ÿ
        default: return -1;
    }
}

// The code point a byte 0x80..0x9F stands for (0 for the bytes no mark uses); other bytes are their own code.
inline char32_t markcodepoint(unsigned char b) {
    static const char32_t marks[32] = {0x20AC, 0, 0x201A, 0, 0x201E, 0, 0, 0, 0, 0, 0x0160, 0x2039, 0x0152, 0, 0, 0,
                                       0,      0x2018, 0x2019, 0x201C, 0x201D, 0x2022, 0, 0, 0, 0, 0x0161, 0x203A,
                                       0x0153, 0,      0,      0x0178};
    return b >= 0x80 && b < 0xA0 ? marks[b - 0x80] : (char32_t)b;
}

struct decoderesult {
    bool ok = true;
    int line = 0;        // 1-based line of the first fault
    char32_t cp = 0;     // the character without a glyph, 0 for a malformed sequence
};

// Decodes UTF-8 bytes into the game's 8-bit codes (a leading byte order mark is dropped). Stops at the first
// malformed sequence or character without a glyph and says where.
inline decoderesult decodeutf8(const std::string& in, std::string& out) {
    decoderesult r;
    out.clear();
    out.reserve(in.size());
    size_t i = in.size() >= 3 && in.compare(0, 3, "\xEF\xBB\xBF") == 0 ? 3 : 0;
    int line = 1;
    while (i < in.size()) {
        const unsigned char c = (unsigned char)in[i];
        char32_t cp;
        size_t len;
        if (c < 0x80) {
            cp = c;
            len = 1;
        } else if (c >= 0xC2 && c <= 0xDF) {
            cp = c & 0x1F;
            len = 2;
        } else if (c >= 0xE0 && c <= 0xEF) {
            cp = c & 0x0F;
            len = 3;
        } else if (c >= 0xF0 && c <= 0xF4) {
            cp = c & 0x07;
            len = 4;
        } else {
            r = {false, line, 0};
            return r;
        }
        if (i + len > in.size()) return {false, line, 0};
        for (size_t k = 1; k < len; ++k) {
            const unsigned char t = (unsigned char)in[i + k];
            if ((t & 0xC0) != 0x80) return {false, line, 0};
            cp = (cp << 6) | (t & 0x3F);
        }
        // Overlong forms, surrogates and code points past U+10FFFF are not UTF-8.
        if ((len == 3 && cp < 0x800) || (len == 4 && (cp < 0x10000 || cp > 0x10FFFF)) ||
            (cp >= 0xD800 && cp <= 0xDFFF))
            return {false, line, 0};
        const int b = fontbyte(cp);
        if (b < 0) return {false, line, cp};
        out += (char)b;
        if (cp == '\n') ++line;
        i += len;
    }
    r.line = line;
    return r;
}

}  // namespace textcodes
