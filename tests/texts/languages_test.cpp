// The translated tables: their decoding, the fallback to English, how a language is chosen, and that every
// translation holds every English address.
#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>

#include "storage/settings.h"
#include "support/datafolder.h"
#include "support/headless.h"
#include "texts/fonts.h"
#include "texts/languages.h"
#include "texts/textcodes.h"
#include "texts/texttables.h"

namespace {
void writefile(const std::string& path, const std::string& bytes) {
    std::filesystem::create_directories(std::filesystem::path(path).parent_path());
    std::ofstream(path, std::ios::binary) << bytes;
}

std::string decoded(const std::string& utf8, textcodes::decoderesult* r = nullptr) {
    std::string out;
    textcodes::decoderesult d = textcodes::decodeutf8(utf8, out);
    if (r) *r = d;
    return d.ok ? out : "<refused>";
}

// Tests that change the language put English back, so that no other test reads a translation.
class Languages : public ::testing::Test {
protected:
    void TearDown() override {
        build_data_folder();
        languageoverride = -1;
        setlanguage(0);
    }
};

// The desktop's locale variables, set for one test and restored after it.
class Locale : public Languages {
protected:
    const char* names[4] = {"LC_ALL", "LC_MESSAGES", "LANG", "LANGUAGE"};
    std::string saved[4];
    bool had[4] = {};
    void SetUp() override {
        for (int i = 0; i < 4; ++i) {
            const char* v = std::getenv(names[i]);
            had[i] = v != nullptr;
            saved[i] = v ? v : "";
            unsetenv(names[i]);
        }
    }
    void TearDown() override {
        for (int i = 0; i < 4; ++i) {
            if (had[i]) setenv(names[i], saved[i].c_str(), 1);
            else unsetenv(names[i]);
        }
        Languages::TearDown();
    }
    int with(const char* all, const char* messages, const char* lang, const char* language) {
        const char* values[4] = {all, messages, lang, language};
        for (int i = 0; i < 4; ++i) {
            if (values[i]) setenv(names[i], values[i], 1);
            else unsetenv(names[i]);
        }
        return desktoplanguage();
    }
};
}  // namespace

TEST(TextCodes, UtfEightBecomesTheFontsBytes) {
    EXPECT_EQ(decoded("Gr\xC3\xB6\xC3\x9F" "e"), "Gr\xF6\xDF" "e");                                 // ö ß
    EXPECT_EQ(decoded("\xE2\x80\x9E" "Ja\xE2\x80\x9C"), "\x84" "Ja\x93");                        // „Ja“
    EXPECT_EQ(decoded("\xC2\xAB oui \xC2\xBB \xC5\x93uf \xE2\x80\x99"), "\xAB oui \xBB \x9C" "uf \x92");
    EXPECT_EQ(decoded("\xEF\xBB\xBFok\r\n"), "ok\r\n");  // a byte order mark is dropped
    textcodes::decoderesult r;
    // No glyph: the ellipsis, an em dash, a CJK letter; the line of the fault is named.
    EXPECT_EQ(decoded("a\nb\n\xE2\x80\xA6", &r), "<refused>");
    EXPECT_EQ(r.line, 3);
    EXPECT_EQ(r.cp, (char32_t)0x2026);
    EXPECT_EQ(decoded("\xE2\x80\x94"), "<refused>");
    EXPECT_EQ(decoded("\xE6\x97\xA5"), "<refused>");
    // Not UTF-8: Latin-1 bytes, overlong forms, a surrogate, a cut sequence, a stray continuation byte.
    for (const char* bad : {"caf\xE9", "\xC0\x80", "\xE0\x80\xAF", "\xED\xA0\x80", "\xC3", "x\x80", "\xF8\x88\x80\x80\x80"}) {
        EXPECT_EQ(decoded(bad, &r), "<refused>") << bad;
        EXPECT_EQ(r.cp, (char32_t)0) << bad;
    }
    // Every byte the decoder gives is drawn from a cell of both small fonts.
    buildfonttables();
    for (char32_t cp : {0x201E, 0x201C, 0x201D, 0x2018, 0x2019, 0xAB, 0xBB, 0x152, 0x153, 0xA1, 0xBF, 0xE3, 0xF1}) {
        const int b = textcodes::fontbyte(cp);
        ASSERT_GT(b, 0) << std::hex << (unsigned)cp;
        EXPECT_GT(glyphframe[2][b], 0) << std::hex << (unsigned)cp;
        EXPECT_GT(glyphframe[4][b], 0) << std::hex << (unsigned)cp;
    }
    // The capitals the large fonts draw the marks with: „ is cell 101, Œ cell 78.
    EXPECT_EQ(glyphframe[1][0x84], 101);
    EXPECT_EQ(glyphframe[1][0x8C], 78);
    EXPECT_EQ(glyphadvance[1][0x84], 59 - 7);
    EXPECT_EQ(upper8(std::string("\x9C\x9A\xFF")), "\x8C\x8A\x9F");  // œ š ÿ
}

