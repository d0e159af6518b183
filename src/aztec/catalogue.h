// The level catalogue levels.lvl.
#pragma once

void load_all_levels();
