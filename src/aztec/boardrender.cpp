#include "aztec/boardrender.h"

void loadaztecstuff() {}
