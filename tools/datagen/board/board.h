// Painters of the board art, shared between the board generator's files.
#pragma once
#include "art.h"

// The three valley animals that wait on the board, 64 x 64 (1 jaguar cub, 2 parrot chick, 3 sloth).
art::Img paint_animal(int k, int size = 64);
// The same animals freed from the wall and flying off: tipped toward the upper right, looking ahead, laughing.
art::Img paint_free_animal(int k, int size = 64);
