#include "screens/intro.h"

#include <algorithm>
#include <cerrno>
#include <cstdio>
#include <cstdlib>

#include "app/display.h"
#include "app/replay.h"
#include "app/screenflow.h"
#include "app/shell.h"
#include "aztec/gamescreen.h"
#include "aztec/levelrun.h"
#include "platform/audio.h"
#include "platform/background.h"
#include "platform/input.h"
#include "platform/paths.h"
#include "platform/readfile.h"
#include "texts/fonts.h"
#include "texts/languages.h"
#include "texts/texttables.h"
#include "ui/logo.h"

std::string pagefile[MAXPAGES + 2];
int pagetime[MAXPAGES + 2];
int pageskip[MAXPAGES + 2];
TImage pageimage[MAXPAGES + 2];
int pagecount = 0;
int intropage = 0, introframes = 0;

int loadframes = 0;
int loadbary = 818;
TImage loadbarimage, loadfillpixels, loadfillcells;

namespace {

const char* const splashconfigfile = "data\\/branding/splashconfig.txt";

// A page with neither an image nor a time has nothing to show and nothing to end it.
bool voidpage(int p) { return (pagefile[p].empty() || pagefile[p] == "none") && pagetime[p] <= 0; }

}  // namespace

void readintrosettings() {
    std::string bytes;
    const std::string path = resolve_path(splashconfigfile);
    readresult got = read_file(path, bytes, 1 << 16);
    if (got != READ_OK)
        std::printf("splash configuration %s %s: no splash pages\n", path.c_str(), read_result_text(got));
    splashconfig c = parsesplashconfig(bytes);
    if (got != READ_OK) c.count = 0;
    for (int p = 0; p <= MAXPAGES + 1; ++p) {
        pagefile[p] = c.file[p];
        pagetime[p] = c.time[p];
        pageskip[p] = c.skip[p];
    }
    pagecount = c.count;
}

void deleteintrostuff_dynamic() {
    for (int p = 1; p <= MAXPAGES; ++p) pageimage[p] = nullptr;
}

void instintro(int page) {
    readintrosettings();
    hide_mouse();
    if (page < 1) page = 1;
    if (page == 1) {
        for (int p = 1; p <= pagecount; ++p) {
            pageimage[p] = nullptr;
            if (!pagefile[p].empty() && pagefile[p] != "none")
                pageimage[p] = load_image_logged("data\\branding\\" + pagefile[p]);
        }
    }
    while (page <= pagecount && voidpage(page)) ++page;
    if (page > pagecount) {
        // Nothing (more) to show: on to the loading screen from the black of this fade.
        enterscreen(screen_load, 0);
        return;
    }
    curscreen = screen_intro;
    intropage = page;
    introframes = 0;
    startfadein();
}

void showintro() {
    if (intropage < 1 || intropage > MAXPAGES) return;
    ++introframes;
    if (fadestate != 2) {
        int pressed = mhit1 == 1 || framekeydown(VK_ESCAPE) || framekeydown(VK_RETURN) || framekeydown(VK_SPACE);
        int mayskip = pageskip[intropage] == 1 || introframes >= INTRO_SKIP_ANYWAY;
        if ((mayskip && pressed) || introframes == pagetime[intropage]) {
            if (intropage < pagecount)
                gotoscreen(screen_intro, intropage + 1);
            else
                gotoscreen(screen_load, 0);
        }
    }
    if (key_f3) devkeys = 1;
    draw_image_if_loaded(pageimage[intropage], (float)centerx, (float)centery);
}

void loadloadstuff_dynamic() {
    freegamebg();
    loadgamebg_dynamic(1);
    loadbarimage = load_image_logged("data\\ui\\loadbar.png");
    loadfillpixels = load_anim_image_logged("data\\ui\\loadfill.png", 1, 40, 402);
    loadfillcells = load_anim_image_logged("data\\ui\\loadfill.png", 10, 40, 40);
    logoimage[1] = load_image_logged("data\\logo\\1.png");
    logoimage[2] = load_image_logged("data\\logo\\2.png");
    logoimage[4] = load_image_logged("data\\logo\\3.png");
    // The caption under the name carries words: each language has its own.
    logoimage[5] = load_image_logged(curlanguage == 0 ? std::string("data\\logo\\4.png")
                                                      : std::string("data\\logo\\") + languagecode[curlanguage] + "/4.png");
    logoimage[3] = load_image_logged("data\\logo\\q4m.png");
}

void deleteloadstuff_dynamic() {
    loadbarimage = nullptr;
    loadfillpixels = nullptr;
    loadfillcells = nullptr;
}

void instload() {
    hide_mouse();
    loadbary = 818;
    loadframes = 0;
    loadloadstuff_dynamic();
    boardalpha = 1.0f;
    musicvolnow = 0;
    playmusic("/music/title.ogg", 1);
    curscreen = screen_load;
    startfadein();
}

void showload() {
    drawbackground((float)mx);
    set_blend(BLEND_ALPHA);
    set_alpha(1);
    ++loadframes;
    drawloadlogo(loadframes);

    if (loadframes > 150 && loadframes <= 300)
        loadbary = (int)((float)loadbary - (float)(loadbary - (virth - 120)) * 0.05f);
    else if (loadframes > 300)
        loadbary += 5;
    draw_image_if_loaded(loadbarimage, (float)centerx, (float)loadbary);

    int fill = std::min((loadframes - 150) * 3, 402);
    if (fill >= 0) {
        const float x0 = (float)(centerx - 205), y = (float)(loadbary + 54);
        const int cells = image_frames(loadfillcells) - 1, pixels = image_frames(loadfillpixels) - 1;
        for (int i = 0; i <= fill / 10; ++i)
            draw_image_frame_in_range(loadfillcells, (float)(centerx - 210 + 10 * i), y, i - 1, cells);
        for (int i = fill / 10 * 10; i <= fill; ++i)
            draw_image_frame_in_range(loadfillpixels, x0 + (float)i, y, i - 1, pixels);
        set_blend(BLEND_LIGHT);
        draw_image_frame_in_range(loadfillpixels, x0 + (float)fill, y, fill - 1, pixels);
        set_blend(BLEND_ALPHA);
    }

    drawtext(FONT_SMALL_DARK, menutext(11, 1), (float)(centerx + 1), (float)(loadbary + 59), ALIGN_CENTER, 1, 1, 1, 1);
    drawtext(FONT_SMALL_DARK, menutext(11, 1), (float)centerx, (float)(loadbary + 58), ALIGN_CENTER, 1, 0.3f, 0.2f,
             0.1f);
    set_alpha(1);

    if (loadframes == 340) {
        losecount = 0;
        enterscreen(screen_menu, 0);
    }
    if (key_f3) devkeys = 1;
}