TEST_F(Languages, ATranslationThatCannotBeUsedGivesTheEnglishTable) {
    const std::string base = own_data_folder();
    const std::string english = "---012---    MAIN MENU\n012.01       Quit\n012.05       Play\n";
    writefile(base + "data/texts/menutexts.txt", english);
    writefile(base + "data/texts/storytexts.txt", "---000---\n000.01       Menu\n");
    writefile(base + "data/texts/gametexts.txt", "---003---\n003.01       Level\n");
    writefile(base + "data/texts/de/menutexts.txt", "---012---    HAUPTMEN\xC3\x9C\n012.01       Beenden\n");
    writefile(base + "data/texts/de/storytexts.txt", "---000---\n000.01       Men\xFC\n");  // Latin-1, not UTF-8
    // gametexts.txt of German is missing
    testing::internal::CaptureStdout();
    setlanguage(1);
    const std::string out = testing::internal::GetCapturedStdout();
    EXPECT_EQ(menutext(12, 0), "HAUPTMEN\xDC");
    EXPECT_EQ(menutext(12, 1), "BEENDEN");
    EXPECT_EQ(storytext(0, 1), "MENU");
    EXPECT_EQ(gametext(3, 1), "LEVEL");
    EXPECT_NE(out.find("de/storytexts.txt is not UTF-8 (line 2): the English one is used"), std::string::npos) << out;
    EXPECT_NE(out.find("de/gametexts.txt missing: the English one is used"), std::string::npos) << out;
    EXPECT_EQ(std::count(out.begin(), out.end(), '\n'), 2) << out;

    // A translation without a section of the English table, and one with a character the fonts lack.
    TextTable en, t;
    parsetexttable(english, 300, 1, en);
    EXPECT_EQ(parsetranslation("---011---    X\n", en, 300, 1, t), "lacks section 012");
    EXPECT_EQ(parsetranslation("---012---    Jetzt\xE2\x80\xA6\n", en, 300, 1, t),
              "has a character the fonts lack (U+2026, line 1)");
}

