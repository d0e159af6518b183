// ombrivale-levels: tools for the level catalogue levels.lvl.
//   solve FILE   plays every aztec level of the catalogue with the level solver, one line per level;
//                exits 1 when a level was not won.
#include <cstdio>
#include <cstring>
#include <string>
#include <vector>

#include "aztec/levelfile.h"
#include "aztec/solver.h"
#include "platform/random.h"
#include "storage/settings.h"

namespace {
int usage() {
    std::fprintf(stderr,
                 "usage: ombrivale-levels solve FILE\n"
                 "  solve FILE   play every aztec level of a level catalogue and report won, shots and seconds\n");
    return 2;
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
    return usage();
}
