// The shipped adventure: the layout of its 105 levels, what each one teaches, fairness of every board and a full
// play-through by the level solver.
#include <gtest/gtest.h>
#include <sys/wait.h>

#include <algorithm>
#include <cstdio>
#include <cstring>
#include <filesystem>
#include <map>
#include <set>
#include <sstream>

#include "aztec/levelsource.h"
#include "aztec/solver.h"
#include "platform/random.h"
#include "storage/settings.h"
#include "support/headless.h"

namespace {
const std::vector<levelrecord>& adventure() {
    static std::vector<levelrecord> levels;
    if (levels.empty()) {
        std::string error;
        EXPECT_TRUE(readlevelsources(std::string(OMBRIVALE_SOURCE_DIR) + "/assets/levels", &levels, &error))
            << error;
    }
    return levels;
}
const levelrecord& level(int n) { return adventure()[(size_t)n - 1]; }

int count(const levelrecord& r, int lo, int hi) {
    int n = 0;
    for (int c = 1; c <= CATALOGUE_CELLS; ++c) n += r.stonecode[c] >= lo && r.stonecode[c] <= hi;
    return n;
}
int chained(const levelrecord& r, int chains) {
    int n = 0;
    for (int c = 1; c <= CATALOGUE_CELLS; ++c) n += r.chaincode[c] == chains - 1;
    return n;
}
int code(const levelrecord& r, int c, int row) {
    return c < 0 || c > 11 || row < 0 || row > 11 ? -1 : r.stonecode[levelcell(c, row)];
}
bool colourcode(int k) { return (k >= 0 && k <= 8) || (k >= 60 && k <= 68); }
int colourof(int k) { return k <= 8 ? k + 1 : (k == 61 ? 0 : k - 59); }  // 0: a variant of random colour
bool inert(int k) { return k >= 10 && k <= 28; }
int colours(const levelrecord& r) {
    std::set<int> seen;
    for (int c = 1; c <= CATALOGUE_CELLS; ++c)
        if (colourcode(r.stonecode[c]) && colourof(r.stonecode[c]) > 0) seen.insert(colourof(r.stonecode[c]));
    return (int)seen.size();
}
bool aztec(int n) { return n % 5 != 0; }

// The largest group one shot can make on a level's opening board: the stone lands on top of a column and joins
// every touching stone of its colour (and theirs).
int bestlanding(const levelrecord& r) {
    int best = 0;
    for (int c = 0; c < 12; ++c) {
        int h = 0;
        while (h < 12 && code(r, c, h) >= 0) ++h;
        if (h >= 12) continue;
        for (int colour = 1; colour <= 9; ++colour) {
            bool seen[12][12] = {};
            int size = 1, stack[144][2], top = 0;
            stack[top][0] = c, stack[top++][1] = h;
            seen[c][h] = true;
            while (top > 0) {
                --top;
                const int x = stack[top][0], y = stack[top][1];
                const int nb[4][2] = {{x - 1, y}, {x + 1, y}, {x, y - 1}, {x, y + 1}};
                for (const auto& q : nb) {
                    const int k = code(r, q[0], q[1]);
                    if (k < 0 || seen[q[0]][q[1]] || !colourcode(k) || colourof(k) != colour) continue;
                    seen[q[0]][q[1]] = true;
                    size += 1;
                    stack[top][0] = q[0], stack[top++][1] = q[1];
                }
            }
            best = std::max(best, size);
        }
    }
    return best;
}

// The occupied part of a grid as text, optionally mirrored: boards that differ only by a shift or a mirror
// give the same text.
std::string shapeof(const levelrecord& r, bool mirror) {
    int c0 = 12, c1 = -1, r0 = 12, r1 = -1;
    for (int row = 0; row < 12; ++row)
        for (int c = 0; c < 12; ++c)
            if (code(r, c, row) >= 0) c0 = std::min(c0, c), c1 = std::max(c1, c), r0 = std::min(r0, row), r1 = std::max(r1, row);
    std::string s;
    for (int row = r0; row <= r1; ++row) {
        for (int i = c0; i <= c1; ++i) {
            const int c = mirror ? c1 - (i - c0) : i;
            s += std::to_string(code(r, c, row)) + "/" + std::to_string(r.chaincode[levelcell(c, row)]) + " ";
        }
        s += "\n";
    }
    return s;
}
}  // namespace

