// Drawing the board, scrolling, and the level preview.
#pragma once

void loadaztecstuff();
