// The level catalogue levels.lvl: 150 level records read at start-up into leveltable (room for 200 levels).
#pragma once
#include <string>

enum { LEVELSLOTS = 201, LEVELSTONES = 157 };  // levels [1..200], stone list slots [1..156]
enum { CATALOGUE_LEVELS = 150, CATALOGUE_CELLS = 144, LEVELRECORD_INTS = 294 };
// Two header ints and 150 records of 294 ints.
const long levelfile_bytes = 4L * (2 + CATALOGUE_LEVELS * LEVELRECORD_INTS);

extern int level_challenge[LEVELSLOTS];  // 1 time, 2 moves
extern int level_type[LEVELSLOTS];       // 1 aztec, 2 match-3
extern int level_time3[LEVELSLOTS], level_time2[LEVELSLOTS];
extern int level_moves3[LEVELSLOTS], level_moves2[LEVELSLOTS];
extern int level_colourstones[LEVELSLOTS];
extern int level_animals[LEVELSLOTS];
extern int level_stone_kind[LEVELSLOTS][LEVELSTONES];
extern int level_stone_x[LEVELSLOTS][LEVELSTONES];
extern int level_stone_y[LEVELSLOTS][LEVELSTONES];
extern int level_stone_chains[LEVELSLOTS][LEVELSTONES];
extern int level_stone_chain[LEVELSLOTS][LEVELSTONES][4];  // layers [1..3]

// The path literal of the catalogue file (mixed separators are the game's own).
extern const char* const levelfile_name;

// Prints "load_all_levels()" and rebuilds leveltable from the file. A missing or short file prints what is
// wrong and leaves the table as it was.
void load_all_levels();
struct catalogue;
struct levelrecord;
// Level `level` of the catalogue load_all_levels last read, or null when none was read.
const levelrecord* keptlevelrecord(int level);
// Drops the kept records (tests of a game that never read a catalogue).
void forgetkeptlevels();
// Rebuilds leveltable (and the match-3 level cells) from a decoded catalogue.
void applycatalogue(const catalogue& cat);
int addlevelstone(int level, int x, int y, int kind, int chains);
// Reads the whole catalogue file into `bytes`. On failure prints a line naming the file and what is wrong
// and returns false.
bool read_levelfile(std::string& bytes);
// Start-up check: true when the catalogue can be read (prints the reason otherwise).
bool levelfile_ok();
