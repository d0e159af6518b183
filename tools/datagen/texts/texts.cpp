// Copies the hand-written text tables into the data folder after checking them: every line keeps its
// 13-column address, and every character (as the game upper-cases it) has a glyph in the small fonts.
// The English tables are 8-bit text; the translations (after --language CODE, copied to texts/CODE/) are
// UTF-8, checked as the game decodes them.
//   datagen_texts <data folder> [--language CODE] <table.txt>...
#include <cstdio>
#include <fstream>
#include <iterator>
#include <string>
#include <sys/stat.h>

#include "charlists.h"
#include "textcodes.h"

namespace {

// Upper case of the game's 8-bit codes, as its reader applies it.
unsigned char upper(unsigned char c) {
    if (c >= 'a' && c <= 'z') return c - 32;
    if (c >= 0xE0 && c <= 0xFE && c != 0xF7) return c - 32;
    if (c == 0x9A || c == 0x9C) return c - 16;
    if (c == 0xFF) return 0x9F;
    return c;
}

bool in_small_list(unsigned char c) {
    const char32_t cp = textcodes::markcodepoint(c);
    for (const ListEntry& e : kSmallList)
        if (cp != 0 && e.cp == cp) return true;
    return false;
}

bool check(const std::string& name, const std::string& bytes) {
    bool ok = true;
    int line = 0;
    size_t start = 0;
    while (start < bytes.size()) {
        size_t end = bytes.find('\n', start);
        if (end == std::string::npos) end = bytes.size();
        std::string l = bytes.substr(start, end - start);
        if (!l.empty() && l.back() == '\r') l.pop_back();
        ++line;
        start = end + 1;
        if (l.size() <= 13) continue;
        if (l[13 - 1] != ' ') {
            std::printf("%s:%d: the text must start at column 14 (column 13 is not blank)\n", name.c_str(), line);
            ok = false;
        }
        for (size_t i = 13; i < l.size(); ++i) {
            unsigned char c = upper((unsigned char)l[i]);
            if (c != ' ' && !in_small_list(c)) {
                std::printf("%s:%d: character 0x%02X has no glyph in the fonts\n", name.c_str(), line, c);
                ok = false;
            }
        }
    }
    return ok;
}

}  // namespace

int main(int argc, char** argv) {
    if (argc < 3) {
        std::fprintf(stderr, "usage: datagen_texts <data folder> <table.txt>...\n");
        return 2;
    }
    std::string dir = std::string(argv[1]) + "/texts";
    mkdir(argv[1], 0755);
    mkdir(dir.c_str(), 0755);
    int first = 2;
    bool utf8 = false;
    if (argc > 3 && std::string(argv[2]) == "--language") {
        dir += std::string("/") + argv[3];
        mkdir(dir.c_str(), 0755);
        first = 4;
        utf8 = true;
    }
    bool ok = true;
    for (int i = first; i < argc; ++i) {
        std::string src = argv[i];
        std::ifstream in(src, std::ios::binary);
        if (!in) {
            std::printf("datagen_texts: cannot read %s\n", src.c_str());
            ok = false;
            continue;
        }
        std::string bytes((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
        std::string name = src.substr(src.find_last_of('/') + 1);
        std::string codes = bytes;
        if (utf8) {
            const textcodes::decoderesult d = textcodes::decodeutf8(bytes, codes);
            if (!d.ok && d.cp == 0) std::printf("%s:%d: not UTF-8\n", src.c_str(), d.line);
            if (!d.ok && d.cp != 0)
                std::printf("%s:%d: character U+%04X has no glyph in the fonts\n", src.c_str(), d.line, (unsigned)d.cp);
            if (!d.ok) ok = false;
        }
        if (!check(src, codes)) ok = false;
        std::ofstream out(dir + "/" + name, std::ios::binary);
        out << bytes;
        if (!out) {
            std::printf("datagen_texts: cannot write %s/%s\n", dir.c_str(), name.c_str());
            ok = false;
        }
    }
    return ok ? 0 : 1;
}
