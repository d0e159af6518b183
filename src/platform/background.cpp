#include "platform/background.h"

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <string>
#include <vector>

#include "globals.h"
#include "platform/audio.h"
#include "platform/paths.h"
#include "platform/random.h"
#include "platform/system.h"

int bgnumber = 0;
TImage bglayer[5];
TImage bgfull;
TImage bglight;
TImage glowworm, insect, rain2, lightning;
TImage butterfly[10];
float bgphase = 0;
int boltcount = 0, boltx = 0, boltmirror = 0, skyflashcount = 0;
float rainx[RAINDROPS + 1], rainy[RAINDROPS + 1];
float fireflyx[FIREFLIES + 1], fireflyy[FIREFLIES + 1];
int fireflydepth[FIREFLIES + 1], fireflytype[FIREFLIES + 1], fireflylife[FIREFLIES + 1], fireflyage[FIREFLIES + 1];
float butterflyx[BUTTERFLIES + 1], butterflyy[BUTTERFLIES + 1];
int butterflydepth[BUTTERFLIES + 1], butterflyspecies[BUTTERFLIES + 1], butterflylife[BUTTERFLIES + 1],
    butterflyage[BUTTERFLIES + 1];

namespace {

const int firefly_kind = 7;
const int bolt_sound = 58, skyflash_sound = 39;  // lightning.ogg, lightning2.ogg
const float layer_shift[5] = {0, 0, 0.015f, 0.05f, 0.09f};
int bgserial = 0;               // changes with every load or free of the layers
std::vector<float> lastlayerkey;  // what the still layers showed in the previous frame

// How many layers from the back have no ambient life between them, and so can be kept as one picture.
int stilllayers() {
    switch (bgnumber) {
        case 0:
        case 2: return 3;
        case 1:
        case 3: return 2;
        case 11: return 4;
        default: return 0;
    }
}

// Layers 1..n drawn as one cached picture when they showed the same in the previous frame (the mouse at rest,
// no fade): a frame then costs one copy instead of n full-screen layers. While anything in them changes they
// are drawn as they are. The picture replaces the whole screen, so the back layer must cover it.
bool drawstilllayers(int n, float d) {
    const TImage& back = bglayer[1];
    if (n < 2 || !back || image_width(back) < virtw || image_height(back) < virth ||
        image_handle_x(back) != image_width(back) * 0.5f || image_handle_y(back) != image_height(back) * 0.5f)
        return false;
    int r, g, b;
    get_color(&r, &g, &b);
    float sx, sy;
    get_scale(&sx, &sy);
    std::vector<float> key = {(float)bgserial, (float)virtw, (float)virth, (float)r, (float)g, (float)b,
                              get_alpha(), sx, sy, get_rotation()};
    for (int k = 2; k <= n; ++k) key.push_back(d * layer_shift[k]);
    const bool still = key == lastlayerkey;
    lastlayerkey = key;
    if (!still) return false;
    if (!picture_begin(key)) {
        for (int k = 1; k <= n; ++k) {
            if (k == 1) set_blend(BLEND_SOLID);
            draw_image_if_loaded(bglayer[k], (float)centerx + d * layer_shift[k], (float)centery);
            if (k == 1) set_blend(BLEND_ALPHA);
        }
    }
    picture_end();
    return true;
}

double sindeg(double a) { return std::sin(a * M_PI / 180.0); }
double cosdeg(double a) { return std::cos(a * M_PI / 180.0); }

bool offscreen(float x, float y) {
    return y < -10 || y > (float)virth || x < -10 || x > (float)(virtw + 10);
}

// Two chances in five per frame of a newcomer rising from the lower left and lower right, mirrored.
template <typename Add>
void spawnpair(Add add) {
    int r = rand_range(1, 400);
    if (rand_range(1, 5) == 1) add((float)r, (float)(virth - 150), rand_range(800, 2000));
    if (rand_range(1, 5) == 1) add((float)(virtw - r), (float)(virth - 150), rand_range(800, 2000));
}

void drawfireflies(float alpha, float ox) {
    for (int i = 1; i <= FIREFLIES; ++i) {
        if (fireflytype[i] <= 0) continue;
        const float depth = (float)fireflydepth[i];
        float v = 1;
        if (fireflylife[i] < 50) v = (float)fireflylife[i] * 0.02f;
        if (fireflyage[i] < 5) v = (float)fireflyage[i] * 0.2f;
        set_alpha(v * alpha * depth * 0.033f * 3);
        const float size = (float)(v * depth * 0.033f * 0.3f * (0.15 + 0.15 * sindeg(2.0 * fireflylife[i])));

        if (bgnumber == 3) {
            fireflyx[i] += (float)(0.01 * sindeg(2.0 * framecount + 33.0 * i) * depth);
        } else {
            float e = (float)(0.1 * cosdeg(33.0 * i + framecount));
            if (fireflylife[i] < 200) e = fireflyx[i] < (float)centerx ? -0.1f : 0.1f;  // off to the nearer side
            e += (float)(0.03 * sindeg(33.0 * i + 3.0 * framecount));
            fireflyx[i] += e * depth;
        }
        fireflyy[i] -= (float)((0.2 + 0.3 * sindeg(fireflylife[i])) * 0.05 * depth);
        ++fireflyage[i];
        --fireflylife[i];

        const float x = fireflyx[i] + ox * depth * 0.033f;
        if (bgnumber == 3) {
            set_scale(1.5f * size, 1.5f * size);
            draw_image_if_loaded(glowworm, x, fireflyy[i]);
        } else {
            set_scale(size, size);
            draw_image_if_loaded(insect, x, fireflyy[i]);
        }
        if (offscreen(fireflyx[i], fireflyy[i]) || fireflylife[i] < 1) fireflytype[i] = 0;
    }
    set_rotation(0);
    set_alpha(alpha);
    set_scale(1, 1);
    set_blend(BLEND_ALPHA);
}

void drawbutterflies(float ox) {
    static const int wing[12] = {0, 1, 2, 3, 4, 5, 6, 5, 4, 3, 2, 1};  // the wings open and close
    set_alpha(1);
    for (int i = 1; i <= BUTTERFLIES; ++i) {
        const int species = butterflyspecies[i];
        if (species <= 0) continue;
        const float depth = (float)butterflydepth[i];
        const int frame = wing[butterflyage[i] % 12];
        float h = (float)(0.1 * cosdeg((double)framecount + 33.0 * i));
        // Once its time is up a butterfly flies off towards the nearer side and is freed only off screen.
        if (butterflylife[i] < 0) h = butterflyx[i] < (float)centerx ? -0.1f : 0.1f;
        const float m = h + (float)(0.03 * sindeg(33.0 * i + 4.0 * framecount));
        butterflyx[i] += m * depth;
        butterflyy[i] -= (float)((0.2 + 0.9 * sindeg(3.0 * butterflyage[i])) * 0.05 * depth);
        ++butterflyage[i];
        --butterflylife[i];

        const float s = depth * 0.033f * 0.3f;
        set_scale(s, s);
        set_rotation(m * 500);
        if (species < 10)
            draw_image_frame_in_range(butterfly[species], butterflyx[i] + ox * depth * 0.033f, butterflyy[i], frame, 9);
        if (offscreen(butterflyx[i], butterflyy[i])) butterflyspecies[i] = 0;
    }
    set_rotation(0);
    set_alpha(1);
    set_scale(1, 1);
    set_blend(BLEND_ALPHA);
}

void drawrain(int first, int last) {
    for (int d = first; d <= last; ++d) {
        const float s = (float)(d % 10 + (d <= 30 ? 8 : 12));
        rainx[d] += 0.3f * s;
        rainy[d] += 0.6f * s;
        if (rainy[d] > (float)(virth + 100)) {
            rainy[d] = -100;
            rainx[d] = (float)rand_range(-300, virtw - 100);
        }
        set_scale(0.05f * s, 0.05f * s);
        draw_image_if_loaded(rain2, rainx[d], rainy[d]);
    }
    set_scale(1, 1);
}

// Rises over 30 frames, then drops away; the counter runs out at 60.
float flashenvelope(int& counter) {
    const int n = ++counter;
    const float b = n < 30 ? std::min((float)n * 0.03333f, 1.0f) : std::max(1 - (float)n * 0.0333f, 0.0f);
    if (n >= 60) counter = 0;
    return b;
}

// This frame's bolt and sky flash over the back layer of theme 4: brightness 0..1, or -1 when not shown.
struct Lightning {
    float bolt = -1, sky = -1;
    bool shown() const { return bolt >= 0 || sky >= 0; }
};

// The storm's dice and counters for this frame; drawn by drawlightning.
Lightning advancelightning() {
    Lightning l;
    if (boltcount == 0 && rand_range(400, 1) == 1) {
        boltcount = 1;
        boltx = rand_range(centerx, virtw - 50);
        boltmirror = rand_range(1, 2);
        playsound_bg(bolt_sound, (float)boltx);
        skyflashcount = 1;
    }
    if (boltcount > 0) l.bolt = flashenvelope(boltcount);
    if (skyflashcount == 0 && rand_range(400, 1) == 1) {
        skyflashcount = 1;
        playsound_bg(skyflash_sound, (float)centerx);
    }
    if (skyflashcount > 0) l.sky = flashenvelope(skyflashcount);
    return l;
}

void drawlightning(const Lightning& l, float ox) {
    const float a0 = get_alpha();
    const float strobe = (float)sindeg(90.0 * framecount);  // lit one frame in four
    if (l.bolt >= 0) {
        set_alpha(a0 * l.bolt * strobe);
        if (boltmirror == 1) set_scale(-1, 1);
        draw_image_if_loaded(lightning, (float)boltx, 0);
        set_scale(1, 1);
    }
    if (l.sky >= 0) {
        set_alpha(a0 * l.sky * strobe * 0.7f);
        set_blend(BLEND_LIGHT);
        set_scale(1, 1);
        draw_image_if_loaded(bglight, (float)centerx + ox, 0);
    }
    set_alpha(a0);
    set_scale(1, 1);
    set_blend(BLEND_ALPHA);
}

// The file of layer k: <folder><k>.png, else <folder><k>.jpg, else none.
std::string layerfile(const std::string& folder, int k) {
    for (const char* ext : {".png", ".jpg"}) {
        std::string name = folder + std::to_string(k) + ext;
        if (path_exists(name)) return name;
    }
    return {};
}

// A layer, or none; a file that exists but cannot be read is reported by the loader.
TImage loadlayer(const std::string& folder, int k) {
    const std::string name = layerfile(folder, k);
    return name.empty() ? nullptr : load_image_logged(name);
}

std::string bgfolder(int number) { return "data\\bg\\bg" + std::to_string(number) + "\\"; }
const char* const tentbgfile = "data\\bg\\tentbg.jpg";
const char* const bg4lightfile = "data\\bg\\bg4\\light.png";

}  // namespace

