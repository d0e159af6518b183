#include "effects/effects.h"

void loadeffects() {}