TEST(Adventure, EveryFifthLevelIsAMatchThreeGameWithMudAndTheRestAreAztecBoards) {
    ASSERT_EQ(adventure().size(), 105u);
    for (int n = 1; n <= 105; ++n) {
        const levelrecord& r = level(n);
        if (!aztec(n)) {
            EXPECT_EQ(r.type, 2) << n;
            EXPECT_EQ(r.challenge, 1) << n;  // the countdown bar runs on every match-3 board
            EXPECT_GT(count(r, 81, 83), 0) << n << ": a match-3 board without mud is won before it starts";
            EXPECT_EQ(count(r, 1, 1) + count(r, 81, 83) + count(r, -1, -1), CATALOGUE_CELLS) << n;
        } else {
            EXPECT_EQ(r.type, 1) << n;
            EXPECT_TRUE(r.challenge == 1 || r.challenge == 2) << n;
            EXPECT_GT(count(r, 0, 8), 2) << n;
            // At difficulty 4 a move level takes six shots off its marks; three stars must stay possible.
            EXPECT_GT(r.moves3, 6) << n;
        }
        EXPECT_GT(r.time3, 0) << n;
    }
}

TEST(Adventure, TheFirstLevelsTeachOneThingAtATimeInTheOrderOfTheHelpPages) {
    ASSERT_EQ(adventure().size(), 105u);
    EXPECT_EQ(level(1).challenge, 1);
    EXPECT_EQ(level(2).challenge, 1);
    EXPECT_EQ(level(3).challenge, 2);  // the first shot count
    for (int n = 1; n <= 3; ++n) {
        EXPECT_EQ(count(level(n), 9, 99), 0) << n << " uses only colour stones";
        EXPECT_EQ(chained(level(n), 1) + chained(level(n), 2) + chained(level(n), 3), 0) << n;
    }
    EXPECT_LT(bestlanding(level(1)), 5) << "level 1 is about groups of three";
    EXPECT_GE(bestlanding(level(2)), 5) << "on level 2 one shot makes five in a row";
    EXPECT_GT(chained(level(4), 1), 0);
    EXPECT_GT(count(level(6), 91, 93), 0);
    EXPECT_GT(count(level(7), 71, 73), 0);
    EXPECT_GT(count(level(10), 82, 83), 0);
    // Nothing shows up before the level that teaches it.
    auto first = [](auto has) {
        for (int n = 1; n <= 105; ++n)
            if (has(level(n))) return n;
        return 0;
    };
    EXPECT_EQ(first([](const levelrecord& r) { return chained(r, 1) + chained(r, 2) + chained(r, 3) > 0; }), 4);
    EXPECT_EQ(first([](const levelrecord& r) { return count(r, 91, 93) > 0; }), 6);
    EXPECT_EQ(first([](const levelrecord& r) { return count(r, 71, 73) > 0; }), 7);
    EXPECT_EQ(first([](const levelrecord& r) { return count(r, 82, 83) > 0; }), 10);
    // Sleeping (inert) and ghost (variant) stones each get a level of their own to appear in: nothing else
    // special on it, and a superstone within reach of the ghosts.
    const int sleepers = first([](const levelrecord& r) { return count(r, 10, 28) > 0; });
    const int ghosts = first([](const levelrecord& r) { return count(r, 60, 68) > 0; });
    for (int n : {sleepers, ghosts}) {
        ASSERT_GT(n, 7);
        const levelrecord& r = level(n);
        EXPECT_EQ(count(r, 71, 73) + count(r, 91, 93), 0) << n;
        EXPECT_EQ(chained(r, 1) + chained(r, 2) + chained(r, 3), 0) << n;
        EXPECT_EQ(count(r, 10, 28) > 0 && count(r, 60, 68) > 0, false) << n;
    }
    EXPECT_GE(bestlanding(level(ghosts)), 5);
}

