#include <gtest/gtest.h>

#include <png.h>

#include <cmath>
#include <cstring>
#include <filesystem>
#include <vector>

#include "app/harness.h"
#include "app/profiles.h"
#include "app/screenflow.h"
#include "aztec/catalogue.h"
#include "aztec/levelrun.h"
#include "effects/effects.h"
#include "effects/particles.h"
#include "platform/draw.h"
#include "platform/imagefile.h"
#include "platform/random.h"
#include "storage/players.h"
#include "storage/settings.h"
#include "support/headless.h"
#include "ui/popups.h"

namespace {

struct Rgb {
    int r, g, b;
};

// Draws on an 800 x 600 logical screen that maps one to one onto the 800 x 600 window.
class Draw : public ::testing::Test {
protected:
    void SetUp() override {
        headless();
        set_virtual_resolution(800, 600);
        set_auto_midhandle(0);
        set_rotation(0);
        set_scale(1, 1);
        set_alpha(1);
        set_color(255, 255, 255);
        set_blend(BLEND_ALPHA);
        set_viewport(0, 0, 800, 600);
        clear_screen();
    }
    void TearDown() override { set_virtual_resolution(1024, 768); }

    Rgb at(int x, int y) {
        int w, h;
        std::vector<uint8_t> px = read_frame_rgba(&w, &h);
        const uint8_t* p = &px[((size_t)y * w + x) * 4];
        return {p[0], p[1], p[2]};
    }

    static TImage solid(int w, int h, int r, int g, int b, int a, int flags = IMAGE_MASKED) {
        std::vector<uint8_t> px((size_t)w * h * 4);
        for (size_t i = 0; i < px.size(); i += 4) {
            px[i] = (uint8_t)r;
            px[i + 1] = (uint8_t)g;
            px[i + 2] = (uint8_t)b;
            px[i + 3] = (uint8_t)a;
        }
        return image_from_rgba(px.data(), w, h, flags);
    }
};

bool write_rgb_png(const std::string& path, const std::vector<uint8_t>& rgb, int w, int h) {
    png_image img;
    std::memset(&img, 0, sizeof img);
    img.version = PNG_IMAGE_VERSION;
    img.width = w;
    img.height = h;
    img.format = PNG_FORMAT_RGB;
    return png_image_write_to_file(&img, path.c_str(), 0, rgb.data(), 0, nullptr) != 0;
}

}  // namespace

TEST_F(Draw, RotatedScaledQuadCoversTheTransformedSquare) {
    // White square with a red top row; handle (32, 32), scale 2, rotation 90 at (100, 100).
    std::vector<uint8_t> px(64 * 64 * 4, 255);
    for (int x = 0; x < 64; ++x) {
        px[x * 4 + 1] = 0;
        px[x * 4 + 2] = 0;
    }
    TImage im = image_from_rgba(px.data(), 64, 64, IMAGE_MASKED);
    set_image_handle(im, 32, 32);
    set_scale(2, 2);
    set_rotation(90);
    draw_image(im, 100, 100, 0);
    set_rotation(0);
    set_scale(1, 1);

    EXPECT_EQ(at(36, 36).g, 255);
    EXPECT_EQ(at(36, 163).g, 255);
    EXPECT_EQ(at(100, 100).g, 255);
    EXPECT_EQ(at(35, 100).r, 0);
    EXPECT_EQ(at(100, 35).r, 0);
    EXPECT_EQ(at(164, 100).r, 0);
    EXPECT_EQ(at(100, 164).r, 0);
    // The former top edge now lies along the right side.
    Rgb right = at(163, 100);
    EXPECT_EQ(right.r, 255);
    EXPECT_EQ(right.g, 0);
    EXPECT_EQ(at(37, 100).g, 255);
}

TEST_F(Draw, BlendModesAgainstAKnownBackground) {
    TImage bg = solid(800, 600, 100, 100, 100, 255);
    TImage fg = solid(50, 50, 200, 0, 0, 255);
    TImage faint = solid(50, 50, 200, 0, 0, 100);
    auto paint = [&](int mode, float alpha, const TImage& im) {
        set_blend(BLEND_SOLID);
        set_alpha(1);
        draw_image(bg, 0, 0, 0);
        set_blend(mode);
        set_alpha(alpha);
        draw_image(im, 10, 10, 0);
        set_alpha(1);
        return at(30, 30);
    };
    auto near = [](Rgb c, int r, int g, int b) {
        return std::abs(c.r - r) <= 3 && std::abs(c.g - g) <= 3 && std::abs(c.b - b) <= 3;
    };
    Rgb c = paint(BLEND_ALPHA, 0.5f, fg);
    EXPECT_TRUE(near(c, 150, 50, 50)) << c.r << "," << c.g << "," << c.b;
    c = paint(BLEND_LIGHT, 0.5f, fg);
    EXPECT_TRUE(near(c, 200, 100, 100)) << c.r << "," << c.g << "," << c.b;
    c = paint(BLEND_SHADE, 0.5f, fg);
    EXPECT_TRUE(near(c, 78, 0, 0)) << c.r << "," << c.g << "," << c.b;
    c = paint(BLEND_SOLID, 0.5f, fg);
    EXPECT_TRUE(near(c, 200, 0, 0)) << c.r << "," << c.g << "," << c.b;
    // The mask mode is an alpha test: at or above one half it writes opaque, below it leaves the pixel.
    c = paint(BLEND_MASK, 0.6f, fg);
    EXPECT_TRUE(near(c, 200, 0, 0)) << c.r << "," << c.g << "," << c.b;
    c = paint(BLEND_MASK, 1.0f, faint);
    EXPECT_TRUE(near(c, 100, 100, 100)) << c.r << "," << c.g << "," << c.b;
    c = paint(BLEND_MASK, 0.4f, fg);
    EXPECT_TRUE(near(c, 100, 100, 100)) << c.r << "," << c.g << "," << c.b;
    set_blend(BLEND_ALPHA);
}

