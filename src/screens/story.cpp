#include "screens/story.h"

#include <algorithm>
#include <cstdio>

#include "app/display.h"
#include "app/screenflow.h"
#include "app/shell.h"
#include "aztec/gamescreen.h"
#include "aztec/levelrun.h"
#include "effects/particles.h"
#include "platform/audio.h"
#include "platform/background.h"
#include "platform/random.h"
#include "ui/logo.h"
#include "texts/fonts.h"
#include "effects/textpop.h"
#include "texts/texttables.h"
#include "ui/buttons.h"
#include "ui/popups.h"

int storychapter = 1;
int storyleave = 0;
int storyfade = 0;
float storyshakex = 0, storyshakey = 0;
TImage storybgimg;

// Two columns of paragraphs; the rows leave room for the longer paragraphs of each chapter.
const StoryParagraph storylayout[STORYCHAPTERS + 1][8] = {
    {},
    {{3, 0, 0}, {4, 0, 2}, {5, 0, 5}, {6, 0, 8}, {7, 1, 0}, {8, 1, 5}},
    {{3, 0, 0}, {4, 0, 3}, {5, 0, 8}, {6, 1, 0}, {7, 1, 2}, {8, 1, 5}},
    {{3, 0, 0}, {4, 0, 2}, {5, 0, 6}, {6, 0, 8}, {7, 1, 0}, {8, 1, 5}, {9, 1, 8}},
    {{3, 0, 0}, {4, 0, 3}, {5, 0, 6}, {6, 1, 0}, {7, 1, 4}},
    {{3, 0, 0}, {4, 0, 5}, {5, 0, 8}, {6, 1, 0}, {7, 1, 4}},
    {{3, 0, 0}, {4, 0, 3}, {5, 0, 8}, {6, 1, 0}, {7, 1, 3}},
    {{3, 0, 0}, {4, 0, 3}, {5, 0, 6}, {6, 1, 0}, {7, 1, 5}},
    {{3, 0, 0}, {4, 0, 5}, {5, 0, 9}, {6, 1, 0}, {7, 1, 3}},
};

namespace {
const float INK_R = 0.222f, INK_G = 0.05f, INK_B = 0.039f;
const float TITLE_R = 0.43f, TITLE_G = 0.164f, TITLE_B = 0.082f;

// The page darkens over the first 20 frames of the ending.
float endingdim() { return std::max(0.0f, (20 - storyfade) * 0.05f); }
}  // namespace

namespace {
// One pass of the flow: a paragraph pushed down by the one above starts `gap` rows below it.
int flowrows(int c, int gap, int* rows) {
    int below[2] = {0, 0};  // the first free row of each column
    int end = 0;
    for (int k = 0; k < 8; ++k) {
        const StoryParagraph& p = storylayout[c][k];
        if (p.line == 0) break;
        std::string lines[WRAPLINES];
        const int n = wraptext(4, storytext(c, p.line), STORYTEXTWIDTH, 1, lines, WRAPLINES);
        rows[k] = below[p.column] > p.row ? below[p.column] + gap : p.row;
        below[p.column] = rows[k] + n;
        end = std::max(end, below[p.column]);
    }
    return end;
}
}  // namespace

int storyrows(int chapter, int* rows) {
    const int c = std::clamp(chapter, 1, (int)STORYCHAPTERS);
    // With a blank row before a pushed paragraph where the page has the room, else without.
    const int end = flowrows(c, 1, rows);
    return end <= STORYROWS ? end : flowrows(c, 0, rows);
}

void preparestory(int chapter) {
    std::printf("preparestory(a:%d)\n", chapter);
    std::fflush(stdout);
    storychapter = std::clamp(chapter, 1, (int)STORYCHAPTERS);
    playmusic("/music/story.ogg", 1);
    screenshake = 0;
    storyfade = 0;
}

void loadstorystuff_dynamic() {
    set_auto_midhandle(1);
    storybgimg = load_image_logged("data\\bg\\story\\bg.jpg");
    // The ending's plate is one of the logo images the loading screen keeps; load it if that screen never ran.
    if (!logoimage[3]) logoimage[3] = load_image_logged("data\\logo\\q4m.png");
}

