#include "aztec/levelrun.h"

int wincount = 0;

void instgame() {}
void loadbesttimes(int) {}
