// Reading and writing levels.lvl: two header ints, then one record per level of 144 cells (stone code, chain
// code) and six ints, all 32-bit little-endian.
#pragma once
#include <string>
#include <vector>

#include "aztec/catalogue.h"

struct levelrecord {
    int stonecode[CATALOGUE_CELLS + 1];  // [1..144], -1 empty
    int chaincode[CATALOGUE_CELLS + 1];  // [1..144], -1 no chain
    int challenge, type, time3, time2, moves3, moves2;
    bool operator==(const levelrecord&) const = default;
};

// A whole catalogue file: the two header ints and the 150 records.
struct catalogue {
    int header[2] = {0, 0};
    std::vector<levelrecord> levels;
    bool operator==(const catalogue&) const = default;
};
// Decodes the first 176408 bytes of a catalogue (bytes past them are never read). On a file too short to hold
// every record returns false and says so in `error`.
bool decodecatalogue(const std::string& bytes, catalogue* out, std::string* error);
// The 176408 bytes of a catalogue; records past the given ones are written as the empty record.
std::string encodecatalogue(const catalogue& cat);

// An empty aztec record: every cell -1, a time challenge with generous thresholds.
levelrecord emptylevelrecord();
// Cell number 1..144 of column c and row r (row 0 lies on the floor).
int levelcell(int c, int r);

// Reads record `level` (1-based) of the file at a real path. Returns 1 on success, 0 when the file is missing
// or too short to hold that record.
int readlevelrecord(const std::string& path, int level, levelrecord* out);
// Reads every complete record of the file; empty when the file is missing.
std::vector<levelrecord> readlevelfile(const std::string& path);
// Writes a catalogue of the given records, padded with empty records to 150 levels. Returns 1 on success.
int writelevelfile(const std::string& path, const std::vector<levelrecord>& levels);

// Record from / to the 294 ints of the file layout.
void decodelevelrecord(const int* ints, levelrecord* out);
void encodelevelrecord(const levelrecord& rec, int* ints);
