#include "effects/effects.h"

#include <cmath>
#include <string>

#include "aztec/levelrun.h"
#include "effects/particles.h"
#include "platform/audio.h"
#include "platform/random.h"
#include "ui/popups.h"

TImage glowstar, spikes, explosion, glower, flash, explosion3;
TImage match3mudexplosion[10];
TImage konfetti[10];
TImage glb[10];
TImage dirt[10], dirt2[10];
TImage circle[10];
TImage star[10];
TImage chainpart[10];
TImage smoke1, smokechain, roundfire1;
TImage animal[10];
TImage levelbanner, losebanner;

namespace {

TImage image(const std::string& name) { return load_image_logged("data\\effects\\" + name + ".png"); }

TImage anim(const std::string& name, int cell_w, int cell_h, int count) {
    return load_anim_image_logged("data\\effects\\" + name + ".png", cell_w, cell_h, count);
}

void family(TImage* images, const std::string& name, int count, const std::string& suffix = "") {
    for (int k = 1; k <= count; ++k) images[k] = image(name + std::to_string(k) + suffix);
}

float r(int m, int n) { return (float)rand_range(m, n); }

// A random spread of -5..5 per frame for thrown pieces.
float spread() { return 0.1f * r(-50, 50); }

// Stars and glows thrown up from a point and falling back; returns the offset of the last one.
void throwup(float x, float y, int kind, int count, float* lastd, float* laste) {
    for (int k = 1; k <= count; ++k) {
        float d = r(-20, 20), e = r(-20, 6);
        addparticle(x + d, y + e, kind, 0.3f * d, 0.3f * e);
        *lastd = d;
        *laste = e;
    }
}

void granitepieces(float x, float y, int pieces) {
    for (int k = 1; k <= pieces; ++k) addparticle(x + r(-30, 30), y + r(-30, 30), 868, 0.06f * r(-100, 100),
                                                   0.06f * r(-100, 100));
    for (int k = 1; k <= 2; ++k) addparticle(x + r(-36, 36), y + r(-36, 36), 891, 0, 0);
}

// Sparks flying off a broken chain.
void chainsparks(float x, float y) {
    for (int k = 1; k <= 3; ++k) addparticle(x, y, 7, spread(), spread());
}

}  // namespace

void loadeffects() {
    // Every effect image is centred on its point unless it names its own pivot.
    int midhandle = get_auto_midhandle();
    set_auto_midhandle(1);
    glowstar = image("glowstar");
    spikes = image("spikes");
    explosion = anim("explosion", 128, 128, 16);
    glowworm = image("glowworm");
    insect = image("insect");
    rain2 = image("rain2");
    lightning = image("lightning");
    set_image_handle(lightning, 84, 0);
    glower = image("glower");
    flash = image("blitz");
    explosion3 = anim("explosion3", 256, 256, 32);
    set_image_handle(explosion3, 128, 128);
    for (int k = 1; k <= 3; ++k) {
        match3mudexplosion[k] = anim("match3mudexplosion" + std::to_string(k), 128, 128, 32);
        set_image_handle(match3mudexplosion[k], 64, 64);
    }
    family(konfetti, "konfetti", 4);
    family(glb, "glb", 9);
    family(dirt, "dirt", 9);
    family(dirt2, "dirt", 9, "-2");
    family(circle, "circle", 9);
    family(star, "star", 9);
    family(chainpart, "chainpart", 3);
    for (int k = 1; k <= 4; ++k) butterfly[k] = anim("butterfly" + std::to_string(k), 78, 54, 9);
    smoke1 = anim("smoke1", 54, 55, 32);
    smokechain = anim("smokechain", 54, 55, 32);
    roundfire1 = anim("roundfire1", 90, 90, 20);
    for (int k = 1; k <= 3; ++k) animal[k] = load_image_logged("data\\game\\animal" + std::to_string(k) + ".png");
    levelbanner = image("levelbanner");
    losebanner = image("losebanner");
    set_auto_midhandle(midhandle);
}

void landingdust(float x, float y) {
    addparticle(x - 36, y + 36, 891, 0, 0);
    addparticle(x + 36, y + 36, 891, 0, 0);
}

void stoneburst(float x, float y, int colour) {
    for (int k = 1; k <= 8; ++k)
        addparticle(x + r(-36, 36), y + r(-36, 36), 860 + colour, 0.03f * r(-100, 100), 0.03f * r(-100, 100));
    for (int k = 1; k <= 2; ++k) addparticle(x + r(-36, 36), y + r(-36, 36), 891, 0, 0);
    if (popupfade == 0) playsound(2, x);
}

void chainbreak(float x, float y) {
    for (int k = 1; k <= 10; ++k) addparticle(x + r(-2, 2), y + r(-36, 36), 850, spread(), spread());
    chainsparks(x, y);
    addparticle(x, y, 11051, 0, 0);
}

void chainshatter(float x, float y) {
    for (int k = 1; k <= 5; ++k) addparticle(x + (float)(8 * k - 20), y + (float)(8 * k - 20), 850, spread(), spread());
    chainsparks(x, y);
    addparticle(x, y, 891, 0, 0);
}

void mapchainbreak(float x, float y) {
    for (int k = 1; k <= 5; ++k) {
        float o = (float)(15 * k);
        addparticle(x + o, y + o, 830, spread(), spread());
        addparticle(x - o, y + o, 830, spread(), spread());
        addparticle(x + o, y - o, 830, spread(), spread());
        addparticle(x - o, y - o, 830, spread(), spread());
    }
    addparticle(x, y, 891, 0, 0);
}

void superstoneexplosion(float x, float y, int colour) {
    for (int k = 1; k <= 2; ++k) addparticle(x, y, 860 + colour, 0.03f * r(-100, 100), 0.03f * r(-100, 100));
    // A ring of glows leaving 10 degrees apart.
    for (int k = 1; k <= 36; ++k) {
        double angle = 10.0 * k * M_PI / 180.0;
        addparticle(x, y, 104, (float)(2 * std::cos(angle)), (float)(2 * std::sin(angle)));
    }
    addparticle(x, y, 9999, 0, 0);
    addparticle(x, y, 999, 0, 0);
    addparticle(x, y, 980 + colour, 0, 0);
}

void granitebreak(float x, float y) { granitepieces(x, y, 30); }

void granitehit(float x, float y) { granitepieces(x, y, 10); }

void winstarburst(float x, float y, int colour) {
    float d, e;
    throwup(x, y, 900 + colour, 5, &d, &e);
    throwup(x, y, 100 + colour, 20, &d, &e);
}

void mudexplosion(float x, float y, int variant) {
    float d = 0, e = 0;
    switch (variant) {
        case 1:
            throwup(x, y, 864, 11, &d, &e);
            throwup(x, y, 104, 20, &d, &e);
            addparticle(x + d, y + e, 11071, 0, 0);
            break;
        case 2:
            throwup(x, y, 866, 11, &d, &e);
            throwup(x, y, 106, 20, &d, &e);
            addparticle(x + d, y + e, 11072, 0, 0);
            break;
        case 3:
            granitebreak(x, y);
            addparticle(x, y, 11073, 0, 0);
            break;
        case 4:
            chainbreak(x, y);
            addparticle(x, y, 11071, 0, 0);
            break;
        default: break;
    }
}

void starlost(float x, float y) {
    if (level_frames > 150) playsound(44, x);
    for (int k = 1; k <= 5; ++k) addlight((float)(int)(x + r(-10, 10)), (float)(int)y, 100, 4);
}
