#include "match3/match3.h"

void loadmatch3stuff() {}
