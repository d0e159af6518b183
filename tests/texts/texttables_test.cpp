#include <gtest/gtest.h>

#include <fstream>

#include "support/headless.h"
#include "texts/texttables.h"

namespace {
std::string line(const std::string& prefix13, const std::string& text) {
    std::string p = prefix13;
    p.resize(13, ' ');
    return p + text;
}
}  // namespace

TEST(TextTables, SectionsMarkersTrimmingAndUpperCase) {
    std::string dir = temp_folder("texts");
    {
        std::ofstream f(dir + "menu.txt", std::ios::binary);
        f << "first line of the file\r\n";
        f << line("---010---", "title") << "\r\n";
        f << line("x", "  three small words  ") << "\n";
        f << "short\n";
        f << line("", "caf\xe9") << "\n";
        for (int i = 0; i < 245; ++i) f << line("", "filler") << "\n";
    }
    TextTable t;
    readtexttable(t, dir + "menu.txt", 300, 1);
    EXPECT_EQ(t.sectionstart[10], 2);
    EXPECT_EQ(t.text[t.sectionstart[10]], "TITLE");
    EXPECT_EQ(t.text[t.sectionstart[10] + 1], "THREE SMALL WORDS");
    EXPECT_EQ(t.text[4], "");          // shorter than 14 characters
    EXPECT_EQ(t.text[5], "CAF\xc9");   // 8-bit letters upper-cased too
    EXPECT_EQ(t.text[250], "FILLER");
    EXPECT_EQ(t.text[251], "");
    EXPECT_EQ(t.text[300], "");
    // Section 0 has no marker: it starts at line 0, so (0, n) is file line n.
    EXPECT_EQ(t.sectionstart[0], 0);
    EXPECT_EQ(t.sectionstart[11], 0);

    menutexts = t;
    EXPECT_EQ(menutext(10, 1), "THREE SMALL WORDS");
    EXPECT_EQ(menutext(0, 1), "THE FILE");  // columns 14 on of "first line of the file"
    EXPECT_EQ(menutext(99, 5000), "");  // outside the table: empty, never out of bounds
}

TEST(TextTables, StoryKeepsPrefixesAndSectionZero) {
    std::string dir = temp_folder("story");
    {
        std::ofstream f(dir + "story.txt", std::ios::binary);
        f << line("---000---", "intro") << "\n";
        f << line("L1 120 300", "once upon a time") << "\n";
        f << line("---005---", "five") << "\n";
        f << line("---005---", "five again") << "\n";  // a later duplicate wins
    }
    TextTable t;
    readtexttable(t, dir + "story.txt", 1000, 0);
    EXPECT_EQ(t.sectionstart[0], 1);
    EXPECT_EQ(t.prefix[2], "L1 120 300   ");
    EXPECT_EQ(t.text[2], "ONCE UPON A TIME");
    EXPECT_EQ(t.sectionstart[5], 4);
}
