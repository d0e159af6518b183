// The match-3 minigame.
#pragma once

void loadmatch3stuff();
