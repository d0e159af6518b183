#include "app/profiles.h"

#include <cstdio>

#include "app/screenflow.h"
#include "app/shell.h"
#include "aztec/board.h"
#include "aztec/catalogue.h"
#include "aztec/levelrun.h"
#include "match3/match3.h"
#include "platform/random.h"
#include "platform/readfile.h"
#include "platform/userfile.h"
#include "storage/safefile.h"
#include "storage/settings.h"
#include "ui/popups.h"

int playerunreadable[PLAYERSLOTS];
int profilenotice = NOTICE_NONE;

namespace {
bool valid_slot(int slot) { return slot >= 1 && slot <= MAXPLAYERS; }

// Every per-player value of a slot beside its record field, so that collecting and applying are one list.
template <class F>
void pair_fields(int p, profilerecord& r, F&& f) {
    f(playdifficulty[p], r.difficulty);
    f(stoneset[p], r.stoneset);
    f(adventurestarted[p], r.adventurestarted);
    f(playerlevel[p], r.level);
    f(levelinprogress[p], r.levelinprogress);
    f(player_res20[p], r.res20);
    f(player_res24[p], r.res24);
    f(playerid[p], r.id);
    f(timerbar_shown[p], r.timerbar_shown);
    f(playseconds[p], r.playseconds);
    f(playshots[p], r.playshots);
    f(player_res44[p], r.res44);
    f(playerscore[p], r.score);
    f(maxlevel[p], r.maxlevel);
    f(player_res56[p], r.res56);
    f(player_res60[p], r.res60);
    f(player_m3resume[p], r.m3resume);
    f(savedscroll[p], r.savedscroll);
    f(savedfloorline[p], r.savedfloorline);
    f(player_res76[p], r.res76);
    f(stat_cleared[p], r.stat_cleared);
    f(stat_special[p], r.stat_special);
    f(stat_other[p], r.stat_other);
    f(winbonus[p], r.winbonus);
    f(levelrescued[p], r.levelrescued);
    for (int i = 1; i <= 21; ++i) f(rankcounter[p][i], r.rankcounter[i - 1]);
    for (int i = 1; i <= 30; ++i) f(player_restable[p][i], r.restable[i - 1]);
    for (int i = 1; i <= 200; ++i) {
        f(levelstars[p][i], r.levelstars[i - 1]);
        f(levelstate[p][i], r.levelstate[i - 1]);
        f(m3save_mud[p][i], r.m3mud[i - 1]);
        f(player_m3res1[p][i], r.m3res1[i - 1]);
        f(m3save_itemx[p][i], r.m3itemx[i - 1]);
        f(m3save_itemy[p][i], r.m3itemy[i - 1]);
        f(m3save_itemkind[p][i], r.m3itemkind[i - 1]);
        f(player_m3res2[p][i], r.m3res2[i - 1]);
    }
    for (int s = 1; s <= PROFILE_STONES; ++s) {
        profilestone& t = r.stone[s - 1];
        f(stone_x[p][s], t.x);
        f(stone_y[p][s], t.y);
        f(stone_kind[p][s], t.kind);
        f(stone_spare[p][s], t.spare);
        f(stone_falling[p][s], t.falling);
        f(stone_group[p][s], t.group);
        f(stone_glint[p][s], t.glint);
        f(stone_shake[p][s], t.shake);
        for (int l = 1; l <= 3; ++l) f(stone_chain[p][s][l], t.chain[l - 1]);
    }
}

void live_match3_from(int p) {
    for (int i = 1; i <= 200; ++i) {
        m3cells[i].mud = m3save_mud[p][i];
        m3items[i].x = m3save_itemx[p][i];
        m3items[i].y = m3save_itemy[p][i];
        m3items[i].kind = m3save_itemkind[p][i];
    }
}
}  // namespace

profilerecord collectplayer(int slot) {
    profilerecord r = blankprofile();
    if (slot < 0 || slot >= PLAYERSLOTS) return r;
    pair_fields(slot, r, [](int& table, int& field) { field = table; });
    r.name = playername[slot];
    return r;
}

void applyplayer(int slot, const profilerecord& rec) {
    if (slot < 0 || slot >= PLAYERSLOTS) return;
    profilerecord r = rec;
    pair_fields(slot, r, [](int& table, int& field) { table = field; });
    playername[slot] = r.name;
    live_match3_from(slot);
}

void resetplayer(int slot) {
    if (slot < 0 || slot >= PLAYERSLOTS) return;
    // A reset leaves the floor line, the winning bonus, the reserved table and the board's positions as they are.
    profilerecord r = blankprofile(), kept = collectplayer(slot);
    r.savedfloorline = kept.savedfloorline;
    r.winbonus = kept.winbonus;
    for (int i = 0; i < 30; ++i) r.restable[i] = kept.restable[i];
    for (int s = 0; s < PROFILE_STONES; ++s) {
        profilestone stone = kept.stone[s];
        stone.kind = -1;
        stone.chain[0] = stone.chain[1] = stone.chain[2] = -1;
        r.stone[s] = stone;
    }
    pair_fields(slot, r, [](int& table, int& field) { table = field; });
    playername[slot].clear();
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

std::string encodeplayer(int slot) { return encodeprofile(collectplayer(slot)); }

bool decodeplayer(int slot, const std::string& bytes, const std::string& file) {
    profilerecord r;
    std::string problem;
    bool sound = decodeprofile(bytes, &r, &problem);
    if (!sound) std::printf("%s: %s\n", file.c_str(), problem.c_str());
    applyplayer(slot, r);
    return sound;
}

void loadplayers(int mode) {
    if (mode == 9999) {
        for (int s = 1; s <= MAXPLAYERS; ++s) {
            resetplayer(s);
            playerunreadable[s] = 0;
            saveplayer(s);
        }
    }
    for (int s = 1; s <= MAXPLAYERS; ++s) {
        std::string file = playerfile(s), bytes;
        playerunreadable[s] = 0;
        readresult got = read_user_file(file, bytes, 1 << 20);
        if (got == READ_OK) {
            if (!decodeplayer(s, bytes, file)) profilenotice = NOTICE_REPAIRED;
            continue;
        }
        resetplayer(s);
        live_match3_from(s);
        if (got == READ_MISSING) {
            std::printf("%s is missing: the slot is empty\n", file.c_str());
        } else {
            // It may hold a player's progress: never written over in this run.
            std::printf("%s %s: the slot is left alone until the next start\n", file.c_str(),
                        read_result_text(got));
            playerunreadable[s] = 1;
            profilenotice = NOTICE_UNREADABLE;
            if (curplayer == s) curplayer = -1;
        }
    }
}

bool saveplayer(int slot) {
    if (!valid_slot(slot)) return false;
    int p = slot;
    if (playerunreadable[p]) {
        std::printf("%s was not readable at start: not written\n", playerfile(p).c_str());
        return false;
    }
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
    if (write_file_safely(playerfile(p), bytes)) {
        if (profilenotice == NOTICE_SAVEFAILED) profilenotice = NOTICE_NONE;
        return true;
    }
    profilenotice = NOTICE_SAVEFAILED;
    return false;
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

int freeplayerslot() {
    for (int s = 1; s <= 8; ++s)
        if (playername[s].empty() && !playerunreadable[s]) return s;
    return 0;
}

int createplayer() {
    int slot = freeplayerslot();
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
