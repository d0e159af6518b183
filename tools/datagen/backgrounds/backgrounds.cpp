// Writes data/bg/: for each background (0 menu, 1..4 game themes, 11 map) four parallax layers and the
// flattened picture; the rain temple's sky flash; the menu picture and its torch-lit twin; the story page;
// the match-3 camp. Run as: gen_backgrounds <data folder> <which> with which = 0..4, 11 or "extras".
#include <cmath>
#include <cstdio>
#include <string>

#include "art.h"
#include "backgrounds.h"
#include "scenery.h"

using namespace art;
using gen::Col;
using gen::hex;

namespace {

const int H = 768;
// Layer widths: the 1366-wide screen plus twice the farthest each layer slides (0, 1.5 %, 5 %, 9 % of the
// half width), rounded up with a small margin.
const int LW[5] = {0, 1376, 1400, 1448, 1504};

bool ok = true;

struct Theme {
    Col sky_top, sky_mid, horizon, sun;
    double sun_x, sun_y, sun_r;
    Col cloud_light, cloud_shade;
    double cloud_cover;
    Col far_top, far_bottom, mid_top, mid_bottom, haze;
    Col canopy_light, canopy_dark;
    Col bark, bark_dark, leaf, leaf_dark, rim;
    double temple_x;  // 0..1 across layer 2, < 0 none
    double density;
    uint32_t seed;
};

Theme theme(int n) {
    switch (n) {
        case 0:  // menu: warm dusk at the temple gate
            return {hex(0x23305E), hex(0xB8687A), hex(0xFFC47A), hex(0xFFE2A0), 0.62, 330, 240,
                    hex(0xFFC8A0), hex(0x6A4A6A), 0.55, hex(0x8A6A8A), hex(0x4A3A5A), hex(0x4A5A5A), hex(0x1E2E2A),
                    hex(0xC88A7A), hex(0x5A8A5A), hex(0x163024), hex(0x4A3424), hex(0x1A120C), hex(0x2E5A2E),
                    hex(0x0C1E12), hex(0xFFB070), 0.25, 1.0, 10};
        case 1:  // Canopy Gate: green morning light
            return {hex(0x6FB8E0), hex(0xBFE6E0), hex(0xFFF0C0), hex(0xFFFBE0), 0.22, 120, 260,
                    hex(0xFFFFFF), hex(0xA8C8D0), 0.45, hex(0x8AB8B0), hex(0x5A8A7A), hex(0x4A8A5A), hex(0x1E4A2A),
                    hex(0xCFE8D8), hex(0x7AC060), hex(0x1E5A2A), hex(0x5A4030), hex(0x22160E), hex(0x4C9A38),
                    hex(0x123A18), hex(0xF0FFB0), 0.78, 1.0, 20};
        case 2:  // Rootway: mossy tunnels
            return {hex(0x2A4A2A), hex(0x8AB860), hex(0xF0F0A0), hex(0xFFFFD0), 0.5, 250, 200,
                    hex(0xE0F0B0), hex(0x6A8A5A), 0.0, hex(0x4A6A3A), hex(0x243A1C), hex(0x3A5A2A), hex(0x16260E),
                    hex(0xA8C890), hex(0x6AA040), hex(0x1A3A12), hex(0x4A3A26), hex(0x1A120A), hex(0x3A8A2A),
                    hex(0x0A1E08), hex(0xE0FF90), 0.3, 1.2, 30};
        case 3:  // Mirror Lake: teal evening
            return {hex(0x0E2E48), hex(0x2E7A88), hex(0xF2C890), hex(0xFFE8B0), 0.55, 400, 200,
                    hex(0xF8D0B0), hex(0x3A5A6A), 0.35, hex(0x3A6A78), hex(0x1E4050), hex(0x1E4A4A), hex(0x0A2226),
                    hex(0x6AA8A8), hex(0x3A8A6A), hex(0x0C2A24), hex(0x3A3028), hex(0x120E0A), hex(0x2A7A5A),
                    hex(0x06161A), hex(0xFFD8A0), 0.5, 0.9, 40};
        case 4:  // Rain Temple: storm
            return {hex(0x141C2A), hex(0x34445A), hex(0x6A7A8C), hex(0x8A9AB0), 0.7, 160, 200,
                    hex(0x8A96A8), hex(0x222A38), 0.8, hex(0x3A4A5A), hex(0x222C38), hex(0x2A3A40), hex(0x101A1E),
                    hex(0x5A6A7A), hex(0x2E5A46), hex(0x0A1A14), hex(0x2E2A26), hex(0x0E0C0A), hex(0x1E4A32),
                    hex(0x06120C), hex(0x9AB0C8), 0.4, 1.0, 50};
        default:  // 11, the map: golden dawn over the valley
            return {hex(0x6A8AC0), hex(0xF2B88A), hex(0xFFE8B0), hex(0xFFF6D8), 0.5, 300, 300,
                    hex(0xFFF0D8), hex(0xC89A8A), 0.4, hex(0xB8A0A0), hex(0x7A8A7A), hex(0x6A8A5A), hex(0x2E5A34),
                    hex(0xF0D8B8), hex(0x8AB858), hex(0x2A5A2A), hex(0x5A4632), hex(0x22180E), hex(0x4A8A34),
                    hex(0x143A16), hex(0xFFE0A0), -1, 0.6, 60};
    }
}

void layer1(Img& L, const Theme& t, int n) {
    int W = L.w;
    scene::sky(L, t.sky_top, t.sky_mid, t.horizon, 520, t.sun_x * W, t.sun_y, t.sun, t.sun_r);
    if (t.cloud_cover > 0) scene::clouds(L, 10, 380, t.cloud_light, t.cloud_shade, t.cloud_cover, t.seed + 1);
    if (n == 2) {
        // A tunnel of mossy rock framing a bright opening.
        Img rock(W, H);
        for (int y = 0; y < H; ++y)
            for (int x = 0; x < W; ++x) {
                double dx = (x - W * 0.5) / (W * 0.33), dy = (y - 330.0) / 300.0;
                double d = std::sqrt(dx * dx + dy * dy * (dy < 0 ? 1.0 : 0.4));
                double n1 = gen::fbm(x / 90.0, y / 90.0, 4, t.seed + 7);
                double a = smoothstep(0.85, 1.0, d + 0.25 * (n1 - 0.5));
                if (a <= 0) continue;
                double moss = gen::fbm(x / 40.0, y / 40.0, 3, t.seed + 8);
                Col c = gen::mix(hex(0x3A3A2A), hex(0x1A1E12), n1);
                c = gen::mix(c, hex(0x4A7A2A), smoothstep(0.5, 0.75, moss) * 0.8);
                // Light from the opening on the rim.
                c = gen::mix(c, hex(0xC8E080), (1 - smoothstep(1.0, 1.25, d)) * 0.35);
                c.a = a;
                put(rock.at(x, y), c);
            }
        Relief rl;
        rl.bevel = 14;
        rl.slope = 1.5;
        rl.specular = 0.05;
        shade_relief(rock, rl);
        scene::ridge(L, 470, 50, 160, t.far_top, t.far_bottom, t.seed + 2);
        scene::mist(L, 470, 80, t.haze, 0.6, t.seed + 3);
        over(L, rock, 0, 0);
        return;
    }
    scene::ridge(L, 400, 70, 260, t.far_top, gen::mix(t.far_top, t.far_bottom, 0.6), t.seed + 2);
    scene::mist(L, 420, 60, t.haze, 0.5, t.seed + 3);
    if (n == 11) {
        // Distant terraces and a far temple on the ridge.
        Img far = scene::temple(W, H, W * 0.7, 440, 120, 5, hex(0xC8A890), hex(0x8A7070), t.haze, 0.55, t.seed + 9);
        over(L, far, 0, 0);
    }
    scene::ridge(L, 480, 55, 180, t.mid_top, t.mid_bottom, t.seed + 4);
    scene::mist(L, 500, 50, t.haze, 0.45, t.seed + 5);
    if (n == 3) {
        // The lake mirrors the sky and the far shore, broken by ripples.
        int hz = 540;
        Img copy = L;
        for (int y = hz; y < H; ++y)
            for (int x = 0; x < W; ++x) {
                double depth = (y - hz) / (double)(H - hz);
                double ripple = std::sin(y * 0.9 + gen::noise2(x / 40.0, y / 6.0, 77) * 6) * (1.5 + 5 * depth);
                int sy = std::clamp((int)(2 * hz - y + ripple * 0.4), 0, H - 1);
                int sx = std::clamp((int)(x + ripple), 0, W - 1);
                const float* s = copy.at(sx, sy);
                float* p = L.at(x, y);
                Col c{s[0] * 0.72, s[1] * 0.82, s[2] * 0.85, 1};
                c = gen::mix(c, hex(0x0A2A34), 0.15 + 0.5 * depth);
                double glint = gen::noise2(x / 3.0, y / 1.5, 78);
                if (glint > 0.9) c = gen::mix(c, t.sun, (glint - 0.9) * 4 * (1 - depth));
                put(p, c);
            }
    }
}

Img layer2(const Theme& t, int n) {
    int W = LW[2];
    Img L(W, H);
    if (t.temple_x >= 0) {
        double tw = n == 4 ? 420 : 300;
        Img tp = scene::temple(W, H, W * t.temple_x, n == 3 ? 540 : 600, tw, n == 4 ? 6 : 5, hex(0xB89A78),
                               hex(0x5A4A40), t.haze, n == 4 ? 0.45 : 0.35, t.seed + 11);
        if (n == 4) scene::haze(tp, hex(0x2A3848), 0.55);  // rain-dark stone
        over(L, tp, 0, 0);
    }
    double top = n == 3 ? 470 : 470, bottom = n == 3 ? 560 : 700;
    Img cn = scene::canopy(W, H, top, bottom, 46, gen::mix(t.canopy_light, t.haze, 0.25),
                           gen::mix(t.canopy_dark, t.haze, 0.3), 1.0, t.seed + 12);
    if (n == 3) {
        // Only a thin far shore: cut the canopy off below the waterline.
        for (int y = 545; y < H; ++y)
            for (int x = 0; x < W; ++x) {
                float* p = cn.at(x, y);
                float f = (float)std::max(0.0, 1 - (y - 545) / 6.0);
                for (int k = 0; k < 4; ++k) p[k] *= f;
            }
    }
    over(L, cn, 0, 0);
    return L;
}

Img layer3(const Theme& t, int n) {
    int W = LW[3];
    Img L(W, H);
    std::vector<double> xs = {W * 0.06, W * 0.15, W * 0.87, W * 0.95};
    if (n == 11) xs = {W * 0.03, W * 0.97};
    Img tr = scene::trunks(W, H, xs, n == 2 ? 90 : 70, t.bark, t.bark_dark, t.seed + 21);
    if (n == 3) scene::haze(tr, t.haze, 0.15);
    over(L, tr, 0, 0);
    std::vector<double> vx;
    gen::Rng r(t.seed + 22);
    for (int i = 0; i < (n == 2 ? 14 : 8); ++i) {
        double x = r.real() < 0.5 ? r.range(0, W * 0.25) : r.range(W * 0.75, W);
        if (n == 2) x = r.range(0, W);
        vx.push_back(x);
    }
    if (n != 11) over(L, scene::vines(W, H, vx, n == 2 ? 420 : 320, t.leaf, t.leaf_dark, t.seed + 23), 0, 0);
    Img bush = scene::canopy(W, H, 640, 730, 34, t.leaf, t.leaf_dark, 1.0, t.seed + 24, W * 0.3, W * 0.7);
    over(L, bush, 0, 0);
    return L;
}

Img layer4(const Theme& t, int n) {
    int W = LW[4];
    Img L = scene::foreground(W, H, gen::mix(t.leaf, t.leaf_dark, 0.45), t.leaf_dark, t.rim, t.seed + 31,
                              t.density * (n == 11 ? 0.6 : 1.0));
    return L;
}

void write_background(const std::string& data, int n) {
    Theme t = theme(n);
    std::string d = data + "/bg/bg" + std::to_string(n) + "/";
    gen::make_dirs(d);
    Img L1(LW[1], H);
    layer1(L1, t, n);
    Img L2 = layer2(t, n), L3 = layer3(t, n), L4 = layer4(t, n);
    ok = save_jpeg(d + "1.jpg", L1, 90) && ok;
    ok = save_png(d + "2.png", L2) && ok;
    ok = save_png(d + "3.png", L3) && ok;
    ok = save_png(d + "4.png", L4) && ok;
    // The flattened picture: every layer centred, as the game draws them with the mouse in the middle.
    const int FW = 1366;
    Img full(FW, H);
    const Img* layers[4] = {&L1, &L2, &L3, &L4};
    for (const Img* l : layers) over(full, *l, (FW - l->w) / 2, 0);
    ok = save_jpeg(d + "full.jpg", full, 90) && ok;
    if (n == 4) {
        // The sky flash: a cold glow from the top, fading to nothing; drawn additively from its top centre.
        const int FWL = 1600, FH = 560;
        Img fl(FWL, FH);
        for (int y = 0; y < FH; ++y)
            for (int x = 0; x < FWL; ++x) {
                double dx = (x + 0.5 - 800) / 800, dy = (y + 0.5) / FH;
                double cl = gen::fbm(x / 140.0, y / 60.0, 4, 4040);
                double a = std::exp(-(dx * dx * 2.2 + dy * dy * 3.5)) * (0.55 + 0.6 * cl);
                a *= smoothstep(1.0, 0.9, std::fabs(dx)) * smoothstep(1.0, 0.85, dy);
                put(fl.at(x, y), {0.82, 0.88, 1.0, std::min(1.0, a)});
            }
        ok = save_png(d + "light.png", fl) && ok;
    }
}

}  // namespace

int main(int argc, char** argv) {
    if (argc < 3) {
        std::fprintf(stderr, "usage: gen_backgrounds <data folder> <0..4 | 11 | extras>\n");
        return 2;
    }
    std::string data = argv[1], which = argv[2];
    if (which == "extras") {
        ok = write_extras(data) && ok;
    } else {
        write_background(data, std::atoi(which.c_str()));
    }
    return ok ? 0 : 1;
}
