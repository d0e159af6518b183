#include "aztec/levelsource.h"

#include <algorithm>
#include <cerrno>
#include <climits>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <map>
#include <sstream>

namespace {
struct word {
    std::string text;
    int column;  // 1-based
};

std::vector<word> splitwords(const std::string& line) {
    std::vector<word> out;
    size_t i = 0;
    while (i < line.size()) {
        while (i < line.size() && (line[i] == ' ' || line[i] == '\t')) ++i;
        if (i >= line.size() || line[i] == '#') break;
        size_t start = i;
        while (i < line.size() && line[i] != ' ' && line[i] != '\t' && line[i] != '#') ++i;
        out.push_back({line.substr(start, i - start), (int)start + 1});
    }
    return out;
}

// A whole-word int32; false for anything else (signs allowed, no trailing text, no overflow).
bool parseint(const std::string& s, int* out) {
    if (s.empty()) return false;
    const char* b = s.c_str();
    char* end = nullptr;
    errno = 0;
    long long v = std::strtoll(b, &end, 10);
    if (end == b || *end != 0 || errno == ERANGE || v < INT32_MIN || v > INT32_MAX) return false;
    if (!(s[0] == '-' || s[0] == '+' || (s[0] >= '0' && s[0] <= '9'))) return false;
    *out = (int)v;
    return true;
}

struct sourceerror {
    std::string name;
    std::string* error;
    bool fail(int line, int column, const std::string& message) {
        if (error) *error = name + ":" + std::to_string(line) + ":" + std::to_string(column) + ": " + message;
        return false;
    }
};

// The stone code of an aztec token body, or false when the body names no stone.
bool aztecbody(const std::string& b, int* code) {
    if (b.size() == 1 && b[0] >= '1' && b[0] <= '9') return *code = b[0] - '1', true;
    if (b == "F") return *code = 9, true;
    if (b.size() == 2 && b[1] >= '1' && b[1] <= '9') {
        const int n = b[1] - '0';
        if (b[0] == 'I') return *code = 19 + n, true;
        if (b[0] == 'V' && n != 2) return *code = 59 + n, true;
        if (b[0] == 'G' && n <= 3) return *code = 74 - n, true;
        if (b[0] == 'A' && n <= 3) return *code = 90 + n, true;
    }
    if (b == "V?") return *code = 61, true;
    return false;
}

bool match3body(const std::string& b, int* code) {
    if (b == "o") return *code = 1, true;
    if (b.size() == 2 && b[0] == 'm' && b[1] >= '1' && b[1] <= '3') return *code = 80 + (b[1] - '0'), true;
    return false;
}

std::string prefixed(char c, int v) {
    std::string s(1, c);
    s += std::to_string(v);
    return s;
}

std::string aztectoken(int code) {
    if (code == -1) return ".";
    if (code >= 0 && code <= 8) return std::string(1, (char)('1' + code));
    if (code == 9) return "F";
    if (code >= 20 && code <= 28) return prefixed('I', code - 19);
    if (code == 61) return "V?";
    if (code >= 60 && code <= 68) return prefixed('V', code - 59);
    if (code >= 71 && code <= 73) return prefixed('G', 74 - code);
    if (code >= 91 && code <= 93) return prefixed('A', code - 90);
    return prefixed('x', code);
}

std::string match3token(int code) {
    if (code == -1) return ".";
    if (code == 1) return "o";
    if (code >= 81 && code <= 83) return prefixed('m', code - 80);
    return prefixed('x', code);
}

// File row of the n-th grid line (0 = first line written): aztec grids are drawn with the floor at the bottom,
// match-3 grids as the board appears on screen.
int filerow(int type, int gridline) { return type == 2 ? gridline : 11 - gridline; }

const std::map<std::string, int> typenames = {{"aztec", 1}, {"match3", 2}};
const std::map<std::string, int> challengenames = {{"time", 1}, {"moves", 2}};

bool namedvalue(const std::map<std::string, int>& names, const std::string& s, int* out) {
    auto it = names.find(s);
    if (it != names.end()) return *out = it->second, true;
    return parseint(s, out);
}

std::string valuename(const std::map<std::string, int>& names, int v) {
    for (const auto& [name, value] : names)
        if (value == v) return name;
    return std::to_string(v);
}
}  // namespace

