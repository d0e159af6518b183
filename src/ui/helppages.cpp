#include "ui/helppages.h"

#include <algorithm>
#include <cmath>

#include "app/display.h"
#include "app/shell.h"
#include "aztec/boardrender.h"
#include "aztec/catalogue.h"
#include "aztec/levelrun.h"
#include "effects/effects.h"
#include "effects/particles.h"
#include "match3/match3.h"
#include "platform/draw.h"
#include "platform/random.h"
#include "texts/fonts.h"
#include "texts/texttables.h"
#include "ui/buttons.h"
#include "ui/menu.h"
#include "ui/popups.h"

int helppage = 0;
int fullhelp = 0;
int helpframes = 0;
int helpcolour = 1;
float helpitemx[5], helpitemscale[5];
float helppointerx = 0, helppointery = 0;

namespace {
const float BODY_R = 0.15f, BODY_G = 0.11f, BODY_B = 0.1f;
const float HEAD_R = 0.4f, HEAD_G = 0.2f, HEAD_B = 0.1f;
const int TEXTWIDTH = 460, WIDETEXT = 590, LINEHEIGHT = 28;

float X() { return (float)centerx; }
float Y() { return (float)centery; }

TImage stone(int k) { return k >= 1 && k <= 10 ? stoneimage[1][k] : nullptr; }
void put(const TImage& im, float x, float y) { draw_image_if_loaded(im, x, y); }

// A stone that waits at y `from` and drops 4 pixels a frame from frame `start` until it rests at `rest`.
float drop(float from, int start, float rest) { return std::min(rest, from + 4.0f * (float)std::max(0, helpframes - start)); }

void paragraph(int line, float y, int width = TEXTWIDTH) {
    drawtextwrapped(4, gametext(13, line), X(), y, width, LINEHEIGHT, ALIGN_CENTER, 1, BODY_R, BODY_G, BODY_B);
}

void heading(int line) { drawtext(4, gametext(13, line), X(), Y() - 125, ALIGN_CENTER, 1, HEAD_R, HEAD_G, HEAD_B); }

// The cannon's light at half width and a third of its height, over a stone at half scale.
void cannonlight(float x, float y) {
    set_scale(0.5f, 0.3f);
    put(lightimage, x, y);
    set_scale(0.5f, 0.5f);
}

// Shooting: the cannon swings across the columns, stops and lets its stone go.
void shootingpage() {
    const float x = helpframes <= 179 ? X() + 90 * (float)std::sin(2.0 * helpframes * M_PI / 180.0) : X();
    cannonlight(x, Y() - 115);
    put(stone(1), x, Y() - 92 + 4.0f * (float)std::max(0, helpframes - 200));
}

// Groups of three: a stone drops beside two of its colour and the three burst.
void groupspage() {
    static const int colours[6] = {0, 1, 2, 5, 7, 8};
    static const float resting[6][4] = {
        {0, 0, 0, 0}, {-32, 0, 32, 0}, {-32, 0, -64, 0}, {32, 0, 64, 0}, {-32, 0, -32, -32}, {32, 0, 32, -32}};
    if (helpframes == 1) helpcolour = rand_range(1, 5);
    const int k = std::clamp(helpcolour, 1, 5);
    const int c = colours[k];
    const float r = Y() + 115;
    cannonlight(X(), Y() - 80);
    if (helpframes < 94) {
        put(stone(c), X() + resting[k][0], r + resting[k][1]);
        put(stone(c), X() + resting[k][2], r + resting[k][3]);
        put(stone(c), X(), drop(Y() - 57, 50, r));
    } else if (helpframes == 94) {
        stoneburst(X() + resting[k][0], r + resting[k][1], c);
        stoneburst(X() + resting[k][2], r + resting[k][3], c);
        stoneburst(X(), r, c);
    }
}

// Swapping: the small waiting stone and the loaded one trade places and sizes, and later trade back.
void swappage() {
    const int p = std::clamp(helpframes - 50, 0, 20) - std::clamp(helpframes - 120, 0, 20);
    const float s1 = 0.5f + 0.025f * (float)p, s2 = 1 - 0.025f * (float)p;
    const float y1 = Y() - 40 + 4.0f * (float)p, y2 = Y() + 40 - 4.0f * (float)p;
    // They slide straight past each other, the larger stone in front.
    for (int pass = 0; pass < 2; ++pass) {
        const bool first = (s1 <= s2) == (pass == 0);
        set_scale(first ? s1 : s2, first ? s1 : s2);
        put(stone(first ? 1 : 2), X(), first ? y1 : y2);
    }
    set_scale(0.5f, 0.5f);
}

// A superstone's two glow spots and its pulse, at half the board's size.
void superstone(float x, float y, int colour = 1) {
    put(stone(colour), x, y);
    put(glb[colour], x - 6, y);
    put(glb[colour], x + 6, y);
    const float a = get_alpha();
    set_blend(BLEND_LIGHT);
    set_alpha(a * (0.2f + 0.2f * (float)std::sin(7.0 * framecount * M_PI / 180.0)));
    put(stone(colour), x, y);
    set_blend(BLEND_ALPHA);
    set_alpha(a);
    for (int side = -1; side <= 1; side += 2)
        if (rand_range(1, 5) == 1) addlight(x + 6.0f * (float)side, y, 100, colour);
}

// Superstone: five in a row leave a superstone; two more of its colour set it off and the row below goes too.
void superstonepage() {
    const float row = Y() + 70, below = Y() + 102;
    static const int belowcolours[5] = {2, 5, 7, 8, 9};
    if (helpframes < 90) {
        for (float dx : {-64.0f, -32.0f, 32.0f, 64.0f}) put(stone(1), X() + dx, row);
        put(stone(1), X(), drop(Y() - 90, 50, row));
    } else if (helpframes == 90) {
        for (float dx : {-64.0f, -32.0f, 0.0f, 32.0f, 64.0f}) stoneburst(X() + dx, row, 1);
        addparticle(X(), row, 881, 0, 0);
    } else if (helpframes < 320) {
        superstone(X(), Y() + 69);
    }
    if (helpframes >= 140 && helpframes < 320) put(stone(1), X() - 32, drop(Y() - 90, 190, row));
    if (helpframes >= 230 && helpframes < 320) put(stone(1), X() + 32, drop(Y() - 90, 280, row));
    if (helpframes < 320) {
        for (int i = 0; i < 5; ++i) put(stone(belowcolours[i]), X() - 64 + 32.0f * (float)i, below);
    } else if (helpframes == 320) {
        for (float dx : {-32.0f, 32.0f, 0.0f}) stoneburst(X() + dx, row, 1);
        for (int i = 0; i < 5; ++i) stoneburst(X() - 64 + 32.0f * (float)i, below, belowcolours[i]);
        superstoneexplosion(X(), row, 1);
    }
}

// Chains: two stones of its colour land beside a chained stone; they burst and the chain shatters.
void chainpage() {
    const float rest = Y() + 80;
    put(stone(1), X(), rest);
    if (helpframes < 210) put(chainimage[1], X(), rest);
    if (helpframes >= 31 && helpframes < 210) put(stone(1), X() - 32, drop(Y() - 80, 80, rest));
    if (helpframes >= 140 && helpframes < 210) put(stone(1), X() + 32, drop(Y() - 80, 170, rest));
    if (helpframes == 210) {
        stoneburst(X() - 32, Y() + 70, 1);
        stoneburst(X() + 32, Y() + 70, 1);
        chainshatter(X(), Y() + 70);
    }
}

// Animals: the stones under a trapped animal burst, it drops to the floor and is free.
void animalpage() {
    const float floor = Y() + 66, low = Y() + 34, high = Y() + 2;
    for (int i = -2; i <= 2; ++i) put(stone(10), X() + 32.0f * (float)i, floor);
    if (helpframes < 170) {
        put(stone(1), X(), high);
        put(stone(1), X(), low);
        if (helpframes % 3 == 0) addlight(X() + (float)rand_range(-30, 30), Y() - 30 + (float)rand_range(-30, 30), 100, 7);
    }
    // The dropped stone stays where it landed, beside the gap the animal falls through.
    if (helpframes >= 101) put(stone(1), X() - 32, drop(Y() - 30, 150, low));
    if (helpframes == 170) {
        stoneburst(X(), high, 1);
        stoneburst(X(), low, 1);
    }
    if (helpframes < 190) put(animalimage[1], X(), std::min(low, Y() - 30 + 4.0f * (float)std::max(0, helpframes - 170)));
    if (helpframes == 190) superstoneexplosion(X(), low, 7);
}

// Granite: three stones drop on it; it cracks twice and crumbles on the third.
void granitepage() {
    const float at = Y() + 80, hit = Y() + 48;
    const int g = helpframes < 110 ? 1 : helpframes < 160 ? 2 : helpframes < 210 ? 3 : 0;
    if (g) put(graniteimage[g], X(), at);
    for (int i = 0; i < 3; ++i) {
        const int appear = 51 + 50 * i, fall = 80 + 50 * i, lands = 110 + 50 * i;
        if (helpframes >= appear && helpframes < lands) put(stone(1), X(), drop(Y() - 70, fall, hit));
    }
    if (helpframes == 110 || helpframes == 160) granitehit(X(), hit);
    if (helpframes == 210) granitebreak(X(), hit);
}

// A stone drawn as the board draws it, with its light motes; `flash` frames of a brighter glint left.
void variantstone(float x, float y, int flash) {
    put(variantimage[1], x, y);
    const float a = get_alpha();
    set_blend(BLEND_LIGHT);
    set_alpha(a * std::min(1.0f, 0.3f + 0.3f * (float)std::sin(4.0 * framecount * M_PI / 180.0) + 0.07f * (float)flash));
    put(variantimage[1], x, y);
    set_blend(BLEND_ALPHA);
    set_alpha(a);
    if (rand_range(1, 5) == 1) addlight(x + (float)rand_range(-17, 17), y + (float)rand_range(-17, 17), 70, 1);
}

void sleepingstone(float x, float y, int flash) {
    draw_image_frame_in_range(inertimage, x, y, (framecount / 2) % 7, 7);
    if (flash > 0) {
        const float a = get_alpha();
        set_blend(BLEND_LIGHT);
        set_alpha(a * 0.07f * (float)flash);
        draw_image_frame_in_range(inertimage, x, y, (framecount / 2) % 7, 7);
        set_blend(BLEND_ALPHA);
        set_alpha(a);
    }
    if (rand_range(1, 5) == 1) addlight(x + (float)rand_range(-17, 17), y + (float)rand_range(-17, 17), 70, 7);
}

// Variant stones: a group of its colour breaks round one and leaves it shining; a superstone's blast beside
// it takes it away.
void variantpage() {
    const float row = Y() + 70, top = Y() - 90;
    if (helpframes < 90) {
        put(stone(1), X() - 32, row);
        put(stone(1), X() + 32, drop(top, 50, row));
    } else if (helpframes == 90) {
        stoneburst(X() - 32, row, 1);
        stoneburst(X() + 32, row, 1);
    }
    if (helpframes < 262) variantstone(X(), row, helpframes >= 90 ? std::clamp(104 - helpframes, 0, 14) : 0);
    if (helpframes >= 130 && helpframes < 262) superstone(X() + 32, drop(top, 130, row), 2);
    if (helpframes >= 180 && helpframes < 262) put(stone(2), X() + 64, drop(top, 180, row));
    if (helpframes >= 230 && helpframes < 262) put(stone(2), X() + 64, drop(top, 230, row - 32));
    if (helpframes == 262) {
        stoneburst(X() + 64, row, 2);
        stoneburst(X() + 64, row - 32, 2);
        stoneburst(X(), row, 1);
        superstoneexplosion(X() + 32, row, 2);
    }
}

// Sleeping stones: the stones under one break and it drops onto the floor; a blast beside it breaks everything
// round it but the sleeping stone.
void sleepingpage() {
    const float floor = Y() + 102, row = Y() + 70, top = Y() - 90;
    for (int i = -2; i <= 2; ++i) put(stone(10), X() + 32.0f * (float)i, floor);
    if (helpframes < 90) {
        put(stone(1), X() - 32, row);
        put(stone(1), X(), row);
        put(stone(1), X() + 32, drop(top, 50, row));
    } else if (helpframes == 90) {
        for (float dx : {-32.0f, 0.0f, 32.0f}) stoneburst(X() + dx, row, 1);
    }
    sleepingstone(X(), std::min(row, row - 32 + 4.0f * (float)std::max(0, helpframes - 90)),
                  std::clamp(236 - helpframes, 0, 14) * (helpframes >= 222 ? 1 : 0));
    if (helpframes >= 110 && helpframes < 222) {
        put(stone(2), X() - 64, drop(top, 110, row));
        superstone(X() - 32, drop(top, 130, row), 2);
        put(stone(3), X() + 32, drop(top, 150, row));
    }
    if (helpframes >= 190 && helpframes < 222) put(stone(2), X() - 64, drop(top, 190, row - 32));
    if (helpframes == 222) {
        stoneburst(X() - 64, row, 2);
        stoneburst(X() - 64, row - 32, 2);
        stoneburst(X() + 32, row, 3);
        superstoneexplosion(X() - 32, row, 2);
    }
}

const float ITEMSTART[5] = {0, -96, -32, 32, 96};
const int ITEMKIND[5] = {0, 1, 2, 1, 1};

// Match-3: the pointer picks two neighbours, they swap, and the line of three clears the mud under it.
void match3page() {
    const float y = Y() + 35;
    if (helpframes <= 1) {
        helpcolour = 1;
        for (int i = 1; i <= 4; ++i) {
            helpitemx[i] = X() + ITEMSTART[i];
            helpitemscale[i] = 1;
        }
        helppointerx = X();
        helppointery = Y() + 30;
    }
    if (helpframes >= 61 && helpframes <= 120) {
        const int target = helpframes <= 90 ? 1 : 2;
        helppointerx += (X() + ITEMSTART[target] - helppointerx) * 0.1f;
        helppointery += (y - helppointery) * 0.1f;
    }
    if (helpframes >= 121 && helpframes <= 129) helpitemscale[1] += 0.02f, helpitemscale[2] += 0.02f;
    if (helpframes >= 131 && helpframes <= 146) helpitemx[1] += 4, helpitemx[2] -= 4;
    if (helpframes >= 147 && helpframes <= 155) helpitemscale[1] -= 0.02f, helpitemscale[2] -= 0.02f;
    if (helpframes >= 147 && helpframes <= 156)
        for (int i : {1, 3, 4}) helpitemscale[i] -= 0.1f;
    if (helpframes == 147) {
        mudexplosion(X() - 35, y, helpcolour);
        mudexplosion(X() + 35, y, helpcolour);
        mudexplosion(X() + 105, y, helpcolour);
    }

    set_scale(1, 1);
    for (int i = 1; i <= 4; ++i) {
        put(m3cellimg, X() + ITEMSTART[i], y);
        if (i >= 2 && helpframes < 147) put(m3mudimage[1], X() + ITEMSTART[i], y);
    }
    // The two picked items are drawn last, over their neighbours.
    for (int i : {3, 4, 2, 1}) {
        if (helpitemscale[i] <= 0.01f) continue;
        set_scale(helpitemscale[i], helpitemscale[i]);
        put(m3itemimage[1][ITEMKIND[i]], helpitemx[i], y);
    }
    set_scale(1, 1);
    put(cursorimage, helppointerx, helppointery);
}

// Deep mud: three, two and one layers, one line taking off one layer.
void mudpage() {
    const float y = Y() + 140;
    set_scale(1, 1);
    for (int i = 0; i < 3; ++i) {
        const float x = X() - 130 + 130.0f * (float)i;
        put(m3cellimg, x, y);
        put(m3mudimage[3 - i], x, y);
    }
    put(helparrow2img, X() - 65, Y() + 145);
    put(helparrow2img, X() + 65, Y() + 145);
}

void illustration() {
    set_scale(0.5f, 0.5f);
    switch (helppage) {
        case 1: shootingpage(); break;
        case 2: groupspage(); break;
        case 3: swappage(); break;
        case 4: put(timeiconimg, X(), Y() - 10); break;
        case 5: put(moveiconimg, X(), Y() - 10); break;
        case 6: superstonepage(); break;
        case 7: chainpage(); break;
        case 8: animalpage(); break;
        case 9: granitepage(); break;
        case 10: match3page(); break;
        case 11: mudpage(); break;
        case 12: variantpage(); break;
        case 13: sleepingpage(); break;
        default: break;
    }
    set_scale(1, 1);
}

// The page's texts: the paragraphs 6p and 6p + 1, with a heading on the match-3 pages.
void pagetexts() {
    const int first = 6 * helppage;
    switch (helppage) {
        case 10:
            heading(first - 1);
            paragraph(first, Y() - 90);
            paragraph(first + 1, Y() + 120);
            return;
        case 11:
            heading(first - 1);
            paragraph(first, Y() - 90, WIDETEXT);
            paragraph(first + 1, Y() - 50, WIDETEXT);
            paragraph(first + 2, Y() + 20, WIDETEXT);
            return;
        default: break;
    }
    // Where the second paragraph goes: under the illustration, or straight under the first on page 2, whose
    // stones fill the lower half.
    static const float second[HELPPAGES + 1] = {0, 135, 0, 120, 100, 100, 140, 140, 140, 140, 0, 0, 140, 140};
    paragraph(first, Y() - 140);
    if (helppage == 2) {
        std::string lines[WRAPLINES];
        const int n = wraptext(4, gametext(13, first), TEXTWIDTH, 1, lines, WRAPLINES);
        paragraph(first + 1, Y() - 140 + (float)(LINEHEIGHT * n));
    } else if (helppage >= 1 && helppage <= HELPPAGES && second[helppage] > 0) {
        paragraph(first + 1, Y() + second[helppage]);
    }
}
}  // namespace