// Replays draw nothing at all; long soaks work every draw out (textures, the observer that steers them) but leave
// the pixels alone; and back to normal, drawing shows again.
TEST_F(Draw, RenderingOffSkipsTheRasteriserOrEverything) {
    static int seen;
    seen = 0;
    set_draw_observer([](const TImage&, float, float, int) { ++seen; });
    TImage red = solid(40, 40, 220, 0, 0, 255);
    auto draw_red = [&](int mode) {
        set_render_off(mode);
        clear_screen();
        draw_image(red, 100, 100, 0);
        set_render_off(0);
        return at(120, 120);
    };
    set_blend(BLEND_SOLID);
    draw_image(solid(800, 600, 0, 90, 0, 255), 0, 0, 0);  // what the screen showed before
    seen = 0;

    Rgb c = draw_red(RENDER_NO_RASTER);
    EXPECT_EQ(seen, 1);
    EXPECT_EQ(c.r, 0) << "the rasteriser was asked to fill pixels";
    EXPECT_TRUE(image_has_texture(red));
    c = draw_red(RENDER_NOTHING);
    EXPECT_EQ(seen, 1) << "a draw was worked out with rendering off";
    EXPECT_EQ(c.r, 0);
    c = draw_red(0);
    EXPECT_EQ(seen, 2);
    EXPECT_EQ(c.r, 220);
    set_draw_observer(nullptr);
    set_blend(BLEND_ALPHA);
}

TEST_F(Draw, ColourAndAlphaAreClampedWhenApplied) {
    TImage fg = solid(20, 20, 255, 255, 255, 255);
    set_blend(BLEND_ALPHA);
    set_alpha(1.5f);
    EXPECT_FLOAT_EQ(get_alpha(), 1.5f);
    set_color(256, 256, 256);
    draw_image(fg, 0, 0, 0);
    EXPECT_EQ(at(5, 5).r, 255);
    set_color(-16, -16, -16);
    draw_image(fg, 40, 0, 0);
    set_color(255, 255, 255);
    set_alpha(1);
    EXPECT_EQ(at(45, 5).r, 0);
}

TEST_F(Draw, MaskedRgbImageGetsTransparentBlackWithoutADarkFringe) {
    // Left half pure black, right half red, no alpha channel.
    std::string dir = temp_folder("mask");
    std::vector<uint8_t> rgb(8 * 4 * 3, 0);
    for (int y = 0; y < 4; ++y)
        for (int x = 4; x < 8; ++x) rgb[(y * 8 + x) * 3] = 255;
    ASSERT_TRUE(write_rgb_png(dir + "m.png", rgb, 8, 4));
    TImage im = load_image(dir + "m.png", -1);
    ASSERT_TRUE(im);
    // A black pixel next to red takes the red of its neighbours with alpha 0; one far from any colour is black.
    EXPECT_EQ(image_pixel(im, 0, 3, 1), 0xff000000u);
    EXPECT_EQ(image_pixel(im, 0, 0, 1), 0x00000000u);
    EXPECT_EQ(image_pixel(im, 0, 5, 1), 0xff0000ffu);

    // A 32-bit image keeps its own alpha even where its colour is the mask colour.
    std::vector<uint8_t> rgba(4 * 4 * 4, 0);
    for (size_t i = 3; i < rgba.size(); i += 4) rgba[i] = 255;
    ASSERT_TRUE(write_png_file(dir + "a.png", rgba.data(), 4, 4));
    TImage keep = load_image(dir + "a.png", -1);
    ASSERT_TRUE(keep);
    EXPECT_EQ(image_pixel(keep, 0, 1, 1), 0x000000ffu);

    // Drawn scaled up with filtering, the edge shows no darkened band.
    clear_screen();
    TImage white = solid(800, 600, 255, 255, 255, 255);
    set_blend(BLEND_SOLID);
    draw_image(white, 0, 0, 0);
    set_blend(BLEND_ALPHA);
    set_scale(20, 20);
    draw_image(im, 0, 0, 0);
    set_scale(1, 1);
    for (int x = 0; x < 160; x += 4) {
        Rgb c = at(x, 40);
        EXPECT_GE(c.g + c.r, 250) << "x " << x;  // never darker than the two sides it blends
    }
}

