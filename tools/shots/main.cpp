// Renders screens of the game without a display: the real start-up loaders and the real loop, driven frame by
// frame, with each requested scene saved as a PNG. Handy for looking at the game from a terminal or in CI logs.
//
//   ombrivale-shot OUTDIR SCENE...
//   scenes: menu, popup:N (a popup over the menu, e.g. popup:100), level:N (frame 200 of a level),
//           level:N:F (frame F)
#include <cstdio>
#include <cstdlib>
#include <string>

#include "app/display.h"
#include "app/harness.h"
#include "app/screenflow.h"
#include "app/shell.h"
#include "aztec/catalogue.h"
#include "aztec/levelrun.h"
#include "platform/draw.h"
#include "platform/paths.h"
#include "storage/players.h"
#include "storage/settings.h"
#include "ui/menu.h"
#include "ui/popups.h"

namespace {
std::string exe_dir(const char* argv0) {
    std::string s = argv0;
    auto slash = s.rfind('/');
    return slash == std::string::npos ? "./" : s.substr(0, slash + 1);
}

void save(const std::string& out, const std::string& name) {
    std::string path = out + "/" + name + ".png";
    int w, h;
    harness_frame_rgba(&w, &h);  // one more frame, then read it back before presenting the next
    clear_screen();
    pollinput();
    doall();
    if (save_frame_png(path))
        std::printf("wrote %s\n", path.c_str());
    else
        std::printf("could not write %s\n", path.c_str());
    flip(1);
}

void to_menu() {
    curscreen = screen_map;
    instmenu();
    harness_frames(60);
}
}  // namespace

int main(int argc, char** argv) {
    if (argc < 3) {
        std::printf("usage: ombrivale-shot OUTDIR SCENE...\n");
        return 2;
    }
    std::string out = argv[1];
    harness_open(exe_dir(argv[0]));
    userpath = out + "/user/";
    std::string mk = "mkdir -p '" + userpath + "'";
    if (std::system(mk.c_str()) != 0) return 1;
    newuserfolder = 1;
    loadall();
    instmain();
    curplayer = 1;
    playername[1] = "MAREN";

    for (int i = 2; i < argc; ++i) {
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
            curscreen = screen_map;
            instgame();
            for (int f = 0; f < frames; ++f) {
                harness_frames(1);
                if (popupkind == 777 && popupfade == 16) popupfadedir = 2;  // close the difficulty dialog
            }
            save(out, "level-" + std::to_string(level) + "-" + std::to_string(frames));
        } else {
            std::printf("unknown scene %s\n", scene.c_str());
        }
    }
    return 0;
}
