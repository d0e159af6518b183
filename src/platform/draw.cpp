#include "platform/draw.h"

#include <SDL.h>

#include <algorithm>
#include <cmath>
#include <cctype>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <unordered_map>

#include "platform/imagefile.h"
#include "platform/paths.h"
#include "platform/readfile.h"
#include "platform/sdlwindow.h"
#include "platform/system.h"

// ---------------------------------------------------------------------------------------------------------------
// Display and drawing context

namespace {

SDL_Window* window = nullptr;
SDL_Renderer* renderer = nullptr;
int context_generation = 0;  // bumps whenever the renderer is replaced: textures are then rebuilt lazily

float logical_w = 1024, logical_h = 768;
int letterbox = 0;
int drawing_on = 1;
int out_w = 0, out_h = 0;          // size of what is drawn into: the window's output, or the frame below
float area_x = 0, area_y = 0;      // the logical area's placement on that
float area_w = 1, area_h = 1;
float scale_dx = 1, scale_dy = 1;  // pixels drawn per logical unit
int win_w = 0, win_h = 0;          // the window's output in device pixels
float show_x = 0, show_y = 0;      // where the logical area shows on the window
float show_w = 1, show_h = 1;

// On the software renderer every draw larger than its image is stretched by the CPU, so the cost of a frame
// grows with the output. Where the picture is shown larger than its logical size, the frame is drawn at
// logical size into `frame` instead and stretched onto the window once, as it is shown. OMBRIVALE_STRETCH=0
// draws every image at the output's size as before (for comparisons).
SDL_Texture* frame = nullptr;
int frame_generation = -1, frame_w = 0, frame_h = 0;
bool frame_stretch = false;  // drawing goes into `frame` (the software renderer, a picture shown enlarged)

struct DrawState {
    int r = 255, g = 255, b = 255;
    float alpha = 1.0f;
    uint8_t alpha_byte = 255;
    int blend = BLEND_MASK;
    float rotation = 0;
    float sx = 1, sy = 1;
    float ix = 1, iy = 0, jx = 0, jy = 1;
    int clip_x = 0, clip_y = 0, clip_w = -1, clip_h = -1;  // -1: whole screen
} ds;

int mask_r = 0, mask_g = 0, mask_b = 0;
int auto_midhandle = 0;
int override_w = 0, override_h = 0;  // see set_window_override
int render_off = 0;                  // see set_render_off
int renderer_is_software = 0;        // SDL's own software renderer draws

// Scaled copies (below).
void forget_scaled_copies();
void age_scaled_copies();
void unpin_scaled_copies();
bool picture_drawing = false;  // drawing goes into the cached picture (below)
bool frame_waited = false;     // the window manager's frame has been waited for since the window last changed

bool stretch_wanted() {
    static const int on = [] {
        const char* e = std::getenv("OMBRIVALE_STRETCH");
        return e && *e == '0' ? 0 : 1;
    }();
    return on && renderer_is_software;
}

// The size of the window's output (the renderer reports the target's while one is set).
void window_output(int* w, int* h) {
    *w = *h = 0;
    if (SDL_GetRenderTarget(renderer)) {
        if (window) SDL_GetWindowSizeInPixels(window, w, h);
    } else {
        SDL_GetRendererOutputSize(renderer, w, h);
    }
}

// The texture drawing goes into: the frame while it is used, otherwise the window (null).
SDL_Texture* draw_target() { return frame_stretch ? frame : nullptr; }

// Makes (or drops) the frame for the current sizes and points drawing at it.
void settle_frame() {
    if (!frame_stretch) {
        if (frame && SDL_GetRenderTarget(renderer) == frame) SDL_SetRenderTarget(renderer, nullptr);
        return;
    }
    if (frame && (frame_generation != context_generation || frame_w != out_w || frame_h != out_h)) {
        if (frame_generation == context_generation) {
            if (SDL_GetRenderTarget(renderer) == frame) SDL_SetRenderTarget(renderer, nullptr);
            SDL_DestroyTexture(frame);
        }
        frame = nullptr;
    }
    if (!frame) {
        Uint32 format = window ? SDL_GetWindowPixelFormat(window) : (Uint32)SDL_PIXELFORMAT_UNKNOWN;
        if (format == SDL_PIXELFORMAT_UNKNOWN) format = SDL_PIXELFORMAT_RGB888;
        frame = SDL_CreateTexture(renderer, format, SDL_TEXTUREACCESS_TARGET, out_w, out_h);
        if (!frame) frame = SDL_CreateTexture(renderer, SDL_PIXELFORMAT_ARGB8888, SDL_TEXTUREACCESS_TARGET, out_w, out_h);
        frame_generation = context_generation;
        frame_w = out_w;
        frame_h = out_h;
        if (frame) {
            SDL_SetTextureBlendMode(frame, SDL_BLENDMODE_NONE);
            SDL_SetTextureScaleMode(frame, SDL_ScaleModeLinear);
        }
    }
    if (!frame || SDL_SetRenderTarget(renderer, frame) != 0) frame_stretch = false;
}

void update_area() {
    if (!renderer) return;
    window_output(&win_w, &win_h);
    if (win_w <= 0 || win_h <= 0) return;
    if (letterbox) {
        float s = std::min(win_w / logical_w, win_h / logical_h);
        show_w = logical_w * s;
        show_h = logical_h * s;
        show_x = std::floor((win_w - show_w) * 0.5f);
        show_y = std::floor((win_h - show_h) * 0.5f);
    } else {
        show_x = show_y = 0;
        show_w = (float)win_w;
        show_h = (float)win_h;
    }
    const bool was = frame_stretch;
    frame_stretch = stretch_wanted() && !render_off && show_w > logical_w + 0.5f && show_h > logical_h + 0.5f;
    if (frame_stretch) {
        out_w = (int)std::ceil(logical_w);
        out_h = (int)std::ceil(logical_h);
        area_x = area_y = 0;
        area_w = logical_w;
        area_h = logical_h;
    } else {
        out_w = win_w;
        out_h = win_h;
        area_x = show_x;
        area_y = show_y;
        area_w = show_w;
        area_h = show_h;
    }
    scale_dx = area_w / logical_w;
    scale_dy = area_h / logical_h;
    if (was != frame_stretch || frame_stretch) {
        // What was kept for the other way of drawing is of the wrong size now.
        if (was != frame_stretch) {
            picture_forget();
            forget_scaled_copies();
        }
        settle_frame();
    }
}

// Puts the frame on the window, stretched once to where the picture shows, with black around it.
void show_frame() {
    if (!frame_stretch || !frame) return;
    SDL_SetRenderTarget(renderer, nullptr);
    SDL_RenderSetClipRect(renderer, nullptr);
    SDL_SetRenderDrawColor(renderer, 0, 0, 0, 255);
    if (show_x > 0 || show_y > 0 || show_w < win_w || show_h < win_h) SDL_RenderClear(renderer);
    const SDL_Rect to{(int)show_x, (int)show_y, (int)std::lround(show_w), (int)std::lround(show_h)};
    SDL_RenderCopy(renderer, frame, nullptr, &to);
}

void apply_clip() {
    if (!renderer) return;
    bool whole = ds.clip_w < 0 ||
                 (ds.clip_x <= 0 && ds.clip_y <= 0 && ds.clip_x + ds.clip_w >= logical_w && ds.clip_y + ds.clip_h >= logical_h);
    if (whole && (!letterbox || frame_stretch)) {
        SDL_RenderSetClipRect(renderer, nullptr);
        return;
    }
    float lx = whole ? 0.0f : (float)ds.clip_x, ly = whole ? 0.0f : (float)ds.clip_y;
    float lw = whole ? logical_w : (float)ds.clip_w, lh = whole ? logical_h : (float)ds.clip_h;
    int left = (int)std::floor(lx * area_w / logical_w + area_x);
    int right = (int)std::floor((lx + lw) * area_w / logical_w + area_x);
    int top = (int)std::floor(ly * area_h / logical_h + area_y);
    int bottom = (int)std::floor((ly + lh) * area_h / logical_h + area_y);
    SDL_Rect r{left, top, std::max(0, right - left), std::max(0, bottom - top)};
    SDL_RenderSetClipRect(renderer, &r);
}

// The name OpenGL gives for itself, from the context the renderer has just made current; empty when unknown.
std::string gl_renderer_string() {
    using GetString = const unsigned char* (*)(unsigned int);
    auto get = (GetString)SDL_GL_GetProcAddress("glGetString");
    if (!get) return {};
    const unsigned char* s = get(0x1F01);  // GL_RENDERER
    return s ? std::string((const char*)s) : std::string();
}

bool cpu_rasteriser(const std::string& gl) {
    std::string low = gl;
    for (char& c : low) c = (char)std::tolower((unsigned char)c);
    for (const char* name : {"llvmpipe", "softpipe", "swrast", "software rasterizer"})
        if (low.find(name) != std::string::npos) return true;
    return false;
}

// The renderer for a new window. OpenGL by default; but where OpenGL is itself drawn by the CPU (no graphics
// chip, or no driver for it), SDL's own software renderer writing straight into the window is two to three
// times faster. OMBRIVALE_RENDERER=software or =accelerated forces either; auto (or nothing) decides.
SDL_Renderer* create_renderer(SDL_Window* win) {
    const char* env = std::getenv("OMBRIVALE_RENDERER");
    std::string choice = env && *env ? env : "auto";
    if (choice != "software" && choice != "accelerated") choice = "auto";
    std::string why;
    if (choice == "auto" && (SDL_GetWindowFlags(win) & SDL_WINDOW_OPENGL)) {
        // A bare context is enough to read the name, and far cheaper on a CPU rasteriser than the renderer
        // itself, which compiles its shaders as it starts.
        if (SDL_GLContext ctx = SDL_GL_CreateContext(win)) {
            std::string gl = gl_renderer_string();
            SDL_GL_DeleteContext(ctx);
            if (cpu_rasteriser(gl)) {
                choice = "software";
                why = " (OpenGL here is " + gl + ", drawn by the CPU)";
            }
        }
    }
    if (choice != "software") {
        SDL_Renderer* r = SDL_CreateRenderer(win, -1, SDL_RENDERER_ACCELERATED | SDL_RENDERER_PRESENTVSYNC);
        if (r) {
            SDL_RendererInfo info;
            std::string name = SDL_GetRendererInfo(r, &info) == 0 ? info.name : "";
            std::string gl = name.rfind("opengl", 0) == 0 ? gl_renderer_string() : "";
            if (choice == "accelerated" || !cpu_rasteriser(gl)) {
                std::printf("Renderer: %s%s%s\n", name.c_str(), gl.empty() ? "" : " on ", gl.c_str());
                return r;
            }
            SDL_DestroyRenderer(r);
            why = " (OpenGL here is " + gl + ", drawn by the CPU)";
        } else {
            std::printf("no accelerated renderer (%s): using the software renderer\n", SDL_GetError());
        }
    }
    // Without this SDL would present the software renderer's picture through OpenGL again.
    SDL_SetHint(SDL_HINT_FRAMEBUFFER_ACCELERATION, "0");
    SDL_Renderer* r = SDL_CreateRenderer(win, -1, SDL_RENDERER_SOFTWARE);
    if (r) std::printf("Renderer: software%s\n", why.c_str());
    return r;
}

}  // namespace

