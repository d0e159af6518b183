#include "storage/players.h"

#include <cstdint>
#include <cstdio>

#include "app/screenflow.h"
#include "app/shell.h"
#include "aztec/board.h"
#include "aztec/catalogue.h"
#include "aztec/levelrun.h"
#include "match3/match3.h"
#include "platform/random.h"
#include "storage/safefile.h"
#include "storage/settings.h"
#include "ui/popups.h"

std::string playername[PLAYERSLOTS];
int playdifficulty[PLAYERSLOTS];
int stoneset[PLAYERSLOTS];
int adventurestarted[PLAYERSLOTS];
int playerlevel[PLAYERSLOTS];
int levelinprogress[PLAYERSLOTS];
int playerid[PLAYERSLOTS];
int timerbar_shown[PLAYERSLOTS];
int playseconds[PLAYERSLOTS];
int playshots[PLAYERSLOTS];
int playerscore[PLAYERSLOTS];
int maxlevel[PLAYERSLOTS];
int savedscroll[PLAYERSLOTS];
int savedfloorline[PLAYERSLOTS];
int levelrescued[PLAYERSLOTS];
int stat_cleared[PLAYERSLOTS], stat_special[PLAYERSLOTS], stat_other[PLAYERSLOTS];
int winbonus[PLAYERSLOTS];
int rankcounter[PLAYERSLOTS][22];
int levelstars[PLAYERSLOTS][201];
int levelstate[PLAYERSLOTS][201];
int m3save_mud[PLAYERSLOTS][201], m3save_itemx[PLAYERSLOTS][201], m3save_itemy[PLAYERSLOTS][201],
    m3save_itemkind[PLAYERSLOTS][201];
int player_res20[PLAYERSLOTS], player_res24[PLAYERSLOTS], player_res44[PLAYERSLOTS], player_res56[PLAYERSLOTS],
    player_res60[PLAYERSLOTS], player_m3resume[PLAYERSLOTS], player_res76[PLAYERSLOTS];
int player_restable[PLAYERSLOTS][31];
int player_m3res1[PLAYERSLOTS][201], player_m3res2[PLAYERSLOTS][201];

int playerorder[16];
int previousplayer = -1;
int firstplayer = 0;
int namelength = 0;
int nameerror = 0;

namespace {
bool valid_slot(int slot) { return slot >= 1 && slot <= MAXPLAYERS; }

// Calls f on every integer of a slot's file, in file order (everything before the name).
template <class F>
void each_field(int p, F&& f) {
    for (int* v : {&playdifficulty[p], &stoneset[p], &adventurestarted[p], &playerlevel[p], &levelinprogress[p],
                   &player_res20[p], &player_res24[p], &playerid[p], &timerbar_shown[p], &playseconds[p],
                   &playshots[p], &player_res44[p], &playerscore[p], &maxlevel[p], &player_res56[p],
                   &player_res60[p], &player_m3resume[p], &savedscroll[p], &savedfloorline[p], &player_res76[p],
                   &stat_cleared[p], &stat_special[p], &stat_other[p], &winbonus[p], &levelrescued[p]})
        f(*v);
    for (int i = 1; i <= 21; ++i) f(rankcounter[p][i]);
    for (int i = 1; i <= 30; ++i) f(player_restable[p][i]);
    for (int l = 1; l <= 200; ++l) {
        f(levelstars[p][l]);
        f(levelstate[p][l]);
    }
    for (int i = 1; i <= 200; ++i) {
        f(m3save_mud[p][i]);
        f(player_m3res1[p][i]);
        f(m3save_itemx[p][i]);
        f(m3save_itemy[p][i]);
        f(m3save_itemkind[p][i]);
        f(player_m3res2[p][i]);
    }
    for (int s = 1; s <= 500; ++s)
        for (int* v : {&stone_x[p][s], &stone_y[p][s], &stone_kind[p][s], &stone_spare[p][s], &stone_falling[p][s],
                       &stone_group[p][s], &stone_glint[p][s], &stone_shake[p][s], &stone_chain[p][s][1],
                       &stone_chain[p][s][2], &stone_chain[p][s][3]})
            f(*v);
}

void put32(std::string& out, int v) {
    for (int i = 0; i < 4; ++i) out.push_back((char)((uint32_t)v >> (8 * i) & 0xff));
}

int32_t get32(const std::string& in, size_t at) {
    const unsigned char* b = (const unsigned char*)in.data() + at;
    return (int32_t)((uint32_t)b[0] | (uint32_t)b[1] << 8 | (uint32_t)b[2] << 16 | (uint32_t)b[3] << 24);
}

void live_match3_from(int p) {
    for (int i = 1; i <= 200; ++i) {
        m3cells[i].mud = m3save_mud[p][i];
        m3items[i].x = m3save_itemx[p][i];
        m3items[i].y = m3save_itemy[p][i];
        m3items[i].kind = m3save_itemkind[p][i];
    }
}

// Values other code uses to index its tables: one outside its range takes the reset value.
void keep_in_range(int p, const std::string& file) {
    struct {
        int* v;
        int lo, hi, reset;
        const char* name;
    } checks[] = {{&playdifficulty[p], 1, 4, 3, "playdifficulty"},
                  {&stoneset[p], 1, 4, 1, "stoneset"},
                  {&playerlevel[p], 0, 200, 0, "playerlevel"},
                  {&maxlevel[p], 1, 200, 1, "maxlevel"}};
    for (auto& c : checks) {
        if (*c.v >= c.lo && *c.v <= c.hi) continue;
        std::printf("%s: %s %d is out of range, %d used\n", file.c_str(), c.name, *c.v, c.reset);
        *c.v = c.reset;
    }
}
}  // namespace

