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

// Decodes a PNG or JPEG file (by its first bytes). Returns false when missing or undecodable.
bool decode_image_file(const std::string& path, Pixels& out);
bool decode_image_memory(const uint8_t* data, size_t size, Pixels& out);
// Writes RGBA pixels as a PNG file. Returns false on failure.
bool write_png_file(const std::string& path, const uint8_t* rgba, int w, int h);
