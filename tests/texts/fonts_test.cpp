#include "texts/fonts.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "app/screenflow.h"
#include "app/shell.h"
#include "screens/story.h"
#include "support/headless.h"

namespace {

std::string one(int code) { return std::string(1, (char)(unsigned char)code); }

class Fonts : public ::testing::Test {
protected:
    void SetUp() override { buildfonttables(); }
};

TEST_F(Fonts, TablesFollowTheCharacterLists) {
    // Advances are the list width less 7 (large) or 2 (small).
    EXPECT_EQ(charwidth(" ", 1), 48);
    EXPECT_EQ(charwidth(" ", 2), 5);
    EXPECT_EQ(charwidth("A", 1), 51);
    EXPECT_EQ(charwidth("a", 4), 9);
    // "$" is listed twice in the small list: the later cell wins.
    EXPECT_EQ(glyphframe[2]['$'], 188);
    EXPECT_EQ(charwidth("$", 2), 12);
    // Empty cells keep the numbering of the cells after them.
    EXPECT_EQ(glyphframe[1][0xAB] - 1, 93);
    EXPECT_EQ(glyphframe[4][0xAB] - 1, 170);
    EXPECT_EQ(glyphframe[2]['@'], 258);
    EXPECT_EQ(glyphframe[2][' '], 259);
    // Characters above 255 are in the tables; typographic marks at 1500 and above never are.
    EXPECT_EQ(glyphframe[2][0x44F], 257);
    EXPECT_EQ(glyphframe[1][0x17F], 110);
    for (int f = 1; f <= 4; ++f) EXPECT_EQ(glyphframe[f][1500], 0);
}

TEST_F(Fonts, MissingGlyphsAndFontsMeasureNothing) {
    EXPECT_EQ(charwidth("a", 3), 0);  // the large sheets have no lower case
    EXPECT_EQ(charwidth("", 2), charwidth(" ", 2));
    EXPECT_EQ(textwidth(0, "Hello", 1), 0);
    EXPECT_EQ(textwidth(7, "Hello", 1), 0);
    EXPECT_EQ(textwidth(-3, "Hello", 1), 0);
    EXPECT_EQ(textwidth(12, "Hello", 1), 0);
    EXPECT_EQ(charwidth("x", 99), 0);
    EXPECT_EQ(textwidth(2, one(0x85) + one(0x9D), 1), 0);  // control bytes no typographic mark uses
}

TEST_F(Fonts, BigFontIsMeasuredInTrimmedCapitals) {
    EXPECT_FLOAT_EQ(textwidth(1, "  ok  ", 1), (58 + 55) * 0.7f);
    EXPECT_FLOAT_EQ(textwidth(1, one(0xE4), 1), 51 * 0.7f);  // ä is drawn as Ä
    EXPECT_FLOAT_EQ(textwidth(2, "ab", 2), 36);
}

TEST_F(Fonts, CentredBigTextStartsOnAnEvenWidth) {
    queuetext(1, "  ok  ", 500, 300, ALIGN_CENTER, 1);
    EXPECT_EQ(glyphcursor, 2);
    EXPECT_EQ(glyphcode[1], 'O');
    EXPECT_EQ(glyphcode[2], 'K');
    EXPECT_FLOAT_EQ(glyphx[1], 460);
    EXPECT_FLOAT_EQ(glyphx[2], 460 + 40.6f);
    EXPECT_FLOAT_EQ(glyphy[2], 300);
    EXPECT_EQ(glyphcell[1], glyphframe[1]['O']);
    clearglyphs();
}

TEST_F(Fonts, AlignmentsPlaceTheLineAroundX) {
    // "bbbll" measures 9 + 9 + 9 + 5 + 5 = 37, laid out as 38.
    ASSERT_FLOAT_EQ(textwidth(2, "bbbll", 1), 37);
    queuetext(2, "bbbll", 100, 50, ALIGN_CENTER, 1);
    EXPECT_FLOAT_EQ(glyphx[1], 81);
    queuetext(2, "bbbll", 100, 50, ALIGN_RIGHT, 1);
    EXPECT_FLOAT_EQ(glyphx[1], 62);
    EXPECT_FLOAT_EQ(glyphx[5], 62 + 27 + 5);
    queuetext(2, "bbbll", 100, 50, ALIGN_LEFT, 2);
    EXPECT_FLOAT_EQ(glyphx[2], 118);
    clearglyphs();
    queuetext(2, "bbbll", 100, 50, 7, 1);  // no such alignment
    EXPECT_EQ(glyphcode[1], -1);
    clearglyphs();
}

TEST_F(Fonts, OverlongLineFillsTheQueueAndNoMore) {
    std::string line(450, 'm');
    queuetext(2, line, 0, 100, ALIGN_LEFT, 1);
    EXPECT_EQ(glyphcode[200], 'm');
    EXPECT_FLOAT_EQ(glyphx[200], 199 * 14);
    clearglyphs();
    drawtext(2, line, 0, 100, ALIGN_CENTER, 1, 1, 1, 1);
    for (int i = 1; i <= GLYPHSLOTS; ++i) ASSERT_EQ(glyphcode[i], -1);
    EXPECT_EQ(glyphcursor, 0);
}

TEST_F(Fonts, WrapKeepsTrailingSpacesAndBreaksAtSpaces) {
    std::string lines[WRAPLINES];
    // "hello " measures 10+8+5+5+9+5 = 42 in the small font.
    ASSERT_FLOAT_EQ(textwidth(4, "hello ", 1), 42);
    ASSERT_EQ(wraptext(4, "hello a", 42, 1, lines, WRAPLINES), 2);
    EXPECT_EQ(lines[0], "hello ");
    EXPECT_EQ(lines[1], "a");
    ASSERT_EQ(wraptext(4, "hello a", 500, 1, lines, WRAPLINES), 1);
    EXPECT_EQ(lines[0], "hello a");
    // Scale enters the measure: "hi " is 42 wide at scale 2, "hi h" 62.
    ASSERT_EQ(wraptext(4, "hi hi hi", 50, 2, lines, WRAPLINES), 3);
    EXPECT_EQ(lines[0], "hi ");
    EXPECT_EQ(lines[2], "hi");
    EXPECT_EQ(wraptext(4, "", 100, 1, lines, WRAPLINES), 0);
}

TEST_F(Fonts, WrapOfUnfitTextStaysInsideTheLineList) {
    std::string lines[WRAPLINES];
    // A word wider than the box is broken where it overflows; nothing is lost.
    std::string word(40, 'w');  // 13 each
    int n = wraptext(4, "go " + word + " end", 100, 1, lines, WRAPLINES);
    std::string joined;
    for (int k = 0; k < n; ++k) {
        EXPECT_LE(textwidth(4, lines[k], 1) - (lines[k].back() == ' ' ? 5 : 0), 100) << lines[k];
        joined += lines[k];
    }
    EXPECT_EQ(joined, "go " + word + " end");
    // A box narrower than one glyph still advances one character per line.
    EXPECT_EQ(wraptext(4, "abc", 3, 1, lines, WRAPLINES), 3);
    // A paragraph of more than ten lines keeps the first ten.
    std::string para;
    for (int i = 0; i < 40; ++i) para += "word" + std::to_string(i) + " ";
    ASSERT_EQ(wraptext(4, para, 60, 1, lines, WRAPLINES), WRAPLINES);
    EXPECT_EQ(lines[0].substr(0, 6), "word0 ");
    // And the drawing of such text leaves the queue empty.
    drawtextwrapped(4, para + std::string(500, 'x'), 10, 10, 60, 28, ALIGN_LEFT, 1, 1, 1, 1);
    EXPECT_EQ(glyphcode[1], -1);
    drawtextwrapped(4, para, 10, 10, 0, 28, ALIGN_LEFT, 1, 1, 1, 1);
    drawtextwrapped(4, para, 10, 10, -50, 28, ALIGN_LEFT, 1, 1, 1, 1);
    EXPECT_EQ(glyphcode[1], -1);
}

// Drawing with a sheet the test makes: every cell a white block, so each glyph lights its cell's box.
class FontDrawing : public ::testing::Test {
protected:
    void SetUp() override {
        headless();
        buildfonttables();
        set_virtual_resolution(800, 600);
        set_viewport(0, 0, 800, 600);
        resetdrawing();
        saved = fontimage[2];
        std::vector<uint8_t> px((size_t)28 * 36 * 4, 255);
        TImage sheet = image_from_rgba(px.data(), 28, 36, 3);
        set_image_handle(sheet, 0, 20);
        fontimage[2] = sheet;
        savedfade = fadelevel;
        fadelevel = 256;
        clear_screen();
    }
    void TearDown() override {
        fontimage[2] = saved;
        fadelevel = savedfade;
        curscreen = screen_none;
        storyfade = 0;
        set_virtual_resolution(1024, 768);
    }
    int red(int x, int y) {
        int w, h;
        std::vector<uint8_t> px = read_frame_rgba(&w, &h);
        return px[((size_t)y * w + x) * 4];
    }
    TImage saved;
    int savedfade = 0;
};

TEST_F(FontDrawing, GlyphsFollowColourAndFadeAndRestoreTheState) {
    // Only frame 0 exists on the test sheet, so draw a character whose cell is 1: "A".
    drawtext(2, "A", 100, 100, ALIGN_LEFT, 1, 0.5f, 1, 1);
    EXPECT_EQ(red(110, 90), 128);
    EXPECT_EQ(red(110, 70), 0);   // above the cell (top is 100 - 20)
    EXPECT_EQ(red(95, 90), 0);    // left of the placement x
    float sx, sy;
    get_scale(&sx, &sy);
    EXPECT_EQ(sx, 1);
    int r, g, b;
    get_color(&r, &g, &b);
    EXPECT_EQ(r, 255);

    // Glyphs left of x = -40 are skipped; text on the story page fades out with the page.
    clear_screen();
    drawtext(2, "A", -41, 100, ALIGN_LEFT, 3, 1, 1, 1);
    EXPECT_EQ(red(20, 90), 0);
    drawtext(2, "A", -39, 100, ALIGN_LEFT, 3, 1, 1, 1);
    EXPECT_EQ(red(20, 90), 255);
    curscreen = screen_story;
    storyfade = 10;
    drawtext(2, "A", 100, 200, ALIGN_LEFT, 1, 1, 1, 1);
    EXPECT_EQ(red(110, 190), 128);
}

TEST_F(FontDrawing, MissingSheetDrawsNothingButMeasures) {
    fontimage[2] = nullptr;
    drawtext(2, "A", 100, 100, ALIGN_LEFT, 1, 1, 1, 1);
    EXPECT_EQ(red(110, 90), 0);
    EXPECT_GT(textwidth(2, "A", 1), 0);
}

}  // namespace
