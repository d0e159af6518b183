#include "app/display.h"

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <cstring>
#include <vector>

#include "app/shell.h"
#include "platform/draw.h"
#include "platform/imagefile.h"
#include "platform/paths.h"
#include "platform/readfile.h"
#include "storage/safefile.h"
#include "storage/settings.h"

int virtw = 1024, virth = 768;
int centerx = 512, centery = 384;
int windoww = 800, windowh = 600;
int widthshift = 0;
int mainwindow = 0;
int modewidth[11], modeheight[11];
int modeavailable[11];
int bestmode = 6;
int desktopw = 0, desktoph = 0;
int fakedesktopw = 0, fakedesktoph = 0;
int fakeframetop = 0, fakepanel = 0;

namespace {
bool faked() { return fakedesktopw > 0 && fakedesktoph > 0; }

// Full screen is a borderless desktop-sized window: a mode exists when it fits the desktop.
int mode_exists(int w, int h) {
    if (faked()) return w <= fakedesktopw && h <= fakedesktoph ? 1 : 0;
    return graphics_mode_exists(w, h, 32, 0);
}

const int table_w[7] = {0, 1366, 1280, 1024, 1024, 800, 640};
const int table_h[7] = {0, 768, 768, 768, 600, 600, 480};

// The window's size as the player last left it, in a file of its own beside the settings: "W H".
const char* const sizefile = "window.txt";

bool rememberedsize(int* w, int* h) {
    std::string bytes;
    if (userpath.empty() || read_file(userpath + sizefile, bytes, 256) != READ_OK) return false;
    char end;
    if (std::sscanf(bytes.c_str(), "%d %d%c", w, h, &end) < 2) return false;
    return *w >= 320 && *h >= 240 && *w <= 16384 && *h <= 16384;
}

// The usable area's size, and how much the window's frame adds to the window.
void roomandframe(int* roomw, int* roomh, int* framew, int* frameh) {
    int dl, dt, dr, db, wl, wt, wr, wb, ww, wh;
    desktop_rect(&dl, &dt, &dr, &db);
    if (faked()) {
        dl = dt = 0;
        dr = fakedesktopw;
        db = fakedesktoph - fakepanel;
    }
    window_outer_rect(&wl, &wt, &wr, &wb);
    output_size(&ww, &wh);
    *roomw = dr - dl;
    *roomh = db - dt;
    *framew = std::max(0, (wr - wl) - ww);
    *frameh = std::max(0, (wb - wt) - wh) + (faked() ? fakeframetop : 0);
}

// A remembered size no larger than the usable area with the window's frame (the desktop may have shrunk).
void clamptodesktop(int* w, int* h) {
    int roomw, roomh, framew, frameh;
    roomandframe(&roomw, &roomh, &framew, &frameh);
    if (roomw > 0) *w = std::min(*w, roomw - framew);
    if (roomh > 0) *h = std::min(*h, roomh - frameh);
    *w = std::max(*w, 320);
    *h = std::max(*h, 240);
}

int savedw = 0, savedh = 0;  // the size in the file (or the one opened)
int sizeframes = 0;          // frames the window has kept a new size

void open_window() {
    int rw, rh;
    if (rememberedsize(&rw, &rh)) {
        graphics_open(rw, rh, 0, 60, 0);
        clamptodesktop(&rw, &rh);
        graphics_open(rw, rh, 0, 60, 0);
        set_virtual_resolution(1024, 768);
        windoww = rw;
        windowh = rh;
        savedw = rw;
        savedh = rh;
        std::printf("Window size %dx%d as last left\n", rw, rh);
        center_window();
        virtw = 1024;
        virth = 768;
        return;
    }
    graphics_open(800, 600, 0, 60, 0);
    set_virtual_resolution(1024, 768);
    addminimizebox(mainwindow);
    windoww = 800;
    windowh = 600;
    if (windowtoolarge(1)) {
        std::printf("Reset Window size to 600x450\n");
        graphics_open(600, 450, 0, 60, 0);
        set_virtual_resolution(1024, 768);
        addminimizebox(mainwindow);
        windoww = 600;
        windowh = 450;
    } else {
        std::printf("Window Size ok\n");
        // A desktop of high density (or just a large one) would show 800 x 600 tiny: the first window is the
        // largest whole multiple of it that fits with its frame.
        int roomw, roomh, framew, frameh;
        roomandframe(&roomw, &roomh, &framew, &frameh);
        const int k = std::min((roomw - framew) / 800, (roomh - frameh) / 600);
        if (k >= 2) {
            std::printf("Window size %dx%d on a large desktop\n", 800 * k, 600 * k);
            graphics_open(800 * k, 600 * k, 0, 60, 0);
            set_virtual_resolution(1024, 768);
            windoww = 800 * k;
            windowh = 600 * k;
        }
    }
    // Now that the frame is known, the whole window with it goes in the middle of the usable area.
    center_window();
    savedw = windoww;
    savedh = windowh;
    virtw = 1024;
    virth = 768;
}

void open_fullscreen(int mode) {
    int w = modewidth[mode], h = modeheight[mode];
    graphics_open(w, h, 32, 60, 0);
    int lw = w, lh = h;
    if (mode == 4) {
        lw = 1366;
        lh = 768;
    } else if (mode == 5 || mode == 6) {
        // The screens are laid out for a picture 768 high: a 640 x 480 screen shows it scaled down.
        lw = 1024;
        lh = 768;
    }
    set_virtual_resolution((float)lw, (float)lh);
    windoww = w;
    windowh = h;
    virtw = lw;
    virth = lh;
}
}  // namespace