levelrecord unusedlevelrecord() {
    levelrecord r = emptylevelrecord();
    r.challenge = r.type = r.time3 = r.time2 = r.moves3 = r.moves2 = 0;
    return r;
}

bool parselevelsource(const std::string& text, const std::string& name, levelrecord* out, std::string* error) {
    sourceerror err{name, error};
    levelrecord rec = emptylevelrecord();
    bool seen[4] = {false, false, false, false};  // type, challenge, time, moves
    int gridlines = -1;                           // -1 before "grid"
    int lineno = 0, gridkeyword = 0;
    std::istringstream in(text);
    std::string line;
    while (std::getline(in, line)) {
        ++lineno;
        if (!line.empty() && line.back() == '\r') line.pop_back();
        std::vector<word> words = splitwords(line);
        if (words.empty()) continue;
        if (gridlines >= 12) return err.fail(lineno, words[0].column, "text after the 12 grid rows");
        if (gridlines >= 0) {
            if (words.size() != 12)
                return err.fail(lineno, words.size() > 12 ? words[12].column : (int)line.size() + 1,
                                "a grid row needs 12 cells, found " + std::to_string(words.size()));
            const int r = filerow(rec.type, gridlines);
            for (int c = 0; c < 12; ++c) {
                const word& w = words[c];
                std::string body = w.text;
                int chain = -1;
                bool marked = false;
                size_t slash = body.find('/');
                if (slash != std::string::npos) {
                    if (!parseint(body.substr(slash + 1), &chain))
                        return err.fail(lineno, w.column + (int)slash, "bad chain code in '" + w.text + "'");
                    body = body.substr(0, slash);
                } else {
                    size_t plus = body.find('+');
                    if (plus != std::string::npos) {
                        std::string marks = body.substr(plus);
                        if (marks != "+" && marks != "++" && marks != "+++")
                            return err.fail(lineno, w.column + (int)plus, "a stone takes one to three chains '+'");
                        chain = (int)marks.size() - 1;
                        marked = true;
                        body = body.substr(0, plus);
                    }
                }
                int code = -1;
                bool known = body == "." || (rec.type == 2 ? match3body(body, &code) : aztecbody(body, &code));
                if (!known && body.size() > 1 && body[0] == 'x') known = parseint(body.substr(1), &code);
                if (!known) {
                    if (body == "V2") return err.fail(lineno, w.column, "there is no fixed variant of colour 2");
                    return err.fail(lineno, w.column,
                                    "unknown " + std::string(rec.type == 2 ? "match-3" : "aztec") + " cell '" +
                                        w.text + "'");
                }
                if (body == "." && marked) return err.fail(lineno, w.column, "an empty cell cannot be chained");
                rec.stonecode[levelcell(c, r)] = code;
                rec.chaincode[levelcell(c, r)] = chain;
            }
            ++gridlines;
            continue;
        }
        const std::string& key = words[0].text;
        auto arguments = [&](size_t n) {
            if (words.size() == n + 1) return true;
            const int col = words.size() > n + 1 ? words[n + 1].column : (int)line.size() + 1;
            return err.fail(lineno, col, "'" + key + "' takes " + std::to_string(n) + " value" + (n > 1 ? "s" : ""));
        };
        auto once = [&](int i) {
            if (!seen[i]) return seen[i] = true;
            return err.fail(lineno, words[0].column, "'" + key + "' is given twice");
        };
        if (key == "grid") {
            if (!arguments(0)) return false;
            for (int i = 0; i < 4; ++i) {
                static const char* names[4] = {"type", "challenge", "time", "moves"};
                if (!seen[i]) return err.fail(lineno, 1, std::string("'") + names[i] + "' must come before the grid");
            }
            gridlines = 0;
            gridkeyword = lineno;
        } else if (key == "type" || key == "challenge") {
            if (!once(key == "type" ? 0 : 1) || !arguments(1)) return false;
            int* field = key == "type" ? &rec.type : &rec.challenge;
            if (!namedvalue(key == "type" ? typenames : challengenames, words[1].text, field))
                return err.fail(lineno, words[1].column, "unknown " + key + " '" + words[1].text + "'");
        } else if (key == "time" || key == "moves") {
            if (!once(key == "time" ? 2 : 3) || !arguments(2)) return false;
            int a = 0, b = 0;
            if (!parseint(words[1].text, &a)) return err.fail(lineno, words[1].column, "a number is needed here");
            if (!parseint(words[2].text, &b)) return err.fail(lineno, words[2].column, "a number is needed here");
            if (a < 0) return err.fail(lineno, words[1].column, "the 3-star mark cannot be negative");
            if (b < a)
                return err.fail(lineno, words[2].column,
                                "the 2-star mark " + std::to_string(b) + " is below the 3-star mark " +
                                    std::to_string(a));
            if (key == "time") {
                rec.time3 = a;
                rec.time2 = b;
            } else {
                rec.moves3 = a;
                rec.moves2 = b;
            }
        } else {
            return err.fail(lineno, words[0].column, "unknown keyword '" + key + "'");
        }
    }
    if (gridlines < 0) return err.fail(lineno + 1, 1, "the level has no grid");
    if (gridlines < 12)
        return err.fail(lineno + 1, 1,
                        "the grid started on line " + std::to_string(gridkeyword) + " has " +
                            std::to_string(gridlines) + " of 12 rows");
    *out = rec;
    return true;
}

