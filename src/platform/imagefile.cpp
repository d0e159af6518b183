#include "platform/imagefile.h"

#include <png.h>
#include <jpeglib.h>

#include <csetjmp>
#include <cstdio>
#include <cstring>

#include "platform/readfile.h"

namespace {

// Reads the header; false (and nothing to free) when it is broken or the picture too large.
bool begin_png(const uint8_t* data, size_t size, png_image& img) {
    std::memset(&img, 0, sizeof img);
    img.version = PNG_IMAGE_VERSION;
    if (!png_image_begin_read_from_memory(&img, data, size)) return false;
    if (img.width == 0 || img.height == 0 || img.width > IMAGE_MAX_SIDE || img.height > IMAGE_MAX_SIDE) {
        png_image_free(&img);
        return false;
    }
    return true;
}

bool decode_png(const uint8_t* data, size_t size, Pixels& out) {
    png_image img;
    if (!begin_png(data, size, img)) return false;
    out.has_alpha = (img.format & PNG_FORMAT_FLAG_ALPHA) != 0;
    img.format = PNG_FORMAT_RGBA;
    out.w = (int)img.width;
    out.h = (int)img.height;
    out.rgba.assign((size_t)out.w * out.h * 4, 0);
    if (!png_image_finish_read(&img, nullptr, out.rgba.data(), 0, nullptr)) {
        png_image_free(&img);
        return false;
    }
    return out.w > 0 && out.h > 0;
}

struct JpegError {
    jpeg_error_mgr mgr;
    jmp_buf jump;
};

void jpeg_fail(j_common_ptr cinfo) {
    auto* err = reinterpret_cast<JpegError*>(cinfo->err);
    longjmp(err->jump, 1);
}

void jpeg_quiet(j_common_ptr, int) {}

bool decode_jpeg(const uint8_t* data, size_t size, Pixels& out, bool header_only) {
    // libjpeg reports errors by a long jump back here, which skips destructors: nothing with one may live in
    // this function across the decoding calls. The row buffer comes from libjpeg's own pool, which
    // jpeg_destroy_decompress frees.
    jpeg_decompress_struct cinfo;
    JpegError err;
    cinfo.err = jpeg_std_error(&err.mgr);
    err.mgr.error_exit = jpeg_fail;
    err.mgr.emit_message = jpeg_quiet;
    if (setjmp(err.jump)) {
        jpeg_destroy_decompress(&cinfo);
        out = Pixels();
        return false;
    }
    jpeg_create_decompress(&cinfo);
    jpeg_mem_src(&cinfo, data, (unsigned long)size);
    jpeg_read_header(&cinfo, TRUE);
    if (cinfo.image_width == 0 || cinfo.image_height == 0 || cinfo.image_width > IMAGE_MAX_SIDE ||
        cinfo.image_height > IMAGE_MAX_SIDE) {
        jpeg_destroy_decompress(&cinfo);
        return false;
    }
    if (header_only) {
        out.w = (int)cinfo.image_width;
        out.h = (int)cinfo.image_height;
        jpeg_destroy_decompress(&cinfo);
        return true;
    }
    cinfo.out_color_space = JCS_RGB;
    jpeg_start_decompress(&cinfo);
    out.w = (int)cinfo.output_width;
    out.h = (int)cinfo.output_height;
    out.has_alpha = false;
    out.rgba.assign((size_t)out.w * out.h * 4, 255);
    JSAMPARRAY row = (*cinfo.mem->alloc_sarray)((j_common_ptr)&cinfo, JPOOL_IMAGE, (JDIMENSION)out.w * 3, 1);
    while (cinfo.output_scanline < cinfo.output_height) {
        int y = (int)cinfo.output_scanline;
        jpeg_read_scanlines(&cinfo, row, 1);
        uint8_t* dst = &out.rgba[(size_t)y * out.w * 4];
        for (int x = 0; x < out.w; ++x) {
            dst[x * 4 + 0] = row[0][x * 3 + 0];
            dst[x * 4 + 1] = row[0][x * 3 + 1];
            dst[x * 4 + 2] = row[0][x * 3 + 2];
        }
    }
    jpeg_finish_decompress(&cinfo);
    jpeg_destroy_decompress(&cinfo);
    return out.w > 0 && out.h > 0;
}

}  // namespace