void checkvideo() {
    desktopw = faked() ? fakedesktopw : desktop_width();
    desktoph = faked() ? fakedesktoph : desktop_height();
    int ratio = desktopw == 0 ? 1 : desktoph * 1000 / desktopw;
    for (int i = 1; i <= 6; ++i) {
        modewidth[i] = table_w[i];
        modeheight[i] = table_h[i];
        modeavailable[i] = mode_exists(modewidth[i], modeheight[i]);
    }
    if (ratio >= 750) modeavailable[1] = modeavailable[2] = 0;
    if (desktopw == 1280 && desktoph == 768) modeavailable[1] = 0;
    if (desktopw == 1024 && desktoph == 600) modeavailable[1] = modeavailable[2] = modeavailable[3] = 0;
    bestmode = 6;
    for (int i = 5; i >= 1; --i)
        if (modeavailable[i]) bestmode = i;
}

void instgraphic() {
    if (bestmode > displaymode) displaymode = bestmode;
    if (displaymode < 1 || displaymode > 6) displaymode = bestmode;
    if (fullscreen == 0) {
        open_window();
    } else {
        open_fullscreen(displaymode);
    }
    mainwindow = graphics_is_open() ? 1 : 0;
    set_window_title("Ombrivale");
    setwindowicon(mainwindow);
}

void togglescreensize(int mode, int full) {
    paused = 1;
    if (full == 0 && fullscreen == 1) {
        open_window();
        fullscreen = 0;
    } else if ((full == 1 && fullscreen == 0) || mode != displaymode) {
        if (bestmode > mode) mode = bestmode;
        if (mode < 1 || mode > 6) mode = 6;
        open_fullscreen(mode);
        displaymode = mode;
        fullscreen = 1;
    }
    mainwindow = graphics_is_open() ? 1 : 0;
    setwindowicon(mainwindow);
    displayoverride = -1;  // the player chose: from now on the file follows the display
    savesettings(0);
}

void forgetwindowsize() {
    savedw = savedh = 0;
    sizeframes = 0;
}

