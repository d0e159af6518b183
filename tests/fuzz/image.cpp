// PNG and JPEG through the game's image code: decoding within the size cap, masking, and cutting cells.
#include <vector>

#include "fuzz.h"
#include "platform/imagefile.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    Pixels p;
    if (!decode_image_memory(data, size, p)) return 0;
    FUZZ_CHECK(p.w >= 1 && p.h >= 1 && p.w <= IMAGE_MAX_SIDE && p.h <= IMAGE_MAX_SIDE);
    FUZZ_CHECK(p.rgba.size() == (size_t)p.w * p.h * 4);
    if (!p.has_alpha) {
        mask_pixels(p, p.rgba[0], p.rgba[1], p.rgba[2]);
        FUZZ_CHECK(p.rgba[3] == 0);
    }
    // Cell sizes taken from the input's last bytes, as a sheet might be cut.
    const int cw = 1 + data[size - 1] % 64, ch = 1 + data[size / 2] % 64, first = data[size / 3] % 8;
    std::vector<CellRect> cells;
    if (cut_cells(p.w, p.h, cw, ch, first, 1 + data[0] % 32, cells))
        for (const CellRect& c : cells) FUZZ_CHECK(c.x >= 0 && c.y >= 0 && c.x + c.w <= p.w && c.y + c.h <= p.h);
    return 0;
}
