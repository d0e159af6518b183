// Test support: writes level catalogues in the game's binary layout from a few chosen cells.
#pragma once
#include <string>
#include <vector>

struct TestLevel {
    int code[145];   // stone code per cell 1..144 (-1 empty)
    int chain[145];  // chain code per cell 1..144 (-1 none)
    int challenge = 1, type = 1, time3 = 60, time2 = 90, moves3 = 20, moves2 = 30;
    TestLevel();
};

// 150 aztec levels (index 1..150; index 0 unused) with every cell empty.
std::vector<TestLevel> blank_levels();
// Writes <base>/data/levelz/levels.lvl (creating the folders); `bytes` < 0 writes the whole file, otherwise
// only its first `bytes` bytes. Returns the file's path.
std::string write_levels(const std::string& base, const std::vector<TestLevel>& levels, long bytes = -1);
