// The shipped adventure keeps its layouts apart: a player who meets the same shape of stones twice, or a level
// that is the last one with a few stones moved, has seen nothing new.
#include <gtest/gtest.h>

#include <algorithm>
#include <map>
#include <string>
#include <vector>

#include "aztec/levelsource.h"

namespace {
// Cells 1..144 of the aztec levels, in level order with their numbers.
struct board {
    int level;
    std::vector<bool> occupied;
    int cells;
};

std::vector<board> boards() {
    std::vector<levelrecord> levels;
    std::string error;
    EXPECT_TRUE(readlevelsources(std::string(OMBRIVALE_SOURCE_DIR) + "/assets/levels", &levels, &error)) << error;
    std::vector<board> out;
    for (size_t i = 0; i < levels.size(); ++i) {
        if (levels[i].type != 1) continue;
        board b{(int)i + 1, std::vector<bool>(CATALOGUE_CELLS + 1, false), 0};
        for (int c = 1; c <= CATALOGUE_CELLS; ++c)
            if (levels[i].stonecode[c] >= 0) b.occupied[(size_t)c] = true, b.cells += 1;
        out.push_back(b);
    }
    return out;
}

int shared(const board& a, const board& b) {
    int n = 0;
    for (int c = 1; c <= CATALOGUE_CELLS; ++c) n += a.occupied[(size_t)c] && b.occupied[(size_t)c];
    return n;
}
}  // namespace

TEST(Variety, NoTwoBoardsCoverTheSameCellsAndNeighboursShareAtMostThreeFifths) {
    const std::vector<board> all = boards();
    ASSERT_EQ(all.size(), 84u);
    std::map<std::vector<bool>, int> seen;
    for (const board& b : all) {
        auto it = seen.find(b.occupied);
        if (it != seen.end()) ADD_FAILURE() << "level " << b.level << " covers the same cells as level " << it->second;
        seen.emplace(b.occupied, b.level);
    }
    // Measured from each side: a small board laid wholly inside the next one's cells is no new layout either.
    for (size_t i = 1; i < all.size(); ++i) {
        const board &a = all[i - 1], &b = all[i];
        const int n = shared(a, b);
        EXPECT_LE(5 * n, 3 * std::min(a.cells, b.cells))
            << "levels " << a.level << " and " << b.level << " share " << n << " of their " << a.cells << " and "
            << b.cells << " cells";
    }
}