std::string playerfile(int slot) { return userpath + "players" + std::to_string(slot) + ".ppp"; }

void resetplayer(int slot) {
    if (slot < 0 || slot >= PLAYERSLOTS) return;
    int p = slot;
    playername[p].clear();
    playdifficulty[p] = 3;
    stoneset[p] = 1;
    adventurestarted[p] = 0;
    playerlevel[p] = 0;
    levelinprogress[p] = 0;
    playerid[p] = -9999;
    timerbar_shown[p] = playseconds[p] = playshots[p] = playerscore[p] = 0;
    maxlevel[p] = 1;
    savedscroll[p] = levelrescued[p] = 0;
    stat_cleared[p] = stat_special[p] = stat_other[p] = 0;
    player_res20[p] = 1;
    player_res24[p] = 3;
    player_res44[p] = 1;
    player_res56[p] = 1;
    player_res60[p] = player_m3resume[p] = player_res76[p] = 0;
    for (int i = 1; i <= 21; ++i) rankcounter[p][i] = 0;
    for (int l = 1; l <= 200; ++l) {
        levelstars[p][l] = 0;
        levelstate[p][l] = l == 1 ? 201 : 0;
    }
    for (int i = 1; i <= 200; ++i) {
        m3save_mud[p][i] = m3save_itemx[p][i] = m3save_itemy[p][i] = m3save_itemkind[p][i] = 0;
        player_m3res1[p][i] = player_m3res2[p][i] = 0;
    }
    for (int s = 1; s <= 500; ++s) {
        stone_kind[p][s] = -1;
        stone_chain[p][s][1] = stone_chain[p][s][2] = stone_chain[p][s][3] = -1;
    }
}

void restartplayer(int slot) {
    if (!valid_slot(slot)) return;
    int p = slot;
    if (playerlevel[p] < 100) playerscore[p] = 0;
    playdifficulty[p] = 3;
    adventurestarted[p] = playerlevel[p] = levelinprogress[p] = 0;
    player_res24[p] = 3;
    timerbar_shown[p] = playseconds[p] = playshots[p] = player_res60[p] = player_m3resume[p] = savedscroll[p] = 0;
    stat_cleared[p] = stat_special[p] = stat_other[p] = levelrescued[p] = 0;
    maxlevel[p] = 1;
    player_res56[p] = 1;
    for (int i = 1; i <= 21; ++i) rankcounter[p][i] = 0;
    for (int l = 1; l <= 200; ++l) {
        levelstars[p][l] = 0;
        levelstate[p][l] = l == 1 ? 201 : 0;
    }
    for (int i = 1; i <= 200; ++i) m3save_mud[p][i] = m3save_itemx[p][i] = m3save_itemy[p][i] = m3save_itemkind[p][i] = 0;
    for (int s = 1; s <= 500; ++s) {
        stone_kind[p][s] = -1;
        stone_chain[p][s][1] = stone_chain[p][s][2] = stone_chain[p][s][3] = -1;
    }
}

std::string encodeplayer(int slot) {
    std::string out;
    out.reserve(28708 + 12);
    each_field(slot, [&out](int& v) { put32(out, v); });
    std::string name = trim_controls(playername[slot]);
    put32(out, (int)name.size());
    out += name;
    return out;
}