void freefireflies() {
    for (int i = 0; i <= FIREFLIES; ++i) fireflytype[i] = 0;
}

void freebutterflies() {
    for (int i = 0; i <= BUTTERFLIES; ++i) butterflyspecies[i] = 0;
}

int addfirefly(float x, float y, int type, int maxlife) {
    for (int i = 1; i <= FIREFLIES; ++i) {
        if (fireflytype[i] != 0) continue;
        fireflyx[i] = x;
        fireflyy[i] = y;
        fireflydepth[i] = rand_range(2, 30);
        fireflylife[i] = rand_range((int)((float)maxlife * 0.2f), maxlife);
        fireflyage[i] = 0;
        fireflytype[i] = type;
        return i;
    }
    return 0;
}

int addbutterfly(float x, float y, int maxlife) {
    for (int i = 1; i <= BUTTERFLIES; ++i) {
        if (butterflyspecies[i] != 0) continue;
        butterflyx[i] = x;
        butterflyy[i] = y;
        butterflydepth[i] = rand_range(2, 30);
        butterflylife[i] = rand_range((int)((float)maxlife * 0.2f), maxlife);
        butterflyage[i] = 0;
        butterflyspecies[i] = rand_range(1, 4);
        return i;
    }
    return 0;
}

void freegamebg() {
    ++bgserial;
    picture_forget();
    for (TImage& layer : bglayer) layer = nullptr;
    bgfull = nullptr;
    bglight = nullptr;
}

