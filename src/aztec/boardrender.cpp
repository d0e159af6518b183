#include "aztec/boardrender.h"

TImage stoneimage[3][11];
TImage arrowimage[10];
TImage lightimage;

void loadaztecstuff() {}
void drawkarostonesflat() {}
void draw_karo_stones_shadows() {}
void drawhiddenhints() {}
