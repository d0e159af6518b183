#include "aztec/boardrender.h"

#include <cmath>
#include <string>

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
#include "platform/random.h"
#include "storage/settings.h"

TImage stoneimage[3][11];
TImage arrowimage[10];
TImage lightimage;
TImage shadowimage[10];
TImage shadowall;
TImage chainimage[4];
TImage graniteimage[4];
TImage animalimage[4];
TImage inertimage;
TImage variantimage[10];

namespace {

std::string num(int k) { return std::to_string(k); }

// Draws a frame unless its scaled box lies wholly off the logical screen.
void drawonscreen(const TImage& image, float x, float y, int frame) {
    if (!image) return;
    float sx, sy;
    get_scale(&sx, &sy);
    const float hw = (float)image_width(image) * 0.5f * std::fabs(sx), hh = (float)image_height(image) * 0.5f * std::fabs(sy);
    if (x + hw <= 0 || x - hw >= (float)virtw || y + hh <= 0 || y - hh >= (float)virth) return;
    draw_image(image, x, y, frame);
}

float sindeg(float degrees) { return (float)std::sin((double)degrees * M_PI / 180.0); }

bool chance(int n) { return rand_range(1, n) == 1; }

// The colour-stone image of a column, in the player's stone set; a set whose images are missing shows the
// first set rather than an invisible board.
const TImage& stonecolumn(int column) {
    static const TImage none;
    if (column < 1 || column > 10) return none;
    const int row = stonerow == 2 ? 2 : 1;
    return stoneimage[row][column] ? stoneimage[row][column] : stoneimage[1][column];
}

const TImage& family(const TImage* images, int k) {
    static const TImage none;
    return k >= 1 && k <= 9 ? images[k] : none;
}

// Glow spot offsets of the superstones 11..19: two spots each.
const int glowspot[10][4] = {
    {0, 0, 0, 0},      {-13, -1, 13, -1}, {-18, -3, -18, -3}, {0, 0, 0, 0},   {0, 0, 0, 0},
    {17, -3, 17, -3},  {0, 0, 0, 0},      {-17, 8, 17, 8},    {-15, 3, 15, 3}, {-16, -3, 16, -3},
};

}  // namespace

void loadaztecstuff() {
    for (int k = 1; k <= 10; ++k) stoneimage[1][k] = load_image_logged("data\\aztec\\stone" + num(k) + ".png");
    for (int k = 1; k <= 3; ++k) chainimage[k] = load_image_logged("data\\aztec\\chain" + num(k) + ".png");
    lightimage = load_image_logged("data\\aztec/light.png");
    set_image_handle(lightimage, 48, 0);
    for (int k = 1; k <= 9; ++k) {
        arrowimage[k] = load_image_logged("data\\aztec/arrow" + num(k) + ".png");
        shadowimage[k] = load_image_logged("data\\aztec\\sh" + num(k) + ".png");
        variantimage[k] = load_image_logged("data\\aztec\\variant" + num(k) + ".png");
    }
    shadowall = load_image_logged("data\\aztec\\shall.png");
    for (int k = 1; k <= 3; ++k) {
        graniteimage[k] = load_image_logged("data\\aztec/granite" + num(k) + ".png");
        animalimage[k] = load_image_logged("data\\aztec/animal" + num(k) + ".png");
    }
    inertimage = load_anim_image_logged("data\\aztec\\inert.png", 64, 64, 8);
}

void draw_karo_stones_shadows() {
    if (losecount > 0) return;
    const int p = boardrow();
    for (int s = 1; s <= topslot; ++s) {
        const int kind = stone_kind[p][s];
        if (kind <= 0 || s == cannonslot) continue;
        const TImage* im = nullptr;
        if (kind >= 1 && kind <= 9) im = &shadowimage[kind];
        else if (kind >= 11 && kind <= 19) im = &shadowimage[kind - 10];
        else if (kind > 30) im = &shadowall;
        if (!im || !*im) continue;
        set_alpha((kind == 10 ? 1.0f : 0.5f) * boardalpha);
        drawonscreen(*im, (float)(boardleft + stone_x[p][s]), (float)(virth - stone_y[p][s]), 0);
    }
}