SDL_Window* sdl_window() { return window; }
SDL_Renderer* sdl_renderer() { return renderer; }

void graphics_open(int width, int height, int depth, int /*hz*/, int /*flags*/) {
    if (!SDL_WasInit(SDL_INIT_VIDEO)) SDL_InitSubSystem(SDL_INIT_VIDEO);
    bool full = depth != 0;
    if (override_w != 0) {
        full = false;
        if (override_w > 0) {
            width = override_w;
            height = override_h;
        }
    }
    if (!window) {
        Uint32 wflags = SDL_WINDOW_ALLOW_HIGHDPI * 0;
        // An OpenGL window where the video driver has OpenGL, so that the renderer can ask what draws it.
        window = SDL_CreateWindow("Ombrivale", SDL_WINDOWPOS_CENTERED, SDL_WINDOWPOS_CENTERED, width, height,
                                  wflags | SDL_WINDOW_OPENGL);
        if (!window)
            window = SDL_CreateWindow("Ombrivale", SDL_WINDOWPOS_CENTERED, SDL_WINDOWPOS_CENTERED, width, height, wflags);
        if (!window) {
            std::printf("error graphics_open %s\n", SDL_GetError());
            return;
        }
        renderer = create_renderer(window);
        if (!renderer) {
            std::printf("error graphics_open %s\n", SDL_GetError());
            SDL_DestroyWindow(window);
            window = nullptr;
            return;
        }
        ++context_generation;
        SDL_RendererInfo info;
        renderer_is_software = SDL_GetRendererInfo(renderer, &info) == 0 && (info.flags & SDL_RENDERER_SOFTWARE) ? 1 : 0;
    }
    if (full) {
        // Cover the desktop first: without a window manager (a bare X server, a kiosk) nothing else would
        // resize the window, and the picture would be scaled for a desktop-sized window it does not fill.
        SDL_Rect desk;
        if (SDL_GetDisplayBounds(0, &desk) == 0) {
            SDL_SetWindowPosition(window, desk.x, desk.y);
            SDL_SetWindowSize(window, desk.w, desk.h);
        }
        SDL_SetWindowFullscreen(window, SDL_WINDOW_FULLSCREEN_DESKTOP);
    } else {
        SDL_SetWindowFullscreen(window, 0);
        SDL_SetWindowSize(window, width, height);
        SDL_SetWindowPosition(window, SDL_WINDOWPOS_CENTERED, SDL_WINDOWPOS_CENTERED);
    }
    frame_waited = false;
    letterbox = full || override_w != 0 ? 1 : 0;
    logical_w = (float)width;
    logical_h = (float)height;
    ds.clip_w = ds.clip_h = -1;
    update_area();
    apply_clip();
}

void set_render_off(int off) { render_off = off; }

void set_window_override(int w, int h) {
    override_w = w;
    override_h = h;
}

int graphics_is_open() { return renderer != nullptr; }

std::string renderer_name() {
    SDL_RendererInfo info;
    if (!renderer || SDL_GetRendererInfo(renderer, &info) != 0) return "none";
    return info.name;
}

void graphics_close() {
    picture_forget();
    forget_scaled_copies();
    forget_prepared_images();  // their textures belong to this renderer
    if (frame && frame_generation == context_generation) SDL_DestroyTexture(frame);
    frame = nullptr;
    frame_stretch = false;
    if (renderer) SDL_DestroyRenderer(renderer);
    if (window) SDL_DestroyWindow(window);
    renderer = nullptr;
    window = nullptr;
    ++context_generation;
}

int graphics_mode_exists(int width, int height, int /*depth*/, int /*hz*/) {
    // Full screen is a borderless desktop-sized window: a mode exists when it fits the desktop.
    return width <= desktop_width() && height <= desktop_height() ? 1 : 0;
}

int desktop_width() {
    if (!SDL_WasInit(SDL_INIT_VIDEO)) SDL_InitSubSystem(SDL_INIT_VIDEO);
    SDL_DisplayMode m;
    if (SDL_GetDesktopDisplayMode(0, &m) != 0) return 0;
    return m.w;
}

int desktop_height() {
    if (!SDL_WasInit(SDL_INIT_VIDEO)) SDL_InitSubSystem(SDL_INIT_VIDEO);
    SDL_DisplayMode m;
    if (SDL_GetDesktopDisplayMode(0, &m) != 0) return 0;
    return m.h;
}

void set_virtual_resolution(float width, float height) {
    logical_w = width > 0 ? width : 1;
    logical_h = height > 0 ? height : 1;
    ds.clip_w = ds.clip_h = -1;
    update_area();
    apply_clip();
}

float virtual_width() { return logical_w; }
float virtual_height() { return logical_h; }

void set_drawing(int on) { drawing_on = on ? 1 : 0; }

void set_letterbox(int on) {
    letterbox = on ? 1 : 0;
    update_area();
    apply_clip();
}

void logical_area(int* x, int* y, int* w, int* h) {
    *x = (int)show_x;
    *y = (int)show_y;
    *w = (int)std::lround(show_w);
    *h = (int)std::lround(show_h);
}

void output_size(int* w, int* h) {
    *w = win_w;
    *h = win_h;
}

void clear_screen() {
    if (!renderer || render_off == RENDER_NOTHING) return;
    int w, h;
    window_output(&w, &h);
    if (w != win_w || h != win_h) update_area();
    if (render_off) return;
    SDL_RenderSetClipRect(renderer, nullptr);
    SDL_SetRenderDrawColor(renderer, 0, 0, 0, 255);
    SDL_RenderClear(renderer);
    apply_clip();
}