void followwindowsize() {
    if (fullscreen != 0 || !mainwindow) return;
    int w, h;
    output_size(&w, &h);
    if (w <= 0 || h <= 0) return;
    windoww = w;
    windowh = h;
    // Written once the size has held for half a second, not at every step of a drag; only for a window the
    // game opened itself, on the real desktop (a replay's or a test's window is nobody's choice).
    if (savedw == 0 || faked() || (w == savedw && h == savedh)) {
        sizeframes = 0;
        return;
    }
    if (++sizeframes < 25 || userpath.empty()) return;
    sizeframes = 0;
    savedw = w;
    savedh = h;
    write_file_safely(userpath + sizefile, std::to_string(w) + " " + std::to_string(h) + "\r\n");
}

int windowtoolarge(int) {
    int dl, dt, dr, db, wl, wt, wr, wb;
    desktop_rect(&dl, &dt, &dr, &db);
    if (faked()) {
        dl = dt = 0;
        dr = fakedesktopw;
        db = fakedesktoph;
    }
    window_outer_rect(&wl, &wt, &wr, &wb);
    if (faked()) {
        db -= fakepanel;
        wt -= fakeframetop;
    }
    std::printf("Desktop (X1xY1,X2xY2): %dx%d,%dx%d\n", dl, dt, dr, db);
    std::printf("Window  (X1xY1,X2xY2): %dx%d,%dx%d\n", wl, wt, wr, wb);
    std::printf("Desktop (WxH): %dx%d\n", dr - dl, db - dt);
    std::printf("Window  (WxH): %dx%d\n", wr - wl, wb - wt);
    // A window wider than the usable area is just as much off screen as one too tall.
    return (wb - wt) > (db - dt) || (wr - wl) > (dr - dl) ? 1 : 0;
}

// Windows on Linux desktops carry their minimise box already.
void addminimizebox(int) {}

namespace {
uint32_t rd32(const unsigned char* p) { return p[0] | p[1] << 8 | p[2] << 16 | (uint32_t)p[3] << 24; }
uint16_t rd16(const unsigned char* p) { return (uint16_t)(p[0] | p[1] << 8); }

// A BMP-encoded icon entry: BITMAPINFOHEADER, 32- or 24-bit pixels bottom-up (height doubled), then the AND mask.
bool decode_ico_bmp(const unsigned char* d, size_t n, std::vector<unsigned char>& rgba, int* w, int* h) {
    if (n < 40) return false;
    uint32_t hsize = rd32(d);
    int bw = (int)rd32(d + 4), bh = (int)rd32(d + 8) / 2;
    int bpp = rd16(d + 14);
    if (hsize < 40 || bw <= 0 || bh <= 0 || bw > 512 || bh > 512 || (bpp != 32 && bpp != 24)) return false;
    size_t stride = ((size_t)bw * bpp / 8 + 3) & ~(size_t)3;
    size_t mask_stride = (((size_t)bw + 31) / 32) * 4;
    if (hsize + stride * bh > n) return false;
    bool has_mask = hsize + stride * bh + mask_stride * bh <= n;
    rgba.assign((size_t)bw * bh * 4, 0);
    for (int y = 0; y < bh; ++y) {
        const unsigned char* row = d + hsize + stride * (bh - 1 - y);
        const unsigned char* mrow = d + hsize + stride * bh + mask_stride * (bh - 1 - y);
        for (int x = 0; x < bw; ++x) {
            unsigned char* o = &rgba[((size_t)y * bw + x) * 4];
            const unsigned char* s = row + x * (bpp / 8);
            o[0] = s[2];
            o[1] = s[1];
            o[2] = s[0];
            if (bpp == 32) o[3] = s[3];
            else o[3] = (has_mask && (mrow[x / 8] >> (7 - x % 8) & 1)) ? 0 : 255;
        }
    }
    *w = bw;
    *h = bh;
    return true;
}
}  // namespace

