#include "effects/textpop.h"

#include <algorithm>

#include "app/display.h"
#include "app/screenflow.h"
#include "effects/particles.h"
#include "platform/audio.h"
#include "platform/draw.h"
#include "platform/random.h"
#include "texts/fonts.h"
#include "texts/languages.h"
#include "texts/texttables.h"

int floatvalue[FLOATSLOTS + 1];
int floatx[FLOATSLOTS + 1];
float floaty[FLOATSLOTS + 1], floattargety[FLOATSLOTS + 1];
int floatkind[FLOATSLOTS + 1];
int floatage[FLOATSLOTS + 1];
int screenshake = 0;

void drawtextpop(int font, const std::string& text, float x, float y, int align, float scale, int t, int start, int end,
                 float glow, float r, float g, float b, int effects) {
    if (!(start < t && t < end)) return;
    glyphcursor = 0;
    y -= 40 * scale;
    x += 30 * scale;
    const float a0 = get_alpha();
    const float w = textwidth(font, text, scale);
    const float fade = t > end - 20 ? (float)(end - t) * 0.05f : a0;

    const std::string up = upper8(text);
    float pen = 0;
    if (align >= 1 && align <= 3) {
        for (unsigned char c : up) {
            float px = align == ALIGN_LEFT ? x + pen : align == ALIGN_RIGHT ? x + pen - w : x + pen - w * 0.5f;
            pen += queueglyph(font, px, y, c, scale);
        }
    }

    const int n = (int)up.size();
    const int d = n <= 6 ? 6 : n <= 9 ? 4 : n <= 12 ? 2 : 1;
    if (font >= 1 && font < FONTCOUNT && fontimage[font]) {
        const TImage& im = fontimage[font];
        for (int j = 1; j <= GLYPHSLOTS; ++j) {
            if (glyphcode[j] == -1 || glyphcell[j] < 1 || glyphcell[j] > 97) continue;
            if (!(glyphx[j] > -100 && glyphx[j] < virtw + 100)) continue;
            const int s = start + d * j;
            if (t <= s) continue;
            const float k = std::min((float)(t - s) * 0.1f, 1.0f);
            const float a = fade * k;
            const float ls = (2 - k) * scale;
            if (t == s + 10) {
                screenshake = 10;
                if (scale > 0.7f && effects == 1) {
                    playsound(38, glyphx[j]);
                    for (int p = 0; p < 3; ++p)
                        addparticle(glyphx[j] + rand_range(-40, 40), glyphy[j] + rand_range(-60, 60), 891, 0, 0);
                }
            }
            set_alpha(a);
            set_scale(ls, ls);
            set_color(fadelevel, fadelevel, fadelevel);
            draw_image(im, glyphx[j], glyphy[j], glyphcell[j] - 1);
            if (r < 1 || g < 1 || b < 1) {
                set_color((int)(fadelevel * r), (int)(fadelevel * g), (int)(fadelevel * b));
                draw_image(im, glyphx[j], glyphy[j], glyphcell[j] - 1);
            }
            if (glow > 0.01f) {
                set_blend(BLEND_LIGHT);
                set_alpha(a * glow);
                draw_image(im, glyphx[j], glyphy[j], glyphcell[j] - 1);
            }
        }
    }
    clearglyphs();
    set_alpha(a0);
    set_scale(1, 1);
    set_blend(BLEND_ALPHA);
    set_color(fadelevel, fadelevel, fadelevel);
}

void addfloatnumber(int value, int x, float y, int kind) {
    int slot = FLOATSLOTS;
    for (int i = 1; i < FLOATSLOTS; ++i)
        if (floatvalue[i] == 0) {
            slot = i;
            break;
        }
    floatvalue[slot] = value;
    floatx[slot] = x;
    floaty[slot] = y;
    floatkind[slot] = kind;
    floatage[slot] = 0;
    floattargety[slot] = std::max(20.0f, y - 100);
}

void clearfloatnumbers() {
    for (int i = 1; i <= FLOATSLOTS; ++i) floatvalue[i] = 0;
}

void drawfloatnumbers() {
    static const float colours[10][3] = {{1, 1, 1},       {1, 0.5f, 0},    {0.2f, 0.5f, 0.2f}, {0, 0, 1},
                                         {1, 0.8f, 0},    {0, 0.8f, 1},    {0.7f, 0.7f, 0.7f}, {1, 0.9f, 0.8f},
                                         {0.2f, 0.1f, 0.1f}, {0.8f, 0, 0.8f}};
    const float a0 = get_alpha();
    for (int i = 1; i <= FLOATSLOTS; ++i) {
        if (floatvalue[i] <= 0) continue;
        float a = floatage[i] > 60 ? (float)(100 - floatage[i]) * 0.025f : 1.0f;
        a = std::clamp(a, 0.0f, 1.0f);
        floaty[i] -= (floaty[i] - floattargety[i]) * 0.1f;
        set_alpha(a * a0);
        const std::string v = std::to_string(floatvalue[i]);
        const int k = std::clamp(floatkind[i], 1, 9);
        drawtext(1, v, (float)floatx[i], floaty[i] + 3, ALIGN_CENTER, 0.5f, 0, 0, 0);
        drawtext(1, v, (float)floatx[i], floaty[i], ALIGN_CENTER, 0.5f, colours[k][0], colours[k][1], colours[k][2]);
        if (++floatage[i] > 100) floatvalue[i] = 0;
    }
    set_alpha(a0);
}

