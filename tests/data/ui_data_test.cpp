// The generated interface data: font sheets, text tables and interface images, read back with the game's own
// loaders and checked against the places the game draws them.
#include <gtest/gtest.h>

#include <cmath>
#include <fstream>
#include <iterator>
#include <string>
#include <sys/stat.h>
#include <vector>

#include "../../tools/datagen/fonts/charlists.h"
#include "platform/draw.h"
#include "platform/imagefile.h"
#include "platform/paths.h"
#include "support/headless.h"
#include "texts/fonts.h"
#include "texts/texttables.h"

namespace {

std::string data_path(const std::string& rel) { return build_dir() + "/data/" + rel; }

bool exists(const std::string& path) {
    struct stat st;
    return stat(path.c_str(), &st) == 0;
}

// ---------------------------------------------------------------- fonts

struct SheetInfo {
    const char* file;
    int cw, ch, frames;
    const ListEntry* list;
    int count;
};

const SheetInfo kSheets[] = {
    {"texts/font2.png", 92, 166, 110, kBigList, 110},
    {"texts/efffont2.png", 92, 166, 110, kBigList, 110},
    {"texts/font_ME_28_white.png", 28, 36, 260, kSmallList, 259},
    {"texts/font_ME_28_white2black.png", 28, 36, 260, kSmallList, 259},
};

struct Ink {
    int x0 = 1 << 20, y0 = 1 << 20, x1 = -1, y1 = -1;  // box of pixels with alpha above the threshold
    bool any() const { return x1 >= 0; }
};

Ink ink_of(const TImage& im, int frame, int threshold) {
    Ink k;
    for (int y = 0; y < image_height(im); ++y)
        for (int x = 0; x < image_width(im); ++x)
            if ((int)(image_pixel(im, frame, x, y) & 255) > threshold) {
                k.x0 = std::min(k.x0, x);
                k.x1 = std::max(k.x1, x);
                k.y0 = std::min(k.y0, y);
                k.y1 = std::max(k.y1, y);
            }
    return k;
}

int position_of(const ListEntry* list, int count, char32_t c) {
    int p = -1;
    for (int i = 0; i < count; ++i)
        if (list[i].cp == c) p = i;
    return p;
}

TEST(UiDataFonts, SheetsCutIntoTheCellsTheGameLoadsAndEveryListedCharacterHasInk) {
    headless();
    for (const SheetInfo& s : kSheets) {
        SCOPED_TRACE(s.file);
        std::string path = data_path(s.file);
        ASSERT_TRUE(exists(path));
        TImage im = load_anim_image(path, s.cw, s.ch, 0, s.frames, -1);
        ASSERT_TRUE(im != nullptr);
        EXPECT_EQ(image_frames(im), s.frames);
        EXPECT_EQ(image_width(im), s.cw);
        EXPECT_EQ(image_height(im), s.ch);
        for (int p = 0; p < s.count; ++p) {
            char32_t c = s.list[p].cp;
            bool blank = c == 0 || c == ' ';
            EXPECT_EQ(ink_of(im, p, 40).any(), !blank) << "cell " << p + 1 << " U+" << std::hex << (unsigned)c;
        }
    }
}

TEST(UiDataFonts, GlyphsSitOnTheLinesTheLayoutHangsThemFrom) {
    headless();
    // Large headline font: the pen is the cell's left edge and row 145 is the baseline.
    TImage big = load_anim_image(data_path("texts/font2.png"), 92, 166, 0, 110, -1);
    ASSERT_TRUE(big != nullptr);
    Ink h = ink_of(big, position_of(kBigList, 110, 'H'), 128);
    EXPECT_NEAR(h.y1, 145, 4);
    EXPECT_GE(h.x0, 0);
    EXPECT_LT(h.x1, 62);  // the rim may reach past the advance, but not past the listed width
    // Pop-in font: letters pivot on (40, 100) after a shift of (+30, -40); the letter body sits around the pivot
    // and its baseline stays on the text line (row 140).
    TImage eff = load_anim_image(data_path("texts/efffont2.png"), 92, 166, 0, 110, -1);
    ASSERT_TRUE(eff != nullptr);
    Ink e = ink_of(eff, position_of(kBigList, 110, 'H'), 128);
    EXPECT_NEAR((e.y0 + e.y1) / 2.0, 100, 15);
    EXPECT_NEAR((e.x0 + e.x1) / 2.0, 40, 12);
    EXPECT_NEAR(e.y1, 140, 10);  // the dark rim hangs a few pixels below
    // Small fonts: captions are centred on buttons through row 20, so capitals are centred on it.
    for (const char* f : {"texts/font_ME_28_white.png", "texts/font_ME_28_white2black.png"}) {
        SCOPED_TRACE(f);
        TImage sm = load_anim_image(data_path(f), 28, 36, 0, 260, -1);
        ASSERT_TRUE(sm != nullptr);
        for (char32_t c : {U'H', U'E', U'M'}) {
            Ink k = ink_of(sm, position_of(kSmallList, 259, c), 128);
            EXPECT_NEAR((k.y0 + k.y1) / 2.0, 20, 1.5);
            EXPECT_GE(k.x0, 0);
        }
        // "«" keeps cell 171 although cells 94, 144, 145 and 170 are empty before it.
        EXPECT_TRUE(ink_of(sm, 170, 40).any());
        EXPECT_FALSE(ink_of(sm, 169, 40).any());
    }
}

// ---------------------------------------------------------------- text tables

int big_advance(unsigned char c) {
    int p = position_of(kBigList, 110, c);
    return p < 0 ? -1 : kBigList[p].width - 7;
}
int small_advance(unsigned char c) {
    int p = position_of(kSmallList, 259, c);
    return p < 0 ? -1 : kSmallList[p].width - 2;
}

// Width of a line as the layout measures it, or -1 when a character has no glyph.
double line_width(const std::string& t, int font, double scale) {
    double w = 0;
    for (unsigned char c : t) {
        int a = font == 1 ? big_advance(c) : small_advance(c);
        if (a < 0) return -1;
        w += a;
    }
    return w * scale * (font == 1 ? 0.7 : 1.0);
}

// Greedy wrap on spaces with the small font's advances; the lines, or empty when a word is wider than the box.
std::vector<std::string> wrap(const std::string& t, int maxwidth) {
    std::vector<std::string> lines;
    size_t i = 0;
    while (i < t.size()) {
        int w = 0;
        size_t j = i;
        while (j < t.size()) {
            w += std::max(0, small_advance((unsigned char)t[j]));
            ++j;
            if (w > maxwidth) break;
        }
        if (w > maxwidth) {
            size_t k = j - 1;
            while (k > i && t[k] != ' ') --k;
            if (k == i) return {};
            lines.push_back(t.substr(i, k + 1 - i));
            i = k + 1;
        } else {
            lines.push_back(t.substr(i, j - i));
            i = j;
        }
    }
    return lines;
}

class UiDataTexts : public ::testing::Test {
protected:
    static void SetUpTestSuite() {
        readtexttable(menutexts, data_path("texts/menutexts.txt"), 300, 1);
        readtexttable(storytexts, data_path("texts/storytexts.txt"), 1000, 0);
        readtexttable(gametexts, data_path("texts/gametexts.txt"), 300, 1);
    }
};

struct Addr {
    char table;  // 'm', 'g', 's'
    int s, n;
    int font;         // font that draws it
    double scale;     // scale it is drawn at
    double maxwidth;  // room it has, in pixels (0: not checked)
};

const std::string& lookup(const Addr& a) {
    return a.table == 'm' ? menutext(a.s, a.n) : a.table == 'g' ? gametext(a.s, a.n) : storytext(a.s, a.n);
}

// Every single-line address the game draws, with its font and the room around it.
std::vector<Addr> single_lines() {
    std::vector<Addr> v;
    auto add = [&](char t, int s, std::initializer_list<int> ns, int font, double scale, double w) {
        for (int n : ns) v.push_back({t, s, n, font, scale, w});
    };
    // The panel shrinks a title wider than 366 pixels; keep that to a quarter at most so titles stay bold.
    const double kTitleRoom = 366 / 0.75;
    for (int s : {1, 2, 3, 4, 5, 6, 7, 13, 19, 21, 24}) add('m', s, {1}, 1, 1.0, kTitleRoom);
    add('m', 13, {2}, 4, 1, 520);
    add('m', 1, {2, 3}, 4, 1, 520);
    add('m', 2, {2, 3}, 4, 1, 560);
    add('m', 3, {2, 3}, 4, 1, 560);
    add('m', 21, {2, 3}, 4, 1, 560);
    add('m', 24, {2, 3}, 4, 1, 520);
    add('m', 5, {2}, 4, 1, 520);
    add('m', 6, {2}, 4, 1, 520);
    add('m', 4, {2, 7}, 4, 1, 0);
    add('m', 7, {2, 3}, 4, 1, 76);                    // slider captions left of the track
    add('m', 7, {6, 7, 8}, 4, 1, 112);                // row captions left of the first box
    add('m', 7, {9, 10, 11, 12, 13}, 4, 1, 160);      // choice captions between boxes
    add('m', 7, {14}, 4, 1, 330);                     // the last choice has the row to itself
    add('m', 8, {2, 3}, 1, 0.5, 400);  // the panel's centre is 212 pixels from the right edge at 1024
    add('m', 8, {4}, 1, 0.8, 400);
    add('m', 10, {1}, 1, 0.5, 600);
    add('m', 11, {1}, 4, 1, 380);
    add('m', 14, {2}, 1, 1.0, 300);
    add('m', 14, {9, 10}, 4, 1, 400);
    add('m', 19, {4, 5, 6, 7}, 4, 1, 140);
    add('g', 1, {1}, 1, 1.0, kTitleRoom);
    add('g', 1, {4, 5, 6, 7, 8, 9}, 1, 0.5, 360);
    add('g', 1, {10}, 2, 1, 700);
    add('g', 2, {1}, 3, 0.8, 900);
    add('g', 2, {2, 3}, 3, 0.4, 900);
    add('g', 3, {1}, 2, 1, 110);   // "LEVEL 105" on the top-left plate
    add('g', 3, {3}, 3, 0.8, 900);
    add('g', 4, {2}, 4, 1, 520);
    add('g', 4, {8, 9, 10, 11, 14, 15, 16, 17}, 1, 0.5, 360);  // win screen line 1 and the dialog (font 4 there)
    add('g', 4, {18, 19}, 1, 1.0, kTitleRoom);
    add('g', 7, {1}, 3, 1.0, 900);
    add('g', 7, {3}, 2, 1, 150);
    for (int r = 0; r <= 10; ++r) add('g', 7, {5 + r}, 3, 0.9, 900);
    add('g', 13, {1}, 1, 1.0, kTitleRoom);
    add('g', 13, {59, 65}, 4, 1, 460);
    add('s', 0, {5}, 3, 1.0, 960);
    for (int ch = 1; ch <= 8; ++ch) {
        add('s', ch, {1}, 1, 0.7, 440);
        add('s', ch, {2}, 4, 1, 440);
    }
    return v;
}

// Button captions: drawn in font 2 at the caption scale on the button image, which must leave a margin.
struct Caption {
    char table;
    int s, n;
    const char* image;
};

const Caption kCaptions[] = {
    {'m', 1, 4, "ui/button3.png"},   {'m', 1, 5, "ui/button3.png"},   {'m', 2, 4, "ui/button3.png"},
    {'m', 2, 5, "ui/button3.png"},   {'m', 2, 6, "ui/button3.png"},   {'m', 3, 4, "ui/button3.png"},
    {'m', 3, 5, "ui/button3.png"},   {'m', 4, 4, "ui/button3.png"},   {'m', 4, 5, "ui/button3.png"},
    {'m', 4, 6, "ui/button3.png"},   {'m', 4, 13, "ui/button3.png"},  {'m', 5, 3, "ui/button3.png"},
    {'m', 5, 4, "ui/button3.png"},   {'m', 6, 3, "ui/button3.png"},   {'m', 6, 4, "ui/button3.png"},
    {'m', 7, 15, "ui/button3.png"},  {'m', 13, 3, "ui/button3.png"},  {'m', 13, 4, "ui/button3.png"},
    {'m', 13, 5, "ui/button3.png"},  {'m', 13, 6, "ui/button3.png"},  {'m', 13, 7, "ui/button3.png"},
    {'m', 13, 8, "ui/button3.png"},  {'m', 19, 10, "ui/button3.png"}, {'m', 21, 4, "ui/button3.png"},
    {'m', 24, 4, "ui/button3.png"},  {'m', 24, 5, "ui/button3.png"},  {'m', 12, 1, "ui/menubutton1.png"},
    {'m', 12, 2, "ui/menubutton1.png"}, {'m', 12, 3, "ui/menubutton1.png"}, {'m', 12, 5, "ui/menubutton1.png"},
    {'m', 14, 4, "ui/button10.png"}, {'m', 14, 6, "ui/button10.png"}, {'m', 14, 8, "ui/button10.png"},
    {'g', 2, 4, "ui/button10.png"},  {'g', 2, 5, "ui/button10.png"},  {'g', 3, 5, "ui/pause.png"},
    {'g', 13, 2, "ui/button6.png"},  {'g', 13, 3, "ui/button6.png"},  {'g', 13, 4, "ui/button6.png"},
    {'s', 0, 1, "ui/button3.png"},   {'s', 0, 3, "ui/button3.png"},   {'s', 0, 4, "ui/button3.png"},
};

TEST_F(UiDataTexts, EveryAddressTheGameDrawsHasTextThatItsFontCanDrawAndThatFitsItsPlace) {
    for (const Addr& a : single_lines()) {
        const std::string& t = lookup(a);
        SCOPED_TRACE(std::string(1, a.table) + " " + std::to_string(a.s) + "," + std::to_string(a.n) + ": " + t);
        ASSERT_FALSE(t.empty());
        double w = line_width(t, a.font == 3 ? 1 : a.font, a.font == 3 ? a.scale / 0.7 : a.scale);
        ASSERT_GE(w, 0) << "a character has no glyph";
        if (a.maxwidth > 0) {
            EXPECT_LE(w, a.maxwidth);
        }
    }
}

TEST_F(UiDataTexts, ButtonCaptionsFitTheirButtons) {
    headless();
    for (const Caption& c : kCaptions) {
        const std::string& t = c.table == 'm' ? menutext(c.s, c.n) : c.table == 'g' ? gametext(c.s, c.n)
                                                                                    : storytext(c.s, c.n);
        SCOPED_TRACE(t);
        ASSERT_FALSE(t.empty());
        double w = line_width(t, 2, 1.0);
        ASSERT_GE(w, 0);
        std::string path = data_path(c.image);
        if (!exists(path)) GTEST_SKIP() << c.image << " not generated yet";
        TImage im = load_image(path, -1);
        ASSERT_TRUE(im != nullptr);
        EXPECT_LE(w, image_width(im) - 36) << c.image;
    }
}

// Paragraph address, its box width and the lines it may take before it meets the next thing on the page.
struct Para {
    char table;
    int s, n, width, maxlines;
};

std::vector<Para> paragraphs() {
    std::vector<Para> v;
    // Story columns: rows of 40 pixels from y 220; a paragraph may not reach the next one's row and the last
    // in a column ends by row 10, above the buttons.
    const int layout[8][2][5] = {
        {{0, 2, 5, 8, -1}, {0, 5, -1, -1, -1}}, {{0, 3, 8, -1, -1}, {0, 2, 5, -1, -1}},
        {{0, 2, 6, 8, -1}, {0, 5, 8, -1, -1}},  {{0, 3, 6, -1, -1}, {0, 4, -1, -1, -1}},
        {{0, 5, 8, -1, -1}, {0, 4, -1, -1, -1}}, {{0, 3, 8, -1, -1}, {0, 3, -1, -1, -1}},
        {{0, 3, 6, -1, -1}, {0, 5, -1, -1, -1}}, {{0, 5, 9, -1, -1}, {0, 3, -1, -1, -1}},
    };
    for (int ch = 1; ch <= 8; ++ch) {
        int line = 3;
        for (int col = 0; col < 2; ++col) {
            const int* rows = layout[ch - 1][col];
            for (int k = 0; k < 5 && rows[k] >= 0; ++k) {
                int next = (k + 1 < 5 && rows[k + 1] >= 0) ? rows[k + 1] : 11;
                v.push_back({'s', ch, line++, 400, next - rows[k]});
            }
        }
    }
    // Help pages: width 460 (590 on the last page), line height 28, between the title, the animation and the
    // navigation buttons.
    const int help[][3] = {{6, 460, 1},  {7, 460, 3},  {12, 460, 2}, {13, 460, 2}, {18, 460, 3}, {19, 460, 2},
                           {24, 460, 3}, {25, 460, 3}, {30, 460, 3}, {31, 460, 3}, {36, 460, 2}, {37, 460, 2},
                           {42, 460, 2}, {43, 460, 2}, {48, 460, 3}, {49, 460, 2}, {54, 460, 2}, {55, 460, 2},
                           {60, 460, 3}, {61, 460, 3}, {66, 590, 1}, {67, 590, 2}, {68, 590, 2}};
    for (auto& h : help) v.push_back({'g', 13, h[0], h[1], h[2]});
    // The pause overlay's second line: a box 350 wide and 50 high.
    v.push_back({'m', 10, 2, 350, 2});
    return v;
}

TEST_F(UiDataTexts, WrappedParagraphsFitTheirWidthAndLineBudget) {
    for (const Para& p : paragraphs()) {
        const std::string& t = p.table == 'm' ? menutext(p.s, p.n) : p.table == 'g' ? gametext(p.s, p.n)
                                                                                    : storytext(p.s, p.n);
        SCOPED_TRACE(std::string(1, p.table) + " " + std::to_string(p.s) + "," + std::to_string(p.n) + ": " + t);
        ASSERT_FALSE(t.empty());
        for (unsigned char c : t) ASSERT_GE(small_advance(c), 0) << "no glyph for " << (int)c;
        std::vector<std::string> lines = wrap(t, p.width);
        ASSERT_FALSE(lines.empty()) << "a word is wider than the box";
        EXPECT_LE((int)lines.size(), p.maxlines);
        EXPECT_LE((int)lines.size(), 10);
    }
}

TEST_F(UiDataTexts, SectionsAreFoundWhereTheGameLooksForThem) {
    for (int s : {1, 2, 3, 4, 5, 6, 7, 8, 10, 11, 12, 13, 14, 19, 21, 24}) EXPECT_GT(menutexts.sectionstart[s], 0) << s;
    for (int s : {1, 2, 3, 4, 7, 13}) EXPECT_GT(gametexts.sectionstart[s], 0) << s;
    for (int s = 0; s <= 8; ++s) EXPECT_GT(storytexts.sectionstart[s], 0) << s;
    // Ten ranks plus "no rank yet", all different, so the celebration never announces the rank the player had.
    for (int r = 0; r < 10; ++r) EXPECT_NE(gametext(7, 5 + r), gametext(7, 6 + r));
}

// ---------------------------------------------------------------- interface images

const char* const kImages[] = {
    "ui/coll.png", "ui/coll2.png", "ui/coll3.png", "ui/popup.png", "ui/line.png", "ui/optionstrack.png",
    "ui/optionstrackfill1.png", "ui/optionstrackfill.png", "ui/black.png", "ui/cb.png", "ui/h.png",
    "ui/helparrow2.png", "ui/harrow.png", "ui/popupline.png", "ui/bar.png", "ui/button3.png", "ui/button5.png",
    "ui/menubutton1.png", "ui/button10.png", "ui/button11.png", "ui/button6.png", "ui/pause.png", "ui/cursor.png",
    "ui/loadbar.png", "ui/loadfill.png", "map/arrowright.png", "map/arrowleft.png", "map/nav.png",
    "map/level1.png", "map/level2.png", "map/navfull.png", "map/selection.png", "map/chain.png", "map/lock.png",
    "map/star0.png", "map/star1.png", "map/star2.png", "map/downbackmap.png", "map/rankbar.png",
    "map/rankbarfill.png", "game/board.png", "game/star0.png", "game/star1.png", "game/star2.png",
    "game/uiupleft.png", "game/uiupright.png", "game/up.png", "game/downback2.png", "game/downfront2.png",
    "game/timer.png", "game/timerfill.png", "game/timerwarn.png", "game/time-icon.png", "game/move-icon.png",
    "branding/corvantis.png",
};

TEST(UiDataImages, EveryImageExistsAndDecodesThroughTheGamesPathRules) {
    headless();
    for (const char* rel : kImages) {
        SCOPED_TRACE(rel);
        ASSERT_TRUE(exists(data_path(rel)));
        TImage im = load_image(data_path(rel), -1);
        ASSERT_TRUE(im != nullptr);
        EXPECT_GT(image_width(im), 0);
    }
    // The game writes the pointer's folder in capitals; the path rules must still find the file.
    EXPECT_TRUE(load_image(resolve_path(build_dir() + "/data\\UI\\cursor.png"), -1) != nullptr);
}

TEST(UiDataImages, StripImagesCutIntoTheSlicesTheBarsDraw) {
    headless();
    struct Cut {
        const char* file;
        int w, h, frames;
    } cuts[] = {{"ui/loadfill.png", 1, 40, 402},    {"ui/loadfill.png", 10, 40, 40},
                {"map/rankbarfill.png", 1, 8, 270}, {"map/rankbarfill.png", 10, 8, 27},
                {"game/timerfill.png", 1, 32, 340}, {"game/timerfill.png", 10, 32, 34}};
    for (const Cut& c : cuts) {
        SCOPED_TRACE(c.file);
        TImage im = load_anim_image(data_path(c.file), c.w, c.h, 0, c.frames, -1);
        ASSERT_TRUE(im != nullptr);
        EXPECT_EQ(image_frames(im), c.frames);
        // The last slice the bar draws is filled, not a transparent edge.
        EXPECT_GT((int)(image_pixel(im, c.frames - 1, 0, c.h / 2) & 255), 200);
    }
}

TEST(UiDataImages, ImagesLeaveRoomForWhatTheGameDrawsAroundThem) {
    headless();
    auto load = [](const char* rel) { return load_image(data_path(rel), -1); };
    // The panel at scale 1 carries the title 210 above its centre and the close button 250 below.
    TImage popup = load("ui/popup.png");
    ASSERT_TRUE(popup != nullptr);
    EXPECT_GE(image_height(popup) / 2, 270);
    EXPECT_GE(image_width(popup) / 2, 320);
    // The loading bar's trough is 54 below the image centre, where the fill goes: dark and opaque there.
    TImage bar = load("ui/loadbar.png");
    ASSERT_TRUE(bar != nullptr);
    uint32_t px = image_pixel(bar, 0, image_width(bar) / 2, image_height(bar) / 2 + 54);
    EXPECT_GT((int)(px & 255), 200);
    EXPECT_LT((int)(px >> 24 & 255), 120);
    // Menu buttons stacked 80 apart must not overlap; popup buttons 220 apart neither.
    EXPECT_LT(image_height(load("ui/menubutton1.png")), 80);
    EXPECT_LE(image_width(load("ui/button3.png")), 220);
    EXPECT_LE(image_width(load("ui/button6.png")), 330 - 165);
    // The slider track, drawn 55 right of the centre, starts right of the captions (which end 224 left of it).
    EXPECT_LE(image_width(load("ui/optionstrack.png")) / 2, 55 + 224);
    // The pointer's hot spot is its top-left pixel: the tip must be there.
    TImage cursor = load("ui/cursor.png");
    ASSERT_TRUE(cursor != nullptr);
    EXPECT_GT((int)(image_pixel(cursor, 0, 1, 1) & 255), 100);
    // The tick's handle (19, 35) is the corner of the tick, so it lies on the mark.
    TImage tick = load("ui/h.png");
    ASSERT_TRUE(tick != nullptr);
    EXPECT_GT((int)(image_pixel(tick, 0, 19, 35) & 255), 100);
    // The front ledge's handle (415, 58) lies inside the image and on the ledge.
    TImage front = load("game/downfront2.png");
    ASSERT_TRUE(front != nullptr);
    EXPECT_GT(image_width(front), 415);
    EXPECT_GT((int)(image_pixel(front, 0, 415, 58) & 255), 200);
}

// The top plaques hang from the middle of their top edges at centerx -/+ 430; the next stone is shown half size
// at (cannonx, 22) over whichever column the cannon is above. No plaque pixel may cover it at any width, and the
// plaques stay solid behind their texts: the level number on the left, the menu button on the right.
TEST(UiDataImages, TheTopPlaquesLeaveTheNextStoneInSightOverEveryColumn) {
    headless();
    Pixels plaque[2], stone;
    ASSERT_TRUE(decode_image_file(data_path("game/uiupleft.png"), plaque[0]));
    ASSERT_TRUE(decode_image_file(data_path("game/uiupright.png"), plaque[1]));
    ASSERT_TRUE(decode_image_file(data_path("aztec/stone1.png"), stone));
    auto alpha = [](const Pixels& im, int x, int y) {
        return x < 0 || y < 0 || x >= im.w || y >= im.h ? 0 : (int)im.rgba[((size_t)y * im.w + x) * 4 + 3];
    };
    const int half = (stone.w + 3) / 4;  // the preview at scale 0.5, centred
    struct Width {
        int w, boardleft;
    } widths[] = {{1024, 120}, {1280, 248}, {1366, 291}};
    for (auto wd : widths) {
        const int centerx = wd.w / 2;
        for (int column = 0; column < 12; ++column) {
            const int cannonx = wd.boardleft + 32 + 64 * column;
            int covered = 0;
            for (int side = 0; side < 2; ++side) {
                const int left = centerx + (side ? 430 : -430) - plaque[side].w / 2;
                for (int y = 22 - half; y < 22 + half; ++y)
                    for (int x = cannonx - half; x < cannonx + half; ++x) covered += alpha(plaque[side], x - left, y) > 0;
            }
            EXPECT_EQ(covered, 0) << "width " << wd.w << ", column " << column;
        }
    }
    // Solid behind the widest level caption and behind the menu button.
    loadfonts();
    readgametexts();
    const int caption = (int)std::ceil(textwidth(2, gametext(3, 1) + " 105", 1));  // the widest level caption
    EXPECT_GT(caption, 40);
    for (int side = 0; side < 2; ++side) {
        const int handle = plaque[side].w / 2 + (side ? -3 : 3);
        const int reach = side ? 62 : caption / 2 + 2;
        for (int x = handle - reach; x <= handle + reach; ++x)
            EXPECT_EQ(alpha(plaque[side], x, 33), 255) << (side ? "right" : "left") << " plaque at " << x;
    }
}

// The splash configuration names pages whose images exist, each ending by itself or by a key.
TEST(UiDataBranding, SplashPagesAndIcon) {
    std::ifstream cfg(data_path("branding/splashconfig.txt"), std::ios::binary);
    ASSERT_TRUE(cfg.good());
    std::string line;
    int pages = 1, files = 0, times = 0;
    while (std::getline(cfg, line)) {
        if (!line.empty() && line.back() == '\r') line.pop_back();
        std::string key = line.substr(0, 4), value = line.size() > 5 ? line.substr(5) : "";
        if (key == ";---") ++pages;
        if (key == "file") {
            ++files;
            EXPECT_TRUE(exists(data_path("branding/" + value))) << value;
        }
        if (key == "time") {
            ++times;
            EXPECT_GT(std::stoi(value), 0);
        }
    }
    EXPECT_EQ(files, pages);  // no extra empty page that could neither time out nor be skipped
    EXPECT_EQ(times, pages);

    std::ifstream ico(build_dir() + "/icon32.ico", std::ios::binary);
    ASSERT_TRUE(ico.good());
    std::string b((std::istreambuf_iterator<char>(ico)), std::istreambuf_iterator<char>());
    ASSERT_GE(b.size(), 22u);
    auto u16 = [&](size_t o) { return (unsigned char)b[o] | (unsigned char)b[o + 1] << 8; };
    auto u32 = [&](size_t o) { return (unsigned)u16(o) | (unsigned)u16(o + 2) << 16; };
    EXPECT_EQ(u16(2), 1);  // icon, not cursor
    ASSERT_GE(u16(4), 1);
    EXPECT_EQ((unsigned char)b[6], 32);  // the first entry, which the window takes, is 32 x 32
    EXPECT_EQ((unsigned char)b[7], 32);
    size_t off = u32(6 + 12);
    ASSERT_LT(off + 8, b.size());
    EXPECT_EQ(b.substr(off + 1, 3), "PNG");
}

}  // namespace
