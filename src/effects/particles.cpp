#include "effects/particles.h"

#include <algorithm>
#include <cmath>

#include "app/display.h"
#include "app/screenflow.h"
#include "app/shell.h"
#include "aztec/board.h"
#include "aztec/gamescreen.h"
#include "effects/effects.h"
#include "match3/match3.h"
#include "platform/audio.h"
#include "platform/draw.h"
#include "platform/random.h"
#include "storage/players.h"
#include "storage/settings.h"
#include "ui/menu.h"

float part_x[PARTICLESLOTS], part_y[PARTICLESLOTS];
float part_a[PARTICLESLOTS], part_b[PARTICLESLOTS];
int part_kind[PARTICLESLOTS];
int part_age[PARTICLESLOTS];
int part_follow[PARTICLESLOTS];

float light_x[LIGHTSLOTS], light_y[LIGHTSLOTS];
int light_depth[LIGHTSLOTS];
int light_colour[LIGHTSLOTS];
int light_life[LIGHTSLOTS];
int light_age[LIGHTSLOTS];

namespace {

const int LASTSLOT = PARTICLESLOTS - 1;
const int LASTLIGHT = LIGHTSLOTS - 1;

float sindeg(float degrees) { return (float)std::sin((double)degrees * M_PI / 180.0); }

// A fresh wobble of -0.5..0.5 for each use.
float jitter() { return (float)rand_range(-10, 10) * 0.05f; }

// The age step of most kinds: `step`, and the same again three times in ten.
void agestep(int i, int step) {
    part_age[i] += step;
    if (rand_range(1, 10) < 4) part_age[i] += step;
}

// Members of an image family are numbered 1..9; a computed number beyond that shows the first one.
const TImage& family(const TImage* images, int n) {
    static const TImage none;
    if (n > 9) n = 1;
    if (n < 0) return none;
    return images[n];
}

// Fade of the smoke-like kinds: full, then down to nothing over their last frames.
float smokefade(int age) { return age > 27 ? std::max(0.0f, (float)(32 - age) * 0.2f) : 1.0f; }

bool validplayer() { return curplayer >= 1 && curplayer <= MAXPLAYERS; }

void freeslot(int i) { part_kind[i] = 0; }

// Below ten frames per second most kinds live for one drawn frame only.
void slowrule(int i) {
    if (fps < 10) freeslot(i);
}

// The rescued animal: the screen darkens while the animal flies to the centre growing, then it shrinks away
// to the rescue counter and bursts into twinkles.
void rescuedanimal(int i, float ba) {
    int age = ++part_age[i];
    set_scale(1, 1);
    float f = std::min((float)age * 0.05f, 1.0f);
    if (age > 80) f = std::max(0.0f, (float)(100 - age) * 0.05f);
    set_alpha(ba * f);
    for (int c = 0; c <= 7; ++c)
        for (int r = 0; r <= 4; ++r) draw_image_if_loaded(blacktile, (float)(200 * c), (float)(200 * r));

    float q;
    if (age < 50) {
        q = std::min((float)age * 0.02f, 1.0f);
        part_x[i] -= (part_x[i] - (float)centerx) * 0.05f;
        part_y[i] -= (part_y[i] - (float)centery) * 0.05f;
        // Half a pixel more towards the centre, without passing it.
        if (part_x[i] < centerx) part_x[i] = std::min(part_x[i] + 0.5f, (float)centerx);
        else if (part_x[i] > centerx) part_x[i] = std::max(part_x[i] - 0.5f, (float)centerx);
        if (part_y[i] < centery) part_y[i] = std::min(part_y[i] + 0.5f, (float)centery);
        else if (part_y[i] > centery) part_y[i] = std::max(part_y[i] - 0.5f, (float)centery);
    } else {
        part_x[i] -= (part_x[i] - (float)(centerx - 460)) * 0.05f;
        part_y[i] -= (part_y[i] - 500.0f) * 0.05f;
        q = std::max(0.0f, (float)(100 - age) * 0.02f);
        if (age == 50) playsound(6, part_x[i]);
    }
    float x = part_x[i], y = part_y[i];
    if (age == 100) {
        if (validplayer()) levelrescued[curplayer] += 1;
        playsound(30, x);
        for (int k = 1; k <= 20; ++k)
            addparticle(x + (float)rand_range(-90, 40), y + (float)rand_range(-15, 30), 4001, 0, 0);
    }
    float g = age > 80 ? std::max(0.0f, (float)(100 - age) * 0.05f) : 1.0f;
    set_alpha(ba * g);
    set_scale(2 * q, 2 * q);
    set_blend(BLEND_LIGHT);
    set_rotation((float)framecount * 2);
    draw_image_if_loaded(glower, x, y + 20 * q);
    set_rotation(-(float)framecount * 2);
    draw_image_if_loaded(glower, x, y + 20 * q);
    set_rotation(0);
    set_blend(BLEND_ALPHA);
    set_scale(q, q);
    draw_image_if_loaded(family(animal, part_kind[i] - 790), x, y);
    if (age >= 100) freeslot(i);
    set_rotation(0);
    set_alpha(ba);
}

// A fire ring sits on its superstone while the stone is on the board and stays where it was once it is gone.
void followstone(int i) {
    int s = part_follow[i];
    if (s <= 0 || s >= BOARDSLOTS || !validplayer()) return;
    if (stone_kind[curplayer][s] > 0) {
        part_x[i] = (float)(stone_x[curplayer][s] + boardleft);
        part_y[i] = (float)(virth - stone_y[curplayer][s]);
    }
}

// Dirt and chain pieces: thrown out, slowed by the air, pulled down, tumbling while they shrink.
void thrownpiece(int i, const TImage& im, float ba) {
    agestep(i, 1);
    part_a[i] *= 0.95f;
    part_b[i] += 0.23f;
    part_x[i] += part_a[i] + jitter();
    part_y[i] += part_b[i] + jitter();
    int age = part_age[i];
    float s = 1 - (float)age * 0.01f;
    set_scale(s, s);
    set_rotation((float)((i % 4 + 4) * (i + age)));
    set_alpha(ba);
    draw_image_if_loaded(im, part_x[i], part_y[i]);
    set_rotation(0);
    if (age >= 100) freeslot(i);
    slowrule(i);
}

// One particle's rule; `a0` is the alpha the pass started with, `ba` the board's fade.
void runparticle(int i, float a0, float ba) {
    int kind = part_kind[i];
    if (kind >= 1 && kind <= 99) {  // glow smoke
        agestep(i, 1);
        part_x[i] += part_a[i] + jitter();
        part_y[i] += part_b[i] + jitter();
        int age = part_age[i];
        float s = (1 - (float)age * 0.01f) * 0.7f;
        float sx = s * (0.5f + (float)rand_range(-10, 10) * 0.05f);
        float sy = s * (0.5f + (float)rand_range(-10, 10) * 0.05f);
        set_scale(sx, sy);
        set_alpha(age < 10 ? (float)age * 0.1f * ba : ba * (float)(100 - age) * 0.01f);
        draw_image_if_loaded(family(glb, kind), part_x[i], part_y[i]);
        set_alpha(ba);
        if (age >= 100) freeslot(i);
        slowrule(i);
    } else if (kind >= 100 && kind <= 149) {  // falling glow
        agestep(i, 2);
        part_b[i] += 0.3f;
        part_x[i] += part_a[i] + jitter();
        part_y[i] += part_b[i] + jitter();
        int age = part_age[i];
        float s = (1 - (float)age * 0.01f) * 1.2f;
        set_scale(s, s);
        set_alpha(age < 5 ? (float)age * 0.2f * a0 * 0.3f : a0 * 0.3f);
        draw_image_if_loaded(family(glb, kind - 100), part_x[i], part_y[i]);
        if (age >= 100) freeslot(i);
        slowrule(i);
    } else if (kind >= 11060 && kind <= 11069) {  // confetti
        agestep(i, 2);
        part_a[i] *= 0.95f;
        part_b[i] *= 0.95f;
        part_b[i] += 0.3f + 0.01f * (float)(i % 10);
        part_x[i] += part_a[i];
        part_y[i] += part_b[i];
        int age = part_age[i];
        set_scale(sindeg((float)framecount * (float)(i % 10 + 10)), 1);
        set_rotation((float)framecount * (float)(i % 20 + 10));
        set_alpha(age <= 4 ? (float)age * 0.2f : 1.0f);
        draw_image_if_loaded(konfetti[(i % 4) + 1], part_x[i], part_y[i]);
        set_rotation(0);
        if (age >= 600) freeslot(i);
        slowrule(i);
    } else if (kind >= 790 && kind <= 799) {
        rescuedanimal(i, ba);
    } else if (kind >= 850 && kind <= 859) {  // chain piece
        thrownpiece(i, chainpart[(i % 2) + 1], ba);
    } else if (kind >= 830 && kind <= 839) {  // heavy chain piece
        agestep(i, 1);
        part_a[i] *= 0.98f;
        part_b[i] += 0.23f;
        part_x[i] += part_a[i];
        part_y[i] += part_b[i];
        int age = part_age[i];
        set_scale(1, 1);
        set_rotation((float)((i % 4 + 4) * (i + age)));
        set_alpha(ba);
        draw_image_if_loaded(chainpart[3], part_x[i], part_y[i]);
        set_rotation(0);
        if (age >= 100) freeslot(i);
    } else if (kind >= 880 && kind <= 889) {  // fire ring on a superstone
        int age = ++part_age[i];
        followstone(i);
        set_scale(1, 1);
        float f = age > 26 ? std::max(0.0f, (float)(36 - age) * 0.1f) : 1.0f;
        set_alpha(f * ba);
        draw_image_frame_in_range(roundfire1, part_x[i], part_y[i], age % 18, 19);
        if (age >= 38) freeslot(i);
        slowrule(i);
    } else if ((kind >= 890 && kind <= 899) || (kind >= 11050 && kind <= 11059)) {  // smoke puff, chain smoke
        part_age[i] += 1;
        if (rand_range(1, 2) == 1) part_age[i] += 1;
        int age = part_age[i];
        set_scale(1, 1);
        set_alpha(smokefade(age) * ba);
        draw_image_frame_in_range(kind <= 899 ? smoke1 : smokechain, part_x[i], part_y[i], age, 31);
        if (age >= 32) freeslot(i);
        slowrule(i);
    } else if (kind >= 11070 && kind <= 11079) {  // mud explosion
        int age = ++part_age[i];
        set_scale(1, 1);
        set_alpha(smokefade(age) * ba);
        draw_image_frame_in_range(family(match3mudexplosion, kind - 11070), part_x[i], part_y[i], age, 31);
        if (age >= 32) freeslot(i);
    } else if (kind >= 980 && kind <= 989) {  // slow ring pulse
        int age = ++part_age[i];
        float s = 1.2f * sindeg(3.0f * (float)age);
        set_scale(s, s);
        set_alpha(3 - (float)age * 0.1f);
        draw_image_if_loaded(family(circle, kind - 980), part_x[i], part_y[i]);
        set_alpha(ba);
        if (age >= 30) freeslot(i);
        slowrule(i);
    } else if (kind == 999) {  // small spike burst
        agestep(i, 1);
        int age = part_age[i];
        float s = (float)age * 0.075f;
        set_scale(s, s);
        set_rotation((float)(90 * i) + (float)framecount * 2);
        set_alpha((3 - (float)age * 0.15f) * ba);
        draw_image_if_loaded(spikes, part_x[i], part_y[i]);
        set_rotation(0);
        if (age >= 20) freeslot(i);
        slowrule(i);
    } else if (kind >= 860 && kind <= 869) {  // dirt piece, two variants
        thrownpiece(i, family(i % 2 ? dirt2 : dirt, kind - 860), ba);
    } else if (kind >= 4000 && kind <= 4099) {  // twinkle
        part_age[i] += 1;
        if (rand_range(1, 10) < 5) part_age[i] += 1;
        int age = part_age[i];
        float s = sindeg(2.0f * (float)age);
        set_scale(s, s);
        set_rotation((float)(age + 11 * i));
        set_alpha(s);
        draw_image_if_loaded(glowstar, part_x[i], part_y[i]);
        set_rotation(0);
        set_alpha(1);
        if (age >= 90) freeslot(i);
    } else if (kind >= 900 && kind <= 908) {  // falling star
        part_x[i] += part_a[i];
        part_y[i] += part_b[i];
        part_b[i] += 0.3f;
        float s = 0.5f + 0.4f * sindeg(55.0f * (float)i);
        set_scale(s, s);
        set_rotation((float)framecount * (float)(i % 20 + 20));
        set_alpha(a0);
        draw_image_if_loaded(family(i % 2 ? star : glb, kind - 900), part_x[i], part_y[i]);
        set_rotation(0);
        if (part_y[i] > (float)(virth + 20)) freeslot(i);
        slowrule(i);
    } else if (kind == 9999) {  // explosion
        if (framecount % 2 == 0) part_age[i] += 1;
        int age = part_age[i];
        set_scale(1.5f, 1.5f);
        set_alpha(1);
        set_blend(BLEND_LIGHT);
        draw_image_frame_in_range(explosion, part_x[i], part_y[i], age, 15);
        set_blend(BLEND_ALPHA);
        if (age >= 16) freeslot(i);
    } else if (kind >= 10001 && kind <= 10099) {  // shrinking match-3 item
        int age = ++part_age[i];
        float s = 1 - (float)age * 0.1f;
        set_scale(s, s);
        int column = kind - 10000;
        if (column > 9) column = 1;
        draw_image_if_loaded(m3itemimage[1][column], part_x[i], part_y[i]);
        if (age >= 10) freeslot(i);
    } else if (kind >= 11010 && kind <= 11019) {  // lightning flash, mirrored by kind
        int age = ++part_age[i];
        static const float mirror[4][2] = {{1, 1}, {-1, 1}, {1, -1}, {-1, -1}};
        set_scale(mirror[kind % 4][0], mirror[kind % 4][1]);
        float f = std::min((float)age * 0.2f, 1.0f);
        if (age > 25) f = std::max(0.0f, (float)(30 - age) * 0.2f);
        set_alpha(a0 * f * (0.5f + 0.5f * (float)rand_range(1, 10)));
        draw_image_if_loaded(flash, part_x[i], part_y[i]);
        set_alpha(a0);
        if (age > 30) freeslot(i);
    } else if (kind >= 11020 && kind <= 11029) {  // big explosion
        if (framecount % 2 == 0) part_age[i] += 1;
        int age = part_age[i];
        set_scale(1, 1);
        set_alpha(smokefade(age) * a0);
        set_blend(BLEND_LIGHT);
        draw_image_frame_in_range(explosion3, part_x[i], part_y[i], age, 31);
        set_blend(BLEND_ALPHA);
        if (age >= 32) freeslot(i);
    }
    // Any other kind is neither drawn nor freed: it keeps its slot until the pool is cleared.
}

}  // namespace