void flip(int /*sync*/) {
    // Vertical sync is chosen when the renderer is created.
    if (renderer && !render_off) {
        show_frame();
        SDL_RenderPresent(renderer);
        if (frame_stretch) {
            SDL_SetRenderTarget(renderer, frame);
            apply_clip();
        }
    }
    age_scaled_copies();
}

void set_window_title(const std::string& title) {
    if (window) SDL_SetWindowTitle(window, title.c_str());
}

void set_window_icon_rgba(const uint8_t* rgba, int w, int h) {
    if (!window) return;
    SDL_Surface* s = SDL_CreateRGBSurfaceWithFormatFrom((void*)rgba, w, h, 32, w * 4, SDL_PIXELFORMAT_ABGR8888);
    if (!s) return;
    SDL_SetWindowIcon(window, s);
    SDL_FreeSurface(s);
}

namespace {
int minimise_requests = 0;
}  // namespace

void minimize_window() {
    if (!window) return;
    ++minimise_requests;
    SDL_MinimizeWindow(window);
}

int window_minimise_requests() { return minimise_requests; }

void raise_window() {
    if (!window) return;
    if (SDL_GetWindowFlags(window) & SDL_WINDOW_MINIMIZED) SDL_RestoreWindow(window);
    SDL_RaiseWindow(window);
}

namespace {

// The frame the window manager puts around the window. Under X11 it is told some time after the window is
// mapped, as a property that SDL reads only while it pumps events: right after opening, the frame would count
// as none and a window that does not fit with its title bar would be taken as fitting. So when no frame is
// known yet, events are pumped for a moment until it is (a bare X server without a window manager never gives
// one: that costs the wait once). Drivers that cannot tell the frame report none.
void window_frame(int* top, int* left, int* bottom, int* right) {
    *top = *left = *bottom = *right = 0;
    if (!window || (SDL_GetWindowFlags(window) & (SDL_WINDOW_FULLSCREEN | SDL_WINDOW_BORDERLESS))) return;
    if (SDL_GetWindowBordersSize(window, top, left, bottom, right) != 0) {
        *top = *left = *bottom = *right = 0;
        return;
    }
    const char* driver = SDL_GetCurrentVideoDriver();
    if (frame_waited || !driver || std::strcmp(driver, "x11") != 0) return;
    frame_waited = true;
    const Uint32 start = SDL_GetTicks();
    while (*top == 0 && *left == 0 && *bottom == 0 && *right == 0 && SDL_GetTicks() - start < 300) {
        SDL_PumpEvents();
        SDL_GetWindowBordersSize(window, top, left, bottom, right);
        if (*top == 0 && *left == 0 && *bottom == 0 && *right == 0) SDL_Delay(10);
    }
}

// The display the window is on (the first one before a window opens).
int window_display() {
    const int d = window ? SDL_GetWindowDisplayIndex(window) : 0;
    return d < 0 ? 0 : d;
}
}  // namespace

void window_outer_rect(int* l, int* t, int* r, int* b) {
    *l = *t = *r = *b = 0;
    if (!window) return;
    int x, y, w, h, top, left, bottom, right;
    SDL_GetWindowPosition(window, &x, &y);
    SDL_GetWindowSize(window, &w, &h);
    window_frame(&top, &left, &bottom, &right);
    *l = x - left;
    *t = y - top;
    *r = x + w + right;
    *b = y + h + bottom;
}

// The part of the window's display that windows may use (without panels and docks).
void desktop_rect(int* l, int* t, int* r, int* b) {
    SDL_Rect u{0, 0, desktop_width(), desktop_height()};
    const int d = window_display();
    if (SDL_GetDisplayUsableBounds(d, &u) != 0 && SDL_GetDisplayBounds(d, &u) != 0) u = {0, 0, desktop_width(), desktop_height()};
    *l = u.x;
    *t = u.y;
    *r = u.x + u.w;
    *b = u.y + u.h;
}

void center_window() {
    if (!window || (SDL_GetWindowFlags(window) & SDL_WINDOW_FULLSCREEN)) return;
    int l, t, r, b, top, left, bottom, right, w, h;
    desktop_rect(&l, &t, &r, &b);
    window_frame(&top, &left, &bottom, &right);
    SDL_GetWindowSize(window, &w, &h);
    const int ow = w + left + right, oh = h + top + bottom;
    // A window larger than the area keeps its top left corner (and its title bar) inside it.
    const int x = l + std::max(0, (r - l - ow) / 2) + left, y = t + std::max(0, (b - t - oh) / 2) + top;
    SDL_SetWindowPosition(window, x, y);
}

// ---------------------------------------------------------------------------------------------------------------
// Drawing state

void set_color(int r, int g, int b) {
    ds.r = std::clamp(r, 0, 255);
    ds.g = std::clamp(g, 0, 255);
    ds.b = std::clamp(b, 0, 255);
}

void get_color(int* r, int* g, int* b) {
    *r = ds.r;
    *g = ds.g;
    *b = ds.b;
}

void set_alpha(float a) {
    ds.alpha = a;
    float c = std::clamp(a, 0.0f, 1.0f);
    ds.alpha_byte = (uint8_t)(int)(c * 255.0f);
}

float get_alpha() { return ds.alpha; }

void set_blend(int mode) { ds.blend = mode; }
int get_blend() { return ds.blend; }

static void update_transform() {
    double rad = ds.rotation * M_PI / 180.0;
    float c = (float)std::cos(rad), s = (float)std::sin(rad);
    ds.ix = c * ds.sx;
    ds.iy = -s * ds.sy;
    ds.jx = s * ds.sx;
    ds.jy = c * ds.sy;
}

void set_rotation(float degrees) {
    ds.rotation = degrees;
    update_transform();
}

float get_rotation() { return ds.rotation; }

void set_scale(float sx, float sy) {
    ds.sx = sx;
    ds.sy = sy;
    update_transform();
}

void get_scale(float* sx, float* sy) {
    *sx = ds.sx;
    *sy = ds.sy;
}

void set_viewport(int x, int y, int w, int h) {
    ds.clip_x = x;
    ds.clip_y = y;
    ds.clip_w = w;
    ds.clip_h = h;
    apply_clip();
}

void get_viewport(int* x, int* y, int* w, int* h) {
    *x = ds.clip_x;
    *y = ds.clip_y;
    *w = ds.clip_w;
    *h = ds.clip_h;
}

// ---------------------------------------------------------------------------------------------------------------
// Scaled copies (software renderer)
//
// The software renderer treats an unrotated image draw as a rectangle copy. At any size but the image's own it
// stretches the part shown (bilinear, as our textures are filtered) into a fresh surface of the drawn size and
// then blends that surface onto the picture, every time. Since the window is seldom exactly the logical size,
// that is nearly every draw. A copy stretched once to the drawn size and then drawn at its own size is that
// very surface, so the result is the same to the bit; it is kept for draws that come back at the same size (the
// still parts of a screen, the board, the panels, text), while a draw that changes size every frame never gets
// one. The renderer clips in two ways, and a copy follows each: a draw across the edge of the picture is
// stretched whole and the result clipped, so the copy is made of the whole draw; a draw across the clip
// rectangle (a viewport, the bars of full screen) is cut first, so the copy is made of the cut part.
//
// Blending a fully transparent pixel changes nothing, yet costs as much as any other once colour or alpha is
// applied (a fading screen, a dimmed level). A copy whose transparent tiles are many (the front layers of a
// background are mostly sky) is therefore drawn as the rectangles that hold something.

