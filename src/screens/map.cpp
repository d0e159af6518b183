#include "screens/map.h"

#include <algorithm>
#include <cmath>

#include "app/display.h"
#include "app/screenflow.h"
#include "app/shell.h"
#include "aztec/boardrender.h"
#include "aztec/catalogue.h"
#include "aztec/levelrun.h"
#include "effects/effects.h"
#include "effects/particles.h"
#include "match3/match3.h"
#include "platform/audio.h"
#include "platform/background.h"
#include "platform/random.h"
#include "ui/logo.h"
#include "app/profiles.h"
#include "storage/settings.h"
#include "texts/fonts.h"
#include "effects/textpop.h"
#include "texts/texttables.h"
#include "ui/buttons.h"
#include "ui/popups.h"

TImage mapstar0img, mapstar1img, mapstar2img, gamestar0img, gamestar1img, gamestar2img, lockimg;
TImage navfullimg, downbackmapimg, chainimg, selectionimg, rankbarimg, rankfillpixels, rankfillcells;

int mapsection = 1;
int mapframes = 0;
float mapscroll = 0;
int hoveredlevel = 0;
int previewfade = 0;
int mapprevscreen = screen_none;
LevelNode levelnode[MAPNODES];
int rankthreshold[RANKS + 2];
float rankbary = 0, rankbarscale = 0.75f;
int rankcelebration = 0;
float mapshakex = 0, mapshakey = 0;

