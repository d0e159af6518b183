// Renders screens of the game without a display: the real start-up loaders and the real loop, driven frame by
// frame, with each requested scene saved as a PNG. Handy for looking at the game from a terminal or in CI logs.
//
//   ombrivale-shot OUTDIR SCENE...
//   scenes: menu, popup:N (a popup over the menu, e.g. popup:100), level:N (frame 200 of a level),
//           level:N:F (frame F), dialog:N[:I] (the difficulty dialog of level N, the
//           pointer over option I), story:C (chapter C),
//           ending:F (frame F of the last chapter's ending), board:F (a made-up board at frame F),
//           win:D:S:W (a won time level at difficulty D with S stars, win frame W),
//           lose:L (a lost time level at difficulty 4, lose frame L), map (a profile part-way through
//           section 2), mappreview:L (the preview of an unlocked level L), maprank:F (frame F of the map while a
//           new rank is celebrated), help:P:F (help page P at frame F of its animation, over the level that
//           opens it, or over level 1), top:W:C (frame 220 of level 2 on a W-wide screen, 1024, 1280 or
//           1366, with the cannon over column C: the top plaques and the next-stone preview),
//           fire:L:X:F (level L, one stone fired at logical x = X, frame F after),
//           explode:L:F (level L with three superstones going off at once, frame F after),
//           score:L:V (level L with the score V),
//           super:W:F (plain stones and superstones of every colour side by side in a W x 3W/4 window, frame F)
//   --jpeg Q before the scenes writes JPEG files of quality Q instead of PNG (compact pictures for documents).
//   --output WxH before the scenes shows them as full screen on a W x H desktop does: the best mode's picture
//   scaled and letterboxed into an output of that size (the screens at other sizes than the window's).
//   --language CODE before the scenes shows them in that language (en de fr es it pt_BR nl); English without it,
//   whatever the desktop's language.
#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <string>

#include "app/display.h"
#include "canvas.h"
#include "app/harness.h"
#include "app/screenflow.h"
#include "app/shell.h"
#include "aztec/board.h"
#include "aztec/catalogue.h"
#include "aztec/levelfile.h"
#include "aztec/levelrun.h"
#include "effects/effects.h"
#include "platform/draw.h"
#include "platform/inject.h"
#include "platform/paths.h"
#include "platform/random.h"
#include "screens/story.h"
#include "app/profiles.h"
#include "storage/settings.h"
#include "texts/languages.h"
#include "screens/intro.h"
#include "screens/map.h"
#include "ui/helppages.h"
#include "ui/menu.h"
#include "ui/popups.h"