void deletestorystuff_dynamic() { storybgimg = nullptr; }

void inststory(int chapter) {
    preparestory(chapter);
    freegamebg();
    loadstorystuff_dynamic();
    storyleave = 0;
    storyshakex = storyshakey = 0;
    popupfade = 0;
    popupkind = 0;
    curscreen = screen_story;
    startfadein();
}

void showstory() {
    const int c = std::clamp(storychapter, 1, (int)STORYCHAPTERS);
    int tint = fadelevel;
    if (storyfade > 0) tint = (int)(fadelevel * endingdim());
    set_color(tint, tint, tint);

    set_blend(BLEND_SOLID);
    draw_image_if_loaded(storybgimg, (float)centerx, (float)centery);
    boardalpha = 1;
    set_scale(1, 1);
    set_blend(BLEND_ALPHA);
    set_alpha(1);

    drawtext(1, storytext(c, 1), (float)(centerx - 250), 120, ALIGN_CENTER,
             fittedscale(1, storytext(c, 1), 0.7f, STORYTITLEROOM), TITLE_R, TITLE_G, TITLE_B);
    drawtext(4, storytext(c, 2), (float)(centerx - 250), 150, ALIGN_CENTER, 1, TITLE_R, TITLE_G, TITLE_B);
    int rows[8];
    storyrows(c, rows);
    for (int k = 0; k < 8 && storylayout[c][k].line != 0; ++k) {
        const StoryParagraph& p = storylayout[c][k];
        const float x = (float)(p.column == 0 ? centerx - 470 : centerx + 50);
        drawtextwrapped(4, storytext(c, p.line), x, (float)(220 + 40 * rows[k]), STORYTEXTWIDTH, 40, ALIGN_LEFT, 1,
                        INK_R, INK_G, INK_B);
    }

    buttonlayer = popupfade > 0 || storyleave > 0 ? 2 : 1;
    set_alpha(storyfade > 0 ? endingdim() : 1);
    if (drawbutton(1, 140, (float)(virth - 40), 3, 1, storytext(0, 1)) == 3) gotoscreen(screen_menu, 0);
    const int layer = storyleave == 0 && storyfade == 0 ? 1 : 0;
    buttonflash = 1;
    if (drawbutton(2, (float)(virtw - 140), (float)(virth - 40), 3, layer, storytext(0, c == 8 ? 4 : 3)) == 3)
        storyleave = 19;

    set_alpha(1);
    if (storyleave > 0 && ++storyleave == 20) {
        if (c == 8)
            storyfade = 1;
        else
            gotoscreen(screen_game, 0);
    }
    if (storyfade > 0) {
        set_color(fadelevel, fadelevel, fadelevel);
        ++storyfade;
        drawstoryend(10, 300);
        if (storyfade == 300) gotoscreen(screen_map, 0);
    }
    draweff();
    updatepopups();
    resetdrawing();
}

void drawstoryend(int a, int b) {
    const int s = storyfade;
    if (!(a < s && s < b)) return;
    const float a0 = get_alpha();
    const float k = std::min((s - a) * 0.03f, 1.0f);
    float alpha = a0 * k;
    if (s > b - 50) alpha = a0 * (b - s - 25) * 0.04f;
    set_alpha(std::max(0.0f, alpha));

    set_scale(2 - k, 2 - k);
    draw_image_if_loaded(logoimage[3], centerx + storyshakex, centery + storyshakey);
    set_scale(1, 1);

    if (screenshake > 0) {
        --screenshake;
        storyshakey = screenshake * rand_range(-10 * screenshake, 10 * screenshake) * 0.002f;
        storyshakex = screenshake * rand_range(-10 * screenshake, 10 * screenshake) * 0.002f;
    } else {
        storyshakex = storyshakey = 0;
    }
    drawtextpop(3, storytext(0, 5), centerx + storyshakex, centery + storyshakey + 20, ALIGN_CENTER,
                fittedscale(3, storytext(0, 5), 1, (float)virtw - 60), s, a + 25, b - 25, 0, 1, 1, 0.5f, 1);
    set_alpha(a0);
}
