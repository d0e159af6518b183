// Hand-made aztec boards that between them use every stone kind, for the solver and the level tool.
#pragma once
#include <vector>

#include "aztec/levelfile.h"

std::vector<levelrecord> testboards();
