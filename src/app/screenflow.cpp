#include "app/screenflow.h"

#include "aztec/board.h"
#include "aztec/levelrun.h"
#include "platform/draw.h"
#include "platform/system.h"
#include "platform/input.h"
#include "storage/players.h"
#include "storage/settings.h"

int fadelevel = 0;
int fadestate = 0;
int nextscreen = 0, nextscreenarg = 0;

void gotoscreen(int target, int argument) {
    nextscreen = target;
    nextscreenarg = argument;
    fadestate = 2;
    fadelevel = 256;
    mhit1 = 0;
    flush_keys();
    preparescreen(target);
}

void startfadein() {
    fadelevel = 0;
    fadestate = 1;
}

namespace {
const screenrow* findscreen(int id) {
    for (int i = 0; i < screenrows; ++i)
        if (screentable[i].id == id) return &screentable[i];
    return nullptr;
}
}  // namespace

void enterscreen(int target, int argument) {
    if (target == screen_quit) {
        quitrequested = 1;
        return;
    }
    const screenrow* row = findscreen(target);
    if (!row) return;  // no such screen: the fade stays black
    timing_step("frame up to a screen change");
    for (int i = 0; i < screenrows; ++i)
        if (&screentable[i] != row && screentable[i].freedynamic) screentable[i].freedynamic();
    timing_step("media of other screens freed");
    row->enter(argument);
    forget_prepared_images();  // what the entry did not take
    timing_step("screen entered");
}

void showscreen() {
    if (const screenrow* row = findscreen(curscreen)) row->show();
}

void updatefade() {
    if (fadestate == 2) {
        if (fadelevel > -16) fadelevel -= 16;
        if (fadelevel == -16) {
            // The screen being left has its say first (the game screen stores an unfinished level).
            if (const screenrow* row = findscreen(curscreen); row && row->leave) row->leave();
            enterscreen(nextscreen, nextscreenarg);
        }
    } else if (fadelevel < 255) {
        fadelevel += 16;
    }
    set_color(fadelevel, fadelevel, fadelevel);
}

void startlevel(int level) {
    int chapter = 0;
    // Every 15 levels a new chapter of the story begins, told before its first level.
    if (level >= 1 && level <= 91 && (level - 1) % 15 == 0) {
        chapter = (level - 1) / 15 + 1;
        gotoscreen(screen_story, chapter);
    }
    if (curplayer >= 1 && curplayer <= MAXPLAYERS && playerlevel[curplayer] == 0) {
        playerlevel[curplayer] = 1;
        maxlevel[curplayer] = 1;
        curlevel = 1;
        resumeflag = 1;
    }
    if (chapter == 0) gotoscreen(screen_game, 0);
}