bool read_ico_entry(const unsigned char* data, unsigned long size, int want, int* w, int* h, unsigned char** rgba_out) {
    if (size < 6 || rd16(data) != 0 || rd16(data + 2) != 1) return false;
    int count = rd16(data + 4);
    if (6 + 16ul * count > size) return false;
    int best = -1, best_diff = 1 << 30;
    for (int i = 0; i < count; ++i) {
        const unsigned char* e = data + 6 + 16 * i;
        int ew = e[0] ? e[0] : 256;
        int diff = ew > want ? ew - want : want - ew;
        if (diff < best_diff) {
            best_diff = diff;
            best = i;
        }
    }
    if (best < 0) return false;
    const unsigned char* e = data + 6 + 16 * best;
    uint32_t len = rd32(e + 8), off = rd32(e + 12);
    if (off > size || len > size - off) return false;
    std::vector<unsigned char> px;
    Pixels p;
    if (decode_image_memory(data + off, len, p)) {
        px = p.rgba;
        *w = p.w;
        *h = p.h;
    } else if (!decode_ico_bmp(data + off, len, px, w, h)) {
        return false;
    }
    *rgba_out = new unsigned char[px.size()];
    std::memcpy(*rgba_out, px.data(), px.size());
    return true;
}

void setwindowicon(int window) {
    if (!window) return;
    std::string bytes;
    if (read_file(resolve_path("icon32.ico"), bytes, 1 << 20) != READ_OK) return;
    int w, h;
    unsigned char* rgba = nullptr;
    if (!read_ico_entry((const unsigned char*)bytes.data(), bytes.size(), 32, &w, &h, &rgba)) return;
    set_window_icon_rgba(rgba, w, h);
    delete[] rgba;
}

namespace {
// The output rectangle the picture is drawn in, when it does not cover the whole output (letterboxed).
bool letterboxed(int* ax, int* ay, int* aw, int* ah) {
    int ow, oh;
    output_size(&ow, &oh);
    logical_area(ax, ay, aw, ah);
    return ow > 0 && oh > 0 && *aw > 0 && *ah > 0 && (*ax != 0 || *ay != 0 || *aw != ow || *ah != oh);
}
}  // namespace

void window_to_logical(int wx, int wy, int* lx, int* ly) {
    int ax, ay, aw, ah;
    if (letterboxed(&ax, &ay, &aw, &ah)) {
        // A pixel stands for the logical point under its centre: the pixels that show a button's edge then hit
        // the button at every size, however the picture is scaled.
        double fx = (wx + 0.5 - ax) * virtw / aw, fy = (wy + 0.5 - ay) * virth / ah;
        *lx = (int)fx;
        *ly = (int)fy;
        // Positions on the bars lie outside the logical area.
        if (fx < 0) *lx = (int)fx - 1;
        if (fy < 0) *ly = (int)fy - 1;
        return;
    }
    // The sizes the game knows use their fixed factors (single precision, truncated).
    const double f128 = (double)1.28f, f125 = (double)1.25f, f1334 = (double)1.33398f;
    if (windoww == 800 && windowh == 600 && virtw == 1024 && virth == 768) {
        *lx = (int)(wx * f128);
        *ly = (int)(wy * f128);
    } else if (windoww == 1024 && windowh == 600 && virth == 768 && (virtw == 1280 || virtw == 1366)) {
        *lx = (int)(wx * (virtw == 1280 ? f125 : f1334));
        *ly = (int)(wy * f128);
    } else if (windoww > 0 && windowh > 0 && (windoww != virtw || windowh != virth)) {
        *lx = (int)((wx + 0.5) * virtw / windoww);
        *ly = (int)((wy + 0.5) * virth / windowh);
    } else {
        *lx = wx;
        *ly = wy;
    }
}

void logical_to_window(int lx, int ly, int* wx, int* wy) {
    int ax, ay, aw, ah;
    if (letterboxed(&ax, &ay, &aw, &ah)) {
        *wx = ax + (int)std::lround((double)lx * aw / virtw);
        *wy = ay + (int)std::lround((double)ly * ah / virth);
        return;
    }
    *wx = virtw > 0 ? lx * windoww / virtw : lx;
    *wy = virth > 0 ? ly * windowh / virth : ly;
}