namespace {
int ownpage(int level) {
    switch (level) {
        case 1: return 1;
        case 2: return 6;
        case 3: return 5;
        case 4: return 7;
        case 5: return 10;
        case 6: return 8;
        case 7: return 9;
        case 10: return 11;
        default: return 0;
    }
}

bool useskind(int level, int lo, int hi) {
    if (level_type[level] != 1) return false;
    for (int s = 1; s < LEVELSTONES; ++s)
        if (level_stone_kind[level][s] >= lo && level_stone_kind[level][s] <= hi) return true;
    return false;
}

// The first level of the catalogue with a stone of kinds lo..hi that does not open another page already.
int firstlevelwith(int lo, int hi, int taken) {
    for (int n = 1; n <= CATALOGUE_LEVELS; ++n)
        if (ownpage(n) == 0 && n != taken && useskind(n, lo, hi)) return n;
    return 0;
}
}  // namespace

int levelhelppage(int level) {
    if (ownpage(level) > 0) return ownpage(level);
    if (level < 1 || level > CATALOGUE_LEVELS) return 0;
    // The variant and the sleeping stones are explained where they first turn up, wherever the levels moved.
    const int variants = firstlevelwith(61, 69, 0);
    if (level == variants) return 12;
    if (level == firstlevelwith(21, 29, variants)) return 13;
    return 0;
}

