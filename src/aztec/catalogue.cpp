#include "aztec/catalogue.h"

#include <algorithm>
#include <cstdint>
#include <cstdio>
#include <vector>

#include "aztec/board.h"
#include "aztec/levelfile.h"
#include "match3/m3levels.h"
#include "platform/paths.h"
#include "platform/readfile.h"

int level_challenge[LEVELSLOTS];
int level_type[LEVELSLOTS];
int level_time3[LEVELSLOTS], level_time2[LEVELSLOTS];
int level_moves3[LEVELSLOTS], level_moves2[LEVELSLOTS];
int level_colourstones[LEVELSLOTS];
int level_animals[LEVELSLOTS];
int level_stone_kind[LEVELSLOTS][LEVELSTONES];
int level_stone_x[LEVELSLOTS][LEVELSTONES];
int level_stone_y[LEVELSLOTS][LEVELSTONES];
int level_stone_chains[LEVELSLOTS][LEVELSTONES];
int level_stone_chain[LEVELSLOTS][LEVELSTONES][4];

const char* const levelfile_name = "data\\/levelz/levels.lvl";

namespace {
// The level records as load_all_levels last read them: a level is built from these when the file has gone or
// been cut short while the game runs.
std::vector<levelrecord> keptlevels;
}  // namespace

const levelrecord* keptlevelrecord(int level) {
    if (level < 1 || level > (int)keptlevels.size()) return nullptr;
    return &keptlevels[(size_t)level - 1];
}

void forgetkeptlevels() { keptlevels.clear(); }

int addlevelstone(int level, int x, int y, int kind, int chains) {
    if (level < 1 || level >= LEVELSLOTS) return LEVELSTONES;
    for (int s = 1; s < LEVELSTONES; ++s) {
        if (level_stone_kind[level][s] != 0) continue;
        level_stone_kind[level][s] = kind;
        level_stone_x[level][s] = x;
        level_stone_y[level][s] = y;
        level_stone_chains[level][s] = chains;
        for (int l = 1; l <= 3; ++l) level_stone_chain[level][s][l] = 0;
        if (chains >= 1 && chains <= 3)
            for (int l = 1; l <= chains; ++l) level_stone_chain[level][s][l] = 1;
        return s;
    }
    return LEVELSTONES;
}

bool read_levelfile(std::string& bytes) {
    std::string path = resolve_path(levelfile_name);
    readresult got = read_file(path, bytes, (size_t)64 << 20);
    if (got != READ_OK) {
        std::printf("error: the level catalogue %s is %s\n", path.c_str(), read_result_text(got));
        return false;
    }
    if ((long)bytes.size() < levelfile_bytes) {
        std::printf("error: the level catalogue %s is too short (%ld of %ld bytes)\n", path.c_str(),
                    (long)bytes.size(), levelfile_bytes);
        return false;
    }
    return true;
}

bool levelfile_ok() {
    std::string bytes;
    return read_levelfile(bytes);
}

namespace {
const int MARK_LIMIT = 1000000;
// code + 1 without overflow on absurd values (the file carries no validation).
int plus1(int v) { return (int)((uint32_t)v + 1u); }
}  // namespace

void load_all_levels() {
    std::printf("load_all_levels()\n");
    std::string bytes;
    if (!read_levelfile(bytes)) return;  // keep what was read before
    catalogue cat;
    if (!decodecatalogue(bytes, &cat, nullptr)) return;
    applycatalogue(cat);
    keptlevels = cat.levels;
}

void applycatalogue(const catalogue& cat) {
    for (int n = 1; n <= CATALOGUE_LEVELS; ++n) {
        for (int s = 1; s < LEVELSTONES; ++s) level_stone_kind[n][s] = 0;
        m3clearlevelcells(n);
    }
    for (int n = 1; n <= CATALOGUE_LEVELS; ++n) {
        const levelrecord& rec = cat.levels[(size_t)n - 1];
        level_animals[n] = 0;
        level_colourstones[n] = 0;
        const int* code = rec.stonecode;
        const int* chain = rec.chaincode;
        level_challenge[n] = rec.challenge;
        level_type[n] = rec.type;
        // The star marks enter the rating arithmetic: kept far from the ends of the int range.
        level_time3[n] = std::clamp(rec.time3, -MARK_LIMIT, MARK_LIMIT);
        level_time2[n] = std::clamp(rec.time2, -MARK_LIMIT, MARK_LIMIT);
        level_moves3[n] = std::clamp(rec.moves3, -MARK_LIMIT, MARK_LIMIT);
        level_moves2[n] = std::clamp(rec.moves2, -MARK_LIMIT, MARK_LIMIT);

        if (level_type[n] == 1) {
            for (int col = 0; col < 12; ++col) addlevelstone(n, 32 + 64 * col, boardtop, 10, 0);
            for (int c = 1; c <= CATALOGUE_CELLS; ++c) {
                int k = code[c];
                if (k < 0) continue;
                int col = (c - 1) % 12, row = (c - 1) / 12;
                if (k >= 10 && k <= 19) k = 20;
                addlevelstone(n, 32 + 64 * col, boardtop + 64 * row, plus1(k), plus1(chain[c]));
                if (k < 9) ++level_colourstones[n];
                if (k >= 90 && k <= 99) ++level_animals[n];
            }
        } else if (level_type[n] == 2) {
            for (int c = 1; c <= CATALOGUE_CELLS; ++c) {
                int k = code[c], variant;
                if (k == 1) variant = 0;
                else if (k >= 81 && k <= 83) variant = k - 80;
                else continue;
                m3addlevelcell(n, (c - 1) % 12, (c - 1) / 12, 1, variant);
            }
        }
    }
}