void decodeplayer(int slot, const std::string& bytes, const std::string& file) {
    resetplayer(slot);
    size_t at = 0;
    each_field(slot, [&](int& v) {
        if (at + 4 <= bytes.size()) v = get32(bytes, at);
        at += 4;
    });
    if (bytes.size() < 28708)
        std::printf("%s is short (%zu of 28708 bytes): the rest takes the reset values\n", file.c_str(),
                    bytes.size());
    playername[slot].clear();
    if (bytes.size() >= 28708) {
        int n = get32(bytes, 28704);
        if (n > 12 || (size_t)n > bytes.size() - 28708)
            std::printf("%s: name length %d is not possible, the name is left empty\n", file.c_str(), n);
        else if (n > 0)
            playername[slot] = trim_controls(bytes.substr(28708, (size_t)n));
    }
    keep_in_range(slot, file);
}

void loadplayers(int mode) {
    if (mode == 9999) {
        for (int s = 1; s <= MAXPLAYERS; ++s) {
            resetplayer(s);
            saveplayer(s);
        }
    }
    for (int s = 1; s <= MAXPLAYERS; ++s) {
        std::string file = playerfile(s), bytes;
        if (!read_whole_file(file, bytes)) {
            std::printf("%s is missing: the slot is empty\n", file.c_str());
            bytes.clear();
            resetplayer(s);
            playername[s].clear();
        } else {
            decodeplayer(s, bytes, file);
        }
        live_match3_from(s);
    }
}

void saveplayer(int slot) {
    if (!valid_slot(slot)) return;
    int p = slot;
    bool running = curscreen == screen_game && wincount == 0 && losecount == 0 && p == curplayer;
    if (running && resumeflag == 1) {
        levelinprogress[p] = 1;
        player_m3resume[p] = m3resume;
    }
    int cannonkind = 0;
    bool aztec = running && playlevel >= 1 && playlevel < LEVELSLOTS && level_type[playlevel] == 1;
    if (aztec) {
        savedscroll[p] = scrollleft;
        savedfloorline[p] = floorline;
        // The stone waiting in the cannon is not a board stone: the file never holds it. The live board keeps
        // it, so the game goes on with the same stone loaded after a save in the middle of a level.
        if (cannonslot >= 1 && cannonslot < BOARDSLOTS) {
            cannonkind = stone_kind[p][cannonslot];
            stone_kind[p][cannonslot] = 0;
        }
    }
    if (resumeflag == 1) {
        for (int i = 1; i <= 200; ++i) {
            m3save_mud[p][i] = m3cells[i].mud;
            m3save_itemx[p][i] = m3items[i].x;
            m3save_itemy[p][i] = m3items[i].y;
            m3save_itemkind[p][i] = m3items[i].kind;
        }
    }
    std::string bytes = encodeplayer(p);
    if (aztec && cannonslot >= 1 && cannonslot < BOARDSLOTS) stone_kind[p][cannonslot] = cannonkind;
    write_file_safely(playerfile(p), bytes);
}

void sortplayers() {
    for (int i = 1; i <= MAXPLAYERS; ++i) playerorder[i] = i;
    for (int pass = 0; pass < MAXPLAYERS; ++pass)
        for (int j = 1; j <= MAXPLAYERS - 1; ++j)
            if (playerscore[playerorder[j]] < playerscore[playerorder[j + 1]]) {
                int t = playerorder[j];
                playerorder[j] = playerorder[j + 1];
                playerorder[j + 1] = t;
            }
}

int checkplayername() {
    nameerror = 0;
    if (!valid_slot(curplayer)) return 0;
    // The name is saved without its surrounding spaces: check the name that will be saved.
    playername[curplayer] = trim_controls(playername[curplayer]);
    if (playername[curplayer].empty()) {
        nameerror = 2;
        return 0;
    }
    for (int s = 1; s <= MAXPLAYERS; ++s) {
        if (s == curplayer || playername[s] != playername[curplayer]) continue;
        nameerror = 1;
        popupaction(781);
        return 0;
    }
    return 1;
}

int createplayer() {
    int slot = 0;
    for (int s = 1; s <= 8 && slot == 0; ++s)
        if (playername[s].empty()) slot = s;
    if (slot == 0) return 0;
    previousplayer = curplayer;
    curplayer = slot;
    playername[slot].clear();
    namelength = 0;
    nameerror = 0;
    playerid[slot] = rand_range(0, 100000);
    popupaction(105);
    return slot;
}

void deleteplayer() {
    if (!valid_slot(curplayer)) return;
    resetplayer(curplayer);
    saveplayer(curplayer);
    curplayer = -1;
    for (int s = MAXPLAYERS; s >= 1; --s)
        if (!playername[s].empty()) curplayer = s;
    savesettings(0);
}