int addparticle(float x, float y, int kind, float a, float b) {
    int i = 1;
    while (i < LASTSLOT && part_kind[i] != 0) ++i;
    part_x[i] = x;
    part_y[i] = y;
    part_kind[i] = kind;
    part_a[i] = a;
    part_b[i] = b;
    part_age[i] = kind < 200 ? rand_range(0, 50) : 0;
    part_follow[i] = 0;
    return i;
}

void clearparticles() {
    for (int i = 1; i <= LASTSLOT; ++i) part_kind[i] = 0;
}

void setparticlefollow(int slot, int boardslot) {
    if (slot >= 1 && slot <= LASTSLOT) part_follow[slot] = boardslot;
}

void draweff() {
    float a0 = get_alpha();
    // The board's fade belongs to the game screen; elsewhere (a chain breaking on the map after a won level,
    // when the board has faded out) effects show at full strength.
    float ba = curscreen == screen_game ? boardalpha : 1.0f;
    for (int i = 1; i <= LASTSLOT; ++i)
        if (part_kind[i] > 0) runparticle(i, a0, ba);
    set_scale(1, 1);
    set_alpha(a0);
    set_blend(BLEND_ALPHA);
}

void addlight(float x, float y, int maxlife, int colour) {
    if (colour <= 0) return;
    int j = 1;
    while (j <= LASTLIGHT && light_colour[j] != 0) ++j;
    if (j > LASTLIGHT) return;
    light_colour[j] = colour;
    light_x[j] = x;
    light_y[j] = y;
    light_depth[j] = rand_range(2, 30);
    light_life[j] = rand_range((int)((float)maxlife * 0.2f), maxlife);
    light_age[j] = 0;
}