std::string formatlevelsource(const levelrecord& rec) {
    std::string tokens[12][12];
    size_t width = 1;
    for (int line = 0; line < 12; ++line)
        for (int c = 0; c < 12; ++c) {
            const int n = levelcell(c, filerow(rec.type, line));
            std::string t = rec.type == 2 ? match3token(rec.stonecode[n]) : aztectoken(rec.stonecode[n]);
            const int chain = rec.chaincode[n];
            if (chain >= 0 && chain <= 2 && t != ".")
                t += std::string((size_t)chain + 1, '+');
            else if (chain != -1)
                t += prefixed('/', chain);
            tokens[line][c] = t;
            if (t.size() > width) width = t.size();
        }
    std::string s;
    s += "type " + valuename(typenames, rec.type) + "\n";
    s += "challenge " + valuename(challengenames, rec.challenge) + "\n";
    s += "time " + std::to_string(rec.time3) + " " + std::to_string(rec.time2) + "\n";
    s += "moves " + std::to_string(rec.moves3) + " " + std::to_string(rec.moves2) + "\n";
    s += "grid\n";
    for (int line = 0; line < 12; ++line) {
        std::string row;
        for (int c = 0; c < 12; ++c) {
            std::string t = tokens[line][c];
            if (c < 11) t.resize(width + 1, ' ');
            row += t;
        }
        s += row + "\n";
    }
    return s;
}

void aztecmarks(int shots, int seconds, int* time3, int* time2, int* moves3, int* moves2) {
    *moves3 = shots + 6 + std::max(1, (shots + 5) / 10);
    *moves2 = *moves3 + std::max(4, (*moves3 * 35 + 99) / 100);
    *time3 = seconds + 2 * shots + 8;
    *time2 = *time3 + std::max(15, *time3 / 2);
}

void match3marks(const levelrecord& rec, int* time3, int* time2) {
    int cells = 0, layers = 0, deep = 0;
    for (int n = 1; n <= CATALOGUE_CELLS; ++n) {
        const int code = rec.stonecode[n];
        if (code != 1 && (code < 81 || code > 83)) continue;
        cells += 1;
        const int mud = code == 1 ? 0 : code - 80;
        layers += mud;
        deep += mud >= 2;
    }
    // A layer takes a line through its cell; deep cells take several lines at one spot, which is slower.
    *time3 = 30 + (layers * 11 + cells + deep * 5) / 10;
    *time2 = *time3 + std::max(30, *time3 * 3 / 5);
}

std::string withmarks(const std::string& text, int time3, int time2, int moves3, int moves2, const std::string& note) {
    std::istringstream in(text);
    std::string line, out;
    bool noted = note.empty(), ingrid = false;
    int comments = 0;
    while (std::getline(in, line)) {
        if (!line.empty() && line.back() == '\r') line.pop_back();
        std::vector<word> words = splitwords(line);
        const std::string key = words.empty() || ingrid ? "" : words[0].text;
        if (line.rfind("# measured:", 0) == 0 && !note.empty()) {
            if (!noted) out += note + "\n";
            noted = true;
            continue;
        }
        if (key == "time") {
            line = "time " + std::to_string(time3) + " " + std::to_string(time2);
        } else if (key == "moves") {
            line = "moves " + std::to_string(moves3) + " " + std::to_string(moves2);
        } else if (key == "grid") {
            ingrid = true;
        }
        if (!ingrid && !noted && line.rfind("#", 0) != 0 && comments > 0) {
            out += note + "\n";
            noted = true;
        }
        comments += line.rfind("#", 0) == 0;
        out += line + "\n";
    }
    return out;
}