void loadgamebg_dynamic(int number) {
    // Whatever is still loaded goes first (switching the animation on or off reloads the same number).
    freegamebg();
    bgnumber = number;
    ++bgserial;
    const std::string folder = bgfolder(number);
    if (bganimation == 1) {
        for (int k = 1; k <= 4; ++k) bglayer[k] = loadlayer(folder, k);
        timing_step("background layers");
    } else {
        bgfull = load_image_logged(folder + "full.jpg");
    }
    bgphase = 0;
    if (number == 2) freebutterflies();
    boltcount = boltx = boltmirror = skyflashcount = 0;
    for (int d = 1; d <= RAINDROPS; ++d) {
        rainx[d] = (float)rand_range(-200, virtw);
        rainy[d] = (float)rand_range(0, virtw);
    }
    if (number == 4) {
        bglight = load_image_logged(bg4lightfile);
        set_image_handle(bglight, 799, 0);
    }
    freefireflies();
}

void preparegamebg(int number) {
    if (number == 5) {
        prepare_image(tentbgfile);
        return;
    }
    if (number < 0) return;
    const std::string folder = bgfolder(number);
    if (bganimation == 1) {
        for (int k = 1; k <= 4; ++k)
            if (std::string name = layerfile(folder, k); !name.empty()) prepare_image(name);
    } else {
        prepare_image(folder + "full.jpg");
    }
    if (number == 4) prepare_image(bg4lightfile);
}

