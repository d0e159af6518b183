#include "aztec/board.h"

int stone_kind[PLAYERSLOTS][BOARDSLOTS];
int stone_x[PLAYERSLOTS][BOARDSLOTS];
int stone_y[PLAYERSLOTS][BOARDSLOTS];
int stone_spare[PLAYERSLOTS][BOARDSLOTS];
int stone_falling[PLAYERSLOTS][BOARDSLOTS];
int stone_group[PLAYERSLOTS][BOARDSLOTS];
int stone_glint[PLAYERSLOTS][BOARDSLOTS];
int stone_shake[PLAYERSLOTS][BOARDSLOTS];
int stone_chain[PLAYERSLOTS][BOARDSLOTS][4];
int stone_fallframes[BOARDSLOTS];

int boardleft = 0;
int topslot = 0;
int shotcolour = 0, nextcolour = 1;
int colourcount[21];
int colourstones = 0, nocolours = 0;
int floorline = boardtop;
int scrollleft = 0;
int settled = 1;
int cannonslot = 0;
int resumeflag = 0;

void prepare_level() {}
int addstone(int, int, int, int) { return 157; }
void countcolours() {}
void randomstone() {}
int stonecolour(int) { return 0; }
