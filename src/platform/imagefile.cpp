#include "platform/imagefile.h"

#include <png.h>
#include <jpeglib.h>

#include <csetjmp>
#include <cstdio>
#include <cstring>
#include <fstream>
#include <iterator>

namespace {

bool decode_png(const uint8_t* data, size_t size, Pixels& out) {
    png_image img;
    std::memset(&img, 0, sizeof img);
    img.version = PNG_IMAGE_VERSION;
    if (!png_image_begin_read_from_memory(&img, data, size)) return false;
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

bool decode_jpeg(const uint8_t* data, size_t size, Pixels& out) {
    jpeg_decompress_struct cinfo;
    JpegError err;
    cinfo.err = jpeg_std_error(&err.mgr);
    err.mgr.error_exit = jpeg_fail;
    err.mgr.emit_message = jpeg_quiet;
    if (setjmp(err.jump)) {
        jpeg_destroy_decompress(&cinfo);
        return false;
    }
    jpeg_create_decompress(&cinfo);
    jpeg_mem_src(&cinfo, data, (unsigned long)size);
    jpeg_read_header(&cinfo, TRUE);
    cinfo.out_color_space = JCS_RGB;
    jpeg_start_decompress(&cinfo);
    out.w = (int)cinfo.output_width;
    out.h = (int)cinfo.output_height;
    out.has_alpha = false;
    out.rgba.assign((size_t)out.w * out.h * 4, 255);
    std::vector<uint8_t> row((size_t)out.w * 3);
    while (cinfo.output_scanline < cinfo.output_height) {
        int y = (int)cinfo.output_scanline;
        JSAMPROW rp = row.data();
        jpeg_read_scanlines(&cinfo, &rp, 1);
        uint8_t* dst = &out.rgba[(size_t)y * out.w * 4];
        for (int x = 0; x < out.w; ++x) {
            dst[x * 4 + 0] = row[x * 3 + 0];
            dst[x * 4 + 1] = row[x * 3 + 1];
            dst[x * 4 + 2] = row[x * 3 + 2];
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
    if (size >= 3 && data[0] == 0xFF && data[1] == 0xD8 && data[2] == 0xFF) return decode_jpeg(data, size, out);
    return false;
}

bool decode_image_file(const std::string& path, Pixels& out) {
    std::ifstream f(path, std::ios::binary);
    if (!f) return false;
    std::vector<uint8_t> bytes((std::istreambuf_iterator<char>(f)), std::istreambuf_iterator<char>());
    return decode_image_memory(bytes.data(), bytes.size(), out);
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