TEST_F(Draw, AnimationCellsRunLeftToRightThenDown) {
    std::string dir = temp_folder("cells");
    std::vector<uint8_t> px(256 * 128 * 4);
    for (int y = 0; y < 128; ++y)
        for (int x = 0; x < 256; ++x) {
            uint8_t* p = &px[(y * 256 + x) * 4];
            p[0] = (uint8_t)(x / 64 + 4 * (y / 64));  // cell number in red
            p[3] = 255;
        }
    ASSERT_TRUE(write_png_file(dir + "sheet.png", px.data(), 256, 128));
    TImage im = load_anim_image(dir + "sheet.png", 64, 64, 0, 8, -1);
    ASSERT_TRUE(im);
    EXPECT_EQ(image_frames(im), 8);
    EXPECT_EQ(image_width(im), 64);
    for (int k = 0; k < 8; ++k) EXPECT_EQ(image_pixel(im, k, 10, 10) >> 24, (uint32_t)k);
    EXPECT_FALSE(load_anim_image(dir + "sheet.png", 64, 64, 0, 9, -1));
    TImage from3 = load_anim_image(dir + "sheet.png", 64, 64, 3, 5, -1);
    ASSERT_TRUE(from3);
    EXPECT_EQ(image_pixel(from3, 1, 0, 0) >> 24, 4u);
    EXPECT_FALSE(load_anim_image_logged(dir + "missing.png", 64, 64, 1));
}

TEST_F(Draw, OnscreenTestUsesTruncatedHalfSize) {
    set_auto_midhandle(1);
    TImage im = solid(100, 20, 255, 255, 255, 255);
    set_auto_midhandle(0);
    draw_image_onscreen(im, -50, 100);
    EXPECT_EQ(at(0, 100).r, 0);
    draw_image_onscreen(im, -49, 100);
    EXPECT_EQ(at(0, 100).r, 255);
    draw_image_onscreen(nullptr, 10, 10);  // null images are skipped
    draw_image_frame_in_range(im, 400, 100, 1, 5);  // frame past the image's frames: skipped
    EXPECT_EQ(at(400, 100).r, 0);
}

TEST_F(Draw, ClipRectangleLimitsDrawing) {
    TImage im = solid(200, 200, 255, 255, 255, 255);
    set_viewport(50, 50, 20, 20);
    draw_image(im, 0, 0, 0);
    set_viewport(0, 0, 800, 600);
    EXPECT_EQ(at(49, 60).r, 0);
    EXPECT_EQ(at(55, 60).r, 255);
    EXPECT_EQ(at(69, 69).r, 255);
    EXPECT_EQ(at(70, 60).r, 0);
}

TEST_F(Draw, OverlapNeedsSolidPixelsInBoth) {
    // Two rings: their boxes overlap but their solid pixels only touch when placed close.
    std::vector<uint8_t> ring(20 * 20 * 4, 0);
    for (int y = 0; y < 20; ++y)
        for (int x = 0; x < 20; ++x)
            if (x < 2 || y < 2 || x >= 18 || y >= 18) ring[(y * 20 + x) * 4 + 3] = 255;
    TImage a = image_from_rgba(ring.data(), 20, 20, 3);
    TImage b = image_from_rgba(ring.data(), 20, 20, 3);
    EXPECT_EQ(images_collide(a, 0, 0, 0, b, 5, 5, 0), 1);     // edges cross
    EXPECT_EQ(images_collide(a, 0, 0, 0, b, 40, 0, 0), 0);    // apart
    TImage dot = solid(4, 4, 255, 255, 255, 255, 3);
    EXPECT_EQ(images_collide(a, 0, 0, 0, dot, 8, 8, 0), 0);   // inside the hole
    EXPECT_EQ(images_collide(a, 0, 0, 0, dot, 0, 8, 0), 1);   // on the ring
}

