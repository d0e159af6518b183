#include "match3/match3.h"

TImage m3itemimage[5][30];
M3Cell m3cells[201];
M3Item m3items[201];
int m3resume = 0;

void loadmatch3stuff() {}
void m3enter() {}
void m3freebackdrop() {}
TImage m3backdrop;
TImage m3mudimage[5];
void m3frame() {}
void m3nostartlines() {}
int m3mudleft() { return 0; }