int choosehelppage() {
    helppage = fullhelp == 1 ? 1 : 0;
    if (levelhelppage(playlevel) > 0) helppage = levelhelppage(playlevel);
    helpframes = 0;
    return helppage;
}

int helpcycle(int page) {
    static const int cycles[HELPPAGES + 1] = {0, 250, 150, 140, 0, 0, 400, 330, 330, 330, 300, 0, 360, 330};
    return page >= 1 && page <= HELPPAGES ? cycles[page] : 0;
}

float helpfade() {
    if (helppage == 3) return 1;  // the swap loops without fading
    float f = std::min((float)helpframes * 0.1f, 1.0f);
    const int cycle = helpcycle(helppage);
    if (cycle > 0) f = std::min(f, std::max(0.0f, (float)(cycle - helpframes) * 0.1f));
    return f;
}

bool helphasprevious() { return helppage != 1 && (fullhelp == 1 || (helppage >= 2 && helppage <= 4)); }
bool helphasnext() { return helppage != HELPPAGES && (fullhelp == 1 || (helppage >= 1 && helppage <= 3)); }

void drawhelppage() {
    // At a level's start the level waits while its page is read.
    if (fullhelp == 0) level_frames = 31;
    helppage = std::clamp(helppage, 1, (int)HELPPAGES);
    ++helpframes;
    const int cycle = helpcycle(helppage);
    if (cycle > 0 && helpframes > cycle) helpframes = 0;
    if (cycle == 0) helpframes = std::min(helpframes, 100000);

    const float a = get_alpha();
    drawpopuppanel(X(), Y(), 0.85f, gametext(13, 1));
    pagetexts();

    set_alpha(a * helpfade());
    illustration();
    draweff();
    // The superstone and the trapped animal shine with light motes, drawn over the panel at the page's alpha.
    if (helppage == 6 || helppage == 8 || helppage == 12 || helppage == 13) drawlights(a * helpfade());
    set_alpha(a);
    set_blend(BLEND_ALPHA);

    const bool previous = helphasprevious(), next = helphasnext();
    const float y = Y() + 218;
    if (previous && drawbutton(11, X() - 165, y, 15, 2, gametext(13, 4)) == 3) {
        --helppage;
        helpframes = 0;
    }
    if (next && drawbutton(12, X() + 165, y, 15, 2, gametext(13, 3)) == 3) {
        ++helppage;
        helpframes = 0;
    }
    if (drawbutton(13, X(), y, 15, 2, gametext(13, 2)) == 3 || key_escape == 1) popupfadedir = 2;
}
