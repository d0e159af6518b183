#include "match3/match3.h"

TImage m3itemimage[5][30];

void loadmatch3stuff() {}
void m3enter() {}
void m3freebackdrop() {}
