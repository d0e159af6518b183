#include "texts/texttables.h"

#include <algorithm>
#include <cctype>
#include <cstdio>

#include "platform/paths.h"
#include "platform/readfile.h"
#include "texts/languages.h"
#include "texts/textcodes.h"

TextTable menutexts, storytexts, gametexts;

unsigned char upper8(unsigned char c) {
    if (c >= 'a' && c <= 'z') return (unsigned char)(c - 32);
    if (c >= 0xE0 && c <= 0xFE && c != 0xF7) return (unsigned char)(c - 32);
    // The small letters among the marks of 0x80..0x9F: š œ ÿ.
    if (c == 0x9A || c == 0x9C) return (unsigned char)(c - 16);
    if (c == 0xFF) return 0x9F;
    return c;
}

std::string upper8(const std::string& s) {
    std::string r = s;
    for (char& c : r) c = (char)upper8((unsigned char)c);
    return r;
}

void parsetexttable(const std::string& bytes, int lines, int first_section, TextTable& t) {
    // Emptied in place: a table is 2002 strings, and building a fresh one to assign costs more than the parse.
    for (int i = 0; i <= 1000; ++i) {
        t.text[i].clear();
        t.prefix[i].clear();
    }
    std::fill(std::begin(t.sectionstart), std::end(t.sectionstart), 0);
    t.lines = lines = std::clamp(lines, 0, 1000);
    size_t at = 0;
    for (int i = 1; i <= lines && at < bytes.size(); ++i) {
        size_t end = bytes.find('\n', at);
        if (end == std::string::npos) end = bytes.size();
        // Only the prefix and the longest text a line may keep are looked at.
        std::string r = bytes.substr(at, std::min(end - at, (size_t)13 + TEXTLINE_MAX + 1));
        at = end + 1;
        if (!r.empty() && r.back() == '\r') r.pop_back();
        if (r.size() >= 9 && r.compare(0, 3, "---") == 0 && r.compare(6, 3, "---") == 0 && isdigit((unsigned char)r[3]) &&
            isdigit((unsigned char)r[4]) && isdigit((unsigned char)r[5])) {
            int k = (r[3] - '0') * 100 + (r[4] - '0') * 10 + (r[5] - '0');
            if (k >= first_section && k <= TEXTSECTION_MAX) t.sectionstart[k] = i;
        }
        t.prefix[i] = r.substr(0, 13);
        std::string body = r.size() > 13 ? r.substr(13, TEXTLINE_MAX) : std::string();
        size_t a = 0, b = body.size();
        while (a < b && (unsigned char)body[a] <= 32) ++a;
        while (b > a && (unsigned char)body[b - 1] <= 32) --b;
        t.text[i] = upper8(body.substr(a, b - a));
    }
}

void readtexttable(TextTable& t, const std::string& path, int lines, int first_section) {
    std::string bytes;
    readresult got = read_file(resolve_path(path), bytes, TEXTFILE_MAX);
    if (got != READ_OK) std::printf("text table %s %s\n", resolve_path(path).c_str(), read_result_text(got));
    parsetexttable(bytes, lines, first_section, t);
}

std::string parsetranslation(const std::string& bytes, const TextTable& english, int lines, int first_section,
                             TextTable& t) {
    std::string decoded;
    const textcodes::decoderesult d = textcodes::decodeutf8(bytes, decoded);
    char why[96];
    if (!d.ok && d.cp == 0) {
        std::snprintf(why, sizeof why, "is not UTF-8 (line %d)", d.line);
        return why;
    }
    if (!d.ok) {
        std::snprintf(why, sizeof why, "has a character the fonts lack (U+%04X, line %d)", (unsigned)d.cp, d.line);
        return why;
    }
    parsetexttable(decoded, lines, first_section, t);
    for (int s = first_section; s <= TEXTSECTION_MAX; ++s)
        if (english.sectionstart[s] > 0 && t.sectionstart[s] == 0) {
            std::snprintf(why, sizeof why, "lacks section %03d", s);
            return why;
        }
    return {};
}

// The language the tables are read in, and where each language's tables live (kept beside the reader, so that
// the loaders build without the rest of the language code).
int curlanguage = 0;
const char* const languagecode[LANGUAGES] = {"en", "de", "fr", "es", "it", "pt_BR", "nl"};

std::string languagefolder(int language) {
    if (language <= 0 || language >= LANGUAGES) return "data\\texts/";
    return std::string("data\\texts/") + languagecode[language] + "/";
}

namespace {
TextTable englishscratch;  // the English table a translation is checked against

void readtable(TextTable& t, const char* name, int lines, int first_section) {
    const std::string english = languagefolder(0) + name;
    if (curlanguage <= 0 || curlanguage >= LANGUAGES) {
        readtexttable(t, english, lines, first_section);
        return;
    }
    const std::string path = resolve_path(languagefolder(curlanguage) + name);
    std::string bytes, why;
    readresult got = read_file(path, bytes, TEXTFILE_MAX);
    if (got != READ_OK) {
        why = read_result_text(got);
    } else {
        readtexttable(englishscratch, english, lines, first_section);
        why = parsetranslation(bytes, englishscratch, lines, first_section, t);
        if (why.empty()) return;
    }
    std::printf("text table %s %s: the English one is used\n", path.c_str(), why.c_str());
    readtexttable(t, english, lines, first_section);
}
}  // namespace

void readmenutexts() { readtable(menutexts, "menutexts.txt", 300, 1); }
void readstorytexts() { readtable(storytexts, "storytexts.txt", 1000, 0); }
void readgametexts() { readtable(gametexts, "gametexts.txt", 300, 1); }
void readalltexts() {
    readmenutexts();
    readstorytexts();
    readgametexts();
}

namespace {
const std::string empty_text;

const std::string& lookup(const TextTable& t, int s, int n) {
    if (s < 0 || s > 100) return empty_text;
    int i = t.sectionstart[s] + n;
    if (i < 1 || i > t.lines) return empty_text;
    return t.text[i];
}
}  // namespace

const std::string& menutext(int s, int n) { return lookup(menutexts, s, n); }
const std::string& storytext(int s, int n) { return lookup(storytexts, s, n); }
const std::string& gametext(int s, int n) { return lookup(gametexts, s, n); }
const std::string& storyprefix(int i) { return i >= 1 && i <= storytexts.lines ? storytexts.prefix[i] : empty_text; }