namespace {
// Sound bank slots the map plays.
enum { SND_FAILURE = 10, SND_MAPSTAR = 21, SND_NEWRANK = 47, SND_LEVELSELECT = 32, SND_CHAINBREAK = 68 };
// A level's chain counts up from 1 while it breaks; at this value it is gone.
enum { CHAIN_OPEN = 90 };
enum { RANKBAR_PIXELS = 270 };

// The profile the map shows. Slot 0 is never a player's, but its tables exist, so a map entered without a
// chosen player reads empty progress instead of memory outside the tables.
int mapplayer() { return curplayer >= 1 && curplayer <= MAXPLAYERS ? curplayer : 0; }

bool validlevel(int l) { return l >= 1 && l < LEVELSLOTS; }

// Horizontal offset of the node grid for the logical width.
int nodeoffset() {
    switch (virtw) {
        case 1366: return 146;
        case 1280: return 103;
        case 1024: return -25;
        default: return 0;
    }
}

float sind(double degrees) { return (float)std::sin(degrees * M_PI / 180.0); }

// Moves v 10 % (or `share`) of the way toward target, then `step` more without passing it.
float approach(float v, float target, float share, float step) {
    v -= (v - target) * share;
    if (v > target) v = std::max(v - step, target);
    else if (v < target) v = std::min(v + step, target);
    return v;
}

// Picks level `level` as the one to play next and starts it (story chapter first where one begins).
void chooselevel(int p, int level) {
    if (levelinprogress[p] != 0 && level != playerlevel[p]) reset_player_data_for_new_level();
    curlevel = level;
    playerlevel[p] = level;
    playsound(SND_LEVELSELECT, (float)mx);
    startlevel(level);
}

void drawnodestars(int l, float x, float y, float a0) {
    const int p = mapplayer();
    const int stars = levelstars[p][l];
    for (int b = 1; b <= 5; ++b) {
        const float sx = x - 66 + 22 * b, sy = y + 37;
        set_alpha(1);
        set_scale(0.8f, 0.8f);
        draw_image_if_loaded(mapstar0img, sx, sy);
        if (b > std::min(stars, 5)) continue;
        const TImage& img = stars == 6 && b == 3 ? mapstar2img : mapstar1img;
        if (l == newlevelwon) {
            const int t = mapframes - 30 - 8 * b;
            const float k = std::min(std::max(t * 0.1f, 0.0f), 1.0f);
            set_alpha(k);
            set_scale(2 - 1.2f * k, 2 - 1.2f * k);
            if (t == 10) playsound(SND_MAPSTAR, sx);
        } else {
            set_alpha(a0);
        }
        draw_image_if_loaded(img, sx, sy);
    }
    set_scale(1, 1);
    set_alpha(a0);
}

void drawnodes(float a0) {
    const int p = mapplayer();
    const float offset = (float)nodeoffset();
    hoveredlevel = 0;
    for (int l = 1; l <= MAPLEVELS; ++l) {
        if (!levelnode[l].active) continue;
        const float x = mapscroll + levelnode[l].x + offset, y = (float)levelnode[l].y;
        const int kind = level_type[l] == 2 ? 14 : 13;
        const int hit = drawbutton(20 + l, x, y, kind, 1, "");
        if (hit == 2 || hit == 3) {
            if (levelstate[p][l] > 0) {
                hoveredlevel = l;
                if (hit == 3) chooselevel(p, l);
            } else if (hit == 3) {
                playsound(SND_FAILURE, x);
            }
        }
        drawtext(FONT_BIG, std::to_string(l), x - 4, y + 1, ALIGN_CENTER, 0.6f, 0.3f, 0.2f, 0.1f);
        drawnodestars(l, x, y, a0);

        if (l == newlevelwon) {
            if (mapframes == 88 && l + 1 == maxlevel[p] && l % 15 == 0 && l <= 90) {
                mapsection = l / 15 + 1;
                levelstate[p][l + 1] = 1;
            }
            if (mapframes == 100) newlevelwon = 0;
        }

        int& state = levelstate[p][l];
        if (state < CHAIN_OPEN) draw_image_if_loaded(chainimg, x - 2, y);
        if (state > 0 && state < CHAIN_OPEN) {
            ++state;
            if (state == CHAIN_OPEN) {
                mapchainbreak(x, y);
                playsound(SND_CHAINBREAK, (float)centerx);
            }
        }
    }
}

void drawnavigation() {
    const float y = (float)(virth - 180);
    draw_image_if_loaded(selectionimg, (float)centerx, y);
    if (drawbutton(4, (float)(centerx + 250), y, 1, mapsection <= MAPSECTIONS - 1 ? 1 : -1, "") == 3) ++mapsection;
    if (drawbutton(5, (float)(centerx - 250), y, 2, mapsection >= 2 ? 1 : -1, "") == 3) --mapsection;
    for (int s = 1; s <= MAPSECTIONS; ++s)
        if (drawbutton(5 + s, (float)(centerx - 256 + 64 * s), (float)(virth - 179), 12, 1, std::to_string(s)) == 3)
            mapsection = s;
    mapsection = std::clamp(mapsection, 1, MAPSECTIONS);
    const float nx = (float)(centerx - 256 + 64 * mapsection);
    draw_image_if_loaded(navfullimg, nx, y);
    drawtext(FONT_BIG, std::to_string(mapsection), nx, (float)(virth - 168), ALIGN_CENTER, 0.4f, 0, 0, 0);

    const float target = -(float)(mapsection - 1) * MAPSECTIONWIDTH;
    mapscroll -= (mapscroll - target) * 0.1f;
}

void drawbottombuttons() {
    const int p = mapplayer();
    buttonlayer = popupfade > 0 ? 2 : 1;
    const float y = (float)(virth - 50);
    if (drawbutton(2, (float)(centerx - 350), y, 10, 1, menutext(14, 4)) == 3) {
        if (p > 0) saveplayer(p);
        gotoscreen(screen_menu, 0);
    }
    buttonflash = 1;
    const bool finished = maxlevel[p] > MAPLEVELS;
    if (drawbutton(3, (float)(centerx + 350), y, 10, 1, menutext(14, finished ? 8 : 6)) == 3) {
        if (finished) {
            gotoscreen(screen_story, 8);
            playsound(SND_LEVELSELECT, (float)mx);
        } else {
            chooselevel(p, std::clamp(maxlevel[p], 1, MAPLEVELS));
        }
    }
}

void drawrank() {
    const int p = mapplayer();
    if (devkeys == 1 && key_f2 == 1)
        for (int i = 1; i <= RANKS; ++i) rankcounter[p][i] = 0;

    const int r = heldrank(p);
    int n = 0;
    if (mapframes > 50) {
        for (int i = 1; i <= RANKS; ++i) {
            if (rankcounter[p][i] >= 250 || playerscore[p] < rankthreshold[i]) continue;
            if (++rankcounter[p][i] == 2) playsound(SND_NEWRANK, (float)centerx);
            for (int k = 0; k < 3; ++k)
                addparticle(centerx + centerx * sind(5.0 * mapframes), 768, 11060, rand_range(-100, 100) * 0.05f,
                            rand_range(-100, -10) * 0.55f);
            n = i;
        }
    }
    int& c = rankcelebration;
    c = n == 0 ? 0 : c + 1;

    // The bar flies to the middle of the screen for the celebration and home again afterwards.
    const float home = (float)(virth - 70);
    if (n > 0 && c < 100) {
        rankbary = approach(rankbary, (float)(int)(centery + 50), 0.1f, 1);
        rankbarscale = approach(rankbarscale, 1, 0.017f, 0.005f);
    } else if (n == 0 || c >= 200) {
        rankbary = approach(rankbary, home, 0.1f, 1);
        rankbarscale = approach(rankbarscale, 0.75f, 0.017f, 0.005f);
    }

    if (n > 0 && c < 250) {
        float a = std::min(c * 0.1f, 1.0f);
        if (c > 230) a = std::max(0.0f, (250 - c) * 0.05f);
        set_alpha(a);
        set_scale(8 * rankbarscale, 8 * rankbarscale);
        set_rotation((float)c);
        draw_image_if_loaded(glower, (float)centerx, rankbary);
        set_scale(1, 1);
        set_alpha(1);
        set_rotation(0);
        drawtextpop(FONT_EFFECT, gametext(7, 1), (float)centerx, 200, ALIGN_CENTER,
                    fittedscale(FONT_EFFECT, gametext(7, 1), 1, (float)virtw - 60), c, 0, 250, 0, 1, 1, 1, 0);
    }

    set_scale(rankbarscale, rankbarscale);
    draw_image_if_loaded(logoimage[3], centerx + mapshakex, rankbary + mapshakey);
    set_scale(1, 1);

    float a = 1;
    if (n > 0) a = c > 245 ? std::min((c - 245) * 0.2f, 1.0f) : std::max(0.0f, 1 - 0.2f * c);
    set_alpha(a);
    const float x0 = centerx + mapshakex, y0 = rankbary + mapshakey + 30;
    draw_image_if_loaded(rankbarimg, x0, y0);
    const int fill = rankfillpixels_for(playerscore[p], r);
    for (int i = 1; i <= fill / 10; ++i)
        draw_image_frame_in_range(rankfillcells, x0 - 140 + 10 * i, y0, i - 1, RANKBAR_PIXELS / 10 - 1);
    // The columns short of a whole cell, so the bar shows every point earned.
    for (int j = fill / 10 * 10; j < fill; ++j)
        draw_image_frame_in_range(rankfillpixels, x0 - 134.5f + j, y0, j, RANKBAR_PIXELS - 1);
    drawtext(FONT_SMALL, rankscoretext(playerscore[p], r), x0, y0 + 21, ALIGN_CENTER, 1, 1, 1, 1);

    set_alpha(1);
    if (screenshake > 0) --screenshake;
    const int s = screenshake;
    mapshakey = s * rand_range(-10 * s, 10 * s) * 0.002f;
    mapshakex = s * rand_range(-10 * s, 10 * s) * 0.002f;

    float na = 1;
    if (n > 0 && c > 90) na = std::max(0.0f, (100 - c) * 0.1f);
    set_alpha(na);
    const float ny = rankbary + 15 * rankbarscale + mapshakey;
    // A rank's name stays on its plate.
    const float plate = ((float)image_width(logoimage[3]) - 60) * rankbarscale;
    drawtextpop(FONT_EFFECT, gametext(7, 5 + r), centerx + mapshakex, ny, ALIGN_CENTER,
                fittedscale(FONT_EFFECT, gametext(7, 5 + r), 0.9f * rankbarscale, plate), 1000, 0, 99999, 0, 1, 1, 0.5f,
                0);
    set_alpha(1);
    if (n > 0)
        drawtextpop(FONT_EFFECT, gametext(7, 5 + n), centerx + mapshakex, ny, ALIGN_CENTER,
                    fittedscale(FONT_EFFECT, gametext(7, 5 + n), 0.9f * rankbarscale, plate), c, 100, 99999, 0, 1, 1,
                    0.5f, 1);
    set_alpha(1);
}
}  // namespace

