#include "aztec/catalogue.h"

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

void load_all_levels() {}
int addlevelstone(int, int, int, int, int) { return 157; }