namespace {

struct ScaledKey {
    const SDL_Texture* tex;
    int sx, sy, sw, sh;  // the part of the texture shown
    int w, h;            // the size it is drawn at
    bool operator==(const ScaledKey&) const = default;
};

struct ScaledKeyHash {
    size_t operator()(const ScaledKey& k) const {
        size_t h = std::hash<const void*>()(k.tex);
        for (int v : {k.sx, k.sy, k.sw, k.sh, k.w, k.h}) h = h * 1000003u ^ (size_t)(unsigned)v;
        return h;
    }
};

struct ScaledCopy {
    SDL_Texture* tex = nullptr;  // null: seen once, not made yet
    long last_frame = 0;
    bool pinned = false;  // drawn into the cached picture: kept while that picture is
    std::vector<SDL_Rect> pieces;  // the parts that are not wholly transparent; empty: draw it whole
};

using ScaledCopies = std::unordered_map<ScaledKey, ScaledCopy, ScaledKeyHash>;
ScaledCopies scaled_copies;
size_t scaled_bytes = 0;
long frame_number = 0;
int scaled_copies_on = 1;
const size_t scaled_budget = (size_t)48 << 20;  // bytes of copies kept at most
const long scaled_keep_frames = 50;             // a copy not drawn for this long goes
const int piece_tile = 16;                      // transparency is looked at in tiles of this size

void drop_scaled(ScaledCopies::iterator it) {
    if (it->second.tex) {
        SDL_DestroyTexture(it->second.tex);
        scaled_bytes -= (size_t)it->first.w * it->first.h * 4;
    }
    scaled_copies.erase(it);
}

void forget_scaled_copies() {
    while (!scaled_copies.empty()) drop_scaled(scaled_copies.begin());
}

// The copies of a texture that is about to be destroyed.
void forget_scaled_copies_of(const SDL_Texture* tex) {
    for (auto it = scaled_copies.begin(); it != scaled_copies.end();) {
        auto next = std::next(it);
        if (it->first.tex == tex) drop_scaled(it);
        it = next;
    }
}

// At the end of a frame: candidates seen once and not again go, and copies not drawn for a while.
void age_scaled_copies() {
    ++frame_number;
    for (auto it = scaled_copies.begin(); it != scaled_copies.end();) {
        auto next = std::next(it);
        const long idle = frame_number - it->second.last_frame;
        if ((!it->second.tex && idle > 2) || (idle > scaled_keep_frames && !it->second.pinned)) drop_scaled(it);
        it = next;
    }
}

// The cached picture is made afresh or forgotten: what went into it ages like any other copy from now on.
void unpin_scaled_copies() {
    for (auto& [key, copy] : scaled_copies) copy.pinned = false;
}

// The rectangles of a w x h RGBA picture that hold a pixel with alpha: rows of tiles, each row cut into runs of
// tiles that are not wholly transparent, and runs that repeat in the next row merged into one rectangle. Empty
// when at most a quarter of the tiles is transparent (drawing it whole then costs less).
std::vector<SDL_Rect> opaque_pieces(const std::vector<uint8_t>& rgba, int w, int h) {
    const int cols = (w + piece_tile - 1) / piece_tile, rows = (h + piece_tile - 1) / piece_tile;
    std::vector<uint8_t> used((size_t)cols * rows, 0);
    for (int y = 0; y < h; ++y) {
        const uint8_t* p = &rgba[(size_t)y * w * 4 + 3];
        uint8_t* u = &used[(size_t)(y / piece_tile) * cols];
        for (int x = 0; x < w; ++x)
            if (p[(size_t)x * 4]) u[x / piece_tile] = 1;
    }
    size_t empty = 0;
    for (uint8_t u : used) empty += !u;
    std::vector<SDL_Rect> pieces;
    if (empty * 4 <= used.size()) return pieces;
    std::vector<SDL_Rect> open;  // the previous row's runs, still growing downwards
    for (int r = 0; r < rows; ++r) {
        std::vector<SDL_Rect> runs;
        for (int c = 0; c < cols;) {
            if (!used[(size_t)r * cols + c]) {
                ++c;
                continue;
            }
            int e = c;
            while (e < cols && used[(size_t)r * cols + e]) ++e;
            const int x0 = c * piece_tile, x1 = std::min(w, e * piece_tile);
            const int y0 = r * piece_tile, y1 = std::min(h, (r + 1) * piece_tile);
            runs.push_back({x0, y0, x1 - x0, y1 - y0});
            c = e;
        }
        std::vector<SDL_Rect> next;
        for (SDL_Rect& run : runs) {
            auto same = std::find_if(open.begin(), open.end(), [&](const SDL_Rect& o) { return o.x == run.x && o.w == run.w; });
            if (same != open.end()) {
                run.y = same->y;
                run.h += same->h;
                open.erase(same);
            }
            next.push_back(run);
        }
        pieces.insert(pieces.end(), open.begin(), open.end());  // runs that ended above this row
        open = std::move(next);
    }
    pieces.insert(pieces.end(), open.begin(), open.end());
    return pieces;
}

// Stretches the part `src` of `tex` to w x h into a new texture, exactly as the renderer's own stretch does
// (the same format, no blending, no colour or alpha applied), and finds its pieces.
SDL_Texture* make_scaled_copy(SDL_Texture* tex, const SDL_Rect& src, int w, int h, std::vector<SDL_Rect>& pieces) {
    SDL_Texture* copy = SDL_CreateTexture(renderer, SDL_PIXELFORMAT_ABGR8888, SDL_TEXTUREACCESS_TARGET, w, h);
    if (!copy) return nullptr;
    SDL_Texture* target = SDL_GetRenderTarget(renderer);
    if (SDL_SetRenderTarget(renderer, copy) != 0) {
        SDL_DestroyTexture(copy);
        return nullptr;
    }
    SDL_BlendMode blend;
    Uint8 r, g, b, a;
    SDL_GetTextureBlendMode(tex, &blend);
    SDL_GetTextureColorMod(tex, &r, &g, &b);
    SDL_GetTextureAlphaMod(tex, &a);
    SDL_SetTextureBlendMode(tex, SDL_BLENDMODE_NONE);
    SDL_SetTextureColorMod(tex, 255, 255, 255);
    SDL_SetTextureAlphaMod(tex, 255);
    const SDL_Rect whole{0, 0, w, h};
    SDL_RenderCopy(renderer, tex, &src, &whole);
    pieces.clear();
    if (w * h >= 64 * 64) {
        std::vector<uint8_t> px((size_t)w * h * 4);
        if (SDL_RenderReadPixels(renderer, nullptr, SDL_PIXELFORMAT_ABGR8888, px.data(), w * 4) == 0)
            pieces = opaque_pieces(px, w, h);
    }
    SDL_SetRenderTarget(renderer, target);
    SDL_SetTextureBlendMode(tex, blend);
    SDL_SetTextureColorMod(tex, r, g, b);
    SDL_SetTextureAlphaMod(tex, a);
    apply_clip();
    return copy;
}

// A stretch from `src` to `dst` that crosses the clip rectangle (but not the picture's edge) is cut by the
// renderer before it stretches: to the part of `dst` inside the clip, from the part of `src` that maps there,
// both rounded to whole pixels. The same cut, worked out the same way, gives the parts a copy must be made of
// and drawn at. False when nothing is left to draw, or the cut parts are of one size (no stretch).
bool clip_stretch(const SDL_Rect& clip, int tex_w, int tex_h, SDL_Rect& src, SDL_Rect& dst) {
    const double scale_w = (double)dst.w / src.w, scale_h = (double)dst.h / src.h;
    double sx0 = src.x, sy0 = src.y, sx1 = sx0 + src.w, sy1 = sy0 + src.h;
    double dx0 = dst.x - clip.x, dy0 = dst.y - clip.y, dx1 = dx0 + dst.w, dy1 = dy0 + dst.h;
    if (dx0 < 0) {
        sx0 -= dx0 / scale_w;
        dx0 = 0;
    }
    if (dx1 > clip.w) {
        sx1 -= (dx1 - clip.w) / scale_w;
        dx1 = clip.w;
    }
    if (dy0 < 0) {
        sy0 -= dy0 / scale_h;
        dy0 = 0;
    }
    if (dy1 > clip.h) {
        sy1 -= (dy1 - clip.h) / scale_h;
        dy1 = clip.h;
    }
    dx0 += clip.x;
    dx1 += clip.x;
    dy0 += clip.y;
    dy1 += clip.y;
    SDL_Rect s{(int)std::round(sx0), (int)std::round(sy0), (int)std::round(sx1 - sx0), (int)std::round(sy1 - sy0)};
    SDL_Rect d{(int)std::round(dx0), (int)std::round(dy0), (int)std::round(dx1 - dx0), (int)std::round(dy1 - dy0)};
    const SDL_Rect whole{0, 0, tex_w, tex_h};
    SDL_IntersectRect(&whole, &s, &s);
    SDL_IntersectRect(&clip, &d, &d);
    if (d.w <= 0 || d.h <= 0 || s.w <= 0 || s.h <= 0 || (s.w == d.w && s.h == d.h)) return false;
    src = s;
    dst = d;
    return true;
}

// The copy to draw instead of `tex` for the unrotated quad `v` (corners clockwise from the top left) showing
// part of a tex_w x tex_h texture; null where the texture is to be drawn itself. `at` is where the renderer
// puts the copy's top left corner.
const ScaledCopy* scaled_copy(SDL_Texture* tex, const SDL_Vertex* v, int tex_w, int tex_h, SDL_Point* at) {
    // The rectangle copy the renderer makes of this quad, worked out as it does.
    SDL_Rect src;
    src.x = (int)(v[0].tex_coord.x * tex_w);
    src.y = (int)(v[0].tex_coord.y * tex_h);
    src.w = (int)(v[2].tex_coord.x * tex_w - src.x);
    src.h = (int)(v[2].tex_coord.y * tex_h - src.y);
    const float dw = v[2].position.x - v[0].position.x, dh = v[2].position.y - v[0].position.y;
    SDL_Rect dst{(int)v[0].position.x, (int)v[0].position.y, (int)dw, (int)dh};
    if (src.w <= 0 || src.h <= 0 || dst.w <= 0 || dst.h <= 0 || (src.w == dst.w && src.h == dst.h)) return nullptr;
    if (src.x < 0 || src.y < 0 || src.x + src.w > tex_w || src.y + src.h > tex_h) return nullptr;
    const bool crosses_edge = dst.x < 0 || dst.y < 0 || dst.x + dst.w > out_w || dst.y + dst.h > out_h;
    if (!crosses_edge && SDL_RenderIsClipEnabled(renderer)) {
        SDL_Rect clip;
        SDL_RenderGetClipRect(renderer, &clip);
        if ((dst.x < clip.x || dst.y < clip.y || dst.x + dst.w > clip.x + clip.w || dst.y + dst.h > clip.y + clip.h) &&
            !clip_stretch(clip, tex_w, tex_h, src, dst))
            return nullptr;
    }
    *at = {dst.x, dst.y};
    const ScaledKey key{tex, src.x, src.y, src.w, src.h, dst.w, dst.h};
    auto [it, fresh] = scaled_copies.try_emplace(key);
    ScaledCopy& c = it->second;
    c.last_frame = frame_number;
    // What goes into the cached picture is drawn again as it is whenever that picture cannot be used (a screen
    // dimming or fading over it): its copies are made at once and kept while the picture is.
    c.pinned = c.pinned || picture_drawing;
    if (c.tex || (fresh && !picture_drawing)) return c.tex ? &c : nullptr;
    // Seen a second time: worth a copy, within the budget. The longest unused copies make room, but not those
    // of this frame or the last: on a screen too large for the budget, copies would otherwise be made and
    // dropped in turn every frame, which costs more than stretching each draw.
    const size_t bytes = (size_t)dst.w * dst.h * 4;
    if (bytes > scaled_budget / 4) return nullptr;
    while (scaled_bytes + bytes > scaled_budget) {
        auto oldest = scaled_copies.end();
        for (auto j = scaled_copies.begin(); j != scaled_copies.end(); ++j)
            if (j->second.tex && !j->second.pinned &&
                (oldest == scaled_copies.end() || j->second.last_frame < oldest->second.last_frame))
                oldest = j;
        if (oldest == scaled_copies.end() || oldest->second.last_frame >= frame_number - 1) return nullptr;
        drop_scaled(oldest);
    }
    c.tex = make_scaled_copy(tex, src, dst.w, dst.h, c.pieces);
    if (!c.tex) return nullptr;
    scaled_bytes += bytes;
    return &c;
}

// Draws a copy at its own size with the colour and blending of the draw it stands for.
void draw_scaled_copy(const ScaledCopy& c, SDL_Point at, SDL_BlendMode blend, SDL_Color col) {
    SDL_SetTextureBlendMode(c.tex, blend);
    SDL_SetTextureColorMod(c.tex, col.r, col.g, col.b);
    SDL_SetTextureAlphaMod(c.tex, col.a);
    // Only where a transparent pixel leaves the picture as it is may those be left out.
    if (c.pieces.empty() || (blend != SDL_BLENDMODE_BLEND && blend != SDL_BLENDMODE_ADD)) {
        int w, h;
        SDL_QueryTexture(c.tex, nullptr, nullptr, &w, &h);
        const SDL_Rect d{at.x, at.y, w, h};
        SDL_RenderCopy(renderer, c.tex, nullptr, &d);
        return;
    }
    for (const SDL_Rect& p : c.pieces) {
        const SDL_Rect d{at.x + p.x, at.y + p.y, p.w, p.h};
        SDL_RenderCopy(renderer, c.tex, &p, &d);
    }
}

}  // namespace

