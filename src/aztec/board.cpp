#include "aztec/board.h"

#include <iostream>

#include "aztec/cannon.h"
#include "aztec/catalogue.h"
#include "aztec/boardframe.h"
#include "aztec/levelrun.h"
#include "aztec/rules.h"
#include "platform/paths.h"
#include "platform/random.h"
#include "storage/settings.h"

int stone_kind[PLAYERSLOTS][BOARDSLOTS];
int stone_x[PLAYERSLOTS][BOARDSLOTS];
int stone_y[PLAYERSLOTS][BOARDSLOTS];
int stone_spare[PLAYERSLOTS][BOARDSLOTS];
int stone_falling[PLAYERSLOTS][BOARDSLOTS];
int stone_group[PLAYERSLOTS][BOARDSLOTS];
int stone_glint[PLAYERSLOTS][BOARDSLOTS];
int stone_shake[PLAYERSLOTS][BOARDSLOTS];
int stone_chain[PLAYERSLOTS][BOARDSLOTS][4];
int stone_fallframes[BOARDSLOTS];

int boardleft = 0;
int topslot = 0;
int shotcolour = 0, nextcolour = 1;
int colourcount[21];
int colourstones = 0, nocolours = 0;
int floorline = boardtop;
int scrollleft = 0;
int settled = 1;
int cannonslot = 0;
int levelunreadable = 0;
int resumeflag = 0;

int boardrow() { return curplayer >= 0 && curplayer < PLAYERSLOTS ? curplayer : 0; }

int stonecolour(int kind) {
    if (kind >= 1 && kind <= 9) return kind;
    if (kind >= 11 && kind <= 19) return kind - 10;
    if (kind >= 61 && kind <= 69) return kind - 60;
    return 0;
}

int addstone(int x, int y, int kind, int chains) {
    const int p = boardrow();
    for (int s = 1; s <= 156; ++s) {
        if (stone_kind[p][s] > 0) continue;
        stone_x[p][s] = x;
        stone_y[p][s] = y;
        stone_kind[p][s] = kind;
        stone_fallframes[s] = 0;
        stone_glint[p][s] = 0;
        stone_group[p][s] = 0;
        stone_falling[p][s] = 0;
        stone_shake[p][s] = 0;
        stone_spare[p][s] = 0;
        for (int l = 1; l <= 3; ++l) stone_chain[p][s][l] = (chains >= 1 && chains <= 3 && l <= chains) ? 1 : 0;
        return s;
    }
    return 157;
}

namespace {
// Colour of a kind for the colour counts (the same as for matching).
void tallycolours(int* count, int* total) {
    const int p = boardrow();
    for (int c = 0; c <= 20; ++c) count[c] = 0;
    *total = 0;
    for (int s = 1; s < BOARDSLOTS; ++s) {
        if (s == cannonslot) continue;
        int k = stone_kind[p][s];
        if (k <= 0) continue;
        int c = (k < 10) ? k : stonecolour(k);
        if (c <= 0) continue;
        count[c] += 1;
        *total += 1;
    }
}
}  // namespace

void countcolours() {
    int total = 0;
    tallycolours(colourcount, &total);
    colourstones = total;
    nocolours = total > 0 ? 0 : 1;
}

void randomstone() {
    int count[21];
    int total = 0;
    tallycolours(count, &total);
    if (total == 0) return;
    int present = 0;
    for (int c = 1; c <= 9; ++c)
        if (count[c] > 0) present += 1;
    int a;
    do a = rand_range(1, 9);
    while (count[a] == 0);
    shotcolour = (nextcolour >= 1 && nextcolour <= 9 && count[nextcolour] > 0) ? nextcolour : a;
    if (present <= 1) {
        nextcolour = shotcolour;
        return;
    }
    int b;
    do b = rand_range(1, 9);
    while (count[b] == 0 || b == shotcolour);
    nextcolour = b;
}

