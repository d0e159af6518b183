#include "aztec/boardrender.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdlib>
#include <string>
#include <vector>

#include "app/display.h"
#include "app/shell.h"
#include "aztec/board.h"
#include "aztec/boardframe.h"
#include "aztec/cannon.h"
#include "aztec/catalogue.h"
#include "aztec/gamescreen.h"
#include "aztec/levelrun.h"
#include "effects/effects.h"
#include "effects/particles.h"
#include "platform/paths.h"
#include "storage/settings.h"
#include "support/headless.h"

namespace {

TImage solid(int w, int h, int r, int g, int b) {
    std::vector<uint8_t> px((size_t)w * h * 4);
    for (size_t i = 0; i < px.size(); i += 4) {
        px[i] = (uint8_t)r;
        px[i + 1] = (uint8_t)g;
        px[i + 2] = (uint8_t)b;
        px[i + 3] = 255;
    }
    TImage im = image_from_rgba(px.data(), w, h, 1);
    set_image_handle(im, (float)(w / 2), (float)(h / 2));
    return im;
}

// The board drawn on an 800 x 600 logical screen that maps one to one onto the window, with plain test images:
// stone k is a 40 x 40 square of red k * 20.
class BoardDrawing : public ::testing::Test {
protected:
    void SetUp() override {
        headless();
        set_virtual_resolution(800, 600);
        virtw = 800;
        virth = 600;
        resetdrawing();
        set_color(255, 255, 255);
        curplayer = 1;
        for (int s = 1; s < BOARDSLOTS; ++s) {
            stone_kind[1][s] = 0;
            stone_shake[1][s] = stone_glint[1][s] = 0;
            for (int l = 1; l <= 3; ++l) stone_chain[1][s][l] = 0;
        }
        topslot = 0;
        cannonslot = 0;
        boardleft = 100;
        boardalpha = 1;
        losecount = 0;
        floorline = boardtop;
        glintsweep = -1280;
        stonerow = 1;
        for (int k = 1; k <= 10; ++k) {
            saved[k] = stoneimage[1][k];
            stoneimage[1][k] = solid(40, 40, k * 20, 0, 0);
        }
        // Every other board image starts missing, whether or not an earlier test loaded the real ones.
        for (TImage* image : boardimages()) {
            keep.push_back(*image);
            *image = nullptr;
        }
        clear_screen();
    }
    void TearDown() override {
        for (int k = 1; k <= 10; ++k) stoneimage[1][k] = saved[k];
        std::vector<TImage*> images = boardimages();
        for (size_t i = 0; i < images.size() && i < keep.size(); ++i) *images[i] = keep[i];
        virtw = 1024;
        virth = 768;
        set_virtual_resolution(1024, 768);
        resetdrawing();
    }
    static std::vector<TImage*> boardimages() {
        std::vector<TImage*> all{&lightimage, &shadowall, &inertimage};
        for (TImage* table : {arrowimage, shadowimage, variantimage, glb}) for (int k = 0; k < 10; ++k) all.push_back(&table[k]);
        for (TImage* table : {chainimage, graniteimage, animalimage}) for (int k = 0; k < 4; ++k) all.push_back(&table[k]);
        for (int k = 0; k < 11; ++k) all.push_back(&stoneimage[2][k]);
        return all;
    }
    std::vector<TImage> keep;
    int stone(int x, int y, int kind) {
        int s = addstone(x, y, kind, 0);
        topslot = std::max(topslot, s);
        return s;
    }
    std::vector<int> at(int x, int y) {
        int w, h;
        std::vector<uint8_t> px = read_frame_rgba(&w, &h);
        const uint8_t* p = &px[((size_t)y * w + x) * 4];
        return {p[0], p[1], p[2]};
    }
    int redat(int x, int y) { return at(x, y)[0]; }
    TImage saved[11];
};

TEST_F(BoardDrawing, StonesSitAtTheirBoardPositions) {
    stone(32, 32, 3);
    stone(96, 224, 5);
    drawkarostonesflat();
    EXPECT_EQ(redat(132, 568), 60);  // board y 32 is 32 above the bottom
    EXPECT_EQ(redat(132 + 25, 568), 0);
    EXPECT_EQ(redat(196, 600 - 224), 100);
    // Drawing leaves the default state behind.
    float sx, sy;
    get_scale(&sx, &sy);
    EXPECT_EQ(sx, 1);
    EXPECT_EQ(get_blend(), BLEND_ALPHA);
    EXPECT_EQ(get_alpha(), 1);
}

TEST_F(BoardDrawing, LoadedStoneFadesInOverTheLastFiveCooldownFrames) {
    cannonslot = stone(320, 568, 6);
    cannonbob = 0;
    const int expect[11] = {120, 96, 72, 48, 24, 0, 0, 0, 0, 0, 0};
    for (int cooldown = 10; cooldown >= 0; --cooldown) {
        clear_screen();
        cannoncooldown = cooldown;
        drawkarostonesflat();
        EXPECT_NEAR(redat(420, 32), expect[cooldown], 1) << "cooldown " << cooldown;
    }
    // The loaded stone bobs with the cannon and casts no shadow.
    shadowimage[6] = solid(40, 40, 0, 0, 200);
    clear_screen();
    cannonbob = 10;
    drawkarostonesflat();
    EXPECT_EQ(redat(420, 32 - 10 - 15), 120);
    EXPECT_EQ(at(420, 32 + 15)[2], 0);
    shadowimage[6] = nullptr;
}

TEST_F(BoardDrawing, ShadowsGoUnlessTheLevelIsLost) {
    shadowimage[2] = solid(60, 60, 0, 0, 200);
    stone(32, 96, 2);
    drawkarostonesflat();
    EXPECT_NEAR(at(132 + 25, 504)[2], 100, 1);  // half-alpha shadow around the stone
    clear_screen();
    losecount = 1;
    drawkarostonesflat();
    EXPECT_EQ(at(132 + 25, 504)[2], 0);
    shadowimage[2] = nullptr;
}

TEST_F(BoardDrawing, SuperstonesCarryTheirGlowSpots) {
    stoneimage[1][2] = nullptr;  // so that only the spots show
    stoneimage[1][1] = nullptr;
    glb[2] = solid(4, 4, 0, 255, 0);
    glb[1] = solid(4, 4, 0, 255, 0);
    stone(96, 300, 12);
    stone(288, 300, 11);
    drawkarostonesflat();
    // Kind 12: both spots at (-18, -3).
    EXPECT_EQ(at(196 - 18, 300 - 3)[1], 255);
    EXPECT_EQ(at(196 + 18, 300 - 3)[1], 0);
    // Kind 11: one spot either side at (+-13, -1).
    EXPECT_EQ(at(388 - 13, 300 - 1)[1], 255);
    EXPECT_EQ(at(388 + 13, 300 - 1)[1], 255);
    EXPECT_EQ(at(388, 300 - 1)[1], 0);
}

TEST_F(BoardDrawing, GlintRunsOverStonesButNotTheFloor) {
    int a = stone(96, 32, 10);
    int b = stone(96, 96, 4);
    int c = stone(160, 96, 4);
    glintsweep = 96;
    drawkarostonesflat();
    EXPECT_EQ(stone_glint[1][a], 0);
    EXPECT_EQ(stone_glint[1][b], 9);  // set and drawn once this frame
    EXPECT_EQ(stone_glint[1][c], 0);
    EXPECT_GT(redat(196, 504), 80);   // the additive copy brightens the stone
    stone_shake[1][c] = 3;
    drawkarostonesflat();
    EXPECT_EQ(stone_shake[1][c], 2);
}

TEST_F(BoardDrawing, HiddenStonesShowAHintAtTheBottom) {
    floorline = 40;  // the floor row has scrolled below the screen
    stone(96, 40, 10);
    stone(96, -24, 7);
    stone(96, 40, 7);    // top stone of its column, half hidden
    stone(160, 40, 3);
    stone(160, 104, 3);  // a stone in view: no hint here
    drawhiddenhints();
    EXPECT_NEAR(redat(196, 520), 140 * 0.3, 2);
    EXPECT_EQ(redat(196 + 14, 520), 0);  // half size: 20 wide
    EXPECT_EQ(redat(260, 520), 0);
    clear_screen();
    floorline = 44;
    drawhiddenhints();
    EXPECT_EQ(redat(196, 520), 0);
}

TEST_F(BoardDrawing, MissingStoneSetFallsBackToTheFirst) {
    stonerow = 2;
    stone(32, 32, 3);
    drawkarostonesflat();
    EXPECT_EQ(redat(132, 568), 60);
}

TEST_F(BoardDrawing, EveryKindDrawsWithoutImages) {
    for (int k = 1; k <= 10; ++k) stoneimage[1][k] = nullptr;
    const int kinds[] = {1, 9, 10, 11, 19, 21, 29, 61, 69, 71, 73, 79, 91, 93, 99, 50, 100};
    int x = 32;
    for (int kind : kinds) {
        int s = stone(x, 96, kind);
        stone_chain[1][s][1] = stone_chain[1][s][3] = 1;
        x += 64;
    }
    stone_shake[1][1] = 40;
    drawkarostonesflat();
    drawhiddenhints();
    int w, h;
    std::vector<uint8_t> px = read_frame_rgba(&w, &h);
    for (size_t i = 0; i < px.size(); i += 4) ASSERT_EQ(px[i] + px[i + 1] + px[i + 2], 0);
}

TEST_F(BoardDrawing, PreviewDrawsTheLevelsStoneListSmall) {
    const int level = 150;
    for (int s = 1; s < LEVELSTONES; ++s) level_stone_kind[level][s] = 0;
    addlevelstone(level, 32, 32, 10, 0);     // floor stones are not shown
    addlevelstone(level, 96, 96, 4, 0);
    addlevelstone(level, 160, 32, 52, 0);    // kinds 51..59 sit half a row higher
    draw_preview_aztec(300, 200, level);
    // Kind 4 at board (96, 96): (300 - 117 + 28.8, 200 + 184 - 28.8 - 4), 12 pixels wide at 0.3.
    EXPECT_EQ(redat(212, 351), 80);
    EXPECT_EQ(redat(212 + 8, 351), 0);
    EXPECT_EQ(redat(192, 370), 0);
    draw_preview_aztec(300, 200, 0);
    draw_preview_aztec(300, 200, 9999);
    float sx, sy;
    get_scale(&sx, &sy);
    EXPECT_EQ(sx, 1);
}

}  // namespace