void set_scaled_copies(int on) {
    scaled_copies_on = on ? 1 : 0;
    if (!on) forget_scaled_copies();
}

int scaled_copies_kept() {
    int n = 0;
    for (const auto& [key, copy] : scaled_copies) n += copy.tex != nullptr;
    return n;
}

// ---------------------------------------------------------------------------------------------------------------
// Images

struct ImageData {
    int width = 0, height = 0;  // one frame
    float hx = 0, hy = 0;
    int flags = 3;
    // The decoded (and masked) sheet. Once the texture holds it, the copy of a loaded file is let go and read
    // again from `source` only if the overlap test, the mask blend or a new drawing context needs it.
    Pixels pix;
    std::string source;
    int source_mask[3] = {0, 0, 0};
    bool pixels_dropped = false;
    // Loaded while loading was deferred: only the header has been read; `pending` holds the file, decoded when
    // the image is first needed or by load_deferred_images, whichever comes first. `broken`: it then failed.
    bool deferred = false;
    bool broken = false;
    bool sheet = false;  // loaded as a sheet of frames (for the loader's error line)
    std::string pending;
    std::vector<SDL_Rect> cells;  // frame rectangles in pix
    // Texture: single frames are uploaded as they are; several frames go into an atlas with a one-pixel
    // border copied from each cell's edge, so that filtering never bleeds a neighbouring cell in.
    SDL_Texture* tex = nullptr;
    int tex_generation = -1;
    int tex_w = 0, tex_h = 0;
    std::vector<SDL_Rect> tex_cells;
    int pushed_blend = -1;
    // Threshold copy for the mask blend mode (alpha test), built when first needed.
    SDL_Texture* mask_tex = nullptr;
    int mask_generation = -1;
    int mask_alpha = -1;

    ~ImageData() {
        if (tex && tex_generation == context_generation) {
            forget_scaled_copies_of(tex);
            SDL_DestroyTexture(tex);
        }
        if (mask_tex && mask_generation == context_generation) {
            forget_scaled_copies_of(mask_tex);
            SDL_DestroyTexture(mask_tex);
        }
    }
};

