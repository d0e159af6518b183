#include "texts/texttables.h"

#include <algorithm>
#include <cctype>
#include <cstdio>

#include "platform/paths.h"
#include "platform/readfile.h"

TextTable menutexts, storytexts, gametexts;

unsigned char upper8(unsigned char c) {
    if (c >= 'a' && c <= 'z') return (unsigned char)(c - 32);
    if (c >= 0xE0 && c <= 0xFE && c != 0xF7) return (unsigned char)(c - 32);
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
            if (k >= first_section && k <= 27) t.sectionstart[k] = i;
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

void readmenutexts() { readtexttable(menutexts, "data\\texts/menutexts.txt", 300, 1); }
void readstorytexts() { readtexttable(storytexts, "data\\texts/storytexts.txt", 1000, 0); }
void readgametexts() { readtexttable(gametexts, "data\\texts/gametexts.txt", 300, 1); }

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
