// Scenery painters of the backgrounds: sky, clouds, ridges, step temples, jungle crowns, trunks, vines,
// ferns and big leaves. Each paints into a float image; the backgrounds generator composes them in layers.
#pragma once
#include "art.h"

namespace scene {
using art::Img;
using gen::Col;

// Vertical sky gradient through three colours with a sun glow at (sx, sy).
void sky(Img& img, Col top, Col mid, Col horizon, double horizon_y, double sx, double sy, Col sun, double sun_r);
// Soft fbm clouds between y0 and y1, lit from the top left.
void clouds(Img& img, double y0, double y1, Col light, Col shade, double cover, uint32_t seed);
// A ridge of hills filled down to the bottom: base height, amplitude, feature width.
void ridge(Img& img, double base, double amp, double scale, Col top, Col bottom, uint32_t seed);
// A horizontal band of mist.
void mist(Img& img, double y, double height, Col c, double strength, uint32_t seed);
// A step temple with its stair and shrine, base centre (x, y), width w; haze mixes it toward `haze`.
Img temple(int W, int H, double x, double y, double w, int tiers, Col stone, Col shadow, Col haze, double hazeamt,
           uint32_t seed);
// Rounded jungle crowns along the bottom: a band of foliage reaching up to about `top`.
Img canopy(int W, int H, double top, double bottom, double blob, Col light, Col dark, double relief, uint32_t seed,
           double clear_from = -1, double clear_to = -1);
// Tree trunks at the given x positions, rising from the bottom to above the top.
Img trunks(int W, int H, const std::vector<double>& xs, double width, Col bark, Col dark, uint32_t seed);
// Vines hanging from the top at the given x positions.
Img vines(int W, int H, const std::vector<double>& xs, double maxlen, Col leaf, Col dark, uint32_t seed);
// Ferns and broad leaves growing from the bottom edge and the sides (the corners of the picture).
Img foreground(int W, int H, Col leaf, Col dark, Col rim, uint32_t seed, double density);
// Mixes every pixel toward c by amount (keeping alpha).
void haze(Img& img, Col c, double amount);
}  // namespace scene