namespace {

TImage make_image(Pixels&& pix, std::vector<SDL_Rect>&& cells, int cw, int ch, int flags) {
    auto img = std::make_shared<ImageData>();
    img->pix = std::move(pix);
    img->cells = std::move(cells);
    img->width = cw;
    img->height = ch;
    img->flags = flags;
    if (auto_midhandle) {
        img->hx = cw * 0.5f;
        img->hy = ch * 0.5f;
    }
    return img;
}

bool load_pixels(const std::string& path, int flags, const int* mask, Pixels& pix) {
    if (!decode_image_file(resolve_path(path), pix)) return false;
    if ((flags & IMAGE_MASKED) && !pix.has_alpha) mask_pixels(pix, mask[0], mask[1], mask[2]);
    return true;
}

bool resolve(ImageData& im);

// Brings back the pixel copy of an image whose texture was made at load; false when the file cannot be read
// again as it was.
bool ensure_pixels(ImageData& im) {
    if (im.deferred) resolve(im);
    if (im.broken) return false;
    if (!im.pixels_dropped) return true;
    Pixels p;
    if (!load_pixels(im.source, im.flags, im.source_mask, p) || p.w != im.pix.w || p.h != im.pix.h) return false;
    im.pix = std::move(p);
    im.pixels_dropped = false;
    return true;
}

SDL_Texture* upload(const uint8_t* rgba, int w, int h, int flags) {
    SDL_Texture* t = SDL_CreateTexture(renderer, SDL_PIXELFORMAT_ABGR8888, SDL_TEXTUREACCESS_STATIC, w, h);
    if (!t) return nullptr;
    SDL_UpdateTexture(t, nullptr, rgba, w * 4);
    SDL_SetTextureScaleMode(t, (flags & IMAGE_FILTERED) ? SDL_ScaleModeLinear : SDL_ScaleModeNearest);
    return t;
}

// Lays the frames out into an RGBA buffer: a single frame that is the whole sheet is used as it is (`out` stays
// empty and the sheet's own pixels are the texture); several frames go into an atlas with copied borders.
void layout_texture(ImageData& im, const std::vector<uint8_t>& src, std::vector<uint8_t>& out) {
    const int cw = im.width, ch = im.height, n = (int)im.cells.size();
    im.tex_cells.clear();
    out.clear();
    if (n == 1 && im.cells[0].w == im.pix.w && im.cells[0].h == im.pix.h) {
        im.tex_w = im.pix.w;
        im.tex_h = im.pix.h;
        im.tex_cells.push_back({0, 0, cw, ch});
        return;
    }
    const int pw = cw + 2, ph = ch + 2;
    int cols = std::max(1, std::min(n, 8192 / pw));
    int rows = (n + cols - 1) / cols;
    im.tex_w = cols * pw;
    im.tex_h = rows * ph;
    out.assign((size_t)im.tex_w * im.tex_h * 4, 0);
    const size_t row_bytes = (size_t)cw * 4;
    for (int k = 0; k < n; ++k) {
        const SDL_Rect& c = im.cells[k];
        int ox = (k % cols) * pw, oy = (k / cols) * ph;
        for (int y = -1; y <= ch; ++y) {
            const int sy = std::clamp(y, 0, ch - 1) + c.y;
            const uint8_t* s = &src[((size_t)sy * im.pix.w + c.x) * 4];
            uint8_t* d = &out[((size_t)(oy + y + 1) * im.tex_w + ox) * 4];
            std::memcpy(d, s, 4);                       // left border: the cell's first pixel again
            std::memcpy(d + 4, s, row_bytes);           // the row
            std::memcpy(d + 4 + row_bytes, s + row_bytes - 4, 4);  // right border: its last pixel again
        }
        im.tex_cells.push_back({ox + 1, oy + 1, cw, ch});
    }
}

SDL_Texture* texture_of(ImageData& im) {
    if (im.deferred) resolve(im);
    if (im.tex && im.tex_generation == context_generation) return im.tex;
    if (!renderer) return nullptr;
    im.tex = nullptr;
    if (!ensure_pixels(im)) return nullptr;
    im.pushed_blend = -1;
    std::vector<uint8_t> buf;
    layout_texture(im, im.pix.rgba, buf);
    im.tex = upload(buf.empty() ? im.pix.rgba.data() : buf.data(), im.tex_w, im.tex_h, im.flags);
    im.tex_generation = context_generation;
    return im.tex;
}

// The alpha-tested copy: a texel is kept opaque where texel alpha x drawing alpha >= 0.5, else cleared.
SDL_Texture* mask_texture_of(ImageData& im, int alpha_byte) {
    if (im.mask_tex && im.mask_generation == context_generation && im.mask_alpha == alpha_byte) return im.mask_tex;
    if (im.mask_tex && im.mask_generation == context_generation) {
        forget_scaled_copies_of(im.mask_tex);
        SDL_DestroyTexture(im.mask_tex);
    }
    im.mask_tex = nullptr;
    if (!texture_of(im) || !ensure_pixels(im)) return nullptr;
    std::vector<uint8_t> src = im.pix.rgba;
    for (size_t i = 0; i < src.size(); i += 4) src[i + 3] = (src[i + 3] * alpha_byte >= 255 * 255 / 2 + 1) ? 255 : 0;
    std::vector<uint8_t> buf;
    layout_texture(im, src, buf);
    im.mask_tex = upload(buf.empty() ? src.data() : buf.data(), im.tex_w, im.tex_h, im.flags);
    SDL_SetTextureBlendMode(im.mask_tex, SDL_BLENDMODE_BLEND);
    im.mask_generation = context_generation;
    im.mask_alpha = alpha_byte;
    return im.mask_tex;
}

SDL_BlendMode sdl_blend(int mode) {
    switch (mode) {
        case BLEND_ALPHA: return SDL_BLENDMODE_BLEND;
        case BLEND_LIGHT: return SDL_BLENDMODE_ADD;
        case BLEND_SHADE: return SDL_BLENDMODE_MOD;
        default: return SDL_BLENDMODE_NONE;
    }
}

// The texture is made as the image is loaded, so that no first draw in the middle of play pays for it; the
// pixel copy then goes (it can be read again from the file).
void settle(ImageData& im) {
    if (texture_of(im)) {
        std::vector<uint8_t>().swap(im.pix.rgba);
        im.pixels_dropped = true;
    }
}

// Decodes the file of an image loaded while loading was deferred, and makes its texture as any load does.
// A file that no longer decodes to the size its header gave leaves the image without pixels: it draws nothing.
bool resolve(ImageData& im) {
    if (!im.deferred) return !im.broken;
    im.deferred = false;
    const std::string bytes = std::move(im.pending);
    im.pending.clear();
    Pixels p;
    if (!decode_image_memory((const uint8_t*)bytes.data(), bytes.size(), p) || p.w != im.pix.w || p.h != im.pix.h) {
        // Reported as the loader reports a file it cannot decode, only later.
        std::printf(im.sheet ? "error LoadAnimIm %s\n" : "error LoadIm %s\n", im.source.c_str());
        im.broken = true;
        return false;
    }
    if ((im.flags & IMAGE_MASKED) && !p.has_alpha) mask_pixels(p, im.source_mask[0], im.source_mask[1], im.source_mask[2]);
    im.pix = std::move(p);
    settle(im);
    return true;
}

int defer_loading = 0;
std::vector<std::weak_ptr<ImageData>> deferred_images;  // in the order they were loaded
size_t deferred_next = 0;

// One loader for whole pictures (cell_w 0) and sheets of frames.
TImage load_sheet(const std::string& path, int cell_w, int cell_h, int first, int count, int flags) {
    if (flags == -1) flags = IMAGE_MASKED | IMAGE_FILTERED;
    if (cell_w < 0 || (cell_w > 0 && (cell_h <= 0 || count <= 0 || first < 0))) return nullptr;
    const bool sheet = cell_w > 0;
    Pixels pix;
    const int mask[3] = {mask_r, mask_g, mask_b};
    std::string bytes;
    if (defer_loading) {
        if (read_file(resolve_path(path), bytes, (size_t)64 << 20) != READ_OK ||
            !decode_image_size((const uint8_t*)bytes.data(), bytes.size(), &pix.w, &pix.h))
            return nullptr;
    } else if (!load_pixels(path, flags, mask, pix)) {
        return nullptr;
    }
    std::vector<SDL_Rect> cells;
    if (cell_w == 0) {
        cells.push_back({0, 0, pix.w, pix.h});
        cell_w = pix.w;
        cell_h = pix.h;
    } else {
        std::vector<CellRect> cut;
        if (!cut_cells(pix.w, pix.h, cell_w, cell_h, first, count, cut)) return nullptr;
        for (const CellRect& c : cut) cells.push_back({c.x, c.y, c.w, c.h});
    }
    TImage img = make_image(std::move(pix), std::move(cells), cell_w, cell_h, flags);
    img->source = path;
    std::copy(mask, mask + 3, img->source_mask);
    if (defer_loading) {
        img->sheet = sheet;
        img->deferred = true;
        img->pending = std::move(bytes);
        deferred_images.push_back(img);
        return img;
    }
    settle(*img);
    return img;
}

// Whole pictures decoded ahead of their load (see prepare_image), with the mask colour they were made with.
struct Prepared {
    std::string path;
    TImage image;
    int mask[3];
};
std::vector<std::string> prepare_queue;
// Never destroyed: at the end of the program no texture may be freed after the renderer has gone.
std::vector<Prepared>& prepared = *new std::vector<Prepared>;

TImage take_prepared(const std::string& path, int flags) {
    for (auto it = prepared.begin(); it != prepared.end(); ++it) {
        const Prepared& p = *it;
        if (p.path != path || !p.image || p.image->flags != flags || p.mask[0] != mask_r || p.mask[1] != mask_g ||
            p.mask[2] != mask_b)
            continue;
        TImage img = p.image;
        prepared.erase(it);
        img->hx = auto_midhandle ? img->width * 0.5f : 0;
        img->hy = auto_midhandle ? img->height * 0.5f : 0;
        return img;
    }
    return nullptr;
}

}  // namespace

TImage load_image(const std::string& path, int flags) {
    if (!prepared.empty() && !defer_loading)
        if (TImage img = take_prepared(path, flags == -1 ? IMAGE_MASKED | IMAGE_FILTERED : flags)) return img;
    return load_sheet(path, 0, 0, 0, 1, flags);
}