void loadmapstuff() {
    set_auto_midhandle(1);
    mapstar1img = load_image_logged("data\\map\\star1.png");
    mapstar0img = load_image_logged("data\\map\\star0.png");
    mapstar2img = load_image_logged("data\\map\\star2.png");
    gamestar1img = load_image_logged("data\\game\\star1.png");
    gamestar0img = load_image_logged("data\\game\\star0.png");
    gamestar2img = load_image_logged("data\\game\\star2.png");
    lockimg = load_image_logged("data\\map\\lock.png");
}

void loadmapstuff_dynamic() {
    set_auto_midhandle(1);
    navfullimg = load_image_logged("data\\map\\navfull.png");
    downbackmapimg = load_image_logged("data\\map\\downbackmap.png");
    chainimg = load_image_logged("data\\map\\chain.png");
    selectionimg = load_image_logged("data\\map\\selection.png");
    rankbarimg = load_image_logged("data\\map\\rankbar.png");
    rankfillpixels = load_anim_image_logged("data\\map\\rankbarfill.png", 1, 8, RANKBAR_PIXELS);
    rankfillcells = load_anim_image_logged("data\\map\\rankbarfill.png", 10, 8, RANKBAR_PIXELS / 10);
}

void deletemapstuff_dynamic() {
    navfullimg = downbackmapimg = chainimg = selectionimg = rankbarimg = nullptr;
    rankfillpixels = rankfillcells = nullptr;
}

