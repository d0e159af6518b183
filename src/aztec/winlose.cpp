#include "aztec/winlose.h"

#include "aztec/levelrun.h"

void makewin() {
    wintest();
    wincounting();
    if (wincount > 0) drawwinscreen();
}

void makelose() {
    losetest();
    if (losecount > 0) drawlosescreen();
}

void drawwinscreen() {}
void drawlosescreen() {}
