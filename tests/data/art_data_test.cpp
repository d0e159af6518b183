// The generated board, effect, background, logo and match-3 art: every file the game opens is there,
// decodes with the game's own loader and cuts into the frames the game asks for.
#include <gtest/gtest.h>

#include <array>
#include <cmath>
#include <string>
#include <vector>

#include "platform/draw.h"
#include "platform/imagefile.h"
#include "support/headless.h"

namespace {

struct Sheet {
    std::string path;  // as the game writes it
    int cell_w, cell_h, frames;
};

std::string num(int k) { return std::to_string(k); }

// Every image with a fixed size or frame layout. cell 0 x 0 means "any size, one frame".
std::vector<Sheet> board_images() {
    std::vector<Sheet> v;
    for (int k = 1; k <= 10; ++k) v.push_back({"data\\aztec\\stone" + num(k) + ".png", 64, 64, 1});
    for (int k = 1; k <= 9; ++k) {
        v.push_back({"data\\aztec\\sh" + num(k) + ".png", 0, 0, 1});
        v.push_back({"data\\aztec/arrow" + num(k) + ".png", 0, 0, 1});
        v.push_back({"data\\aztec\\variant" + num(k) + ".png", 64, 64, 1});
    }
    v.push_back({"data\\aztec\\shall.png", 0, 0, 1});
    for (int k = 1; k <= 3; ++k) {
        v.push_back({"data\\aztec\\chain" + num(k) + ".png", 0, 0, 1});
        v.push_back({"data\\aztec/granite" + num(k) + ".png", 64, 64, 1});
        v.push_back({"data\\aztec/animal" + num(k) + ".png", 64, 64, 1});
    }
    v.push_back({"data\\aztec/light.png", 0, 0, 1});
    v.push_back({"data\\aztec\\inert.png", 64, 64, 8});
    return v;
}

std::vector<Sheet> effect_images() {
    std::vector<Sheet> v = {
        {"data\\effects\\glowstar.png", 0, 0, 1},      {"data\\effects\\spikes.png", 0, 0, 1},
        {"data\\effects\\explosion.png", 128, 128, 16}, {"data\\effects\\glowworm.png", 0, 0, 1},
        {"data\\effects\\insect.png", 0, 0, 1},         {"data\\effects\\rain2.png", 0, 0, 1},
        {"data\\effects\\lightning.png", 0, 0, 1},      {"data\\effects\\glower.png", 0, 0, 1},
        {"data\\effects\\blitz.png", 0, 0, 1},          {"data\\effects\\explosion3.png", 256, 256, 32},
        {"data\\effects\\smoke1.png", 54, 55, 32},      {"data\\effects\\smokechain.png", 54, 55, 32},
        {"data\\effects\\roundfire1.png", 90, 90, 20},  {"data\\effects\\levelbanner.png", 0, 0, 1},
        {"data\\effects\\losebanner.png", 0, 0, 1},
    };
    for (int k = 1; k <= 9; ++k)
        for (const char* f : {"glb", "dirt", "circle", "star"}) v.push_back({"data\\effects\\" + std::string(f) + num(k) + ".png", 0, 0, 1});
    for (int k = 1; k <= 9; ++k) v.push_back({"data\\effects\\dirt" + num(k) + "-2.png", 0, 0, 1});
    for (int k = 1; k <= 3; ++k) v.push_back({"data\\effects\\match3mudexplosion" + num(k) + ".png", 128, 128, 32});
    for (int k = 1; k <= 4; ++k) v.push_back({"data\\effects\\konfetti" + num(k) + ".png", 0, 0, 1});
    for (int k = 1; k <= 3; ++k) v.push_back({"data\\effects\\chainpart" + num(k) + ".png", 0, 0, 1});
    for (int k = 1; k <= 4; ++k) v.push_back({"data\\effects\\butterfly" + num(k) + ".png", 78, 54, 9});
    return v;
}

TImage load(const Sheet& s) {
    if (s.frames > 1) return load_anim_image_logged(s.path, s.cell_w, s.cell_h, s.frames);
    return load_image_logged(s.path);
}

void expect_loads(const std::vector<Sheet>& sheets) {
    headless();
    set_auto_midhandle(1);
    for (const Sheet& s : sheets) {
        SCOPED_TRACE(s.path);
        TImage im = load(s);
        ASSERT_TRUE(im) << "missing or undecodable";
        EXPECT_EQ(image_frames(im), s.frames);
        if (s.cell_w > 0) {
            EXPECT_EQ(image_width(im), s.cell_w);
            EXPECT_EQ(image_height(im), s.cell_h);
        }
    }
}

// Decoded pixels of a data file (path as the game writes it).
Pixels pixels(const std::string& game_path) {
    std::string p = game_path;
    for (char& c : p)
        if (c == '\\') c = '/';
    Pixels px;
    EXPECT_TRUE(decode_image_file(build_dir() + "/" + p, px)) << p;
    return px;
}

const uint8_t* px_at(const Pixels& p, int x, int y) { return &p.rgba[((size_t)y * p.w + x) * 4]; }

// Largest alpha on the outermost ring of a cell: glows drawn additively must fade out before the cell edge.
int edge_alpha(const Pixels& p, int x0, int y0, int w, int h) {
    int m = 0;
    for (int x = x0; x < x0 + w; ++x) m = std::max({m, (int)px_at(p, x, y0)[3], (int)px_at(p, x, y0 + h - 1)[3]});
    for (int y = y0; y < y0 + h; ++y) m = std::max({m, (int)px_at(p, x0, y)[3], (int)px_at(p, x0 + w - 1, y)[3]});
    return m;
}

TEST(ArtData, BoardImagesLoadWithTheirSizesAndFrames) { expect_loads(board_images()); }

TEST(ArtData, BoardImagesHaveTheShapesTheBoardDrawsWith) {
    // The light hangs from its handle at (48, 0): it is 96 wide.
    Pixels light = pixels("data\\aztec\\light.png");
    EXPECT_EQ(light.w, 96);
    // Shadows are drawn centred on the stone and must reach beyond it down and to the right.
    Pixels sh = pixels("data\\aztec\\sh1.png");
    ASSERT_GT(sh.w, 64);
    int cx = sh.w / 2, cy = sh.h / 2;
    EXPECT_GT(px_at(sh, cx + 34, cy + 34)[3], px_at(sh, cx - 34, cy - 34)[3]);
    // Stones fill their cell so that neighbours touch; corners are rounded off.
    Pixels st = pixels("data\\aztec\\stone3.png");
    EXPECT_EQ(px_at(st, 32, 2)[3], 255);
    EXPECT_EQ(px_at(st, 0, 0)[3], 0);
    // The floor stone tiles edge to edge.
    Pixels fl = pixels("data\\aztec\\stone10.png");
    EXPECT_EQ(px_at(fl, 0, 32)[3], 255);
    EXPECT_EQ(px_at(fl, 63, 32)[3], 255);
}

TEST(ArtData, StoneColoursAreTellableApart) {
    // Mean colour of each of the nine stones: every pair differs clearly.
    std::vector<std::array<double, 3>> mean;
    for (int k = 1; k <= 9; ++k) {
        Pixels p = pixels("data\\aztec\\stone" + num(k) + ".png");
        std::array<double, 3> m{0, 0, 0};
        int n = 0;
        for (int i = 0; i < p.w * p.h; ++i)
            if (p.rgba[i * 4 + 3] == 255) {
                for (int c = 0; c < 3; ++c) m[c] += p.rgba[i * 4 + c];
                ++n;
            }
        for (double& c : m) c /= n;
        mean.push_back(m);
    }
    for (int a = 0; a < 9; ++a)
        for (int b = a + 1; b < 9; ++b) {
            double d = std::hypot(mean[a][0] - mean[b][0], mean[a][1] - mean[b][1], mean[a][2] - mean[b][2]);
            EXPECT_GT(d, 40) << "stones " << a + 1 << " and " << b + 1;
        }
}

TEST(ArtData, EffectImagesLoadWithTheirSizesAndFrames) { expect_loads(effect_images()); }

TEST(ArtData, GlowsFadeOutBeforeTheirEdges) {
    // Images drawn with additive blending or scaled up must not show a hard square edge.
    for (std::string f : {"glowstar", "glower", "glowworm", "insect", "blitz", "spikes", "glb1", "glb9", "circle5"}) {
        Pixels p = pixels("data\\effects\\" + f + ".png");
        EXPECT_LE(edge_alpha(p, 0, 0, p.w, p.h), 8) << f;
    }
    // Every cell of the explosion sheets fades out at the cell border, so neighbours never bleed in.
    struct Cells {
        const char* file;
        int cw, ch, n;
    };
    for (Cells c : {Cells{"explosion", 128, 128, 16}, Cells{"explosion3", 256, 256, 32}, Cells{"roundfire1", 90, 90, 20},
                    Cells{"smoke1", 54, 55, 32}}) {
        Pixels p = pixels("data\\effects\\" + std::string(c.file) + ".png");
        int cols = p.w / c.cw;
        for (int i = 0; i < c.n; ++i)
            EXPECT_LE(edge_alpha(p, (i % cols) * c.cw, (i / cols) * c.ch, c.cw, c.ch), 8) << c.file << " frame " << i;
    }
}

TEST(ArtData, AnimationSheetsChangeFromFrameToFrame) {
    auto cell_sum = [](const Pixels& p, int x0, int y0, int w, int h) {
        long s = 0;
        for (int y = y0; y < y0 + h; ++y)
            for (int x = x0; x < x0 + w; ++x) s += px_at(p, x, y)[3];
        return s;
    };
    // The explosion grows and burns out: late frames hold far less than the middle ones.
    Pixels ex = pixels("data\\effects\\explosion.png");
    EXPECT_GT(cell_sum(ex, 128 * 2, 128, 128, 128), 2 * cell_sum(ex, 128 * 3, 128 * 3, 128, 128));
    // Butterfly wings are open in frame 0 and edge-on in frame 6.
    Pixels bf = pixels("data\\effects\\butterfly1.png");
    EXPECT_GT(cell_sum(bf, 0, 0, 78, 54), 3 * cell_sum(bf, 78 * 6, 0, 78, 54));
}

std::vector<Sheet> logo_and_match3_images() {
    std::vector<Sheet> v = {
        {"data\\logo\\1.png", 0, 0, 1},   {"data\\logo\\2.png", 0, 0, 1},
        {"data\\logo\\3.png", 0, 0, 1},   {"data\\logo\\4.png", 0, 0, 1},
        {"data\\logo\\q4m.png", 0, 0, 1}, {"data\\minigames\\downbackpuzzle.png", 0, 0, 1},
        {"data\\minigames/match3/cell2.png", 64, 64, 1},
        {"data\\minigames/match3/cellmask.png", 64, 64, 1},
        {"data\\minigames/match3/cellmark.png", 64, 64, 1},
    };
    for (int k : {1, 2, 3, 4, 5, 7, 10}) v.push_back({"data\\minigames/match3/item1-" + num(k) + ".png", 64, 64, 1});
    for (int k = 1; k <= 4; ++k) {
        v.push_back({"data\\minigames/match3/arrow" + num(k) + ".png", 0, 0, 1});
        v.push_back({"data\\minigames/match3/mud" + num(k) + ".png", 64, 64, 1});
    }
    return v;
}

TEST(ArtData, LogoAndMatch3ImagesLoad) { expect_loads(logo_and_match3_images()); }

TEST(ArtData, Match3PiecesFitTheirCells) {
    // The hit shape covers the middle of a cell and stays off its neighbours.
    Pixels m = pixels("data\\minigames/match3/cellmask.png");
    EXPECT_EQ(px_at(m, 32, 32)[3], 255);
    EXPECT_EQ(px_at(m, 0, 0)[3], 0);
    EXPECT_EQ(px_at(m, 63, 32)[3], 0);
    // Mud grows thicker layer by layer.
    long prev = -1;
    for (int k = 1; k <= 4; ++k) {
        Pixels p = pixels("data\\minigames/match3/mud" + num(k) + ".png");
        long cover = 0;
        for (int i = 0; i < p.w * p.h; ++i) cover += p.rgba[i * 4 + 3];
        EXPECT_GT(cover, prev) << "mud" << k;
        prev = cover;
    }
    // The board backdrop spans the twelve columns and reaches the top of the screen when drawn centred
    // 200 pixels above its bottom.
    Pixels b = pixels("data\\minigames\\downbackpuzzle.png");
    EXPECT_GE(b.w, 12 * 64 + 16);
    EXPECT_GE(b.h / 2, 768 - 200);
}

const int backgrounds[] = {0, 1, 2, 3, 4, 11};

TEST(ArtData, BackgroundLayersCoverTheScreenWhileTheySlide) {
    headless();
    // A layer slides by up to this share of the half width either way as the mouse crosses the screen.
    const double slide[5] = {0, 0, 0.015, 0.05, 0.09};
    for (int n : backgrounds) {
        std::string d = "data\\bg\\bg" + num(n) + "\\";
        for (int k = 1; k <= 4; ++k) {
            SCOPED_TRACE(d + num(k));
            Pixels p = pixels(d + num(k) + (k == 1 ? ".jpg" : ".png"));
            EXPECT_GE(p.w, 1366 + 2 * (int)std::ceil(683 * slide[k]));
            EXPECT_EQ(p.h, 768);
            EXPECT_EQ(p.has_alpha, k > 1);
            ASSERT_TRUE(load_image_logged(d + num(k) + (k == 1 ? ".jpg" : ".png")));
        }
        Pixels full = pixels(d + "full.jpg");
        EXPECT_GE(full.w, 1366);
        EXPECT_EQ(full.h, 768);
    }
    Pixels flash = pixels("data\\bg\\bg4\\light.png");
    EXPECT_GE(flash.w, 2 * 799);
    // The flash hangs from the top of the screen: it fades out toward its sides and bottom.
    int side = 0;
    for (int y = 0; y < flash.h; ++y) side = std::max({side, (int)px_at(flash, 0, y)[3], (int)px_at(flash, flash.w - 1, y)[3]});
    for (int x = 0; x < flash.w; ++x) side = std::max(side, (int)px_at(flash, x, flash.h - 1)[3]);
    EXPECT_LE(side, 8);
}

TEST(ArtData, PicturesKeepTheirDarkPixelsUnderTheMaskColour) {
    // JPEGs are loaded masked: a pure black pixel would turn into a hole (magenta for the menu pictures).
    std::vector<std::string> files = {"data\\bg\\story\\bg.jpg", "data\\bg\\tentbg.jpg"};
    for (int n : backgrounds) {
        files.push_back("data\\bg\\bg" + num(n) + "\\1.jpg");
        files.push_back("data\\bg\\bg" + num(n) + "\\full.jpg");
    }
    for (const std::string& f : files) {
        Pixels p = pixels(f);
        int holes = 0;
        for (int i = 0; i < p.w * p.h; ++i)
            holes += p.rgba[i * 4] == 0 && p.rgba[i * 4 + 1] == 0 && p.rgba[i * 4 + 2] == 0;
        EXPECT_EQ(holes, 0) << f;
        EXPECT_GE(p.w, 1366) << f;
    }
    for (const char* f : {"data\\bg\\menubg1.jpg", "data\\bg\\menubg2.jpg"}) {
        Pixels p = pixels(f);
        int holes = 0;
        for (int i = 0; i < p.w * p.h; ++i)
            holes += p.rgba[i * 4] == 255 && p.rgba[i * 4 + 1] == 0 && p.rgba[i * 4 + 2] == 255;
        EXPECT_EQ(holes, 0) << f;
        EXPECT_EQ(p.w, 1366) << f;
    }
}

TEST(ArtData, InertStoneFramesAnimate) {
    Pixels p = pixels("data\\aztec\\inert.png");
    ASSERT_EQ(p.w, 64 * 8);
    long diff = 0;
    for (int y = 0; y < 64; ++y)
        for (int x = 0; x < 64; ++x)
            for (int c = 0; c < 3; ++c) diff += std::abs(px_at(p, x, y)[c] - px_at(p, x + 64 * 3, y)[c]);
    EXPECT_GT(diff, 64 * 64 * 2);
}

}  // namespace