// With no player chosen the board lives in the spare row 0: drawing reads that row, never row -1.
TEST_F(BoardDrawing, WithoutAPlayerTheSpareRowIsDrawn) {
    curplayer = -1;
    for (int s = 1; s < BOARDSLOTS; ++s) stone_kind[0][s] = 0;
    stone(32, 32, 3);
    shadowimage[3] = solid(60, 60, 0, 0, 200);
    drawkarostonesflat();
    EXPECT_EQ(redat(132, 568), 60);
    EXPECT_NEAR(at(132 + 25, 568)[2], 100, 1);
    shadowimage[3] = nullptr;
    for (int s = 1; s < BOARDSLOTS; ++s) stone_kind[0][s] = 0;
    curplayer = 1;
}

TEST(SuperstoneLook, ItsGlowSpotsShowAtEveryWindowSize) {
    headless();
    basedir = build_dir() + "/";
    set_auto_midhandle(1);
    loadaztecstuff();
    loadeffects();
    if (!stoneimage[1][1] || !glb[1]) GTEST_SKIP() << "board images not generated";
    const int oldleft = boardleft, oldframe = framecount, oldsweep = glintsweep;
    curplayer = 1;
    stonerow = 1;
    for (int s = 1; s < BOARDSLOTS; ++s) {
        stone_kind[1][s] = 0;
        stone_shake[1][s] = stone_glint[1][s] = 0;
    }
    topslot = cannonslot = 0;
    losecount = 0;
    boardleft = 120;
    boardalpha = 1;
    glintsweep = -1280;
    // Each colour twice, a plain stone and two rows above it a superstone, with a free row between them.
    for (int c = 1; c <= 9; ++c) {
        topslot = std::max(topslot, addstone(32 + 64 * c, 200, c, 0));
        topslot = std::max(topslot, addstone(32 + 64 * c, 328, 10 + c, 0));
    }
    // The superstone's pulse is at its dark point: what tells the two apart is its two glow spots.
    framecount = 90;
    for (int w : {600, 800, 1024}) {
        graphics_open(w, w * 3 / 4, 0, 60, 0);
        set_virtual_resolution(1024, 768);
        resetdrawing();
        set_color(255, 255, 255);
        clear_screen();
        drawkarostonesflat();
        clearlights();
        int fw, fh;
        std::vector<uint8_t> px = read_frame_rgba(&fw, &fh);
        ASSERT_EQ(fw, w);
        const double k = (double)w / 1024;
        const int half = (int)(28 * k);  // the inside of a stone, without its rim
        for (int c = 1; c <= 9; ++c) {
            const int x = (int)((120 + 32 + 64 * c) * k), plain = (int)((768 - 200) * k), super = (int)((768 - 328) * k);
            int changed = 0, all = 0;
            for (int dy = -half; dy <= half; ++dy)
                for (int dx = -half; dx <= half; ++dx) {
                    const uint8_t* a = &px[((size_t)(plain + dy) * fw + x + dx) * 4];
                    const uint8_t* b = &px[((size_t)(super + dy) * fw + x + dx) * 4];
                    int d = 0;
                    for (int ch = 0; ch < 3; ++ch) d = std::max(d, std::abs((int)a[ch] - (int)b[ch]));
                    changed += d > 40;
                    ++all;
                }
            // 15 % of the stone's face or more (faint spots change under a tenth of it on most colours).
            EXPECT_GE(changed * 100, all * 15) << "colour " << c << " at " << w << " wide: " << changed << " of " << all
                                              << " pixels differ";
        }
    }
    harness_window();
    virtw = 1024;
    virth = 768;
    resetdrawing();
    for (int s = 1; s < BOARDSLOTS; ++s) stone_kind[1][s] = 0;
    topslot = 0;
    boardleft = oldleft;
    framecount = oldframe;
    glintsweep = oldsweep;
}