TEST_F(Locale, TheDesktopsLanguageAsMessageCataloguesAreChosen) {
    EXPECT_EQ(with(nullptr, nullptr, "de_DE.UTF-8", nullptr), 1);
    EXPECT_EQ(with(nullptr, nullptr, "ja_JP.UTF-8", nullptr), 0);
    EXPECT_EQ(with(nullptr, nullptr, nullptr, nullptr), 0);
    EXPECT_EQ(with("fr_CA.UTF-8", "it_IT", "de_DE", nullptr), 2);      // LC_ALL first
    EXPECT_EQ(with(nullptr, "it_IT.UTF-8@euro", "de_DE", nullptr), 4);  // then LC_MESSAGES
    EXPECT_EQ(with("", "", "nl_BE.UTF-8", nullptr), 6);                 // empty values are not set
    EXPECT_EQ(with(nullptr, nullptr, "pt_BR.UTF-8", nullptr), 5);
    EXPECT_EQ(with(nullptr, nullptr, "pt_PT.UTF-8", nullptr), 0);       // not Brazil's Portuguese
    EXPECT_EQ(with(nullptr, nullptr, "es_MX.UTF-8", nullptr), 3);
    // LANGUAGE is a list of preferences, taken when the locale is not C: the first one the game speaks wins.
    EXPECT_EQ(with(nullptr, nullptr, "en_US.UTF-8", "ja:sv:es:de"), 3);
    EXPECT_EQ(with(nullptr, nullptr, "de_DE.UTF-8", "ja"), 1);
    EXPECT_EQ(with(nullptr, nullptr, "C", "fr"), 0);
    EXPECT_EQ(with("C.UTF-8", nullptr, "de_DE.UTF-8", "fr"), 0);

    EXPECT_EQ(languagebycode("pt-br"), 5);
    EXPECT_EQ(languagebycode("NL"), 6);
    EXPECT_EQ(languagebycode("en"), 0);
    for (const char* no : {"", "deutsch", "d", "de_DE/x", "ja", "pt"}) EXPECT_EQ(languagebycode(no), -1) << no;
}

TEST_F(Locale, LangGermanStartsInGermanAndJapaneseInEnglish) {
    headless();
    userpath = temp_folder("language-start");
    setenv("LANG", "de_DE.UTF-8", 1);
    chooselanguage(1);
    readalltexts();
    EXPECT_EQ(curlanguage, 1);
    EXPECT_EQ(menutext(12, 5), "SPIELEN");
    setenv("LANG", "ja_JP.UTF-8", 1);
    chooselanguage(1);
    readalltexts();
    EXPECT_EQ(curlanguage, 0);
    EXPECT_EQ(menutext(12, 5), "PLAY");
    // The player's remembered choice wins over the desktop, and the run's choice over both; a journal played
    // back ignores the desktop.
    writefile(userpath + languagefile, "fr\r\n");
    chooselanguage(1);
    EXPECT_EQ(curlanguage, 2);
    languageoverride = 4;
    chooselanguage(1);
    EXPECT_EQ(curlanguage, 4);
    languageoverride = -1;
    writefile(userpath + languagefile, "klingon\r\n");
    setenv("LANG", "de_DE.UTF-8", 1);
    chooselanguage(0);
    EXPECT_EQ(curlanguage, 0);
    chooselanguage(1);
    EXPECT_EQ(curlanguage, 1);
}

// A translation has the English table's lines in the same order: the same address on every line, a text where
// the English one has a text and none where it has none.
TEST_F(Languages, EveryTranslationHoldsEveryEnglishAddress) {
    headless();
    build_data_folder();
    struct Table {
        const char* name;
        int lines, first;
    };
    for (const Table& tb : {Table{"menutexts.txt", 300, 1}, Table{"storytexts.txt", 1000, 0},
                            Table{"gametexts.txt", 300, 1}}) {
        TextTable en, tr;
        readtexttable(en, std::string("data\\texts/") + tb.name, tb.lines, tb.first);
        for (int l = 1; l < LANGUAGES; ++l) {
            const std::string path = build_dir() + "/data/texts/" + languagecode[l] + "/" + tb.name;
            ASSERT_EQ(parsetranslation(file_bytes(path), en, tb.lines, tb.first, tr), "") << path;
            for (int i = 1; i <= tb.lines; ++i) {
                ASSERT_EQ(en.prefix[i], tr.prefix[i]) << path << " line " << i;
                EXPECT_EQ(en.text[i].empty(), tr.text[i].empty())
                    << path << " " << tr.prefix[i] << ": \"" << en.text[i] << "\" / \"" << tr.text[i] << "\"";
            }
        }
    }
}