TEST(Adventure, EachRegionAsksMoreAndEndsOnItsBiggestBoard) {
    ASSERT_EQ(adventure().size(), 105u);
    int lastmin = 0, lastmax = 0;
    for (int s = 1; s <= 7; ++s) {
        int lo = 9, hi = 0, biggest = 0, showpiece = (s - 1) * 15 + 14;
        bool strengths[4] = {}, chains[4] = {};
        for (int n = (s - 1) * 15 + 1; n <= s * 15; ++n) {
            if (!aztec(n)) continue;
            const levelrecord& r = level(n);
            lo = std::min(lo, colours(r));
            hi = std::max(hi, colours(r));
            for (int g = 1; g <= 3; ++g) strengths[g] |= count(r, 74 - g, 74 - g) > 0, chains[g] |= chained(r, g) > 0;
            const int stones = CATALOGUE_CELLS - count(r, -1, -1);
            if (n != showpiece) biggest = std::max(biggest, stones);
        }
        EXPECT_GE(lo, lastmin) << "region " << s;
        EXPECT_GE(hi, lastmax) << "region " << s;
        if (s == 1) {
            EXPECT_EQ(hi, 3);
        }
        // The last region brings all seven colours, on its hardest boards; its time levels keep fewer, so that
        // a casual player can keep the countdown bar up.
        if (s == 7) {
            EXPECT_EQ(hi, 7);
        }
        if (s >= 3)
            for (int g = 1; g <= 3; ++g) {
                EXPECT_TRUE(strengths[g]) << "region " << s << " has no granite of strength " << g;
                EXPECT_TRUE(chains[g]) << "region " << s << " has no stone with " << g << " chains";
            }
        const int stones = CATALOGUE_CELLS - count(level(showpiece), -1, -1);
        EXPECT_GT(stones, biggest + 8) << "the showpiece " << showpiece << " is no bigger than its region's levels";
        lastmin = lo, lastmax = hi;
    }
}

TEST(Adventure, NoTwoLevelsAreAlikeNotEvenShiftedOrMirrored) {
    std::map<std::string, int> seen;
    for (int n = 1; n <= (int)adventure().size(); ++n) {
        for (bool mirror : {false, true}) {
            auto it = seen.find(shapeof(level(n), mirror));
            if (it != seen.end() && it->second != n) ADD_FAILURE() << "level " << n << " repeats level " << it->second;
        }
        seen.emplace(shapeof(level(n), false), n);
    }
}

TEST(Adventure, EveryAztecBoardStandsAndKeepsItsAnimalsWithinReachOfTheFloor) {
    for (int n = 1; n <= (int)adventure().size(); ++n) {
        if (!aztec(n)) continue;
        const levelrecord& r = level(n);
        for (int c = 0; c < 12; ++c)
            for (int row = 1; row < 12; ++row) {
                const int k = code(r, c, row);
                if (k < 0) continue;
                EXPECT_GE(code(r, c, row - 1), 0) << "level " << n << ": a stone floats in column " << c;
                for (int below = 0; below < row; ++below) {
                    const int b = code(r, c, below);
                    // An animal rides its column down; a stone that never leaves would keep it up for good.
                    if (k >= 91 && k <= 93) {
                        EXPECT_TRUE(colourcode(b)) << "level " << n << ": animal in column " << c;
                    }
                    // A sleeping stone above others could fall into a pit and wall in the last stone of a colour.
                    if (inert(k)) {
                        EXPECT_TRUE(inert(b)) << "level " << n << ": sleeping stone in column " << c;
                    }
                }
            }
    }
}

// An animal ends up on the last stone of its column. When that stone sits on the floor between sleeping stones
// (or a sleeping stone and the wall), nothing can ever land beside it: it never clears and the animal never
// reaches the floor.
TEST(Adventure, NoAnimalComesToRestOnAStoneWalledInBySleepingStones) {
    for (int n = 1; n <= (int)adventure().size(); ++n) {
        if (!aztec(n)) continue;
        const levelrecord& r = level(n);
        for (int c = 0; c < 12; ++c) {
            bool animal = false;
            for (int row = 1; row < 12; ++row) animal |= code(r, c, row) >= 91 && code(r, c, row) <= 93;
            if (!animal) continue;
            auto wall = [&](int x) { return x < 0 || x > 11 || inert(code(r, x, 0)); };
            EXPECT_FALSE(wall(c - 1) && wall(c + 1)) << "level " << n << ": the animal in column " << c
                                                     << " comes down onto a stone walled in for good";
        }
    }
}

