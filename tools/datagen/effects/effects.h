// Painters of the effect images that live in their own files.
#pragma once
#include "art.h"

// Butterfly of species 1..4, frame 0..8 of 78 x 54: wings fully open at frame 0, edge-on at frame 6,
// opening again in frames 7 and 8.
art::Img butterfly(int species, int frame);
// A firefly for the background layers: a glowing tail with a small body and wings, 256 x 256.
art::Img firefly();
// The level banner (lose = false) or the lose banner: a carved medallion above a band that carries the
// headline drawn 72 pixels below the image centre.
art::Img banner(bool lose);