bool decode_image_memory(const uint8_t* data, size_t size, Pixels& out) {
    out = Pixels();
    if (size >= 8 && std::memcmp(data, "\x89PNG\r\n\x1a\n", 8) == 0) return decode_png(data, size, out);
    if (size >= 3 && data[0] == 0xFF && data[1] == 0xD8 && data[2] == 0xFF) return decode_jpeg(data, size, out, false);
    return false;
}

bool decode_image_size(const uint8_t* data, size_t size, int* w, int* h) {
    *w = *h = 0;
    if (size >= 8 && std::memcmp(data, "\x89PNG\r\n\x1a\n", 8) == 0) {
        png_image img;
        if (!begin_png(data, size, img)) return false;
        *w = (int)img.width;
        *h = (int)img.height;
        png_image_free(&img);
        return true;
    }
    if (size >= 3 && data[0] == 0xFF && data[1] == 0xD8 && data[2] == 0xFF) {
        Pixels p;
        if (!decode_jpeg(data, size, p, true)) return false;
        *w = p.w;
        *h = p.h;
        return true;
    }
    return false;
}

bool decode_image_file(const std::string& path, Pixels& out) {
    out = Pixels();
    std::string bytes;
    if (read_file(path, bytes, (size_t)64 << 20) != READ_OK) return false;
    return decode_image_memory((const uint8_t*)bytes.data(), bytes.size(), out);
}

void mask_pixels(Pixels& p, int mask_r, int mask_g, int mask_b) {
    const int w = p.w, h = p.h;
    if (w <= 0 || h <= 0 || p.rgba.size() < (size_t)w * h * 4) return;
    std::vector<uint8_t> masked((size_t)w * h, 0);
    for (size_t i = 0; i < (size_t)w * h; ++i) {
        const uint8_t* q = &p.rgba[i * 4];
        masked[i] = q[0] == mask_r && q[1] == mask_g && q[2] == mask_b;
    }
    std::vector<uint8_t> out = p.rgba;
    for (int y = 0; y < h; ++y) {
        for (int x = 0; x < w; ++x) {
            size_t i = (size_t)y * w + x;
            uint8_t* d = &out[i * 4];
            if (!masked[i]) {
                d[3] = 255;
                continue;
            }
            int sr = 0, sg = 0, sb = 0, n = 0;
            for (int dy = -1; dy <= 1; ++dy) {
                for (int dx = -1; dx <= 1; ++dx) {
                    int xx = x + dx, yy = y + dy;
                    if ((dx == 0 && dy == 0) || xx < 0 || yy < 0 || xx >= w || yy >= h) continue;
                    size_t j = (size_t)yy * w + xx;
                    if (masked[j]) continue;
                    sr += p.rgba[j * 4];
                    sg += p.rgba[j * 4 + 1];
                    sb += p.rgba[j * 4 + 2];
                    ++n;
                }
            }
            d[0] = n ? (uint8_t)(sr / n) : 0;
            d[1] = n ? (uint8_t)(sg / n) : 0;
            d[2] = n ? (uint8_t)(sb / n) : 0;
            d[3] = 0;
        }
    }
    p.rgba.swap(out);
}

bool cut_cells(int sheet_w, int sheet_h, int cell_w, int cell_h, int first, int count, std::vector<CellRect>& out) {
    out.clear();
    if (sheet_w <= 0 || sheet_h <= 0 || cell_w <= 0 || cell_h <= 0 || count <= 0 || first < 0) return false;
    const long long per_row = sheet_w / cell_w, rows = sheet_h / cell_h;
    if (per_row * rows < (long long)first + count) return false;
    out.reserve((size_t)count);
    for (int k = 0; k < count; ++k) {
        const long long n = (long long)first + k;
        out.push_back({(int)(cell_w * (n % per_row)), (int)(cell_h * (n / per_row)), cell_w, cell_h});
    }
    return true;
}

bool write_png_file(const std::string& path, const uint8_t* rgba, int w, int h) {
    png_image img;
    std::memset(&img, 0, sizeof img);
    img.version = PNG_IMAGE_VERSION;
    img.width = (png_uint_32)w;
    img.height = (png_uint_32)h;
    img.format = PNG_FORMAT_RGBA;
    return png_image_write_to_file(&img, path.c_str(), 0, rgba, 0, nullptr) != 0;
}
