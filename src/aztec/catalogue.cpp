#include "aztec/catalogue.h"

#include <cstdint>
#include <cstdio>
#include <fstream>
#include <iterator>

#include "aztec/board.h"
#include "match3/m3levels.h"
#include "platform/paths.h"

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
    std::ifstream f(path, std::ios::binary);
    if (!f) {
        std::printf("error: the level catalogue %s is missing or cannot be read\n", path.c_str());
        return false;
    }
    bytes.assign(std::istreambuf_iterator<char>(f), std::istreambuf_iterator<char>());
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
int32_t int_at(const std::string& b, long index) {
    const unsigned char* p = (const unsigned char*)b.data() + 4 * index;
    return (int32_t)((uint32_t)p[0] | (uint32_t)p[1] << 8 | (uint32_t)p[2] << 16 | (uint32_t)p[3] << 24);
}
// code + 1 without overflow on absurd values (the file carries no validation).
int plus1(int v) { return (int)((uint32_t)v + 1u); }
}  // namespace

void load_all_levels() {
    std::printf("load_all_levels()\n");
    std::string bytes;
    if (!read_levelfile(bytes)) return;  // keep what was read before

    for (int n = 1; n <= CATALOGUE_LEVELS; ++n) {
        for (int s = 1; s < LEVELSTONES; ++s) level_stone_kind[n][s] = 0;
        m3clearlevelcells(n);
    }
    long at = 2;  // past the two header ints
    for (int n = 1; n <= CATALOGUE_LEVELS; ++n) {
        level_animals[n] = 0;
        level_colourstones[n] = 0;
        int code[CATALOGUE_CELLS + 1], chain[CATALOGUE_CELLS + 1];
        for (int c = 1; c <= CATALOGUE_CELLS; ++c) {
            code[c] = int_at(bytes, at++);
            chain[c] = int_at(bytes, at++);
        }
        level_challenge[n] = int_at(bytes, at++);
        level_type[n] = int_at(bytes, at++);
        level_time3[n] = int_at(bytes, at++);
        level_time2[n] = int_at(bytes, at++);
        level_moves3[n] = int_at(bytes, at++);
        level_moves2[n] = int_at(bytes, at++);

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