TEST_F(Draw, TexturesAreMadeAtLoadAndThePixelsComeBackWhenNeeded) {
    // A JPEG-like picture under a mask colour of its own, in red, green and magenta (the mask).
    std::string dir = temp_folder("atload");
    std::vector<uint8_t> rgb(8 * 8 * 3, 0);
    for (int y = 0; y < 8; ++y)
        for (int x = 0; x < 8; ++x) {
            uint8_t* p = &rgb[(y * 8 + x) * 3];
            if (x < 4) p[0] = 255;
            if (x >= 4) p[1] = 255;
            if (y == 0) p[0] = p[2] = 255, p[1] = 0;
        }
    ASSERT_TRUE(write_rgb_png(dir + "p.png", rgb, 8, 8));
    set_mask_color(255, 0, 255);
    TImage im = load_image(dir + "p.png", -1);
    set_mask_color(0, 0, 0);
    ASSERT_TRUE(im);
    EXPECT_EQ(image_has_texture(im), 1);
    EXPECT_EQ(image_holds_pixels(im), 0);  // the texture holds the picture; no second copy
    // Drawn without any first-draw work, as it was loaded.
    set_blend(BLEND_SOLID);
    draw_image(im, 100, 100, 0);
    set_blend(BLEND_ALPHA);
    Rgb c = at(101, 104);
    EXPECT_EQ(c.r, 255);
    EXPECT_EQ(c.g, 0);
    // Read back for the overlap test, under the mask colour it was loaded with (not today's).
    EXPECT_EQ(image_pixel(im, 0, 6, 0) & 0xff, 0u);    // the magenta row is transparent
    EXPECT_EQ(image_pixel(im, 0, 6, 4), 0x00ff00ffu);  // green, opaque
    EXPECT_EQ(image_holds_pixels(im), 1);
    TImage dot = solid(2, 1, 255, 255, 255, 255, 3);
    EXPECT_EQ(images_collide(im, 0, 0, 0, dot, 3, 0, 0), 0);  // on the masked row
    EXPECT_EQ(images_collide(im, 0, 0, 0, dot, 3, 4, 0), 1);

    // A new drawing context rebuilds the texture from the file.
    TImage sheet = load_anim_image(dir + "p.png", 4, 4, 0, 4, -1);
    ASSERT_TRUE(sheet);
    EXPECT_EQ(image_holds_pixels(sheet), 0);
    graphics_close();
    harness_window();
    set_virtual_resolution(800, 600);
    clear_screen();
    set_blend(BLEND_ALPHA);
    draw_image(sheet, 10, 10, 3);  // the bottom-right cell: green
    c = at(12, 12);
    EXPECT_EQ(c.g, 255);
    EXPECT_EQ(c.r, 0);
    EXPECT_EQ(image_has_texture(sheet), 1);
}

namespace {
// Every pixel of every frame, as image_pixel reads them.
std::vector<uint32_t> all_pixels(const TImage& im) {
    std::vector<uint32_t> out;
    for (int f = 0; f < image_frames(im); ++f)
        for (int y = 0; y < image_height(im); ++y)
            for (int x = 0; x < image_width(im); ++x) out.push_back(image_pixel(im, f, x, y));
    return out;
}

// An 8 x 8 RGB picture: red left half, green right half, the top row in the mask colour magenta.
std::string masked_picture(const std::string& dir) {
    std::vector<uint8_t> rgb(8 * 8 * 3, 0);
    for (int y = 0; y < 8; ++y)
        for (int x = 0; x < 8; ++x) {
            uint8_t* p = &rgb[(y * 8 + x) * 3];
            p[x < 4 ? 0 : 1] = 255;
            if (y == 0) p[0] = p[2] = 255, p[1] = 0;
        }
    write_rgb_png(dir + "p.png", rgb, 8, 8);
    return dir + "p.png";
}
}  // namespace

// Start-up loads most images without decoding them: their size, frames and handle are known at once, a missing
// file is still refused at once, and the pixels (masked with the colour of the moment they were loaded) come
// when the image is first used or when the slices between frames reach it. A file that turns out broken draws
// nothing and is reported as the loader reports it, when it is found out.
TEST_F(Draw, DeferredImagesAreTheSameImagesDecodedLater) {
    const std::string dir = temp_folder("deferred");
    const std::string file = masked_picture(dir);
    // A picture whose header reads well but whose pixels are cut off.
    std::vector<uint8_t> noise(64 * 64 * 3);
    for (size_t i = 0; i < noise.size(); ++i) noise[i] = (uint8_t)(i * 7919 % 251);
    ASSERT_TRUE(write_rgb_png(dir + "broken.png", noise, 64, 64));
    std::filesystem::resize_file(dir + "broken.png", std::filesystem::file_size(dir + "broken.png") / 2);
    EXPECT_FALSE(load_image(dir + "broken.png", -1));
    set_mask_color(255, 0, 255);
    const TImage eager = load_image(file, -1), eager_sheet = load_anim_image(file, 4, 4, 1, 3, -1);
    set_auto_midhandle(1);
    set_deferred_loading(1);
    TImage im = load_image(file, -1), sheet = load_anim_image(file, 4, 4, 1, 3, -1);
    TImage broken = load_image(dir + "broken.png", -1);
    EXPECT_FALSE(load_image(dir + "none.png", -1));
    EXPECT_FALSE(load_anim_image(file, 4, 4, 0, 9, -1));  // more cells than the sheet holds
    set_deferred_loading(0);
    set_auto_midhandle(0);
    set_mask_color(0, 0, 0);
    ASSERT_TRUE(im && sheet && broken);
    EXPECT_EQ(image_width(im), 8);
    EXPECT_EQ(image_frames(sheet), 3);
    EXPECT_EQ(image_width(sheet), 4);
    EXPECT_EQ(image_handle_x(im), 4.0f);
    EXPECT_EQ(image_has_texture(im), 0);

    EXPECT_EQ(load_deferred_images(0), 3);
    // A draw needs it: decoded there and then.
    set_blend(BLEND_SOLID);
    draw_image(im, 104, 104, 0);
    EXPECT_EQ(at(101, 104).r, 255);
    EXPECT_EQ(at(106, 104).g, 255);
    EXPECT_EQ(image_has_texture(im), 1);
    testing::internal::CaptureStdout();
    EXPECT_EQ(load_deferred_images(1000), 0);
    EXPECT_EQ(image_has_texture(sheet), 1);
    EXPECT_EQ(all_pixels(im), all_pixels(eager));
    EXPECT_EQ(all_pixels(sheet), all_pixels(eager_sheet));

    clear_screen();
    draw_image(broken, 100, 100, 0);
    EXPECT_EQ(testing::internal::GetCapturedStdout(), "error LoadIm " + dir + "broken.png\n");  // once
    EXPECT_EQ(at(100, 100).r, 0);
    EXPECT_EQ(image_pixel(broken, 0, 1, 1), 0u);
    EXPECT_EQ(images_collide(broken, 0, 0, 0, eager, 0, 0, 0), 0);
    set_blend(BLEND_ALPHA);
}