void buildlevelnodes() {
    for (auto& n : levelnode) n = {0, 0, 0};
    for (int p = 0; p < MAPSECTIONS; ++p)
        for (int r = 1; r <= 3; ++r)
            for (int c = 1; c <= 5; ++c) {
                const int l = 15 * p + 5 * (r - 1) + c;
                levelnode[l] = {188 * c - 28 + MAPSECTIONWIDTH * p, 180 * r - 80, 1};
            }
}

void setrankthresholds() {
    static const int needed[RANKS + 2] = {0,         30000,     100000,    500000,   1000000,  2000000,
                                          5000000,   10000000,  20000000,  50000000, 100000000, 0};
    std::copy(std::begin(needed), std::end(needed), rankthreshold);
}

int mapentrysection(int p, int lastlevel) {
    if (lastlevel >= 16 && lastlevel <= MAPLEVELS) return (lastlevel - 1) / 15 + 1;
    int s = 1;
    if (lastlevel == 0)
        for (int k = 1; k <= MAPSECTIONS; ++k)
            if (levelstate[p][15 * (k - 1) + 1] > 0) s = k;
    return s;
}

int heldrank(int p) {
    int r = 0;
    for (int k = 1; k <= RANKS; ++k)
        if (rankcounter[p][k] >= 100) r = k;
    return r;
}

int rankfillpixels_for(int score, int r) {
    if (r >= RANKS) return RANKBAR_PIXELS;
    r = std::max(r, 0);
    const long long from = rankthreshold[r], to = rankthreshold[r + 1];
    if (to <= from) return 0;
    // A rank whose counter is still running leaves the score past the next threshold for a while.
    const long long permille = std::clamp((score - from) * 1000 / (to - from), 0LL, 1000LL);
    return (int)(permille * RANKBAR_PIXELS * 0.001);
}

