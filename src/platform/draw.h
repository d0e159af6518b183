// The game's 2D drawing layer: one global drawing state, images with frames, a logical resolution stretched
// over the window, and the loaders and draw wrappers every screen uses.
#pragma once
#include <cstdint>
#include <memory>
#include <string>
#include <vector>

struct ImageData;
// Shared handle of a loaded image; the image is freed when the last holder drops it. Null = missing image.
using TImage = std::shared_ptr<ImageData>;

enum { IMAGE_MASKED = 1, IMAGE_FILTERED = 2, IMAGE_MIPMAPPED = 4 };
enum { BLEND_MASK = 1, BLEND_SOLID = 2, BLEND_ALPHA = 3, BLEND_LIGHT = 4, BLEND_SHADE = 5 };

// ---- display ----
// Opens a window (depth 0) or full screen (depth 32) of the given size, replacing any open display.
// Images stay valid across reopening.
void graphics_open(int width, int height, int depth, int hz, int flags);
int graphics_mode_exists(int width, int height, int depth, int hz);
// Replays: w > 0 opens every display as a window of w x h; w = -1 opens full-screen requests as a window of
// their own size; 0 back to normal. The logical area is fitted into the window.
void set_window_override(int w, int h);
// RENDER_NOTHING: images are not drawn and frames not shown (headless replays: what the game does never depends
// on it). RENDER_NO_RASTER: every draw is worked out in full (textures, masks, placement, the draw observer) but
// the rasteriser is never asked to fill a pixel (long soaks of the game's own code). 0 back to normal.
enum { RENDER_NOTHING = 1, RENDER_NO_RASTER = 2 };
void set_render_off(int off);
int desktop_width();
int desktop_height();
void set_virtual_resolution(float width, float height);
float virtual_width();
float virtual_height();
void clear_screen();
void flip(int sync);
// 1 once a display is open.
int graphics_is_open();
// Name of the drawing back end in use ("opengl", "software", ...).
std::string renderer_name();
// Closes the display and frees the drawing context (tests; program end).
void graphics_close();

// How the logical area lies on the output: stretched over the whole window (the window modes), or scaled to
// fit with black bars (full screen on a desktop-sized borderless window).
void set_letterbox(int on);
// Drawing can be switched off for frames that are only worked out, never shown (the level solver plays many
// frames of a level out of sight): image draws then do nothing.
void set_drawing(int on);
// Output rectangle (device pixels) that shows the logical area.
void logical_area(int* x, int* y, int* w, int* h);
// Output (device) size in pixels.
void output_size(int* w, int* h);

// Window chores of the shell.
void set_window_title(const std::string& title);
void set_window_icon_rgba(const uint8_t* rgba, int w, int h);
void minimize_window();
// How many times the window was asked to minimise (a window system may refuse, and the dummy driver of the
// headless runs keeps no state that would show it).
int window_minimise_requests();
// Brings the window to the front (restoring it when minimised).
void raise_window();
// Outer rectangle of the game window (with frame) and of the desktop: left, top, right, bottom.
void window_outer_rect(int* l, int* t, int* r, int* b);
// The desktop's rectangle is the usable area of the display the window is on (panels and docks left out).
void desktop_rect(int* l, int* t, int* r, int* b);
// Puts the window, with its frame, in the middle of that area.
void center_window();

// ---- drawing state ----
void set_color(int r, int g, int b);
void set_alpha(float a);
float get_alpha();
void set_blend(int mode);
int get_blend();
void set_rotation(float degrees);
float get_rotation();
void set_scale(float sx, float sy);
void get_scale(float* sx, float* sy);
void set_viewport(int x, int y, int w, int h);
void get_viewport(int* x, int* y, int* w, int* h);
void get_color(int* r, int* g, int* b);

