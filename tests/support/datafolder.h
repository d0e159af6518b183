// Test support: a data folder of the test's own, with small image files made on the spot.
#pragma once
#include <cstdint>
#include <string>

// Opens the headless platform, makes a fresh folder named after the running test, points the game's data
// there (basedir) and turns on the automatic mid-handles the game uses. Returns the folder.
std::string own_data_folder();
// The game's data back at the build folder.
void build_data_folder();
// Writes a w x h PNG of one colour (any name: the game's loader tells PNG from JPEG by the first bytes).
bool write_solid_png(const std::string& path, int w, int h, uint8_t r, uint8_t g, uint8_t b, uint8_t a = 255);
// RGBA of the window pixel that shows logical point (lx, ly) in a frame read back from the 800 x 600 window.
uint32_t frame_pixel(const uint8_t* rgba, int w, int lx, int ly);