void drawkarostonesflat() {
    const int p = boardrow();
    draw_karo_stones_shadows();
    set_alpha(boardalpha);
    for (int s = 1; s <= topslot; ++s) {
        const int kind = stone_kind[p][s];
        if (kind < 1 || kind > 100) continue;
        const bool cannon = s == cannonslot, floor = kind == 10;
        float bx = (float)(boardleft + stone_x[p][s]), by = (float)stone_y[p][s];
        if (cannon) by += cannonbob;
        float alpha = boardalpha;
        if (cannon) alpha = (1.0f - 0.2f * (float)cannoncooldown) * boardalpha;
        if (alpha <= 0) continue;
        set_alpha(alpha);
        if (stone_shake[p][s] > 0) {
            const int k = --stone_shake[p][s];
            bx += 0.1f * (float)rand_range(-k, k);
            by += 0.1f * (float)rand_range(-k, k);
        }
        const float x = bx, y = (float)virth - by;
        if (floor) drawonscreen(stoneimage[1][10], x, y, 0);
        const int column = kind >= 11 && kind <= 19 ? kind - 10 : kind;
        const TImage& image = stonecolumn(column);
        drawonscreen(image, x, y, 0);

        if (stone_x[p][s] == glintsweep && !cannon && !floor) stone_glint[p][s] = 10;
        if (stone_glint[p][s] > 0) {
            --stone_glint[p][s];
            set_blend(BLEND_LIGHT);
            set_alpha(0.1f * (float)stone_glint[p][s] * boardalpha);
            drawonscreen(image, x, y, 0);
            set_blend(BLEND_ALPHA);
            set_alpha(alpha);
        }
        const bool abovebottom = y < (float)(virth - 64);
        if (kind >= 11 && kind <= 19) {
            const int colour = kind - 10;
            const int* o = glowspot[colour];
            for (int k = 0; k < 2; ++k) {
                const float gx = (float)(int)(x + (float)o[k * 2]), gy = (float)(int)(y + (float)o[k * 2 + 1]);
                drawonscreen(family(glb, colour), gx, gy, 0);
                if (abovebottom && chance(5)) addlight(gx, gy, 100, colour);
            }
            set_blend(BLEND_LIGHT);
            set_alpha((0.2f + 0.2f * sindeg(7.0f * (float)framecount)) * boardalpha);
            drawonscreen(image, x, y, 0);
            set_blend(BLEND_ALPHA);
            set_alpha(alpha);
            if (abovebottom && chance(80)) addparticle(x, y, 11010 + rand_range(1, 9), 0, 0);
        } else if (kind >= 21 && kind <= 29) {
            drawonscreen(inertimage, x, y, (framecount / 2) % 7);
            if (abovebottom && chance(5))
                addlight(x + (float)rand_range(-34, 34), y + (float)rand_range(-34, 34), 70, 7);
        } else if (kind >= 61 && kind <= 69) {
            const int colour = kind - 60;
            drawonscreen(variantimage[colour], x, y, 0);
            if (abovebottom && chance(5))
                addlight(x + (float)rand_range(-34, 34), y + (float)rand_range(-34, 34), 70, colour);
            set_blend(BLEND_LIGHT);
            set_alpha((0.3f + 0.3f * sindeg(4.0f * (float)framecount + 5.0f * (float)s)) * boardalpha);
            drawonscreen(variantimage[colour], x, y, 0);
            set_blend(BLEND_ALPHA);
            set_alpha(alpha);
        } else if (kind >= 71 && kind <= 79) {
            drawonscreen(family(graniteimage, kind - 70), x, y, 0);
        } else if (kind >= 91 && kind <= 99) {
            drawonscreen(family(animalimage, kind - 90), x, y, 0);
        }
        for (int layer = 1; layer <= 3; ++layer)
            if (stone_chain[p][s][layer] == 1) drawonscreen(chainimage[layer], x, y, 0);
    }
    resetdrawing();
}

void drawhiddenhints() {
    if (floorline >= 44) return;
    const int p = boardrow();
    set_scale(0.5f, 0.5f);
    set_blend(BLEND_LIGHT);
    set_alpha(0.3f * boardalpha);
    for (int column = 32; column <= 608; column += 64) {
        int top = 0;
        bool visible = false;
        for (int s = 1; s <= topslot && !visible; ++s) {
            const int kind = stone_kind[p][s];
            if (kind <= 0 || kind == 10 || s == cannonslot || stone_x[p][s] != column) continue;
            if (stone_y[p][s] > 44) visible = true;
            else if (top == 0 || stone_y[p][s] > stone_y[p][top]) top = s;
        }
        if (visible || top == 0) continue;
        const int kind = stone_kind[p][top];
        const float x = (float)(boardleft + column), y = (float)(virth - 80);
        if (kind >= 1 && kind <= 9) drawonscreen(stonecolumn(kind), x, y, 0);
        else if (kind >= 11 && kind <= 19) drawonscreen(stonecolumn(kind - 10), x, y, 0);
        else if (kind >= 61 && kind <= 69) drawonscreen(stonecolumn(kind - 60), x, y, 0);
        else if (kind >= 21 && kind <= 29) drawonscreen(inertimage, x, y, 1);
        else if (kind >= 71 && kind <= 79) drawonscreen(family(graniteimage, kind - 70), x, y, 0);
        else if (kind >= 91 && kind <= 99) drawonscreen(family(animalimage, kind - 90), x, y, 0);
    }
    set_scale(1, 1);
    set_blend(BLEND_ALPHA);
    set_alpha(1);
}

void draw_preview_aztec(float x0, float y0, int level) {
    if (level < 1 || level >= LEVELSLOTS) return;
    static const int variantcolour[6] = {1, 2, 5, 7, 8, 9};
    set_scale(0.3f, 0.3f);
    for (int s = 1; s < LEVELSTONES; ++s) {
        const int kind = level_stone_kind[level][s];
        if (kind <= 0) continue;
        const int e = kind >= 51 && kind <= 59 ? 32 : 0;
        const float x = x0 - 117 + 0.3f * (float)level_stone_x[level][s];
        const float y = y0 + 184 - 0.3f * (float)(e + level_stone_y[level][s]) - 4;
        if (kind >= 1 && kind <= 9) drawonscreen(stoneimage[1][kind], x, y, 0);
        else if (kind >= 20 && kind <= 29) drawonscreen(inertimage, x, y, 1);
        else if (kind >= 60 && kind <= 69) drawonscreen(variantimage[variantcolour[s % 6]], x, y, 0);
        else if (kind >= 70 && kind <= 79) drawonscreen(family(graniteimage, kind - 71), x, y, 0);
        else if (kind >= 90 && kind <= 99) drawonscreen(family(animalimage, kind - 91), x, y, 0);
        if (level_stone_chain[level][s][1] == 1) drawonscreen(chainimage[1], x, y, 0);
        if (level_stone_chain[level][s][2] == 1) drawonscreen(chainimage[2], x, y, 0);
        if (level_stone_chain[level][s][3] == 1) drawonscreen(chainimage[3], x + 6, y, 0);
    }
    set_scale(1, 1);
}
