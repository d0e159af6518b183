// ombrivale-levels: tools for the level catalogue levels.lvl.
//   compile DIR OUT  compiles the level sources 001.lvl, 002.lvl, ... of DIR into the catalogue OUT;
//                    an error in a source names its file, line and column and exits 1.
//   dump FILE        prints a catalogue back as level sources.
//   solve FILE       plays every aztec level of the catalogue with the level solver, one line per level;
//                    exits 1 when a level was not won.
//   marks DIR [N...] measures the level sources of DIR (or only levels N...): the solver plays each aztec
//                    level, a match-3 board is sized up by its cells and mud, and the star marks of the source
//                    are rewritten from that; one line per level. Exits 1 when an aztec level was not won.
//                    With --playtest CSV [--player P] [--difficulty D] the marks come from a playtest's winning
//                    plays instead: three stars for the quicker quarter (half in the first section), two stars
//                    for three quarters.
//   playtest FILE ... plays every level of a catalogue many times as a casual player would (playtest.cpp).
#include <cmath>
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
                 "                   (--playtest CSV [--player P] [--difficulty D]: from a playtest's winning plays)\n"
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

// Marks from a playtest's CSV: three stars for the quicker quarter of the winning plays (half of them in the
// first section), two for three quarters, as the given player at the given difficulty played them.
int marksfromplaytest(const std::string& dir, const std::string& csv, const std::string& player, int difficulty,
                      const std::vector<int>& only) {
    std::ifstream in(csv, std::ios::binary);
    if (!in) {
        std::fprintf(stderr, "ombrivale-levels: cannot read %s\n", csv.c_str());
        return 2;
    }
    std::vector<levelrecord> levels;
    std::string error;
    if (!readlevelsources(dir, &levels, &error)) {
        std::fprintf(stderr, "%s\n", error.c_str());
        return 1;
    }
    std::string line;
    int changed = 0;
    std::getline(in, line);  // the header
    while (std::getline(in, line)) {
        std::vector<std::string> f;
        std::stringstream cells(line);
        std::string cell;
        while (std::getline(cells, cell, ',')) f.push_back(cell);
        if (f.size() < 23 || f[3] != player || std::atoi(f[2].c_str()) != difficulty) continue;
        const int n = std::atoi(f[0].c_str());
        if (n < 1 || n > (int)levels.size()) continue;
        if (!only.empty() && std::find(only.begin(), only.end(), n) == only.end()) continue;
        const levelrecord& rec = levels[(size_t)n - 1];
        if (std::atof(f[5].c_str()) <= 0) {
            std::printf("level %d: never won by the %s player at difficulty %d, marks left as they are\n", n,
                        player.c_str(), difficulty);
            continue;
        }
        const double sec25 = std::atof(f[14].c_str()), sec50 = std::atof(f[15].c_str()), sec75 = std::atof(f[16].c_str());
        const double shot25 = std::atof(f[19].c_str()), shot50 = std::atof(f[20].c_str()), shot75 = std::atof(f[21].c_str());
        const bool first = n <= 15 && rec.type == 1;
        int t3 = rec.time3, t2 = rec.time2, m3 = rec.moves3, m2 = rec.moves2;
        if (rec.type == 2 || rec.challenge == 1) {
            t3 = (int)std::lround(first ? sec50 : sec25);
            t2 = std::max(t3 + 1, (int)std::lround(sec75));
        } else {
            // The marks are stored before the difficulty takes its 2 shots a step above the first.
            m3 = (int)std::lround(first ? shot50 : shot25) + 2 * difficulty - 2;
            m2 = std::max(m3 + 1, (int)std::lround(shot75) + 2 * difficulty - 2);
        }
        char note[200];
        std::snprintf(note, sizeof note, "# measured: %s players at difficulty %d win it in a median %.0f shots and %.0f seconds",
                      player.c_str(), difficulty, shot50, sec50);
        char name[32];
        std::snprintf(name, sizeof name, "/%03d.lvl", n);
        const std::string path = dir + name;
        std::ifstream src(path, std::ios::binary);
        std::stringstream text;
        text << src.rdbuf();
        src.close();
        std::ofstream(path, std::ios::binary) << withmarks(text.str(), t3, t2, m3, m2, rec.type == 1 ? note : "");
        std::printf("level %d: time %d %d, moves %d %d\n", n, t3, t2, m3, m2);
        changed += 1;
    }
    std::printf("%d levels given marks from %s\n", changed, csv.c_str());
    return 0;
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
        std::string csv, player = "casual";
        int difficulty = 3;
        for (int i = 3; i < argc; ++i) {
            const std::string a = argv[i];
            if (a == "--playtest" && i + 1 < argc) csv = argv[++i];
            else if (a == "--player" && i + 1 < argc) player = argv[++i];
            else if (a == "--difficulty" && i + 1 < argc) difficulty = std::atoi(argv[++i]);
            else only.push_back(std::atoi(argv[i]));
        }
        if (!csv.empty()) return marksfromplaytest(argv[2], csv, player, difficulty, only);
        return marks(argv[2], only);
    }
    return usage();
}