std::string rankscoretext(int score, int r) {
    std::string s = dotgroups(std::to_string(score));
    if (r < RANKS) s += "/" + dotgroups(std::to_string(rankthreshold[std::max(r, 0) + 1]));
    return s + " " + gametext(7, 3);
}

int mapbackground(int from) {
    return from == screen_game || from == screen_story || from == screen_menu ? 11 : -1;
}

void instadventuremap() {
    mapprevscreen = curscreen;
    stop_bg();
    loadmapstuff_dynamic();
    if (mapbackground(mapprevscreen) >= 0) {
        freegamebg();
        loadgamebg_dynamic(11);
    }

    const int p = mapplayer();
    for (int l = 1; l < maxlevel[p] && l < LEVELSLOTS; ++l)
        if (levelstate[p][l] == 0) levelstate[p][l] = 101;

    clearparticles();
    setrankthresholds();

    mouseactive = 1;
    rankbary = (float)(virth - 70);
    rankbarscale = 0.75f;
    rankcelebration = 0;
    mapshakex = mapshakey = 0;
    popupfade = 0;
    paused = -1;
    mapframes = 0;
    hoveredlevel = 0;
    previewfade = 0;

    mapsection = mapentrysection(p, playlevel);
    const float target = -(float)(mapsection - 1) * MAPSECTIONWIDTH;
    mapscroll = target + 100;

    buildlevelnodes();
    if (mapprevscreen == screen_game) playmusic("/music/title.ogg", 1);

    for (int& h : buttonhover) h = 0;
    curscreen = screen_map;
    startfadein();
}

void showadventuremap() {
    set_color(fadelevel, fadelevel, fadelevel);
    set_blend(BLEND_ALPHA);
    drawbackground((float)mx);
    set_scale(1, 1);
    set_alpha(1);
    const float a0 = get_alpha();

    const int p = mapplayer();
    if (devkeys == 1 && key_f3 == 1) {
        for (int l = 1; l <= MAPLEVELS - 1; ++l) levelstate[p][l] = levelstars[p][l] = 1;
        maxlevel[p] = MAPLEVELS;
        levelstate[p][MAPLEVELS] = 1;
    }

    ++mapframes;
    drawnavigation();
    drawnodes(a0);

    if (hoveredlevel > 0 && mapframes > 100) {
        previewfade = std::min(previewfade + 1, 20);
        set_alpha(previewfade * 0.05f);
        drawpreviewlevel();
        set_alpha(1);
    } else {
        previewfade = 0;
    }

    drawbottombuttons();
    drawrank();
    draweff();
    set_alpha(1);
    updatepopups();
}

void drawpreviewlevel() {
    const int l = hoveredlevel;
    if (!validlevel(l)) return;
    const int p = mapplayer();
    const float cx = (float)centerx, cy = (float)centery;
    drawpopuppanel(cx, cy, 0.7f, menutext(14, 2) + " " + std::to_string(l));
    if (level_challenge[l] == 1 || level_challenge[l] == 2)
        drawtext(FONT_SMALL_DARK, menutext(14, level_challenge[l] == 1 ? 9 : 10), cx, cy - 110, ALIGN_CENTER, 1, 0, 0,
                 0);

    // Offsets of the earned stars, centred over the board.
    static const int offsets[7][6] = {{0},
                                      {1, 0},
                                      {2, -13, 13},
                                      {3, -26, 0, 26},
                                      {4, -39, -13, 13, 39},
                                      {5, -52, -26, 0, 26, 52},
                                      {4, -54, -28, 28, 54}};
    const int n = levelstars[p][l];
    if (n >= 1 && n <= 6) {
        for (int k = 1; k <= offsets[n][0]; ++k) draw_image_if_loaded(mapstar1img, cx + offsets[n][k], cy - 80);
        if (n == 6) draw_image_if_loaded(mapstar2img, cx, cy - 80);
    }

    if (level_type[l] == 2) {
        m3preview(centerx, centery, l);
    } else {
        draw_image_if_loaded(downbackmapimg, cx, cy + 134);
        draw_preview_aztec(cx, cy, l);
    }
}