// The next screen's background is decoded while the screen fades out: its load then takes that image (with the
// handle of the moment), once; a load under another mask colour decodes its own.
TEST_F(Draw, APreparedPictureIsTakenByItsLoadOnce) {
    const std::string dir = temp_folder("prepared");
    const std::string file = masked_picture(dir);
    set_mask_color(255, 0, 255);
    prepare_image(file);
    prepare_image(dir + "none.png");
    EXPECT_EQ(prepare_images_step(0), 2);
    EXPECT_EQ(prepare_images_step(1000), 0);
    set_auto_midhandle(1);
    TImage taken = load_image(file, -1);
    set_auto_midhandle(0);
    ASSERT_TRUE(taken);
    EXPECT_EQ(image_has_texture(taken), 1);
    EXPECT_EQ(image_handle_x(taken), 4.0f);
    EXPECT_EQ(image_pixel(taken, 0, 6, 0) & 0xff, 0u);  // masked with magenta
    TImage again = load_image(file, -1);
    EXPECT_NE(again, taken);
    EXPECT_EQ(all_pixels(again), all_pixels(taken));
    EXPECT_FALSE(load_image(dir + "none.png", -1));

    prepare_image(file);
    prepare_images_step(1000);
    set_mask_color(0, 0, 0);
    TImage other = load_image(file, -1);  // not the magenta-masked one
    EXPECT_EQ(image_pixel(other, 0, 6, 0) & 0xff, 255u);
    forget_prepared_images();
}

namespace {

// Draws `scene` on a cleared screen for `frames` frames (presenting each but the last) with scaled copies on or
// off, and returns the last frame. The game's own window: 800 x 600 showing logical 1024 x 768.
template <typename Scene>
std::vector<uint8_t> render_frames(int copies, int frames, Scene scene) {
    set_scaled_copies(copies);
    picture_forget();
    std::vector<uint8_t> px;
    for (int f = 0; f < frames; ++f) {
        if (f > 0) flip(1);
        clear_screen();
        scene();
        int w, h;
        px = read_frame_rgba(&w, &h);
    }
    return px;
}

// Pixels that differ between two frames, with the first of them for the message.
std::string differences(const std::vector<uint8_t>& a, const std::vector<uint8_t>& b) {
    if (a.size() != b.size()) return "sizes differ";
    size_t n = 0, first = 0;
    int worst = 0;
    for (size_t i = 0; i < a.size(); i += 4) {
        int d = 0;
        for (int k = 0; k < 3; ++k) d = std::max(d, std::abs(a[i + k] - b[i + k]));
        if (d == 0) continue;
        if (n++ == 0) first = i / 4;
        worst = std::max(worst, d);
    }
    if (n == 0) return "";
    return std::to_string(n) + " pixels differ (by up to " + std::to_string(worst) + "), the first at x " +
           std::to_string(first % 800) + " y " + std::to_string(first / 800);
}

// Every image draw of a frame, with the drawing state it was made in.
struct RecordedDraw {
    TImage image;
    float x, y;
    int frame;
    int r, g, b, blend, vx, vy, vw, vh;
    float alpha, rotation, sx, sy;
};
std::vector<RecordedDraw> recorded;

void record_draw(const TImage& image, float x, float y, int frame) {
    RecordedDraw d{image, x, y, frame, 0, 0, 0, get_blend(), 0, 0, 0, 0, get_alpha(), get_rotation(), 0, 0};
    get_color(&d.r, &d.g, &d.b);
    get_scale(&d.sx, &d.sy);
    get_viewport(&d.vx, &d.vy, &d.vw, &d.vh);
    recorded.push_back(d);
}

void replay(const std::vector<RecordedDraw>& draws) {
    for (const RecordedDraw& d : draws) {
        set_color(d.r, d.g, d.b);
        set_alpha(d.alpha);
        set_blend(d.blend);
        set_rotation(d.rotation);
        set_scale(d.sx, d.sy);
        set_viewport(d.vx, d.vy, d.vw, d.vh);
        draw_image(d.image, d.x, d.y, d.frame);
    }
    resetdrawing();
    set_color(255, 255, 255);
}

// The draws of the next frame of the game.
std::vector<RecordedDraw> record_frame() {
    recorded.clear();
    set_draw_observer(record_draw);
    harness_frames(1);
    set_draw_observer(nullptr);
    return std::move(recorded);
}

}  // namespace