void loadgamebg(int number) {
    std::printf("loadgamebg(%d)\n", number);
    freegamebg();
    // One flat picture in either mode; the theme (and with it the music) stays as it was.
    bgfull = load_image_logged(tentbgfile);
    bglayer[1] = bgfull;
    ++bgserial;
}

void drawbackground(float target_x) {
    if (bganimation != 1) {
        draw_image_if_loaded(bgfull, (float)centerx, (float)centery);
        return;
    }
    bgphase -= (bgphase - target_x) * 0.1f;
    const float d = (float)centerx - bgphase;
    // Theme 4's storm is worked out before anything is drawn (nothing drawn in between uses the dice): while
    // no bolt or flash shows, its two back layers are as still as any other theme's.
    Lightning storm;
    int still = stilllayers();
    if (bgnumber == 4) {
        storm = advancelightning();
        still = storm.shown() ? 0 : 2;
    }
    const int cached = drawstilllayers(still, d) ? still : 0;
    for (int k = 1; k <= 4; ++k) {
        const float dx = d * layer_shift[k];
        if (k > cached) {
            if (k == 1) set_blend(BLEND_SOLID);
            draw_image_if_loaded(bglayer[k], (float)centerx + dx, (float)centery);
            if (k == 1) set_blend(BLEND_ALPHA);
        }

        if (bgnumber == 2 && k == 3) {
            spawnpair([](float x, float y, int life) { addbutterfly(x, y, life); });
            drawbutterflies(dx);
        }
        if (((bgnumber == 1 || bgnumber == 3) && k == 2) || (bgnumber == 0 && k == 3)) {
            spawnpair([](float x, float y, int life) { addfirefly(x, y, firefly_kind, life); });
            drawfireflies(1, dx);
        }
        if (bgnumber == 4) {
            if (k == 1) drawlightning(storm, dx);
            if (k == 2) drawrain(1, 30);
            if (k == 3) drawrain(31, 60);
        }
    }
}
