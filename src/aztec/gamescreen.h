// The game screen around the board.
#pragma once

void showgame();