// Unrotated draws at another size than the image's own are drawn from copies stretched once to that size, and
// their transparent tiles are left out. The picture must be the very one the renderer makes when it stretches
// every draw: at the picture's edges, inside and across a clip rectangle, in every blend mode, with colour and
// alpha applied, from a sheet's cells, into the cached picture, in the frame the copies are made and after.
TEST_F(Draw, ScaledCopiesGiveThePixelsOfStretchingEveryDraw) {
    harness_window();
    // A sprite that is transparent on its left, graded in the middle and opaque on its right, a backdrop larger
    // than the screen, and a sheet of four cells.
    uint32_t seed = 12345;
    auto noise = [&seed] {
        seed = seed * 1103515245u + 12345u;
        return (int)((seed >> 16) & 255);
    };
    std::vector<uint8_t> px(180 * 120 * 4);
    for (int y = 0; y < 120; ++y)
        for (int x = 0; x < 180; ++x) {
            uint8_t* p = &px[(size_t)(y * 180 + x) * 4];
            p[0] = (uint8_t)noise();
            p[1] = (uint8_t)(x * 255 / 179);
            p[2] = (uint8_t)(y * 2);
            p[3] = (uint8_t)(x < 60 ? 0 : x < 120 ? (x - 60) * 4 : 255);
        }
    TImage sprite = image_from_rgba(px.data(), 180, 120, IMAGE_MASKED | IMAGE_FILTERED);
    std::vector<uint8_t> back(1100 * 800 * 4);
    for (size_t i = 0; i < back.size(); ++i) back[i] = i % 4 == 3 ? 255 : (uint8_t)noise();
    TImage backdrop = image_from_rgba(back.data(), 1100, 800, IMAGE_MASKED | IMAGE_FILTERED);
    std::vector<uint8_t> cells(160 * 30 * 4);
    for (size_t i = 0; i < cells.size(); ++i) cells[i] = i % 4 == 3 ? (uint8_t)(noise() & 0x80 ? 255 : 0) : (uint8_t)noise();
    const std::string sheetfile = temp_folder("scaledcopies") + "sheet.png";
    ASSERT_TRUE(write_png_file(sheetfile, cells.data(), 160, 30));
    TImage sheet = load_anim_image(sheetfile, 40, 30, 0, 4, -1);
    ASSERT_TRUE(sprite && backdrop && sheet);

    auto state = [](int blend, float alpha, int r, int g, int b, float scale) {
        set_blend(blend);
        set_alpha(alpha);
        set_color(r, g, b);
        set_scale(scale, scale);
    };
    int logical_w = 1024;
    auto scene = [&] {
        set_virtual_resolution((float)logical_w, 768);
        if (!picture_begin({1})) {
            state(BLEND_SOLID, 1, 200, 180, 160, 1);
            draw_image(backdrop, -20, -10, 0);
            state(BLEND_ALPHA, 1, 255, 255, 255, 1.2f);
            draw_image(sprite, 500, 600, 0);
        }
        picture_end();
        state(BLEND_ALPHA, 1, 255, 255, 255, 1);
        draw_image(sprite, 100, 100, 0);
        draw_image(sprite, 100, 260, 0);  // the same size again in the same frame
        state(BLEND_ALPHA, 0.6f, 120, 200, 90, 1.3f);
        draw_image(sprite, 400, 120, 0);
        state(BLEND_LIGHT, 0.7f, 255, 255, 255, 0.9f);
        draw_image(sprite, 600, 300, 0);
        state(BLEND_SHADE, 1, 255, 255, 255, 1.1f);
        draw_image(sprite, 200, 420, 0);
        state(BLEND_SOLID, 0.5f, 90, 90, 255, 0.8f);
        draw_image(sprite, 820, 600, 0);
        state(BLEND_MASK, 0.8f, 255, 255, 255, 1.25f);
        draw_image(sprite, 700, 480, 0);
        state(BLEND_ALPHA, 0.9f, 255, 255, 255, 1.5f);
        draw_image(sprite, -60, 650, 0);  // across the left and bottom edges
        draw_image(sprite, 950, -40, 0);  // across the top and right edges
        set_viewport(300, 300, 300, 200);
        draw_image(sprite, 330, 320, 0);  // inside the clip rectangle
        draw_image(sprite, 220, 420, 0);  // across its left and bottom edges, the opaque part inside
        for (int k = 0; k < 6; ++k) {  // cut at other fractions of a pixel
            set_scale(1.1f + 0.13f * k, 1.1f + 0.13f * k);
            draw_image(sprite, 197.0f + 11.3f * k, 250.0f + 9.7f * k, 0);
        }
        set_viewport(0, 0, 1024, 768);
        for (int f = 0; f < 4; ++f) {
            state(BLEND_ALPHA, 1, 255, 255, 255, f % 2 ? 1.5f : 0.7f);
            draw_image(sheet, 60 + 90 * f, 700, f);
        }
        resetdrawing();
        set_color(255, 255, 255);
    };
    const std::vector<uint8_t> plain = render_frames(0, 1, scene);
    for (int frames = 1; frames <= 3; ++frames)
        EXPECT_EQ(differences(plain, render_frames(1, frames, scene)), "") << "frame " << frames << " with copies";
    EXPECT_GE(scaled_copies_kept(), 10);
    // A logical area narrower than the window, as full screen shows it on a wide desktop: black bars at the
    // sides, and the clip rectangle of every draw ends at them.
    logical_w = 900;
    auto barred = [&] {
        set_letterbox(1);
        scene();
        set_letterbox(0);
    };
    const std::vector<uint8_t> plain_barred = render_frames(0, 1, barred);
    EXPECT_EQ(differences(plain_barred, render_frames(1, 3, barred)), "") << "between bars";
    set_scaled_copies(1);
}

