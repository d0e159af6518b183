#include "aztec/catalogue.h"

void load_all_levels() {}