void prepare_image(const std::string& path) {
    if (!renderer || render_off == RENDER_NOTHING) return;
    prepare_queue.push_back(path);
}

int prepare_images_step(double budget_ms) {
    const double start = thread_cpu_ms();
    while (!prepare_queue.empty() && thread_cpu_ms() - start < budget_ms) {
        const std::string path = prepare_queue.front();
        prepare_queue.erase(prepare_queue.begin());
        const int saved = defer_loading;
        defer_loading = 0;
        if (TImage img = load_sheet(path, 0, 0, 0, 1, -1)) prepared.push_back({path, img, {mask_r, mask_g, mask_b}});
        defer_loading = saved;
    }
    return (int)prepare_queue.size();
}

void forget_prepared_images() {
    prepare_queue.clear();
    prepared.clear();
}

TImage load_anim_image(const std::string& path, int cell_w, int cell_h, int first, int count, int flags) {
    if (cell_w <= 0) return nullptr;
    return load_sheet(path, cell_w, cell_h, first, count, flags);
}

void set_deferred_loading(int on) { defer_loading = on ? 1 : 0; }

int load_deferred_images(double budget_ms) {
    const double start = thread_cpu_ms();
    while (deferred_next < deferred_images.size() && thread_cpu_ms() - start < budget_ms) {
        if (TImage img = deferred_images[deferred_next++].lock()) {
            const double t0 = thread_cpu_ms();
            resolve(*img);
            if (timing_on()) std::fprintf(stderr, "deferred %s %.1f ms\n", img->source.c_str(), thread_cpu_ms() - t0);
        }
    }
    if (deferred_next >= deferred_images.size()) {
        deferred_images.clear();
        deferred_next = 0;
    }
    return (int)(deferred_images.size() - deferred_next);
}

TImage image_from_rgba(const uint8_t* rgba, int w, int h, int flags) {
    if (!rgba || w <= 0 || h <= 0) return nullptr;
    Pixels pix;
    pix.w = w;
    pix.h = h;
    pix.has_alpha = true;
    pix.rgba.assign(rgba, rgba + (size_t)w * h * 4);
    return make_image(std::move(pix), {{0, 0, w, h}}, w, h, flags < 0 ? 3 : flags);
}

void set_mask_color(int r, int g, int b) {
    mask_r = r;
    mask_g = g;
    mask_b = b;
}

void set_auto_midhandle(int on) { auto_midhandle = on ? 1 : 0; }
int get_auto_midhandle() { return auto_midhandle; }

void set_image_handle(const TImage& image, float x, float y) {
    if (!image) return;
    image->hx = x;
    image->hy = y;
}

float image_handle_x(const TImage& image) { return image ? image->hx : 0; }
float image_handle_y(const TImage& image) { return image ? image->hy : 0; }
int image_width(const TImage& image) { return image ? image->width : 0; }
int image_height(const TImage& image) { return image ? image->height : 0; }
int image_frames(const TImage& image) { return image ? (int)image->cells.size() : 0; }

uint32_t image_pixel(const TImage& image, int frame, int x, int y) {
    if (!image || frame < 0 || frame >= (int)image->cells.size() || x < 0 || y < 0 || x >= image->width ||
        y >= image->height || !ensure_pixels(*image))
        return 0;
    const SDL_Rect& c = image->cells[frame];
    const uint8_t* p = &image->pix.rgba[((size_t)(c.y + y) * image->pix.w + (c.x + x)) * 4];
    return (uint32_t)p[0] << 24 | (uint32_t)p[1] << 16 | (uint32_t)p[2] << 8 | p[3];
}

int image_has_texture(const TImage& image) {
    return image && !image->deferred && image->tex && image->tex_generation == context_generation ? 1 : 0;
}

int image_holds_pixels(const TImage& image) {
    return image && !image->deferred && !image->broken && !image->pixels_dropped ? 1 : 0;
}

namespace {
DrawObserver draw_observer = nullptr;
}

void set_draw_observer(DrawObserver observer) { draw_observer = observer; }

void draw_image(const TImage& image, float x, float y, int frame) {
    if (!drawing_on || render_off == RENDER_NOTHING || !image || !renderer || frame < 0 ||
        frame >= (int)image->cells.size())
        return;
    if (draw_observer) draw_observer(image, x, y, frame);
    ImageData& im = *image;
    SDL_Texture* tex;
    SDL_Color col{(Uint8)ds.r, (Uint8)ds.g, (Uint8)ds.b, ds.alpha_byte};
    if (ds.blend == BLEND_MASK) {
        if (ds.alpha_byte * 2 < 255) return;  // nothing reaches the threshold
        tex = mask_texture_of(im, ds.alpha_byte);
        col.a = 255;
    } else {
        tex = texture_of(im);
        if (tex && im.pushed_blend != ds.blend) {
            SDL_SetTextureBlendMode(tex, sdl_blend(ds.blend));
            im.pushed_blend = ds.blend;
        }
    }
    if (!tex) return;
    // Blended at alpha 0 or squashed flat, nothing of it shows: the rasteriser need not even be asked (on the
    // software renderer every call costs, visible or not).
    if ((col.a == 0 && (ds.blend == BLEND_ALPHA || ds.blend == BLEND_LIGHT)) || ds.sx == 0 || ds.sy == 0) return;

    const SDL_Rect& tc = im.tex_cells[frame];
    const float u0 = -im.hx, v0 = -im.hy, u1 = im.width - im.hx, v1 = im.height - im.hy;
    // The software renderer turns the texture coordinates back into texels by truncating; a coordinate that
    // falls a hair short of its texel in floating point would show the cell one texel off (a sliver of the
    // neighbouring border, letters out of step). A sixty-fourth of a texel further lands on the texel itself
    // (never past the texture's end: the renderer copies a rectangle only when every coordinate lies inside).
    const float nudge = renderer_is_software ? 1.0f / 64 : 0.0f;
    const float tu0 = (tc.x + nudge) / im.tex_w, tv0 = (tc.y + nudge) / im.tex_h;
    const float tu1 = std::min(1.0f, (tc.x + tc.w + nudge) / im.tex_w);
    const float tv1 = std::min(1.0f, (tc.y + tc.h + nudge) / im.tex_h);

    SDL_Vertex v[4];
    const float us[4] = {u0, u1, u1, u0}, vs[4] = {v0, v0, v1, v1};
    const float tus[4] = {tu0, tu1, tu1, tu0}, tvs[4] = {tv0, tv0, tv1, tv1};
    for (int i = 0; i < 4; ++i) {
        float lx = us[i] * ds.ix + vs[i] * ds.iy + x;
        float ly = us[i] * ds.jx + vs[i] * ds.jy + y;
        v[i].position = {lx * scale_dx + area_x, ly * scale_dy + area_y};
        v[i].color = col;
        v[i].tex_coord = {tus[i], tvs[i]};
    }
    // The software renderer draws an unrotated image as a rectangle whose corner and size it truncates each
    // on its own: at most scales a row of tiles then shows a gap every few tiles, and letters are set unevenly.
    // Both edges go instead to the pixel whose centre they pass, as a graphics chip fills them: what abuts in
    // the picture abuts on the screen.
    if (renderer_is_software && ds.iy == 0 && ds.jx == 0)
        for (SDL_Vertex& p : v) p.position = {std::ceil(p.position.x - 0.5f), std::ceil(p.position.y - 0.5f)};
    // Wholly off the output: nothing to draw either.
    const float minx = std::min(std::min(v[0].position.x, v[1].position.x), std::min(v[2].position.x, v[3].position.x));
    const float maxx = std::max(std::max(v[0].position.x, v[1].position.x), std::max(v[2].position.x, v[3].position.x));
    const float miny = std::min(std::min(v[0].position.y, v[1].position.y), std::min(v[2].position.y, v[3].position.y));
    const float maxy = std::max(std::max(v[0].position.y, v[1].position.y), std::max(v[2].position.y, v[3].position.y));
    if (maxx < 0 || maxy < 0 || minx > (float)out_w || miny > (float)out_h) return;
    // Unrotated and unmirrored: the software renderer copies a rectangle, from a copy made at this size if the
    // draw keeps coming back at it. (The copies are kept even with the rasteriser left out, so that a soak
    // runs their bookkeeping too.)
    if (renderer_is_software && scaled_copies_on && ds.iy == 0 && ds.jx == 0 && ds.ix > 0 && ds.jy > 0 &&
        (im.flags & IMAGE_FILTERED)) {
        SDL_Point at;
        if (const ScaledCopy* copy = scaled_copy(tex, v, im.tex_w, im.tex_h, &at)) {
            if (!render_off)
                draw_scaled_copy(*copy, at, ds.blend == BLEND_MASK ? SDL_BLENDMODE_BLEND : sdl_blend(ds.blend), col);
            return;
        }
    }
    if (render_off) return;
    static const int idx[6] = {0, 1, 2, 0, 2, 3};
    SDL_RenderGeometry(renderer, tex, v, 4, idx, 6);
}