namespace {
std::string exe_dir(const char* argv0) {
    std::string s = argv0;
    auto slash = s.rfind('/');
    return slash == std::string::npos ? "./" : s.substr(0, slash + 1);
}

int jpegquality = 0;  // 0: PNG
int failed = 0;       // a scene could not be written

bool save_jpeg(const std::string& path) {
    int w = 0, h = 0;
    std::vector<uint8_t> px = read_frame_rgba(&w, &h);
    if (w <= 0 || h <= 0) return false;
    std::vector<uint8_t> rgb((size_t)w * h * 3);
    for (size_t i = 0; i < (size_t)w * h; ++i)
        for (int k = 0; k < 3; ++k) rgb[i * 3 + k] = px[i * 4 + k];
    return gen::save_jpeg_rgb(path, rgb.data(), w, h, jpegquality);
}

void save(const std::string& out, const std::string& name) {
    std::string path = out + "/" + name + (jpegquality > 0 ? ".jpg" : ".png");
    int w, h;
    harness_frame_rgba(&w, &h);  // one more frame, then read it back before presenting the next
    clear_screen();
    pollinput();
    doall();
    if (jpegquality > 0 ? save_jpeg(path) : save_frame_png(path)) {
        std::printf("wrote %s\n", path.c_str());
    } else {
        std::printf("could not write %s\n", path.c_str());
        failed = 1;
    }
    flip(1);
}

// Runs the game screen for `frames` frames, closing a level's help page and, unless it is wanted, the
// difficulty dialog as soon as they are fully open.
void runframes(int frames, bool keepdialog = false) {
    for (int f = 0; f < frames; ++f) {
        harness_frames(1);
        if ((popupkind == 102 || (popupkind == 777 && !keepdialog)) && popupfade == 16) popupfadedir = 2;
    }
}

// Enters a level from the map and runs it to `frames`, closing the difficulty dialog unless it is wanted.
void play(int level, int frames, bool keepdialog) {
    curlevel = level;
    reset_player_data_for_new_level();
    if (level_type[level] == 0) {  // no catalogue: a plain time level
        level_type[level] = level_challenge[level] = 1;
        level_time3[level] = 60;
        level_time2[level] = 90;
    }
    curscreen = screen_map;
    enterscreen(screen_game, 0);
    runframes(frames, keepdialog);
}

// A small board of three colours with a trapped animal, for looking at play without the level catalogue.
void madeupboard() {
    levelrecord rec = emptylevelrecord();
    static const char* rows[] = {"001122330011", "120031203312", "33 0112 2003", "1 2 9 0 3 21"};
    for (int r = 0; r < 4; ++r)
        for (int c = 0; c < 12; ++c) {
            char ch = rows[3 - r][c];
            if (ch == ' ') continue;
            rec.stonecode[levelcell(c + 1, r)] = ch == '9' ? 91 : ch - '0';
        }
    prepare_board(&rec);
}

// A row of plain stones of each colour beside a row of superstones of the same colours, for comparing them.
void superstoneboard() {
    levelrecord rec = emptylevelrecord();
    for (int c = 1; c <= 9; ++c)
        for (int r = 0; r < 3; ++r) rec.stonecode[levelcell(c, r)] = c - 1;
    prepare_board(&rec);
    for (int s = 1; s < BOARDSLOTS; ++s)
        if (stone_kind[1][s] >= 1 && stone_kind[1][s] <= 9 && stone_y[1][s] == boardtop + 64 + 64 * 1)
            stone_kind[1][s] += 10;
}

void to_menu() {
    curscreen = screen_map;
    enterscreen(screen_menu, 0);
    harness_frames(60);
}
// A player part-way through the adventure: levels below `highest` won with a mix of stars.
void progress(int highest, int score, int heldranks) {
    std::string name = playername[1];
    resetplayer(1);
    playername[1] = name;
    for (int l = 1; l < highest; ++l) {
        levelstate[1][l] = 101;
        levelstars[1][l] = l % 7 == 0 ? 6 : 1 + (l * 3) % 4;
    }
    levelstate[1][highest] = 101;
    maxlevel[1] = playerlevel[1] = highest;
    playerscore[1] = score;
    for (int r = 1; r <= heldranks; ++r) rankcounter[1][r] = 250;
}

void to_map(int frames, int mousex, int mousey, int section = 0) {
    int wx, wy;
    harness_window_point(mousex, mousey, &wx, &wy);
    inject_mouse_move(wx, wy);
    playlevel = 0;
    curscreen = screen_menu;
    loadloadstuff_dynamic();  // the logo images, the rank plate among them, stay loaded from the loading screen
    enterscreen(screen_map, 0);
    if (section > 0) {
        mapsection = section;
        mapscroll = -(float)(section - 1) * MAPSECTIONWIDTH;
    }
    harness_frames(frames);
}

int outputw = 0, outputh = 0;  // --output: the full-screen picture on an output of this size

// The picture full screen shows on a desktop of the output's size, letterboxed into an output of that size.
void output_window() {
    if (outputw <= 0) return;
    fakedesktopw = outputw;
    fakedesktoph = outputh;
    checkvideo();
    fakedesktopw = fakedesktoph = 0;
    const int lw = bestmode == 1 || bestmode == 4 ? 1366 : bestmode == 2 ? 1280 : 1024;
    graphics_open(outputw, outputh, 0, 60, 0);
    set_letterbox(1);
    set_virtual_resolution((float)lw, 768);
    windoww = outputw;
    windowh = outputh;
    virtw = lw;
    virth = 768;
    centerx = lw / 2;
    centery = 384;
}
}  // namespace

