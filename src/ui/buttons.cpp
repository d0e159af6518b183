#include "ui/buttons.h"

#include <algorithm>

#include "app/screenflow.h"
#include "app/shell.h"
#include "platform/audio.h"
#include "platform/draw.h"
#include "texts/fonts.h"
#include "ui/menu.h"
#include "ui/popups.h"

int buttonlayer = 1;
int buttonhover[301];
int buttonflash = 0;
float buttonseenx[301], buttonseeny[301];
int buttonseenlayer[301], buttonseenframe[301];

namespace {
enum { STYLE_SINK = 1, STYLE_GLOW = 2, STYLE_SWELL = 3, STYLE_DARKEN = 4 };
enum { CAPTIONMARGIN = 14 };

int styleof(int kind) {
    if (kind == 1 || kind == 2) return STYLE_SWELL;
    if (kind == 13 || kind == 14 || kind == 16) return STYLE_GLOW;
    if (kind == 12) return STYLE_DARKEN;
    return STYLE_SINK;
}
}  // namespace

float captionroom(int kind) {
    const TImage img = kind >= 0 && kind < 21 ? buttonimage[kind] : nullptr;
    return (float)std::max(0, image_width(img) - 2 * CAPTIONMARGIN);
}

int drawbutton(int id, float x, float y, int kind, int layer, const std::string& caption) {
    const float a0 = get_alpha();
    const int style = styleof(kind);
    const TImage img = kind >= 0 && kind < 21 ? buttonimage[kind] : nullptr;
    const int hw = image_width(img) / 2, hh = image_height(img) / 2;
    float cs = 0, dy = 0;
    if (kind == 3 || kind == 15 || kind == 16) cs = 1;
    else if (kind >= 6 && kind <= 9) cs = 1, dy = 1;
    else if (kind == 10) cs = 1, dy = 2;
    else if (kind == 11) cs = 0.7f, dy = 1;
    else if (kind == 12) cs = 0.4f;
    if (id < 1 || id > 300) id = 300;
    buttonseenx[id] = x;
    buttonseeny[id] = y;
    buttonseenlayer[id] = layer;
    buttonseenframe[id] = framecount;

    int result = 0;
    const bool over = x - hw < mx && mx < x + hw && y - hh < my && my < y + hh;
    if (over && layer == buttonlayer && fadestate == 1 && paused == -1) {
        result = 2;
        if (buttonhover[id] < 8) ++buttonhover[id];
        if (mhit1 == 1) {
            result = 3;
            mhit1 = 0;  // the click is spent on this button
            playsound(13, x);
        }
        if (popupkind == 100 && mdown1 == 1 && kind == 5) result = 4;
    } else if (buttonhover[id] > 0) {
        --buttonhover[id];
    }
    const int h = buttonhover[id];

    float drawy = y;
    if (style == STYLE_SWELL) set_scale(1 + h * 0.03f, 1 + h * 0.03f);
    else set_scale(1, 1);
    if (style == STYLE_SINK) drawy = y + h * 0.5f * cs;
    draw_image_if_loaded(img, x, drawy);
    if (buttonflash == 1) {
        set_alpha(a0 * 0.2f);
        set_blend(BLEND_LIGHT);
        draw_image_if_loaded(img, x, drawy);
        set_alpha(a0);
        set_blend(BLEND_ALPHA);
        buttonflash = 0;
    }
    set_scale(1, 1);
    if (style == STYLE_GLOW && h > 0) {
        set_alpha(a0 * h * 0.1f);
        set_blend(BLEND_LIGHT);
        draw_image_if_loaded(img, x, drawy);
        set_blend(BLEND_ALPHA);
        set_alpha(a0);
    }
    if (!caption.empty()) {
        const float room = captionroom(kind);
        if (kind == 11) {
            drawtext(4, caption, x, drawy + dy, ALIGN_CENTER, fittedscale(4, caption, cs, room), 0.43f, 0.16f, 0.1f);
        } else if (kind == 12) {
            const float s = fittedscale(1, caption, 0.4f, room);
            drawtext(1, caption, x, y + 12, ALIGN_CENTER, s, 0.43f, 0.16f, 0.1f);
            set_alpha(a0 * h * 0.1f);
            drawtext(1, caption, x, y + 12, ALIGN_CENTER, s, 0, 0, 0);
        } else if (cs > 0) {
            drawtext(2, caption, x, drawy + dy, ALIGN_CENTER, fittedscale(2, caption, cs, room), 1, 1, 1);
        }
    }
    set_scale(1, 1);
    set_alpha(a0);
    return result;
}
