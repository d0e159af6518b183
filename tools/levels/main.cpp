// ombrivale-levels: tools for the level catalogue levels.lvl.
//   compile DIR OUT  compiles the level sources 001.lvl, 002.lvl, ... of DIR into the catalogue OUT;
//                    an error in a source names its file, line and column and exits 1.
//   dump FILE        prints a catalogue back as level sources.
//   solve FILE       plays every aztec level of the catalogue with the level solver, one line per level;
//                    exits 1 when a level was not won.
#include <cstdio>
#include <cstring>
#include <string>
#include <vector>

#include <filesystem>

#include "aztec/levelfile.h"
#include "aztec/levelsource.h"
#include "aztec/solver.h"
#include "platform/random.h"
#include "platform/random.h"
#include "storage/settings.h"

namespace {
int usage() {
    std::fprintf(stderr,
                 "usage: ombrivale-levels compile DIR OUT | dump FILE | solve FILE\n"
                 "  compile DIR OUT  compile the level sources 001.lvl ... of DIR into the catalogue OUT\n"
                 "  dump FILE        print a level catalogue as level sources\n"
                 "  solve FILE       play every aztec level of a level catalogue and report won, shots and seconds\n");
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
        seed_rnd((int32_t)(1000 + i));  // each level plays the same way however the catalogue is run
        seed_rnd((int32_t)(i + 1));  // each level plays the same whatever was solved before it
        solveresult r = solvelevel(levels[i], 400);
        played += 1;
        if (!r.won) failed += 1;
        std::printf("level %zu: %s, %d shots, %d seconds\n", i + 1, r.won ? "won" : "NOT WON", r.shots, r.seconds);
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
    return usage();
}