int main(int argc, char** argv) {
    int first = 1;
    languageoverride = 0;
    while (argc > first + 1 && argv[first][0] == '-') {
        const std::string opt = argv[first];
        if (opt == "--jpeg") {
            jpegquality = std::clamp(std::atoi(argv[first + 1]), 1, 100);
        } else if (opt == "--language") {
            languageoverride = languagebycode(argv[first + 1]);
        } else if (opt == "--output") {
            if (std::sscanf(argv[first + 1], "%dx%d", &outputw, &outputh) != 2 || outputw < 64 || outputh < 48 ||
                outputw > 8192 || outputh > 8192) {
                std::printf("ombrivale-shot: --output wants WxH, for example 1920x1080\n");
                return 2;
            }
        } else {
            break;
        }
        first += 2;
    }
    if (argc < first + 2 || languageoverride < 0) {
        std::printf("usage: ombrivale-shot [--jpeg QUALITY] [--output WxH] [--language CODE] OUTDIR SCENE...\n");
        return 2;
    }
    std::string out = argv[first];
    harness_open(exe_dir(argv[0]));
    output_window();
    userpath = out + "/user/";
    std::string mk = "mkdir -p '" + userpath + "'";
    if (std::system(mk.c_str()) != 0) return 1;
    newuserfolder = 1;
    loadall();
    instmain();
    seed_rnd(1);  // the same pictures on every run (the game seeds from the clock)
    curplayer = 1;
    playername[1] = "MAREN";

    for (int i = first + 1; i < argc; ++i) {
        std::string scene = argv[i];
        popupkind = popupfade = 0;
        if (scene == "menu") {
            to_menu();
            save(out, "menu");
        } else if (scene.rfind("popup:", 0) == 0) {
            to_menu();
            popupaction(std::atoi(scene.c_str() + 6));
            harness_frames(20);
            save(out, "popup-" + scene.substr(6));
        } else if (scene.rfind("level:", 0) == 0) {
            int level = std::atoi(scene.c_str() + 6);
            auto colon = scene.find(':', 6);
            int frames = colon == std::string::npos ? 200 : std::atoi(scene.c_str() + colon + 1);
            curlevel = level;
            reset_player_data_for_new_level();  // as the map does: a board left in an earlier scene is not resumed
            curscreen = screen_map;
            enterscreen(screen_game, 0);
            runframes(frames);
            save(out, "level-" + std::to_string(level) + "-" + std::to_string(frames));
        } else if (scene.rfind("dialog:", 0) == 0) {
            int level = 1, hover = 0;
            std::sscanf(scene.c_str() + 7, "%d:%d", &level, &hover);
            mouseactive = hover > 0;
            if (hover > 0) {  // the pointer over option `hover`
                int wx, wy;
                harness_window_point(centerx + 100, centery - 60 * hover + 175, &wx, &wy);
                inject_mouse_move(wx, wy);
            }
            play(level, 130, true);  // after a help page, if the level has one
            save(out, "dialog-" + scene.substr(7));
            mouseactive = 0;
        } else if (scene.rfind("story:", 0) == 0) {
            curscreen = screen_map;
            enterscreen(screen_story, std::atoi(scene.c_str() + 6));
            harness_frames(30);
            save(out, "story-" + scene.substr(6));
        } else if (scene.rfind("ending:", 0) == 0) {
            curscreen = screen_map;
            enterscreen(screen_story, 8);
            harness_frames(30);
            storyleave = 19;
            harness_frames(std::atoi(scene.c_str() + 7));
            save(out, "ending-" + scene.substr(7));
        } else if (scene.rfind("board:", 0) == 0) {
            int frames = std::atoi(scene.c_str() + 6);
            play(1, 1, false);
            madeupboard();
            runframes(frames - 1);
            save(out, "board-" + scene.substr(6));
        } else if (scene.rfind("win:", 0) == 0) {
            int d = 1, stars = 1, w = 300;
            std::sscanf(scene.c_str() + 4, "%d:%d:%d", &d, &stars, &w);
            play(2, 150, false);  // past the help page and the difficulty dialog
            playdifficulty[1] = d;
            level_challenge[2] = 1;
            playseconds[1] = stars >= 3 ? level_time3[2] : stars == 2 ? level_time2[2] : level_time2[2] + 1;
            wincount = 1;
            harness_frames(w - 1);
            save(out, "win-" + std::to_string(d) + "-" + std::to_string(stars) + "-" + std::to_string(w));
        } else if (scene.rfind("super:", 0) == 0) {
            int w = 800, frames = 60;
            std::sscanf(scene.c_str() + 6, "%d:%d", &w, &frames);
            graphics_open(w, w * 3 / 4, 0, 60, 0);
            set_virtual_resolution(1024, 768);
            windoww = w;
            windowh = w * 3 / 4;
            play(1, 250, false);
            superstoneboard();
            runframes(frames);
            save(out, "super-" + std::to_string(w) + "-" + std::to_string(frames));
            harness_window();
        } else if (scene.rfind("score:", 0) == 0) {
            int level = 2, value = 0;
            std::sscanf(scene.c_str() + 6, "%d:%d", &level, &value);
            play(level, 200, false);
            playerscore[1] = value;
            runframes(1);
            save(out, "score-" + std::to_string(level) + "-" + std::to_string(value));
        } else if (scene.rfind("lose:", 0) == 0) {
            play(3, 250, false);
            madeupboard();
            playdifficulty[1] = 4;
            losecount = 1;
            harness_frames(std::atoi(scene.c_str() + 5) - 1);
            save(out, "lose-" + scene.substr(5));
        } else if (scene.rfind("help:", 0) == 0) {
            int page = 1, frame = 60;
            std::sscanf(scene.c_str() + 5, "%d:%d", &page, &frame);
            int level = 1;
            for (int l = 1; l <= 10; ++l)
                if (levelhelppage(l) == page) level = l;
            play(level, 29, false);
            harness_frames(1);  // frame 30 opens the level's own page
            helppage = page;
            helpframes = 0;
            harness_frames(std::max(0, frame - 2));
            save(out, "help-" + std::to_string(page) + "-" + std::to_string(frame));
        } else if (scene.rfind("top:", 0) == 0) {
            int w = 1024, column = 0;
            std::sscanf(scene.c_str() + 4, "%d:%d", &w, &column);
            // A window the size of the logical screen: what a full-screen mode of that width shows.
            graphics_open(w, 768, 0, 60, 0);
            set_virtual_resolution((float)w, 768);
            windoww = virtw = w;
            windowh = virth = 768;
            centerx = w / 2;
            const int left = w == 1280 ? 248 : w == 1366 ? 291 : 120;
            mouseactive = 1;
            inject_mouse_move(left + 32 + 64 * column, 300);
            play(2, 220, false);
            save(out, "top-" + std::to_string(w) + "-" + std::to_string(column));
            mouseactive = 0;
            harness_window();
            output_window();
        } else if (scene.rfind("fire:", 0) == 0) {
            int level = 1, x = 512, frames = 20;
            std::sscanf(scene.c_str() + 5, "%d:%d:%d", &level, &x, &frames);
            seed_rnd(level * 1000 + x);  // the same stones in the cannon whatever ran before
            play(level, 160, false);
            mouseactive = 1;
            int wx, wy;
            harness_window_point(x, 300, &wx, &wy);
            inject_mouse_move(wx, wy);
            runframes(40);  // the cannon walks over to the column
            harness_click(x, 300);
            runframes(frames);
            save(out, "fire-" + std::to_string(level) + "-" + std::to_string(x) + "-" + std::to_string(frames));
        } else if (scene.rfind("explode:", 0) == 0) {
            int level = 2, frames = 10;
            std::sscanf(scene.c_str() + 8, "%d:%d", &level, &frames);
            seed_rnd(level);
            play(level, 320, false);  // the level's greeting has gone
            for (int c = 1; c <= 3; ++c) superstoneexplosion((float)(250 * c + 12), (float)(250 + 60 * c), c * 3);
            runframes(frames);
            save(out, "explode-" + std::to_string(level) + "-" + std::to_string(frames));
        } else if (scene == "map") {
            progress(23, 240000, 2);
            to_map(120, centerx, virth - 110);
            save(out, "map");
        } else if (scene.rfind("mappreview:", 0) == 0) {
            int level = std::atoi(scene.c_str() + 11);
            progress(std::max(level, 23), 240000, 2);
            int c = (level - 1) % 5 + 1, r = ((level - 1) % 15) / 5 + 1;
            // The node's place on the harness's 1024-wide screen, on the level's own section.
            to_map(140, 188 * c - 28 - 25, 180 * r - 80, (level - 1) / 15 + 1);
            save(out, "mappreview-" + std::to_string(level));
        } else if (scene.rfind("maprank:", 0) == 0) {
            progress(23, 520000, 2);
            to_map(std::atoi(scene.c_str() + 8), centerx, virth - 110);
            save(out, "maprank-" + scene.substr(8));
        } else {
            std::printf("unknown scene %s\n", scene.c_str());
            failed = 1;
        }
    }
    exitgame(failed);
}