// Frames of the game recorded draw by draw and drawn again both ways: a level with superstones going off, its
// win screen while the level darkens under it (the still background layers are then drawn each frame with a
// new colour) and while the results count up.
TEST_F(Draw, ScaledCopiesLeaveAWonLevelWithExplosionsAsItWas) {
    harness_window();
    resident_media();
    bganimation = 1;  // the background in layers, as it starts
    userpath = temp_folder("scaledcopiesgame");
    curplayer = 1;
    resetplayer(1);
    playername[1] = "TESTER";
    devkeys = 0;
    wincount = losecount = 0;
    popupkind = popupfade = 0;
    paused = -1;
    clearparticles();
    seed_rnd(7);
    curlevel = 2;
    reset_player_data_for_new_level();
    curscreen = screen_map;
    enterscreen(screen_game, 0);
    for (int f = 0; f < 320; ++f) {
        harness_frames(1);
        if ((popupkind == 102 || popupkind == 777) && popupfade == 16) popupfadedir = 2;
    }
    for (int c = 1; c <= 3; ++c) superstoneexplosion((float)(250 * c + 12), (float)(250 + 60 * c), c * 3);
    harness_frames(6);
    std::vector<std::vector<RecordedDraw>> frames = {record_frame()};
    playdifficulty[1] = 1;
    level_challenge[2] = 1;
    playseconds[1] = level_time3[2];
    wincount = 1;
    harness_frames(10);
    frames.push_back(record_frame());
    harness_frames(190);
    frames.push_back(record_frame());
    wincount = 0;
    curscreen = screen_map;

    for (size_t k = 0; k < frames.size(); ++k) {
        ASSERT_GT(frames[k].size(), 50u);
        auto scene = [&] {
            set_virtual_resolution(1024, 768);
            replay(frames[k]);
        };
        const std::vector<uint8_t> plain = render_frames(0, 1, scene);
        EXPECT_EQ(differences(plain, render_frames(1, 3, scene)), "") << "recorded frame " << k;
    }
    EXPECT_GE(scaled_copies_kept(), 20);
    set_scaled_copies(1);
}

namespace {
// An output of w x h showing a logical picture lw x 768, letterboxed as full screen shows it.
void output_of(int w, int h, int lw) {
    graphics_open(w, h, 0, 60, 0);
    set_letterbox(1);
    set_virtual_resolution((float)lw, 768);
    set_viewport(0, 0, lw, 768);
    clear_screen();
}
}  // namespace

