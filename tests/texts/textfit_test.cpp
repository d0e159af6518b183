// Every text of every table, in every language and at every logical size, laid out in the box or on the button
// it is drawn in: nothing may run out of its box, be cut, wrap onto more lines than its place holds, shrink
// below legibility where the place shrinks long texts, or hold a character its font cannot draw.
#include <gtest/gtest.h>

#include <string>
#include <tuple>
#include <vector>

#include "aztec/gamescreen.h"
#include "aztec/winlose.h"
#include "globals.h"
#include "platform/draw.h"
#include "screens/story.h"
#include "support/headless.h"
#include "texts/fonts.h"
#include "texts/languages.h"
#include "texts/texttables.h"
#include "ui/buttons.h"
#include "ui/menu.h"
#include "ui/popups.h"

namespace {
// A place may draw a long text smaller, down to this share of its size.
const float LEGIBLE = 0.7f;
const float BIGLEGIBLE = 0.5f;  // the large capitals of titles stay readable smaller

enum Kind { FIXED, SHRINKS, WRAPS };

struct Place {
    char table;        // 'M' menu, 'G' game, 'S' story texts
    int section, first, last;
    int font;
    float scale;
    Kind kind;
    float room;        // pixels; 0 with a button kind: that button's caption room; < 0: the screen's width less this
    int lines = 1;     // WRAPS: the most lines the place holds
    float least = LEGIBLE;
    std::string before, after;  // what the game draws around the text ("Level 105")
};

const std::string& text(char table, int s, int n) {
    return table == 'M' ? menutext(s, n) : table == 'G' ? gametext(s, n) : storytext(s, n);
}

struct Sizes {
    int popup, uiplaque, losebanner, rankbar, rankplate;
};

std::vector<Place> places(const Sizes& z) {
    auto panelbody = [&](float scale) { return (float)z.popup * scale - 100 * scale; };
    std::vector<Place> p;
    auto button = [&](char t, int s, int a, int b, int kind) {
        const int font = kind == 11 ? 4 : kind == 12 ? 1 : 2;
        const float scale = kind == 11 ? 0.7f : kind == 12 ? 0.4f : 1;
        p.push_back({t, s, a, b, font, scale, SHRINKS, captionroom(kind)});
    };
    // Buttons of every kind that carries a caption.
    button('M', 12, 1, 5, 6);
    for (auto [s, a, b] : {std::tuple{1, 4, 5}, {2, 4, 6}, {3, 4, 5}, {4, 4, 6}, {4, 13, 13}, {5, 3, 4}, {6, 3, 4},
                           {7, 15, 15}, {13, 3, 8}, {19, 10, 10}, {21, 4, 4}, {24, 4, 5}})
        button('M', s, a, b, 3);
    button('S', 0, 1, 1, 3);
    button('S', 0, 3, 4, 3);
    button('M', 8, 1, 1, 11);
    button('M', 14, 4, 4, 10);
    button('M', 14, 6, 6, 10);
    button('M', 14, 8, 8, 10);
    button('G', 2, 4, 5, 10);
    button('G', 3, 5, 5, 16);
    button('G', 13, 2, 4, 15);
    // Popup titles (drawn smaller when long) and the bodies of the dialogs.
    for (auto [t, s, n] : {std::tuple{'M', 1, 1}, {'M', 2, 1}, {'M', 3, 1}, {'M', 4, 1}, {'M', 5, 1}, {'M', 6, 1},
                           {'M', 7, 1}, {'M', 13, 1}, {'M', 19, 1}, {'M', 21, 1}, {'M', 24, 1}, {'G', 1, 1},
                           {'G', 13, 1}, {'G', 4, 18}, {'G', 4, 19}})
        p.push_back({t, s, n, n, 1, 1, SHRINKS, POPUPTITLEROOM, 1, BIGLEGIBLE});
    p.push_back({'M', 14, 2, 2, 1, 1, SHRINKS, POPUPTITLEROOM, 1, BIGLEGIBLE, "", " 105"});
    for (auto [s, a, b, scale] : {std::tuple{1, 2, 3, 0.7f}, {2, 2, 3, 0.8f}, {3, 2, 3, 0.8f}, {5, 2, 2, 0.7f},
                                  {6, 2, 2, 0.7f}, {13, 2, 2, 0.8f}, {21, 2, 3, 0.8f}, {24, 2, 3, 0.7f}, {14, 9, 10, 0.7f}})
        p.push_back({'M', s, a, b, 4, 1, FIXED, panelbody(scale)});
    p.push_back({'G', 4, 2, 2, 4, 1, FIXED, panelbody(0.8f)});
    // The options: captions before the controls, the choices between them.
    p.push_back({'M', 7, 2, 3, 4, 1, SHRINKS, SLIDERLABELROOM});
    for (auto [s, n] : {std::pair{7, 6}, {7, 7}, {7, 8}, {28, 1}})
        p.push_back({'M', s, n, n, 4, 1, SHRINKS, OPTIONLABELROOM});
    for (int k = 1; k <= 6; ++k) p.push_back({'M', 7, 8 + k, 8 + k, 4, 1, SHRINKS, OPTIONCHOICEROOM[k]});
    p.push_back({'M', 28, 2, 8, 4, 1, SHRINKS, OPTIONCHOICEROOM[7]});
    // The hall of fame's column heads, 150 to 190 pixels apart; the player list's level beside the score.
    p.push_back({'M', 19, 4, 7, 4, 1, FIXED, 140});
    p.push_back({'M', 4, 2, 2, 4, 1, FIXED, 332 - 20 - 160, 1, LEGIBLE, "", " 105"});
    p.push_back({'M', 4, 7, 7, 4, 1, FIXED, 332 - 20 - 90, 1, LEGIBLE, "1.234.567 "});
    // The menu's player sign, the pause, the loading screen and the notices.
    p.push_back({'M', 8, 2, 3, 1, 0.5f, SHRINKS, PLAYERPANELROOM});
    p.push_back({'M', 8, 4, 4, 1, 0.8f, SHRINKS, PLAYERPANELROOM});
    p.push_back({'G', 7, 5, 15, 1, 0.4f, SHRINKS, PLAYERPANELROOM, 1, LEGIBLE, "(", ")"});
    p.push_back({'M', 10, 1, 1, 1, 0.5f, FIXED, -40});
    p.push_back({'M', 10, 2, 2, 4, 1, WRAPS, 350, 2});
    p.push_back({'M', 11, 1, 1, 4, 1, FIXED, -40});
    p.push_back({'M', 25, 1, 3, 4, 1, FIXED, -20});
    // The game screen: the level plaque, the difficulty names left of their stars.
    p.push_back({'G', 3, 1, 1, 2, 1, FIXED, (float)z.uiplaque - 30, 1, LEGIBLE, "", " 105"});
    p.push_back({'G', 4, 8, 11, 4, 1, FIXED, 180});
    p.push_back({'G', 4, 14, 17, 4, 1, FIXED, 180});
    // The pace dialog's line on the countdown bar, under the paces.
    p.push_back({'G', 4, 20, 21, 4, 1, SHRINKS, PACENOTE_WIDTH});
    // The win screen: the pace before its five stars, the marks before their values, the stars' caption.
    p.push_back({'G', 4, 8, 11, 1, 0.5f, SHRINKS, WINPACEROOM});
    p.push_back({'G', 4, 14, 17, 1, 0.5f, SHRINKS, WINPACEROOM});
    p.push_back({'G', 1, 4, 5, 1, 0.5f, SHRINKS, WINMARKROOM});
    p.push_back({'G', 1, 7, 8, 1, 0.5f, SHRINKS, WINMARKROOM});
    p.push_back({'G', 1, 6, 6, 1, 0.5f, SHRINKS, WINSTARSROOM});
    p.push_back({'G', 1, 9, 9, 1, 0.5f, SHRINKS, WINSTARSROOM});
    p.push_back({'G', 1, 10, 10, 2, 1, FIXED, -40});
    // Headlines popping in: on the lose banner, across the screen, on the map's rank plate.
    p.push_back({'G', 2, 1, 1, 3, 0.8f, SHRINKS, (float)z.losebanner - 80});
    p.push_back({'G', 2, 2, 3, 3, 0.4f, SHRINKS, -60});
    p.push_back({'G', 3, 3, 3, 3, 0.8f, SHRINKS, -60});
    p.push_back({'G', 7, 1, 1, 3, 1, SHRINKS, -60});
    p.push_back({'S', 0, 5, 5, 3, 1, SHRINKS, -60});
    p.push_back({'G', 7, 5, 15, 3, 0.9f, SHRINKS, (float)z.rankplate - 60});
    p.push_back({'G', 7, 3, 3, 2, 1, FIXED, (float)z.rankbar + 40, 1, LEGIBLE, "1.234.567/1.234.567 "});
    // Help pages: headings, and the paragraphs wrapped at 460 (590 on the last page) in the lines they have.
    p.push_back({'G', 13, 59, 59, 4, 1, FIXED, 590});
    p.push_back({'G', 13, 65, 65, 4, 1, FIXED, 590});
    for (int page : {1, 2, 3, 4, 5, 6, 7, 8, 9, 12, 13}) {
        p.push_back({'G', 13, 6 * page, 6 * page, 4, 1, WRAPS, 460, 4});
        p.push_back({'G', 13, 6 * page + 1, 6 * page + 1, 4, 1, WRAPS, 460, 4});
    }
    p.push_back({'G', 13, 60, 61, 4, 1, WRAPS, 460, 4});
    p.push_back({'G', 13, 66, 68, 4, 1, WRAPS, 590, 2});
    // Story pages: the chapter's title and subtitle over the left page; the paragraphs are checked by page.
    for (int c = 1; c <= STORYCHAPTERS; ++c) {
        p.push_back({'S', c, 1, 1, 1, 0.7f, SHRINKS, STORYTITLEROOM});
        p.push_back({'S', c, 2, 2, 4, 1, FIXED, STORYTITLEROOM});
    }
    return p;
}

// What does not fit, one line each.
std::vector<std::string> misfits(const Sizes& z) {
    std::vector<std::string> out;
    const std::string where = std::string(languagecode[curlanguage]) + " " + std::to_string(virtw) + "x" +
                              std::to_string(virth) + " ";
    for (const Place& pl : places(z)) {
        const float room = pl.room < 0 ? (float)virtw + pl.room : pl.room;
        for (int n = pl.first; n <= pl.last; ++n) {
            const std::string& t = text(pl.table, pl.section, n);
            char addr[32];
            std::snprintf(addr, sizeof addr, "%c %03d.%02d ", pl.table, pl.section, n);
            const std::string say = where + addr + "\"" + t + "\": ";
            if (t.empty()) {
                out.push_back(say + "empty");
                continue;
            }
            const std::string line = pl.before + t + pl.after;
            // Fonts 1 and 3 draw capitals only (and the headline drawer upper-cases too).
            const std::string drawn = pl.font == 1 || pl.font == 3 ? upper8(line) : line;
            for (unsigned char c : drawn)
                if (c != ' ' && glyphframe[pl.font][c] == 0) {
                    char b[64];
                    std::snprintf(b, sizeof b, "character 0x%02X has no glyph in font %d", c, pl.font);
                    out.push_back(say + b);
                }
            if (pl.kind != WRAPS && drawn.size() > GLYPHSLOTS) out.push_back(say + "longer than a line may be");
            if (pl.kind == WRAPS) {
                std::string lines[WRAPLINES + 1];
                const int k = wraptext(pl.font, drawn, (int)room, pl.scale, lines, WRAPLINES + 1);
                if (k > pl.lines) out.push_back(say + std::to_string(k) + " lines where " + std::to_string(pl.lines) + " fit");
                for (int i = 0; i < k; ++i)
                    if (i + 1 < k && !lines[i].empty() && lines[i].back() != ' ')
                        out.push_back(say + "a word wider than " + std::to_string((int)room) + " pixels is cut");
                continue;
            }
            const float w = textwidth(pl.font, drawn, pl.scale);
            if (pl.kind == FIXED && w > room)
                out.push_back(say + std::to_string((int)w) + " pixels in " + std::to_string((int)room));
            if (pl.kind == SHRINKS && w * pl.least > room)
                out.push_back(say + "would shrink to " + std::to_string(room / w).substr(0, 4) + " of its size");
        }
    }
    // The story: each chapter's paragraphs flow down their columns and must end above the page's buttons.
    for (int c = 1; c <= STORYCHAPTERS; ++c) {
        int rows[8];
        const int end = storyrows(c, rows);
        if (end > STORYROWS) out.push_back(where + "story chapter " + std::to_string(c) + " needs " + std::to_string(end) + " rows of " + std::to_string((int)STORYROWS));
        for (int k = 0; k < 8 && storylayout[c][k].line != 0; ++k) {
            std::string lines[WRAPLINES + 1];
            const std::string& t = storytext(c, storylayout[c][k].line);
            const int n = wraptext(4, t, STORYTEXTWIDTH, 1, lines, WRAPLINES + 1);
            if (n > WRAPLINES) out.push_back(where + "story " + std::to_string(c) + " paragraph too long");
        }
    }
    return out;
}

class TextFit : public ::testing::Test {
protected:
    Sizes z{};
    void SetUp() override {
        headless();
        resident_media();
        auto width = [](const char* path) {
            TImage im = load_image_logged(path);
            return image_width(im);
        };
        z = {width("data\\ui\\popup.png"), width("data\\game\\uiupleft.png"), width("data\\effects\\losebanner.png"),
             width("data\\map\\rankbar.png"), width("data\\logo\\q4m.png")};
        if (z.popup == 0 || captionroom(3) == 0) GTEST_SKIP() << "interface images not generated";
    }
    void TearDown() override {
        setlanguage(0);
        setsize(1024, 768);
    }
    static void setsize(int w, int h) {
        virtw = w;
        virth = h;
        centerx = w / 2;
        centery = h / 2;
    }
};
}  // namespace

