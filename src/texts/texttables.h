// The three text tables (menu, story and game texts), addressed as (section, line).
#pragma once
#include <string>

struct TextTable {
    int lines = 0;                  // 300 or 1000
    std::string text[1001];         // [1..lines]
    int sectionstart[101] = {};     // file line of each section's marker, 0 when absent
    std::string prefix[1001];       // columns 1..13 of each line (kept for the story table)
};

// The most characters a text keeps, and the most bytes a table file may hold: a damaged file cannot make the
// loading or the drawing of texts slow.
enum { TEXTLINE_MAX = 512, TEXTFILE_MAX = 16 << 20 };
// The highest section number a marker may carry.
enum { TEXTSECTION_MAX = 28 };

extern TextTable menutexts, storytexts, gametexts;

// Read the tables of the language in force (texts/languages.h); a translation that is missing or damaged gives
// the English table, with a line on standard output.
void readmenutexts();
void readstorytexts();
void readgametexts();
// All three, in that order.
void readalltexts();
// Reads one table from a file (re-reading replaces it). first_section is 0 for the story file, 1 otherwise.
// A file that is missing, unreadable or larger than TEXTFILE_MAX reads as empty, with a line on standard output.
void readtexttable(TextTable& t, const std::string& path, int lines, int first_section);
// The table of a file's bytes: the first `lines` lines (at most 1000), each text cut to TEXTLINE_MAX characters.
void parsetexttable(const std::string& bytes, int lines, int first_section, TextTable& t);

// A translated table from its UTF-8 bytes. Returns why it cannot be used (not UTF-8, a character the fonts lack,
// a section of the English table missing) or the empty string when `t` holds it.
std::string parsetranslation(const std::string& bytes, const TextTable& english, int lines, int first_section,
                             TextTable& t);

// text[sectionstart[s] + n]; an address outside the table reads as the empty text.
const std::string& menutext(int s, int n);
const std::string& storytext(int s, int n);
const std::string& gametext(int s, int n);
const std::string& storyprefix(int i);

// Upper case of one 8-bit character (Latin-1 and the marks of texts/textcodes.h), and of a string.
unsigned char upper8(unsigned char c);
std::string upper8(const std::string& s);