// A bar of tiles (the volume sliders' fill, the countdown bar) is one unbroken bar at every scale, and every
// cell of a sheet (the letters of a font) shows exactly its own pixels.
TEST_F(Draw, TilesAbutAndCellsShowTheirOwnPixelsAtEveryScale) {
    TImage tile = solid(10, 12, 255, 255, 255, 255, IMAGE_MASKED | IMAGE_FILTERED);
    set_auto_midhandle(1);
    set_image_handle(tile, 5, 6);
    struct {
        int w, h, lw;
    } outputs[] = {{800, 600, 1024}, {600, 450, 1024}, {1024, 768, 1024}, {1280, 1024, 1024},
                   {1366, 768, 1366}, {1920, 1080, 1366}, {2560, 1440, 1366}, {1024, 600, 1366}};
    for (auto o : outputs) {
        output_of(o.w, o.h, o.lw);
        for (int i = 0; i < 55; ++i) draw_image(tile, 300.5f + 10 * i, 400, 0);
        int w, h, ax, ay, aw, ah;
        std::vector<uint8_t> px = read_frame_rgba(&w, &h);
        logical_area(&ax, &ay, &aw, &ah);
        const int y = (int)(ay + 400.0 * ah / 768);
        const int x0 = (int)std::ceil(ax + 296.0 * aw / o.lw), x1 = (int)(ax + 845.0 * aw / o.lw);
        int gaps = 0;
        for (int x = x0; x < x1; ++x) gaps += px[((size_t)y * w + x) * 4] < 250;
        EXPECT_EQ(gaps, 0) << o.w << "x" << o.h << ": columns of the bar left dark";
    }
    harness_window();
    set_auto_midhandle(0);

    // Sheets of cells with their borders, laid out at widths whose texture coordinates do not come back to
    // whole texels exactly; each cell drawn one to one must show its own pixels and none of its neighbour's.
    uint32_t seed = 99;
    for (int cw : {27, 29, 37, 41}) {
        const int n = 24;
        std::vector<uint8_t> cells((size_t)cw * n * 20 * 4);
        for (size_t i = 0; i < cells.size(); ++i) {
            seed = seed * 1103515245u + 12345u;
            cells[i] = i % 4 == 3 ? 255 : (uint8_t)(seed >> 16);
        }
        const std::string file = temp_folder("cells") + "cells.png";
        ASSERT_TRUE(write_png_file(file, cells.data(), cw * n, 20));
        TImage sheet = load_anim_image(file, cw, 20, 0, n, -1);
        ASSERT_TRUE(sheet);
        set_virtual_resolution(800, 600);
        set_blend(BLEND_SOLID);
        clear_screen();
        for (int f = 0; f < n; ++f) draw_image(sheet, (float)(f % 12 * 60), (float)(f / 12 * 30), f);
        int w, h;
        std::vector<uint8_t> px = read_frame_rgba(&w, &h);
        int wrong = 0;
        for (int f = 0; f < n; ++f)
            for (int y = 0; y < 20; ++y)
                for (int x = 0; x < cw; ++x) {
                    const uint8_t* p = &px[((size_t)(f / 12 * 30 + y) * w + f % 12 * 60 + x) * 4];
                    const uint32_t want = image_pixel(sheet, f, x, y) >> 8;
                    wrong += ((uint32_t)p[0] << 16 | p[1] << 8 | p[2]) != want;
                }
        EXPECT_EQ(wrong, 0) << "cells " << cw << " wide";
        set_blend(BLEND_ALPHA);
    }
}

// A picture shown larger than its logical size is drawn at logical size on the software renderer and stretched
// once: it must still show where it belongs, between black bars, with the cached picture and the scaled
// copies working as they do at any other size, and a click maps through the same letterbox.
TEST_F(Draw, AnEnlargedPictureIsDrawnAtLogicalSizeAndShownInItsPlace) {
    TImage back = solid(1366, 768, 40, 90, 160, 255, IMAGE_MASKED | IMAGE_FILTERED);
    TImage mark = solid(20, 20, 255, 0, 0, 255, IMAGE_MASKED | IMAGE_FILTERED);
    output_of(1920, 1200, 1366);  // 16:10: the picture is 1920 x 1079, 60 pixels down
    int ax, ay, aw, ah, ow, oh;
    logical_area(&ax, &ay, &aw, &ah);
    output_size(&ow, &oh);
    ASSERT_EQ(ow, 1920);
    ASSERT_EQ(oh, 1200);
    EXPECT_EQ(ax, 0);
    EXPECT_EQ(ay, 60);
    EXPECT_EQ(aw, 1920);
    EXPECT_NEAR(ah, 1079, 1);  // 1366 x 768 is a hair wider than 16:9
    std::vector<uint8_t> frames[3];
    for (auto& px : frames) {
        clear_screen();
        if (!picture_begin({7})) draw_image(back, 0, 0, 0);
        picture_end();
        set_scale(1.5f, 1.5f);
        draw_image(mark, 100, 200, 0);  // 30 x 30 logical from (100, 200)
        set_scale(1, 1);
        int w, h;
        px = read_frame_rgba(&w, &h);
        ASSERT_EQ(w, 1920);
        flip(1);
    }
    EXPECT_EQ(frames[0], frames[1]);
    EXPECT_EQ(frames[1], frames[2]);
    auto rgb = [&](int x, int y) {
        const uint8_t* p = &frames[2][((size_t)y * 1920 + x) * 4];
        return Rgb{p[0], p[1], p[2]};
    };
    const double s = 1920.0 / 1366;
    for (int y : {0, 59, 1140, 1199}) EXPECT_EQ(rgb(960, y).b, 0) << "bar row " << y;
    EXPECT_EQ(rgb(960, 600).b, 160);
    const Rgb inside = rgb((int)(115 * s), (int)(60 + 215 * s));
    EXPECT_EQ(inside.r, 255);
    EXPECT_EQ(inside.b, 0);
    EXPECT_EQ(rgb((int)(90 * s), (int)(60 + 215 * s)).r, 40);   // left of the mark
    EXPECT_EQ(rgb((int)(140 * s), (int)(60 + 215 * s)).r, 40);  // right of it
    harness_window();
}