bool readlevelsources(const std::string& dir, std::vector<levelrecord>* levels, std::string* error) {
    namespace fs = std::filesystem;
    std::error_code ec;
    if (!fs::is_directory(dir, ec)) {
        if (error) *error = dir + ": not a folder of level sources";
        return false;
    }
    std::map<int, std::string> files;
    for (const auto& entry : fs::directory_iterator(dir, ec)) {
        const std::string fname = entry.path().filename().string();
        if (entry.path().extension() != ".lvl") continue;
        int n = 0;
        const std::string stem = entry.path().stem().string();
        bool numbered = stem.size() == 3 && parseint(stem, &n) && stem[0] >= '0' && n >= 1;
        if (!numbered || n > CATALOGUE_LEVELS) {
            if (error) *error = entry.path().string() + ": level sources are named 001.lvl to 150.lvl";
            return false;
        }
        files[n] = entry.path().string();
    }
    if (files.empty()) {
        if (error) *error = dir + ": no level sources (001.lvl, 002.lvl, ...)";
        return false;
    }
    levels->clear();
    for (const auto& [n, path] : files) {
        if (n != (int)levels->size() + 1) {
            char want[16];
            std::snprintf(want, sizeof want, "%03d.lvl", (int)levels->size() + 1);
            if (error) *error = dir + ": " + want + " is missing";
            return false;
        }
        std::ifstream f(path, std::ios::binary);
        std::stringstream text;
        text << f.rdbuf();
        if (!f) {
            if (error) *error = path + ": cannot be read";
            return false;
        }
        levelrecord rec;
        if (!parselevelsource(text.str(), path, &rec, error)) return false;
        levels->push_back(rec);
    }
    return true;
}

int writecatalogue(const std::string& path, const std::vector<levelrecord>& levels) {
    if (levels.size() > (size_t)CATALOGUE_LEVELS) return 0;
    std::vector<unsigned char> bytes;
    bytes.reserve((size_t)levelfile_bytes);
    auto put = [&bytes](int32_t v) {
        uint32_t u = (uint32_t)v;
        for (int i = 0; i < 4; ++i) bytes.push_back((unsigned char)((u >> (8 * i)) & 0xff));
    };
    put(LEVELFILE_MAGIC);
    put(LEVELFILE_VERSION);
    const levelrecord unused = unusedlevelrecord();
    for (int n = 1; n <= CATALOGUE_LEVELS; ++n) {
        int ints[LEVELRECORD_INTS];
        encodelevelrecord(n <= (int)levels.size() ? levels[(size_t)n - 1] : unused, ints);
        for (int v : ints) put(v);
    }
    // Written beside the target and renamed, so a failed write never leaves half a catalogue in place.
    const std::string temp = path + ".part";
    FILE* f = std::fopen(temp.c_str(), "wb");
    if (!f) return 0;
    bool ok = std::fwrite(bytes.data(), 1, bytes.size(), f) == bytes.size();
    ok = (std::fclose(f) == 0) && ok;
    std::error_code ec;
    if (ok) std::filesystem::rename(temp, path, ec);
    if (!ok || ec) {
        std::filesystem::remove(temp, ec);
        return 0;
    }
    return 1;
}

bool readcatalogueheader(const std::string& path, int* magic, int* version) {
    FILE* f = std::fopen(path.c_str(), "rb");
    if (!f) return false;
    unsigned char b[8];
    bool ok = std::fread(b, 1, 8, f) == 8;
    std::fclose(f);
    if (!ok) return false;
    auto at = [&b](int i) {
        return (int)(int32_t)((uint32_t)b[i] | (uint32_t)b[i + 1] << 8 | (uint32_t)b[i + 2] << 16 |
                              (uint32_t)b[i + 3] << 24);
    };
    *magic = at(0);
    *version = at(4);
    return true;
}