TEST_F(TextFit, EveryTextOfEveryLanguageFitsAtEverySize) {
    const int sizes[4][2] = {{1024, 768}, {1280, 768}, {1366, 768}, {640, 480}};
    for (int l = 0; l < LANGUAGES; ++l) {
        setlanguage(l);
        for (const auto& s : sizes) {
            setsize(s[0], s[1]);
            for (const std::string& m : misfits(z)) ADD_FAILURE() << m;
        }
    }
}

// English is laid out as it always was: none of its texts is drawn smaller to fit.
TEST_F(TextFit, EnglishNeverShrinks) {
    setlanguage(0);
    for (const Place& pl : places(z)) {
        if (pl.kind != SHRINKS || pl.room < 0) continue;
        for (int n = pl.first; n <= pl.last; ++n) {
            const std::string line = pl.before + text(pl.table, pl.section, n) + pl.after;
            if (pl.room == POPUPTITLEROOM) continue;  // long English titles were always drawn smaller
            EXPECT_LE(textwidth(pl.font, line, pl.scale), pl.room) << pl.table << " " << pl.section << "." << n;
        }
    }
}

TEST_F(TextFit, AnOverlongLineIsCaught) {
    setlanguage(0);
    ASSERT_TRUE(misfits(z).empty());
    const int i = menutexts.sectionstart[12] + 5;
    const std::string saved = menutexts.text[i];
    menutexts.text[i] = "PLAY THE WHOLE ADVENTURE FROM THE VERY FIRST LEVEL";
    const int h = gametexts.sectionstart[13] + 6;
    const std::string savedhelp = gametexts.text[h];
    gametexts.text[h] = savedhelp + " " + savedhelp + " " + savedhelp + " " + savedhelp + " " + savedhelp;
    const std::vector<std::string> m = misfits(z);
    menutexts.text[i] = saved;
    gametexts.text[h] = savedhelp;
    ASSERT_EQ(m.size(), 2u);
    EXPECT_NE(m[0].find("M 012.05 \"PLAY THE WHOLE"), std::string::npos) << m[0];
    EXPECT_NE(m[0].find("would shrink to"), std::string::npos) << m[0];
    EXPECT_NE(m[1].find("G 013.06"), std::string::npos) << m[1];
    EXPECT_NE(m[1].find("lines where 4 fit"), std::string::npos) << m[1];
}