void clearlights() {
    for (int j = 1; j <= LASTLIGHT; ++j) light_colour[j] = 0;
}

void drawlights(float alpha) {
    bool game = curscreen == screen_game;
    set_blend(BLEND_LIGHT);
    set_rotation(0);
    for (int d = 1; d <= 30; ++d)
        for (int j = 1; j <= LASTLIGHT; ++j) {
            if (light_colour[j] <= 0 || light_depth[j] != d) continue;
            float v = 1;
            if (light_life[j] < 50) v = (float)light_life[j] * 0.02f;
            if (!game && light_age[j] < 40) v = (float)light_age[j] * 0.025f;
            if (game && light_age[j] < 5) v = (float)light_age[j] * 0.2f;
            float f = v * alpha * (float)d * 0.033f;
            float h = v * (float)d * 0.033f * 0.5f;
            if (game) {
                f *= 3;
                h *= 0.5f;
            }
            const TImage& im = family(glb, light_colour[j]);
            // A faint vertical ray, then the mote itself.
            set_scale(h, 50 * h);
            set_alpha(f * 0.1f);
            draw_image_if_loaded(im, light_x[j], light_y[j]);
            set_alpha(f);
            set_scale(h, h);
            draw_image_if_loaded(im, light_x[j], light_y[j]);

            light_x[j] += 0.01f * (float)d * sindeg((float)(framecount + 33 * j));
            light_y[j] -= std::max((float)light_life[j] * 0.002f, 0.05f) * 0.05f * (float)d;
            if (light_y[j] < -40) light_colour[j] = 0;
            light_life[j] -= 1;
            if (light_life[j] <= 0) light_colour[j] = 0;
            light_age[j] += 1;
        }
    set_rotation(0);
    set_alpha(alpha);
    set_scale(1, 1);
    set_blend(BLEND_ALPHA);
}