void unloadcannon() {
    const int p = boardrow();
    if (cannonslot >= 1 && cannonslot <= 156 && stone_kind[p][cannonslot] > 0) {
        stone_kind[p][cannonslot] = 0;
        stone_falling[p][cannonslot] = 0;
    }
    cannonslot = 0;
    swapflag = 0;
}

void prepare_board(const levelrecord* rec) {
    const int p = boardrow();
    if (levelinprogress[p] == 0) {
        for (int s = 1; s < BOARDSLOTS; ++s) {
            // A fresh level starts on an empty board, whatever a level left unfinished before it left behind.
            if (stone_kind[p][s] > 0) stone_kind[p][s] = 0;
            stone_falling[p][s] = 0;
            stone_glint[p][s] = 0;
            stone_shake[p][s] = 0;
            stone_group[p][s] = 0;
        }
        for (int c = 0; c < 12; ++c) addstone(32 + 64 * c, boardtop, 10, 0);
        if (rec) {
            for (int n = 1; n <= CATALOGUE_CELLS; ++n) {
                int code = rec->stonecode[n];
                if (code < 0) continue;
                int c = (n - 1) % 12, r = (n - 1) / 12;
                if (code >= 10 && code <= 19) code = 20;
                if (code == 61) {
                    static const int variants[6] = {60, 61, 64, 66, 67, 68};
                    code = variants[rand_range(1, 6) - 1];
                }
                if ((code >= 71 && code <= 73) || (code >= 91 && code <= 93)) code -= 1;
                // The file carries no validation: absurd chain codes must not overflow.
                int chains = rec->chaincode[n] >= -1 && rec->chaincode[n] <= 2 ? rec->chaincode[n] + 1 : 0;
                addstone(32 + 64 * c, boardtop + 64 + 64 * r, code == 2147483647 ? code : code + 1, chains);
            }
        }
    }
    cannonx = boardleft + 320;
    cannony = boardtop + 664;
    cannontarget = 320;
    cannonslot = 0;
    cannoncooldown = 10;
    scrollleft = 0;
    floorline = boardtop;
    if (resumeflag == 1 && levelinprogress[p] == 1) {
        scrollleft = savedscroll[p];
        floorline = savedfloorline[p];
        savedscroll[p] = 0;
        // A scroll runs in steps of 4 over at most one row; any other stored value would never come to rest.
        if (scrollleft % 4 != 0 || scrollleft < -64 || scrollleft > 64) {
            std::cout << "prepare_level: stored scroll " << scrollleft << " is not a scroll position - ignored"
                      << std::endl;
            scrollleft = 0;
        }
    }
    for (int g = 1; g <= 100; ++g) groupcount[g] = 0;
    glintsweep = -1280;
    shotcolour = 0;
    nextcolour = 1;
    wincount = 0;
    losecount = 0;
    colourstones = 100;
    settled = 1;
}

void prepare_level() {
    nocolours = 0;
    swapflag = 0;
    lastfiredslot = 0;
    const std::string path = resolve_path("data\\/levelz/levels.lvl");
    for (int n = 1; n < curlevel; ++n) std::cout << "over jump level: " << n << std::endl;
    levelrecord rec;
    int ok = readlevelrecord(path, curlevel, &rec);
    levelunreadable = 0;
    if (!ok && levelinprogress[boardrow()] == 0) {
        // The file went away (or was cut short) while the game runs: the board comes from the catalogue read
        // at start. A floor-only board would be won at once and the stars recorded.
        if (const levelrecord* kept = keptlevelrecord(curlevel)) {
            rec = *kept;
            ok = 1;
            std::cout << "prepare_level: level " << curlevel << " is missing from " << path
                      << " - the catalogue read at start is used" << std::endl;
        } else {
            levelunreadable = 1;
            std::cout << "prepare_level: level " << curlevel << " is missing from " << path
                      << " - it cannot be played, won or lost" << std::endl;
        }
    }
    if (levelinprogress[boardrow()] == 0) std::cout << "prepare new level - init all stones new" << std::endl;
    prepare_board(ok ? &rec : nullptr);
}
