#include "ui/logo.h"

#include <algorithm>

#include "globals.h"
#include "platform/audio.h"

TImage logoimage[6];
float logoscale = 0, logooffset = 0;

void drawloadlogo(int t) {
    const float x = (float)centerx, y = (float)(centery - 200);
    const float before = get_alpha();

    if (t == 2) logoscale = logooffset = 0;
    if (t > 100) {
        set_alpha(std::min((float)(t - 100) * 0.03f, 1.0f));
        logoscale -= (logoscale - 0.7f) * 0.05f;
        set_scale(logoscale, logoscale);
        draw_image_if_loaded(logoimage[1], x, y + 15);
    }
    if (t > 50) {
        set_alpha(std::min((float)(t - 50) * 0.03f, 1.0f));
        set_scale(0.7f, 0.7f);
        logooffset -= (logooffset + 80) * 0.05f;
        draw_image_if_loaded(logoimage[2], x, y + logooffset);
        if (t == 80) playsound(72, (float)centerx);
    }
    const float grow = std::min((float)t * 0.02f, 1.0f);
    set_alpha(grow);
    set_scale(1 - 0.3f * grow, 1 - 0.3f * grow);
    draw_image_if_loaded(logoimage[4], x, y);
    if (t == 5) playsound(26, (float)centerx);
    if (t > 50) {
        const float k = std::min((float)(t - 50) * 0.03f, 1.0f);
        set_alpha(k);
        set_scale(1.2f - 0.5f * k, 1.2f - 0.5f * k);
        draw_image_if_loaded(logoimage[5], x, y + 90);
        if (t == 80) playsound(43, (float)centerx);
    }
    set_scale(1, 1);
    set_alpha(before);
    set_rotation(0);
}