std::string timetext(int seconds) {
    if (seconds < 0) seconds = 0;
    int m = (seconds / 60) % 60, s = seconds % 60;
    std::string out;
    if (m > 9) out += (char)('0' + m / 10);
    out += (char)('0' + m % 10);
    out += ':';
    out += (char)('0' + s / 10);
    out += (char)('0' + s % 10);
    return out;
}

std::string numbertext(int value) {
    std::string digits = std::to_string(value < 0 ? -(long long)value : (long long)value);
    std::string out;
    int n = (int)digits.size();
    for (int i = 0; i < n; ++i) {
        out += digits[i];
        int left = n - 1 - i;
        if (left > 0 && left % 3 == 0) out += thousandsmark();
    }
    return value < 0 ? "-" + out : out;
}

std::string dotgroups(const std::string& digits) {
    std::string s = digits;
    const std::string mark(1, thousandsmark());
    if (s.size() > 3) s = s.substr(0, s.size() - 3) + mark + s.substr(s.size() - 3);
    if (s.size() >= 8) s = s.substr(0, s.size() - 7) + mark + s.substr(s.size() - 7);
    return s;
}

namespace {
const int FRAME_DOT = 80, FRAME_SLASH = 74, FRAME_COLON = 85;

void glyph(float x, float y, int frame) { draw_image_frame_in_range(fontimage[2], x, y, frame, 127); }
int digitframe(int d) { return 58 + d; }
}  // namespace

void drawdigits_slanted(float x, float y, int value, float left, float right) {
    if (!fontimage[2]) return;
    value = std::clamp(value, 0, 999999999);
    std::string digits = std::to_string(value);
    // Glyphs from the units digit leftwards, a dot after every third digit.
    std::string glyphs;
    int count = 0;
    for (int i = (int)digits.size() - 1; i >= 0; --i) {
        glyphs += digits[i];
        if (++count % 3 == 0 && i > 0) glyphs += '.';
    }
    const int n = (int)std::count(glyphs.begin(), glyphs.end(), '.');
    struct Placed {
        float x, y;
        int frame;
    };
    Placed placed[16];
    const int g = (int)glyphs.size();
    float px = x + 5 * n, py = y + n;
    for (int k = 0; k < g; ++k) {
        // Where the language groups digits with a space, the dot's place is left blank.
        const int frame = glyphs[k] != '.' ? digitframe(glyphs[k] - '0') : thousandsmark() == '.' ? FRAME_DOT : -1;
        placed[k] = {px, py, frame};
        px -= 10;
        py += 0.8f;
        if (k + 1 == 3 || k + 1 == 7) px += 4;
    }
    // A long number that would cross the edges of its panel is moved in, and drawn smaller if it is still too
    // wide, about its units digit. Glyphs are drawn from their left edge, so the number ends one advance after
    // the units digit.
    const float from = placed[g - 1].x, to = placed[0].x + (float)glyphadvance[2][(unsigned char)glyphs[0]];
    float scale = 1, shift = 0;
    if (from < left || to > right) {
        scale = std::min(1.0f, (right - left) / (to - from));
        const float width = (to - from) * scale;
        shift = std::clamp(to, left + width, right) - to;
    }
    const float ax = to, ay = placed[0].y;
    float sx, sy;
    get_scale(&sx, &sy);
    set_rotation(-3);
    if (scale < 1) set_scale(sx * scale, sy * scale);
    for (int k = 0; k < g; ++k)
        if (placed[k].frame >= 0)
            glyph(ax + shift - (ax - placed[k].x) * scale, ay + (placed[k].y - ay) * scale, placed[k].frame);
    set_scale(sx, sy);
    set_rotation(0);
}

void drawfraction_slanted(float x, float y, int a, int b) {
    if (!fontimage[2]) return;
    set_rotation(-3);
    const int frames[3] = {digitframe(std::clamp(a, 0, 9)), FRAME_SLASH, digitframe(std::clamp(b, 0, 9))};
    float px = x - 15, py = y + 1;
    for (int f : frames) {
        glyph(px, py, f);
        px += 10;
        py -= 0.8f;
    }
    set_rotation(0);
}

void drawdigits_slanted_angle(float x, float y, int value, float angle) {
    if (!fontimage[2]) return;
    value = std::clamp(value, 0, 999);
    std::string digits = std::to_string(value);
    const int n = (int)digits.size();
    set_rotation(angle);
    float px = x + 5 * n, py = y + 0.2f * angle * n;
    for (int i = n - 1; i >= 0; --i) {
        glyph(px, py, digitframe(digits[i] - '0'));
        px -= 10;
        py -= 0.2f * angle * 0.7f;
    }
    set_rotation(0);
    set_scale(1, 1);
}

void drawtime_slanted(float x, float y, int seconds, float angle) {
    if (!fontimage[2]) return;
    if (seconds < 0) seconds = 0;
    int m = (seconds / 60) % 60, s = seconds % 60;
    const int frames[5] = {digitframe(m / 10), digitframe(m % 10), FRAME_COLON, digitframe(s / 10),
                           digitframe(s % 10)};
    set_rotation(angle);
    float px = x - 25, py = y + 0.2f * angle * 5;
    for (int g = 0; g < 5; ++g) {
        glyph(px, py, frames[g]);
        px += 10;
        py += 0.2f * angle * 0.7f;
        if (g == 2) px -= 4;
    }
    set_rotation(0);
    set_scale(1, 1);
}
