#include "app/harness.h"

#include <cstdlib>

#include "app/display.h"
#include "app/shell.h"
#include "platform/draw.h"
#include "platform/inject.h"
#include "platform/input.h"
#include "platform/paths.h"

void harness_open(const std::string& base) {
    setenv("SDL_VIDEODRIVER", "dummy", 0);
    setenv("SDL_AUDIODRIVER", "dummy", 0);
    platform_init();
    basedir = base;
    if (!basedir.empty() && basedir.back() != '/') basedir += '/';
    frametimer = create_timer(50);
    secondtimer = create_timer(1);
    clocktimer = create_timer(1);
    harness_window();
    input_start();
    flush_keys();
    flush_mouse();
}

void harness_window() {
    forgetwindowsize();
    graphics_open(800, 600, 0, 60, 0);
    set_virtual_resolution(1024, 768);
    windoww = 800;
    windowh = 600;
    virtw = 1024;
    virth = 768;
    centerx = 512;
    centery = 384;
    mainwindow = 1;
}

void harness_frames(int n) {
    for (int i = 0; i < n; ++i) mainloop_frame(0);
}

std::vector<uint8_t> harness_frame_rgba(int* w, int* h) {
    clear_screen();
    pollinput();
    doall();
    std::vector<uint8_t> px = read_frame_rgba(w, h);
    flip(1);
    return px;
}

void harness_window_point(int lx, int ly, int* wx, int* wy) {
    *wx = (int)((double)lx * windoww / virtw + 0.5);
    *wy = (int)((double)ly * windowh / virth + 0.5);
}

void harness_click(int lx, int ly) {
    int wx, wy;
    harness_window_point(lx, ly, &wx, &wy);
    inject_mouse_move(wx, wy);
    inject_mouse_button(1, 1);
    inject_mouse_button(1, 0);
}

void harness_close() {
    graphics_close();
}
