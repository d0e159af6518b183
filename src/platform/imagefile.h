// Decoding and encoding image files (PNG through libpng, JPEG through libjpeg).
#pragma once
#include <cstdint>
#include <string>
#include <vector>

struct Pixels {
    int w = 0, h = 0;
    bool has_alpha = false;     // the file carried an alpha channel
    std::vector<uint8_t> rgba;  // w*h*4, row-major
};

// The largest picture the game decodes: its biggest sheet is 2048 wide. A header claiming more is refused before
// any pixel memory is set aside.
enum { IMAGE_MAX_SIDE = 4096 };

// Decodes a PNG or JPEG file (by its first bytes). Returns false when missing, unreadable, undecodable or larger
// than IMAGE_MAX_SIDE either way.
bool decode_image_file(const std::string& path, Pixels& out);
bool decode_image_memory(const uint8_t* data, size_t size, Pixels& out);
// Only the size from the header of a PNG or JPEG in memory, without decoding the pixels; false where
// decode_image_memory would refuse the header.
bool decode_image_size(const uint8_t* data, size_t size, int* w, int* h);

// Masking an image without alpha: pixels of exactly the mask colour get alpha 0 and, as colour, the average of
// their unmasked neighbours (so that filtering shows no fringe); every other pixel gets alpha 255.
void mask_pixels(Pixels& p, int mask_r, int mask_g, int mask_b);

// Animation cells of a sheet: cells of cell_w x cell_h run left to right, then top to bottom; partial cells at
// the right and bottom edges do not count. Frame k is cell first + k. False when the sheet holds too few cells
// or the sizes make no sense.
struct CellRect {
    int x, y, w, h;
};
bool cut_cells(int sheet_w, int sheet_h, int cell_w, int cell_h, int first, int count, std::vector<CellRect>& out);
// Writes RGBA pixels as a PNG file. Returns false on failure.
bool write_png_file(const std::string& path, const uint8_t* rgba, int w, int h);
