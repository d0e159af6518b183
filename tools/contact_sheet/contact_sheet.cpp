// Lays out every image of each data folder on one sheet, with its file name and size, on a checkerboard so that
// transparency shows.   contact_sheet <data folder> <output folder>
#include <cairo.h>
#include <dirent.h>
#include <sys/stat.h>

#include <algorithm>
#include <cstdio>

#include <jpeglib.h>
#include <map>
#include <string>
#include <vector>

#include "canvas.h"

namespace {

bool is_dir(const std::string& p) {
    struct stat st;
    return stat(p.c_str(), &st) == 0 && S_ISDIR(st.st_mode);
}

bool ends_with(const std::string& s, const std::string& e) {
    return s.size() >= e.size() && s.compare(s.size() - e.size(), e.size(), e) == 0;
}

void collect(const std::string& root, const std::string& rel, std::map<std::string, std::vector<std::string>>& out) {
    std::string dir = rel.empty() ? root : root + "/" + rel;
    DIR* d = opendir(dir.c_str());
    if (!d) return;
    std::vector<std::string> names;
    while (dirent* e = readdir(d)) {
        std::string n = e->d_name;
        if (n != "." && n != "..") names.push_back(n);
    }
    closedir(d);
    std::sort(names.begin(), names.end());
    for (const std::string& n : names) {
        std::string sub = rel.empty() ? n : rel + "/" + n;
        if (is_dir(root + "/" + sub))
            collect(root, sub, out);
        else if (ends_with(n, ".png") || ends_with(n, ".jpg"))
            out[rel.empty() ? "data" : rel].push_back(sub);
    }
}

cairo_surface_t* load_jpeg(const std::string& path) {
    FILE* f = std::fopen(path.c_str(), "rb");
    if (!f) return nullptr;
    jpeg_decompress_struct cinfo;
    jpeg_error_mgr jerr;
    cinfo.err = jpeg_std_error(&jerr);
    jpeg_create_decompress(&cinfo);
    jpeg_stdio_src(&cinfo, f);
    jpeg_read_header(&cinfo, TRUE);
    cinfo.out_color_space = JCS_RGB;
    jpeg_start_decompress(&cinfo);
    int w = cinfo.output_width, h = cinfo.output_height;
    cairo_surface_t* s = cairo_image_surface_create(CAIRO_FORMAT_RGB24, w, h);
    unsigned char* data = cairo_image_surface_get_data(s);
    int stride = cairo_image_surface_get_stride(s);
    std::vector<unsigned char> row((size_t)w * 3);
    while ((int)cinfo.output_scanline < h) {
        int y = cinfo.output_scanline;
        unsigned char* rp = row.data();
        jpeg_read_scanlines(&cinfo, &rp, 1);
        uint32_t* o = reinterpret_cast<uint32_t*>(data + (size_t)y * stride);
        for (int x = 0; x < w; ++x) o[x] = 0xff000000u | row[x * 3] << 16 | row[x * 3 + 1] << 8 | row[x * 3 + 2];
    }
    cairo_surface_mark_dirty(s);
    jpeg_finish_decompress(&cinfo);
    jpeg_destroy_decompress(&cinfo);
    std::fclose(f);
    return s;
}

void checker(cairo_t* cr, double x, double y, double w, double h) {
    cairo_save(cr);
    cairo_rectangle(cr, x, y, w, h);
    cairo_clip(cr);
    for (int j = 0; j * 12 < h; ++j)
        for (int i = 0; i * 12 < w; ++i) {
            double v = (i + j) % 2 ? 0.62 : 0.78;
            cairo_set_source_rgb(cr, v, v, v);
            cairo_rectangle(cr, x + i * 12, y + j * 12, 12, 12);
            cairo_fill(cr);
        }
    cairo_restore(cr);
}

}  // namespace

int main(int argc, char** argv) {
    if (argc < 3) {
        std::fprintf(stderr, "usage: contact_sheet <data folder> <output folder>\n");
        return 2;
    }
    std::string root = argv[1], outdir = argv[2];
    gen::make_dirs(outdir);
    std::map<std::string, std::vector<std::string>> folders;
    collect(root, "", folders);
    const int kPage = 1600, kMaxTile = 380, kPad = 14, kLabel = 30;
    for (auto& [folder, files] : folders) {
        struct Tile {
            std::string name;
            cairo_surface_t* s;
            int w, h;
            double scale;
        };
        std::vector<Tile> tiles;
        for (const std::string& f : files) {
            std::string p = root + "/" + f;
            cairo_surface_t* s = ends_with(f, ".jpg") ? load_jpeg(p) : cairo_image_surface_create_from_png(p.c_str());
            if (!s || cairo_surface_status(s) != CAIRO_STATUS_SUCCESS) {
                std::printf("contact_sheet: cannot read %s\n", p.c_str());
                continue;
            }
            int w = cairo_image_surface_get_width(s), h = cairo_image_surface_get_height(s);
            double sc = std::min(1.0, (double)kMaxTile / std::max(w, h));
            if (w < 40 && h < 40) sc = 2;  // tiny images are shown twice as large
            tiles.push_back({f.substr(f.find_last_of('/') + 1), s, w, h, sc});
        }
        // Shelf layout.
        std::vector<std::pair<int, int>> pos;
        int x = kPad, y = kPad, shelf = 0;
        for (auto& t : tiles) {
            int tw = std::max(150, (int)(t.w * t.scale)), th = (int)(t.h * t.scale) + kLabel;
            if (x + tw + kPad > kPage) {
                x = kPad;
                y += shelf + kPad;
                shelf = 0;
            }
            pos.push_back({x, y});
            x += tw + kPad;
            shelf = std::max(shelf, th);
        }
        int H = y + shelf + kPad;
        gen::Canvas sheet(kPage, H);
        cairo_t* cr = sheet.cr;
        cairo_set_source_rgb(cr, 0.16, 0.17, 0.18);
        cairo_paint(cr);
        cairo_select_font_face(cr, "DejaVu Sans", CAIRO_FONT_SLANT_NORMAL, CAIRO_FONT_WEIGHT_NORMAL);
        cairo_set_font_size(cr, 12);
        for (size_t i = 0; i < tiles.size(); ++i) {
            auto& t = tiles[i];
            double tx = pos[i].first, ty = pos[i].second, w = t.w * t.scale, h = t.h * t.scale;
            checker(cr, tx, ty, w, h);
            cairo_save(cr);
            cairo_translate(cr, tx, ty);
            cairo_scale(cr, t.scale, t.scale);
            cairo_set_source_surface(cr, t.s, 0, 0);
            cairo_pattern_set_filter(cairo_get_source(cr), t.scale > 1 ? CAIRO_FILTER_NEAREST : CAIRO_FILTER_GOOD);
            cairo_paint(cr);
            cairo_restore(cr);
            char label[256];
            std::snprintf(label, sizeof label, "%s  %dx%d", t.name.c_str(), t.w, t.h);
            cairo_set_source_rgb(cr, 0.95, 0.93, 0.86);
            cairo_move_to(cr, tx, ty + h + 17);
            cairo_show_text(cr, label);
            cairo_surface_destroy(t.s);
        }
        std::string name = folder;
        std::replace(name.begin(), name.end(), '/', '_');
        if (!gen::save_png(outdir + "/" + name + ".png", sheet)) std::printf("contact_sheet: cannot write %s\n", name.c_str());
    }
    return 0;
}
