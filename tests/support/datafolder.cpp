#include "support/datafolder.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <vector>

#include "app/harness.h"
#include "platform/draw.h"
#include "platform/imagefile.h"
#include "platform/paths.h"
#include "support/headless.h"
#include "texts/texttables.h"

std::string own_data_folder() {
    headless();
    std::string base = temp_folder(::testing::UnitTest::GetInstance()->current_test_info()->name());
    basedir = base;
    set_auto_midhandle(1);
    // Texts read by earlier tests from the game's data must not show up in this folder's pictures.
    menutexts = TextTable();
    storytexts = TextTable();
    gametexts = TextTable();
    return base;
}

void build_data_folder() { basedir = build_dir() + "/"; }

bool write_solid_png(const std::string& path, int w, int h, uint8_t r, uint8_t g, uint8_t b, uint8_t a) {
    std::filesystem::create_directories(std::filesystem::path(path).parent_path());
    std::vector<uint8_t> px((size_t)w * h * 4);
    for (size_t i = 0; i < px.size(); i += 4) {
        px[i] = r;
        px[i + 1] = g;
        px[i + 2] = b;
        px[i + 3] = a;
    }
    return write_png_file(path, px.data(), w, h);
}

uint32_t frame_pixel(const uint8_t* rgba, int w, int lx, int ly) {
    int wx, wy;
    harness_window_point(lx, ly, &wx, &wy);
    const uint8_t* p = rgba + ((size_t)wy * w + wx) * 4;
    return (uint32_t)p[0] << 24 | (uint32_t)p[1] << 16 | (uint32_t)p[2] << 8 | p[3];
}
