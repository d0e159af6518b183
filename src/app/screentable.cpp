// The table of screens: the one place that names every screen's entry, frame and free functions. The flow
// (screenflow.cpp) and the loop only go through this table.
#include "app/screenflow.h"
#include "aztec/gamescreen.h"
#include "aztec/levelrun.h"
#include "match3/match3.h"
#include "platform/background.h"
#include "screens/intro.h"
#include "screens/map.h"
#include "screens/story.h"
#include "ui/menu.h"

namespace {
// The game screen's per-visit media, with the match-3 backdrop its match-3 levels show.
void freegamescreen() {
    deletegamestuff_dynamic();
    m3freebackdrop();
}
}  // namespace

// While the screen being left fades out, the background of the one coming is decoded ahead.
void preparescreen(int target) {
    switch (target) {
        case screen_menu: preparegamebg(menubackground(curscreen)); break;
        case screen_map: preparegamebg(mapbackground(curscreen)); break;
        case screen_game: preparegamebg(levelbackground(curlevel)); break;
        case screen_load: preparegamebg(1); break;
        default: break;
    }
}

const screenrow screentable[] = {
    {screen_menu, [](int) { instmenu(); }, showmenu, deletemenustuff_dynamic, nullptr},
    {screen_map, [](int) { instadventuremap(); }, showadventuremap, deletemapstuff_dynamic, nullptr},
    {screen_game, [](int) { instgame(); }, showgame, freegamescreen, leavegame},
    {screen_story, inststory, showstory, deletestorystuff_dynamic, nullptr},
    {screen_load, [](int) { instload(); }, showload, deleteloadstuff_dynamic, nullptr},
    {screen_intro, instintro, showintro, deleteintrostuff_dynamic, nullptr},
};
const int screenrows = sizeof screentable / sizeof screentable[0];