// Overlap test: both frames are placed as draw_image would place them; grid pixels whose centres fall inside
// both quads are mapped back into each frame, and a pixel solid (alpha >= 128) in both answers 1.
int images_collide(const TImage& a, float x1, float y1, int f1, const TImage& b, float x2, float y2, int f2) {
    if (!a || !b || f1 < 0 || f2 < 0 || f1 >= (int)a->cells.size() || f2 >= (int)b->cells.size()) return 0;
    if (!ensure_pixels(*a) || !ensure_pixels(*b)) return 0;
    struct Placed {
        const ImageData* im;
        int frame;
        float x, y;
        float minx, miny, maxx, maxy;
    };
    auto place = [&](const ImageData* im, int frame, float x, float y) {
        Placed p{im, frame, x, y, 1e30f, 1e30f, -1e30f, -1e30f};
        float us[2] = {-im->hx, im->width - im->hx}, vs[2] = {-im->hy, im->height - im->hy};
        for (float u : us)
            for (float v : vs) {
                float px = u * ds.ix + v * ds.iy + x, py = u * ds.jx + v * ds.jy + y;
                p.minx = std::min(p.minx, px);
                p.maxx = std::max(p.maxx, px);
                p.miny = std::min(p.miny, py);
                p.maxy = std::max(p.maxy, py);
            }
        return p;
    };
    Placed pa = place(a.get(), f1, x1, y1), pb = place(b.get(), f2, x2, y2);
    float minx = std::max(pa.minx, pb.minx), maxx = std::min(pa.maxx, pb.maxx);
    float miny = std::max(pa.miny, pb.miny), maxy = std::min(pa.maxy, pb.maxy);
    if (minx >= maxx || miny >= maxy) return 0;
    // Inverse of the 2x2 transform.
    float det = ds.ix * ds.jy - ds.iy * ds.jx;
    if (std::fabs(det) < 1e-12f) return 0;
    float inv_a = ds.jy / det, inv_b = -ds.iy / det, inv_c = -ds.jx / det, inv_d = ds.ix / det;
    auto solid = [&](const Placed& p, float gx, float gy) {
        float dx = gx - p.x, dy = gy - p.y;
        float u = inv_a * dx + inv_b * dy + p.im->hx;
        float v = inv_c * dx + inv_d * dy + p.im->hy;
        if (u < 0 || v < 0 || u >= p.im->width || v >= p.im->height) return false;
        if (!p.im->pix.has_alpha && !(p.im->flags & IMAGE_MASKED)) return true;
        const SDL_Rect& c = p.im->cells[p.frame];
        const uint8_t* px = &p.im->pix.rgba[((size_t)(c.y + (int)v) * p.im->pix.w + (c.x + (int)u)) * 4];
        return px[3] >= 128;
    };
    for (int gy = (int)std::floor(miny); gy < (int)std::ceil(maxy); ++gy)
        for (int gx = (int)std::floor(minx); gx < (int)std::ceil(maxx); ++gx) {
            float cx = gx + 0.5f, cy = gy + 0.5f;
            if (solid(pa, cx, cy) && solid(pb, cx, cy)) return 1;
        }
    return 0;
}

// ---------------------------------------------------------------------------------------------------------------
// The game's wrappers

TImage load_image_logged(const std::string& path) {
    TImage im = load_image(path, -1);
    if (!im) std::printf("error LoadIm %s\n", path.c_str());
    return im;
}

TImage load_anim_image_logged(const std::string& path, int cell_w, int cell_h, int count) {
    TImage im = load_anim_image(path, cell_w, cell_h, 0, count, -1);
    if (!im) std::printf("error LoadAnimIm %s\n", path.c_str());
    return im;
}

void draw_image_if_loaded(const TImage& image, float x, float y) {
    if (image) draw_image(image, x, y, 0);
}

void draw_image_frame_in_range(const TImage& image, float x, float y, int frame, int last_frame) {
    if (image && frame >= 0 && frame <= last_frame) draw_image(image, x, y, frame);
}

void draw_image_onscreen(const TImage& image, float x, float y) {
    if (!image) return;
    int half_w = (int)((float)(image_width(image) / 2) * ds.sx);
    int half_h = (int)((float)(image_height(image) / 2) * ds.sy);
    if (x + half_w > 0 && x - half_w < logical_w && y + half_h > 0 && y - half_h < logical_h) draw_image(image, x, y, 0);
}

void resetdrawing() {
    set_blend(BLEND_ALPHA);
    set_scale(1, 1);
    set_alpha(1);
    set_viewport(0, 0, (int)logical_w, (int)logical_h);
    set_rotation(0);
}

// ---------------------------------------------------------------------------------------------------------------
// A cached picture of the output

namespace {
SDL_Texture* picture = nullptr;
int picture_generation = -1, picture_w = 0, picture_h = 0;
std::vector<float> picture_key;
}  // namespace

void picture_forget() {
    unpin_scaled_copies();
    if (picture && picture_generation == context_generation) SDL_DestroyTexture(picture);
    picture = nullptr;
    picture_key.clear();
}

int picture_begin(const std::vector<float>& key) {
    if (!renderer || render_off) return 0;
    if (picture && (picture_generation != context_generation || picture_w != out_w || picture_h != out_h))
        picture_forget();
    if (picture && key == picture_key) return 1;
    if (!picture) {
        picture = SDL_CreateTexture(renderer, SDL_PIXELFORMAT_ARGB8888, SDL_TEXTUREACCESS_TARGET, out_w, out_h);
        if (!picture) return 0;
        picture_generation = context_generation;
        picture_w = out_w;
        picture_h = out_h;
        SDL_SetTextureBlendMode(picture, SDL_BLENDMODE_NONE);
    }
    if (SDL_SetRenderTarget(renderer, picture) != 0) {
        picture_forget();
        return 0;
    }
    picture_key = key;
    unpin_scaled_copies();
    picture_drawing = true;
    SDL_RenderSetClipRect(renderer, nullptr);
    SDL_SetRenderDrawColor(renderer, 0, 0, 0, 255);
    SDL_RenderClear(renderer);
    apply_clip();
    return 0;
}

void picture_end() {
    if (!picture) return;
    if (picture_drawing) {
        SDL_SetRenderTarget(renderer, draw_target());
        picture_drawing = false;
    }
    SDL_RenderSetClipRect(renderer, nullptr);
    SDL_RenderCopy(renderer, picture, nullptr, nullptr);
    apply_clip();
}

// ---------------------------------------------------------------------------------------------------------------
// Reading the frame back

std::vector<uint8_t> read_frame_rgba(int* w, int* h) {
    std::vector<uint8_t> px;
    *w = *h = 0;
    if (!renderer) return px;
    window_output(w, h);
    px.resize((size_t)*w * *h * 4);
    SDL_Rect* clip_saved = nullptr;
    SDL_Rect clip;
    if (SDL_RenderIsClipEnabled(renderer)) {
        SDL_RenderGetClipRect(renderer, &clip);
        clip_saved = &clip;
        SDL_RenderSetClipRect(renderer, nullptr);
    }
    if (frame_stretch && !picture_drawing) {
        // The frame as the window will show it.
        show_frame();
        SDL_RenderReadPixels(renderer, nullptr, SDL_PIXELFORMAT_ABGR8888, px.data(), *w * 4);
        SDL_SetRenderTarget(renderer, frame);
        apply_clip();
        return px;
    }
    SDL_RenderReadPixels(renderer, nullptr, SDL_PIXELFORMAT_ABGR8888, px.data(), *w * 4);
    if (clip_saved) SDL_RenderSetClipRect(renderer, clip_saved);
    return px;
}

int save_frame_png(const std::string& path) {
    int w, h;
    std::vector<uint8_t> px = read_frame_rgba(&w, &h);
    if (px.empty()) return 0;
    for (size_t i = 3; i < px.size(); i += 4) px[i] = 255;
    return write_png_file(path, px.data(), w, h) ? 1 : 0;
}
