// The level catalogue levels.lvl: 150 level records read at start-up into leveltable (room for 200 levels).
#pragma once

enum { LEVELSLOTS = 201, LEVELSTONES = 157 };  // levels [1..200], stone list slots [1..156]

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

void load_all_levels();
int addlevelstone(int level, int x, int y, int kind, int chains);
