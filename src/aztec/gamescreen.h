// The game screen around the board.
#pragma once

extern float boardalpha;  // fade of the whole board, 0..1

void showgame();