// ---- images ----
TImage load_image(const std::string& path, int flags);
TImage load_anim_image(const std::string& path, int cell_w, int cell_h, int first, int count, int flags);
// While on, images are loaded without decoding: the header gives their size (a missing or broken file is still
// refused at once), and the pixels are decoded when the image is first used, or earlier by
// load_deferred_images. Start-up loads this way what the first screens do not show.
void set_deferred_loading(int on);
// Decodes deferred images, oldest first, until `budget_ms` of this thread's CPU time is spent (one at least
// when any is left and the budget is above 0); returns how many are left.
int load_deferred_images(double budget_ms);
// A whole picture that is about to be loaded (the next screen's background, while the screen fades out) can be
// decoded ahead: prepare_image queues its file, prepare_images_step decodes queued files (and makes their
// textures) within a budget of this thread's CPU time, and load_image of the same file, with the default flags
// and the same mask colour, then takes the prepared image instead of decoding. forget_prepared_images drops
// what was not taken. Nothing is prepared without a display.
void prepare_image(const std::string& path);
int prepare_images_step(double budget_ms);
void forget_prepared_images();
// An image made from pixels in memory (RGBA, row-major), one frame.
TImage image_from_rgba(const uint8_t* rgba, int w, int h, int flags);
void set_mask_color(int r, int g, int b);
void set_auto_midhandle(int on);
int get_auto_midhandle();
void set_image_handle(const TImage& image, float x, float y);
float image_handle_x(const TImage& image);
float image_handle_y(const TImage& image);
int image_width(const TImage& image);
int image_height(const TImage& image);
int image_frames(const TImage& image);
// RGBA pixel of a frame (for tests and tools); 0 outside.
uint32_t image_pixel(const TImage& image, int frame, int x, int y);
// 1 when the image's texture exists (it is made as the image is loaded, once a display is open); 1 when the
// decoded pixels are held in memory besides it (images made from memory, or read back for the overlap test).
int image_has_texture(const TImage& image);
int image_holds_pixels(const TImage& image);
void draw_image(const TImage& image, float x, float y, int frame);
// A hook that sees every image drawn, with the drawing state in force (tests and the soak tool); null for none.
using DrawObserver = void (*)(const TImage& image, float x, float y, int frame);
void set_draw_observer(DrawObserver observer);
// On the software renderer an image drawn unrotated at another size than its own is stretched anew at every
// draw; a draw that comes back at the same size is instead stretched once into a copy kept for it (the same
// pixels, far less work). 0 switches the copies off and frees them (tests and benches compare both ways).
void set_scaled_copies(int on);
// How many such copies are kept now.
int scaled_copies_kept();
int images_collide(const TImage& image1, float x1, float y1, int frame1, const TImage& image2, float x2, float y2,
                   int frame2);

// ---- the game's wrappers ----
TImage load_image_logged(const std::string& path);
TImage load_anim_image_logged(const std::string& path, int cell_w, int cell_h, int count);
void draw_image_if_loaded(const TImage& image, float x, float y);
void draw_image_frame_in_range(const TImage& image, float x, float y, int frame, int last_frame);
void draw_image_onscreen(const TImage& image, float x, float y);
void resetdrawing();

// ---- a cached picture of the whole output ----
// Drawing that repeats unchanged from frame to frame (the still layers of a background) can be kept as one
// picture of the output and put back with a single copy. `key` names what is drawn: while it is the one the
// picture was made with, picture_begin returns 1 and nothing needs drawing; otherwise it returns 0 and the
// drawing up to picture_end goes into the picture. picture_end then puts the picture on the screen. The
// drawing must start on a cleared screen and cover it (the picture replaces everything under it).
int picture_begin(const std::vector<float>& key);
void picture_end();
// Forgets the picture (the next picture_begin draws afresh).
void picture_forget();

// ---- reading the frame back ----
// The current back buffer as RGBA rows (output size). Used by the headless harness and screenshots.
std::vector<uint8_t> read_frame_rgba(int* w, int* h);
// Writes the back buffer to a PNG file; returns 1 on success.
int save_frame_png(const std::string& path);
