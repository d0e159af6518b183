// ombrivale-levels: tools for the level catalogue levels.lvl.
//   compile DIR OUT  compiles the level sources 001.lvl, 002.lvl, ... of DIR into the catalogue OUT;
//                    an error in a source names its file, line and column and exits 1.
//   dump FILE        prints a catalogue back as level sources.
//   solve FILE       plays every aztec level of the catalogue with the level solver, one line per level;
//                    exits 1 when a level was not won.
//   marks DIR [N...] measures the level sources of DIR (or only levels N...): the solver plays each aztec
//                    level, a match-3 board is sized up by its cells and mud, and the star marks of the source
//                    are rewritten from that; one line per level. Exits 1 when an aztec level was not won.
//   playtest FILE ... plays every level of a catalogue many times as a casual player would (playtest.cpp).
#include <cstdio>
#include <algorithm>
#include <cstdlib>
#include <cstring>
#include <string>
#include <vector>

#include <filesystem>

#include "aztec/levelfile.h"
#include "aztec/levelsource.h"
#include "aztec/solver.h"
#include "aztec/board.h"
#include <fstream>
#include <sstream>

#include "platform/random.h"
#include "playtest.h"
#include "storage/settings.h"

namespace {
int usage() {
    std::fprintf(stderr,
                 "usage: ombrivale-levels compile DIR OUT | dump FILE | solve FILE | marks DIR | playtest FILE\n"
                 "  compile DIR OUT  compile the level sources 001.lvl ... of DIR into the catalogue OUT\n"
                 "  dump FILE        print a level catalogue as level sources\n"
                 "  solve FILE       play every aztec level of a level catalogue and report won, shots and seconds\n"
                 "  marks DIR [N...] measure the level sources of DIR and rewrite their star marks\n"
                 "  playtest FILE ... play every level of a catalogue as casual players (playtest --help)\n");
    return 2;
}

int compile(const std::string& dir, const std::string& out) {
    std::vector<levelrecord> levels;
    std::string error;
    if (!readlevelsources(dir, &levels, &error)) {
        std::fprintf(stderr, "%s\n", error.c_str());
        return 1;
    }
    std::error_code ec;
    std::filesystem::path parent = std::filesystem::path(out).parent_path();
    if (!parent.empty()) std::filesystem::create_directories(parent, ec);
    if (!writecatalogue(out, levels)) {
        std::fprintf(stderr, "ombrivale-levels: cannot write %s\n", out.c_str());
        return 1;
    }
    std::printf("compiled %zu levels into %s\n", levels.size(), out.c_str());
    return 0;
}

int dump(const std::string& path) {
    std::vector<levelrecord> levels = readlevelfile(path);
    int magic = 0, version = 0;
    if (levels.empty() || !readcatalogueheader(path, &magic, &version)) {
        std::fprintf(stderr, "ombrivale-levels: cannot read a level catalogue from %s\n", path.c_str());
        return 2;
    }
    std::printf("# %s: header %d %d, %zu records\n", path.c_str(), magic, version, levels.size());
    const levelrecord unused = unusedlevelrecord();
    for (size_t i = 0; i < levels.size(); ++i) {
        int a[LEVELRECORD_INTS], b[LEVELRECORD_INTS];
        encodelevelrecord(levels[i], a);
        encodelevelrecord(unused, b);
        bool isunused = std::memcmp(a, b, sizeof a) == 0;
        std::printf("\n=== level %03zu%s\n", i + 1, isunused ? " unused" : "");
        if (!isunused) std::printf("%s", formatlevelsource(levels[i]).c_str());
    }
    return 0;
}

// The board as the solver left it, top row first: colours 1..9 (a..i when chained), S superstone, V ghost
// (variant), I sleeping (inert), G granite, A animal, F floor. For seeing why a level was not won.
void printboard() {
    const int p = boardrow();
    std::string rows[16];
    for (auto& row : rows) row.assign(12, '.');
    for (int s = 1; s < BOARDSLOTS; ++s) {
        const int k = stone_kind[p][s];
        const int c = (stone_x[p][s] - 32) / 64, r = (stone_y[p][s] - floorline) / 64;
        if (k <= 0 || s == cannonslot || c < 0 || c > 11 || r < 0 || r > 15) continue;
        char ch = k == 10 ? 'F' : k < 10 ? (char)('0' + k) : k < 20 ? 'S' : k < 30 ? 'I' : k < 70 ? 'V' : k < 80 ? 'G' : 'A';
        if (k < 10 && stone_chain[p][s][1] == 1) ch = (char)('a' + k - 1);
        rows[r][(size_t)c] = ch;
    }
    for (int r = 15; r >= 0; --r)
        if (rows[r] != std::string(12, '.') || r == 0) std::printf("  %s\n", rows[r].c_str());
}

// Each level plays the same way whatever was solved before it.
solveresult solveone(const levelrecord& rec, int level) {
    seed_rnd((int32_t)level);
    return solvelevel(rec, 400);
}

int marks(const std::string& dir, const std::vector<int>& only) {
    std::vector<levelrecord> levels;
    std::string error;
    if (!readlevelsources(dir, &levels, &error)) {
        std::fprintf(stderr, "%s\n", error.c_str());
        return 1;
    }
    curplayer = 1;
    int failed = 0;
    for (size_t i = 0; i < levels.size(); ++i) {
        const int n = (int)i + 1;
        if (!only.empty() && std::find(only.begin(), only.end(), n) == only.end()) continue;
        const levelrecord& rec = levels[i];
        int t3 = rec.time3, t2 = rec.time2, m3 = rec.moves3, m2 = rec.moves2;
        std::string note;
        if (rec.type == 1) {
            solveresult r = solveone(rec, n);
            if (!r.won) {
                std::printf("level %d: NOT WON after %d shots\n", n, r.shots);
                printboard();
                failed += 1;
                continue;
            }
            aztecmarks(r.shots, r.seconds, &t3, &t2, &m3, &m2);
            note = "# measured: the solver clears it in " + std::to_string(r.shots) + " shots and " +
                   std::to_string(r.seconds) + " seconds";
        } else if (rec.type == 2) {
            match3marks(rec, &t3, &t2);
            m3 = m2 = 0;
        }
        char name[32];
        std::snprintf(name, sizeof name, "/%03d.lvl", n);
        const std::string path = dir + name;
        std::ifstream in(path, std::ios::binary);
        std::stringstream text;
        text << in.rdbuf();
        std::ofstream(path, std::ios::binary) << withmarks(text.str(), t3, t2, m3, m2, note);
        std::printf("level %d: %s, time %d %d, moves %d %d\n", n, note.empty() ? "match-3" : note.c_str() + 2, t3, t2,
                    m3, m2);
        std::fflush(stdout);
    }
    return failed > 0 ? 1 : 0;
}

int solve(const std::string& path) {
    std::vector<levelrecord> levels = readlevelfile(path);
    if (levels.empty()) {
        std::fprintf(stderr, "ombrivale-levels: cannot read a level catalogue from %s\n", path.c_str());
        return 2;
    }
    curplayer = 1;
    int failed = 0, played = 0;
    for (size_t i = 0; i < levels.size(); ++i) {
        if (levels[i].type != 1) continue;
        bool empty = true;
        for (int n = 1; n <= CATALOGUE_CELLS && empty; ++n) empty = levels[i].stonecode[n] < 0;
        if (empty) continue;
        solveresult r = solveone(levels[i], (int)i + 1);
        played += 1;
        if (!r.won) failed += 1;
        std::printf("level %zu: %s, %d shots, %d seconds\n", i + 1, r.won ? "won" : "NOT WON", r.shots, r.seconds);
        if (!r.won) printboard();
        std::fflush(stdout);
    }
    std::printf("%d levels played, %d won, %d not won\n", played, played - failed, failed);
    return failed > 0 ? 1 : 0;
}
}  // namespace

int main(int argc, char** argv) {
    if (argc < 2) return usage();
    std::string cmd = argv[1];
    if (cmd == "solve" && argc == 3) return solve(argv[2]);
    if (cmd == "compile" && argc == 4) return compile(argv[2], argv[3]);
    if (cmd == "dump" && argc == 3) return dump(argv[2]);
    if (cmd == "playtest") return playtestcommand(argc, argv);
    if (cmd == "marks" && argc >= 3) {
        std::vector<int> only;
        for (int i = 3; i < argc; ++i) only.push_back(std::atoi(argv[i]));
        return marks(argv[2], only);
    }
    return usage();
}
