#include "aztec/boardframe.h"

#include "app/display.h"
#include "aztec/board.h"
#include "aztec/boardrender.h"
#include "aztec/cannon.h"
#include "aztec/levelrun.h"
#include "aztec/rules.h"
#include "platform/random.h"
#include "storage/settings.h"

int glintsweep = -1280;
int stonerow = 1;

void aztecframe() {
    int set = stoneset[boardrow()];
    if (set == 1 || set == 3) stonerow = 1;
    if (set == 2 || set == 4) stonerow = 2;
    if (virtw == 1024) boardleft = 120;
    if (virtw == 1280) boardleft = 248;
    if (virtw == 1366) boardleft = 291;

    if (level_frames <= 150) {
        updateboard();
        drawkarostonesflat();
        introaiming();
        return;
    }
    glintsweep += 32;
    if (glintsweep > 5000) glintsweep = -64 * rand_range(20, 190);
    drawcannon();
    updateboard();
    drawarrow();
    drawkarostonesflat();
    drawhiddenhints();
}

void scrolling_casual() {
    const int p = boardrow();
    auto resting = [&](int s) { return stone_kind[p][s] >= 1 && s != cannonslot && stone_falling[p][s] == 0; };
    if (scrollleft == 0 && settled == 1) {
        bool high = false;
        for (int s = 1; s <= topslot && !high; ++s)
            if (resting(s) && stone_y[p][s] > boardtop + 384) high = true;
        if (high) scrollleft = 64;
    }
    if (scrollleft == 0 && floorline < boardtop && settled == 1) {
        bool tall = false;
        for (int s = 1; s <= topslot && !tall; ++s)
            if (resting(s) && stone_y[p][s] > boardtop + 320) tall = true;
        if (!tall) scrollleft = -64;
    }
    int step = 0;
    if (scrollleft > 0) step = -4;
    if (scrollleft < 0) step = 4;
    if (step == 0) return;
    scrollleft += step;
    for (int s = 1; s <= topslot; ++s)
        if (resting(s)) stone_y[p][s] += step;
    floorline += step;
}