TEST(Adventure, EveryMatchThreeBoardRefillsAndEveryMudCellLiesOnALine) {
    for (int n = 5; n <= (int)adventure().size(); n += 5) {
        const levelrecord& r = level(n);
        auto cell = [&](int c, int row) { return code(r, c, row) == 1 || (code(r, c, row) >= 81 && code(r, c, row) <= 83); };
        int cells = 0, runs = 0;
        for (int c = 0; c < 12; ++c)
            for (int row = 0; row < 12; ++row) {
                if (!cell(c, row)) continue;
                cells += 1;
                runs += !cell(c, row + 1);  // every run of cells stands on one floor item
                if (code(r, c, row) == 1) continue;
                auto line = [&](int dc, int dr) {
                    int len = 1;
                    for (int i = 1; cell(c + i * dc, row + i * dr); ++i) ++len;
                    for (int i = 1; cell(c - i * dc, row - i * dr); ++i) ++len;
                    return len;
                };
                EXPECT_TRUE(line(1, 0) >= 3 || line(0, 1) >= 3) << "level " << n << ": mud at column " << c << ", row "
                                                                << row << " can never be part of a line";
            }
        // The board keeps 150 items; one more than 149 and a cleared item is not replaced.
        EXPECT_LE(cells + runs, 149) << "level " << n;
        int t3 = 0, t2 = 0;
        match3marks(r, &t3, &t2);
        EXPECT_EQ(r.time3, t3) << "level " << n << " changed without new marks (ombrivale-levels marks)";
        EXPECT_EQ(r.time2, t2) << "level " << n;
    }
}

TEST(Adventure, ALevelPlaysTheSameWhateverWasPlayedBeforeIt) {
    ASSERT_EQ(adventure().size(), 105u);
    curplayer = 1;
    seed_rnd(3);
    const solveresult alone = solvelevel(level(3), 100);
    seed_rnd(9);
    solvelevel(level(9), 100);
    seed_rnd(3);
    const solveresult after = solvelevel(level(3), 100);
    EXPECT_EQ(alone.won, 1);
    EXPECT_EQ(after.shots, alone.shots);
    EXPECT_EQ(after.frames, alone.frames);
}

// The solver plays every aztec level of the built catalogue; it must win each one with three stars: on move
// levels even at difficulty 4, on time levels within the three-star time.
TEST(Adventure, TheSolverWinsEveryAztecLevelWithinItsMarks) {
    const std::string tool = build_dir() + "/ombrivale-levels";
    const std::string catalogue = build_dir() + "/data/levelz/levels.lvl";
    if (!std::filesystem::exists(tool) || !std::filesystem::exists(catalogue))
        GTEST_SKIP() << "the level tool or the compiled catalogue is not built";
    ASSERT_EQ(adventure().size(), 105u);
    FILE* p = popen((tool + " solve " + catalogue).c_str(), "r");
    ASSERT_NE(p, nullptr);
    std::string out;
    char buf[4096];
    size_t got;
    while ((got = fread(buf, 1, sizeof buf, p)) > 0) out.append(buf, got);
    const int rc = pclose(p);
    EXPECT_EQ(WEXITSTATUS(rc), 0) << out;
    std::istringstream lines(out);
    std::string line;
    int played = 0;
    while (std::getline(lines, line)) {
        int n = 0, shots = 0, seconds = 0;
        char verdict[16] = "";
        if (std::sscanf(line.c_str(), "level %d: %15[^,], %d shots, %d seconds", &n, verdict, &shots, &seconds) != 4)
            continue;
        ASSERT_TRUE(n >= 1 && n <= 105) << line;
        const levelrecord& r = level(n);
        played += 1;
        EXPECT_STREQ(verdict, "won") << line;
        if (r.challenge == 2) {
            EXPECT_LE(shots, r.moves3 - 6) << line;
        } else {
            EXPECT_LE(seconds, r.time3) << line;
        }
    }
    EXPECT_EQ(played, 84);
}
