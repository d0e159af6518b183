#include "ui/focus.h"

#include <algorithm>
#include <cmath>
#include <cstdlib>
#include <string>

#include "globals.h"
#include "platform/input.h"
#include "ui/buttons.h"
#include "ui/popups.h"

namespace {
std::vector<focusitem> now, last;
int curid = 0, curlayer = 0;
int mainid = 0, mainlayer = 0, lastmainid = 0, lastmainlayer = 0;
int pressid = 0, presslayer = 0;
int aside = 0, lastaside = 0;
// Where the focus belongs: a new screen, popup or layer opens with its main target.
int ctxscreen = -9999, ctxpopup = -1, ctxlayer = -1;
int settle = 0;  // frames left to wait for the new place's main target to be drawn
TImage cornerimg;
TImage padimg[3][4];  // by layout; south, east, west, north
TImage enterimg, mouseimg;

// Targets scrolled out of the picture (the map's other sections) cannot take the focus.
bool onscreen(const focusitem& t) { return t.x >= 0 && t.x <= virtw && t.y >= 0 && t.y <= virth; }

int find(const std::vector<focusitem>& items, int id, int layer) {
    for (size_t i = 0; i < items.size(); ++i)
        if (items[i].id == id && items[i].layer == layer && onscreen(items[i])) return (int)i;
    return -1;
}

bool playing_by_keys() { return inputdevice != 0; }
}  // namespace

int focusstep(const std::vector<focusitem>& items, int from, int dir, int layer) {
    if (from < 0 || from >= (int)items.size()) return -1;
    const focusitem& c = items[from];
    const bool across = dir == ACT_LEFT || dir == ACT_RIGHT;
    const float sign = dir == ACT_LEFT || dir == ACT_UP ? -1.0f : 1.0f;
    int best = -1;
    float bestscore = 0;
    for (size_t i = 0; i < items.size(); ++i) {
        const focusitem& t = items[i];
        if ((int)i == from || t.layer != layer || !onscreen(t)) continue;
        const float along = sign * (across ? t.x - c.x : t.y - c.y);
        if (along <= 2) continue;
        // Off the line: how far the target sits beside the band the focused one covers.
        const float side = std::max(0.0f, std::abs(across ? t.y - c.y : t.x - c.x) - (across ? c.hh : c.hw));
        const float score = along + 2.5f * side;
        if (best < 0 || score < bestscore) {
            best = (int)i;
            bestscore = score;
        }
    }
    return best;
}

int focustarget(int id, float x, float y, float hw, float hh, int layer, int flags) {
    now.push_back({id, layer, flags, x, y, hw, hh});
    return id == pressid && layer == presslayer && layer == buttonlayer && fadestate == 1 && paused == -1 ? 1 : 0;
}

int focused(int id, int layer) { return focusshown() && id == curid && layer == curlayer && layer == buttonlayer; }

void focusmain(int id, int layer) {
    mainid = id;
    mainlayer = layer;
}

void focusaside() { aside = 1; }

int focusshown() { return playing_by_keys() && !lastaside && fadestate == 1 && curid != 0; }

void focusframe() {
    last.swap(now);
    now.clear();
    lastmainid = mainid;
    lastmainlayer = mainlayer;
    mainid = mainlayer = 0;
    lastaside = aside;
    aside = 0;
    pressid = presslayer = 0;

    const int layer = buttonlayer;
    if (curscreen != ctxscreen || popupkind != ctxpopup || layer != ctxlayer) {
        ctxscreen = curscreen;
        ctxpopup = popupkind;
        ctxlayer = layer;
        curid = curlayer = 0;
        settle = 12;
    }
    int at = find(last, curid, curlayer);
    if (at < 0 || curlayer != layer) {
        // Wait a few frames for the place's main target; after that any target of the layer will do.
        const int m = lastmainlayer == layer ? find(last, lastmainid, lastmainlayer) : -1;
        if (m >= 0) {
            at = m;
        } else if (settle == 0) {
            at = -1;
            for (size_t i = 0; i < last.size() && at < 0; ++i)
                if (last[i].layer == layer && onscreen(last[i])) at = (int)i;
        }
        curid = at >= 0 ? last[at].id : 0;
        curlayer = at >= 0 ? last[at].layer : 0;
    }
    if (settle > 0) --settle;
    if (at < 0 || lastaside || !playing_by_keys()) return;
    settle = 0;

    const int dirs[4] = {ACT_LEFT, ACT_RIGHT, ACT_UP, ACT_DOWN};
    for (int d : dirs) {
        if (!(actpress & d)) continue;
        if ((last[at].flags & FOCUS_SLIDER) && (d == ACT_LEFT || d == ACT_RIGHT)) continue;
        const int to = focusstep(last, at, d, layer);
        if (to >= 0) at = to;
    }
    curid = last[at].id;
    curlayer = last[at].layer;
    if (actpress & ACT_CONFIRM) {
        pressid = curid;
        presslayer = curlayer;
    }
}

void drawfocus() {
    if (!focusshown() || !cornerimg) return;
    const int at = find(now, curid, curlayer);
    if (at < 0) return;
    const focusitem& t = now[at];
    drawfocusring(t.x, t.y, t.hw, t.hh, t.layer == 2 ? popupfade / 16.0f : 1.0f);
}

void drawfocusring(float x, float y, float hw, float hh, float alpha) {
    if (!cornerimg) return;
    const float a0 = get_alpha();
    const float pulse = 3 + 2.5f * std::sin(framecount * 0.16f);
    const float half = image_width(cornerimg) * 0.5f;
    const float l = x - hw - pulse + half, r = x + hw + pulse - half;
    const float top = y - hh - pulse + half, bottom = y + hh + pulse - half;
    set_scale(1, 1);
    set_alpha(alpha);
    const float at4[4][3] = {{l, top, 0}, {r, top, 90}, {r, bottom, 180}, {l, bottom, 270}};
    for (const auto& c : at4) {
        set_rotation(c[2]);
        draw_image(cornerimg, c[0], c[1], 0);
    }
    set_rotation(0);
    set_alpha(a0);
}

void loadfocusstuff() {
    cornerimg = load_image_logged("data\\ui\\focus.png");
    const char* where = "sewn";
    for (int k = 0; k < 3; ++k)
        for (int b = 0; b < 4; ++b)
            padimg[k][b] = load_image_logged(std::string("data\\ui\\pad") + (char)('0' + k) + where[b] + ".png");
    enterimg = load_image_logged("data\\ui\\keyenter.png");
    mouseimg = load_image_logged("data\\ui\\mouseleft.png");
}

void drawprompt(int act, float x, float y, float alpha) {
    TImage img = mouseimg;
    if (inputdevice == DEVICE_PAD) {
        const int k = padkind >= 0 && padkind < 3 ? padkind : 0;
        img = padimg[k][act == ACT_BACK ? 1 : act == ACT_SWAP ? 2 : 0];
    } else if (inputdevice == DEVICE_KEYS) {
        if (act != ACT_CONFIRM) return;  // only Enter has a picture
        img = enterimg;
    }
    const float a0 = get_alpha();
    set_alpha(alpha);
    draw_image_if_loaded(img, x, y);
    set_alpha(a0);
}

void resetfocus() {
    now.clear();
    last.clear();
    curid = curlayer = mainid = mainlayer = lastmainid = lastmainlayer = pressid = presslayer = 0;
    aside = lastaside = 0;
    ctxscreen = -9999;
    ctxpopup = ctxlayer = -1;
    settle = 0;
}

const std::vector<focusitem>& focuslast() { return last; }
int focusid() { return curid; }
int focuslayer() { return curlayer; }
