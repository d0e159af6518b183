#include "aztec/levelrun.h"

#include <cmath>
#include <cstdio>

#include "app/display.h"
#include "app/screenflow.h"
#include "app/shell.h"
#include "aztec/board.h"
#include "aztec/catalogue.h"
#include "aztec/gamescreen.h"
#include "effects/particles.h"
#include "match3/match3.h"
#include "platform/audio.h"
#include "platform/background.h"
#include "app/profiles.h"
#include "storage/settings.h"
#include "ui/helppages.h"
#include "ui/popups.h"

int curlevel = 0;
int playlevel = 0;
int level_frames = 0;
int wincount = 0, losecount = 0;
int timerbar = 340;
int emptybarframes = 0;
int winstars = -99;
int newlevelwon = 0;
int recordedresult = 999;
int restartpending = 0;
int levelleft = 0;
int gameprevscreen = screen_none;
int clockseen = 0;
float timerbarx = 0, timerbary = 0;

TImage gameboardimg, uiupleftimg, uiuprightimg, upimg, downback2img, downfront2img, timerimg, timerfill1img,
    timerfill10img, timerwarnimg, moveiconimg, timeiconimg;

namespace {
// Images whose handle sits at the middle of their top edge.
TImage load_top_handled(const char* path) {
    TImage im = load_image_logged(path);
    set_image_handle(im, (float)(image_width(im) / 2), 0);
    return im;
}

bool popupvisible() { return popupfade > 0; }
}  // namespace

void loadgamestuff_dynamic() {
    set_auto_midhandle(1);
    gameboardimg = load_top_handled("data\\game\\board.png");
    uiupleftimg = load_top_handled("data\\game\\uiupleft.png");
    uiuprightimg = load_top_handled("data\\game\\uiupright.png");
    upimg = load_image_logged("data\\game\\up.png");
    downback2img = load_image_logged("data\\game\\downback2.png");
    downfront2img = load_image_logged("data\\game\\downfront2.png");
    set_image_handle(downfront2img, 415, 58);
    timerimg = load_image_logged("data\\game\\timer.png");
    timerfill1img = load_anim_image_logged("data\\game\\timerfill.png", 1, 32, 340);
    timerfill10img = load_anim_image_logged("data\\game\\timerfill.png", 10, 32, 34);
    timerwarnimg = load_image_logged("data\\game\\timerwarn.png");
    moveiconimg = load_image_logged("data\\game\\move-icon.png");
    timeiconimg = load_image_logged("data\\game\\time-icon.png");
}

void deletegamestuff_dynamic() {
    gameboardimg = uiupleftimg = uiuprightimg = upimg = downback2img = downfront2img = nullptr;
    timerimg = timerfill1img = timerfill10img = timerwarnimg = moveiconimg = timeiconimg = nullptr;
}

int levelbackground(int level) {
    // Themes 1..4 in turn, every fifth level the tent camp.
    return level >= 1 && level <= 105 ? ((level - 1) % 5) + 1 : 0;
}

void instgame() {
    gameprevscreen = curscreen;
    m3freebackdrop();
    if (gameprevscreen != screen_game) {
        deletegamestuff_dynamic();
        freegamebg();
        loadgamestuff_dynamic();
    }

    const int b = levelbackground(curlevel);
    if (b < 5) {
        freegamebg();
        loadgamebg_dynamic(b);
    } else {
        loadgamebg(5);
    }

    popupkind = 0;
    popupfade = 0;
    paused = -1;
    wincount = losecount = 0;
    emptybarframes = 0;
    winstars = -99;
    recordedresult = 999;
    restartpending = 0;
    levelleft = 0;
    resetgamescreen();
    clearparticles();
    clearlights();

    playlevel = curlevel;
    levelunreadable = 0;
    if (level_type[curlevel] != 1) {
        m3enter();
    } else {
        prepare_level();
    }

    int p = curplayer;
    if (p >= 1 && p <= MAXPLAYERS) {
        if (timerbar_shown[p] < 150) {
            timerbar = 150;
            timerbar_shown[p] = 150;
        }
        if (levelinprogress[p] == 0) {
            timerbar = 340;
            timerbar_shown[p] = 340;
            playseconds[p] = 0;
            playshots[p] = 0;
        }
    }
    timerbarx = (float)centerx;
    timerbary = (float)(virth + 150);
    clockseen = timer_ticks(clocktimer);

    musicvolnow = 0;
    static const char* const tracks[6] = {nullptr, "/music/game1.ogg", "/music/game2.ogg", "/music/game3.ogg",
                                          "/music/rain.ogg", "/music/game2.ogg"};
    if (b >= 1 && b <= 5) playmusic(tracks[b], 1);

    level_frames = 0;
    newlevelwon = 0;
    fullhelp = 0;  // a level's own help page holds the level while it is read
    curscreen = screen_game;
    startfadein();
}

void playclockstep() {
    if (level_frames < 220 || paused != -1 || popupvisible() || wincount > 0 || losecount > 0) return;
    int t = timer_ticks(clocktimer);
    if (t > clockseen) {
        clockseen = t;
        if (curplayer >= 1 && curplayer <= MAXPLAYERS) ++playseconds[curplayer];
    }
}

void timerbarstep() {
    int p = curplayer;
    if (p < 1 || p > MAXPLAYERS) return;
    if (level_challenge[playlevel] != 1 || level_frames <= 50 || playdifficulty[p] <= 1) return;

    float target = (float)(virth - 25);
    timerbary -= (timerbary - target) * 0.1f;
    timerbarx = (float)centerx;

    static const int every[6] = {0, 0, 6, 5, 3, 2};
    int d = playdifficulty[p] <= 5 ? every[playdifficulty[p]] : 2;
    if (framecount % d == 0 && wincount == 0 && losecount == 0 && level_frames >= 220 && !popupvisible() &&
        paused == -1)
        timerbar -= 1;
    if (timerbar <= 0) {
        timerbar = 0;
        ++emptybarframes;
    } else {
        emptybarframes = 0;
    }
    if (timerbar > 340) timerbar = 340;
    int s = timerbar_shown[p];
    timerbar_shown[p] = (int)(s - (s - timerbar) * 0.2f);
    s = timerbar_shown[p];

    const float x = timerbarx, y = timerbary;
    float a = get_alpha();
    draw_image_if_loaded(timerimg, x, y);
    for (int i = 0; i <= s / 10; ++i) draw_image_frame_in_range(timerfill10img, x + 10 * i - 174, y - 1, i - 1, 33);
    for (int i = 10 * (s / 10); i <= s; ++i) draw_image_frame_in_range(timerfill1img, x + i - 169, y - 1, i - 1, 339);
    int blend = get_blend();
    set_blend(BLEND_LIGHT);
    set_alpha(a * 0.5f);
    draw_image_frame_in_range(timerfill1img, x + s - 170, y - 1, s - 2, 339);
    set_alpha(a);
    draw_image_frame_in_range(timerfill1img, x + s - 169, y - 1, s - 1, 339);
    set_blend(blend);
    if (s < 80) {
        set_alpha(a * 0.25f * (float)std::sin(12.0 * framecount * M_PI / 180.0));
        draw_image_if_loaded(timerwarnimg, x, y);
        set_alpha(a);
    }
}

void wintest() {
    if (restartpending || levelunreadable) return;
    if (level_type[playlevel] == 1 && colourstones < 1 && level_frames > 100 && wincount == 0 && losecount == 0) {
        if (curplayer >= 1 && curplayer <= MAXPLAYERS) {
            stat_cleared[curplayer] = level_colourstones[playlevel];
            stat_other[curplayer] = winbonus[curplayer];
        }
        wincount = 1;
    }
}

int starsearned() {
    int d = curplayer >= 1 && curplayer <= MAXPLAYERS ? playdifficulty[curplayer] : 3;
    if (level_challenge[playlevel] == 1) {
        if (recordedresult <= level_time3[playlevel]) return 3;
        if (recordedresult <= level_time2[playlevel]) return 2;
        return 1;
    }
    if (level_challenge[playlevel] == 2) {
        if (recordedresult <= level_moves3[playlevel] - 2 * d + 2) return 3;
        if (recordedresult <= level_moves2[playlevel] - 2 * d + 2) return 2;
        return 1;
    }
    return 1;
}

void wincounting() {
    if (wincount <= 0) return;
    ++wincount;
    int w = wincount;
    int p = curplayer;
    if (w == 2 && p >= 1 && p <= MAXPLAYERS) {
        recordedresult = level_challenge[playlevel] == 2 ? playshots[p] : playseconds[p];
        winstars = starsearned() + playdifficulty[p];
    }
    if ((mhit1 == 1 || w > 699) && w >= 51 && !levelleft) leavewonlevel();
}

void leavewonlevel() {
    levelleft = 1;
    int p = curplayer;
    if (p >= 1 && p <= MAXPLAYERS && playlevel >= 1 && playlevel <= 200) {
        int value = winstars - 1;
        if (value > levelstars[p][playlevel]) {
            levelstars[p][playlevel] = value;
            newlevelwon = playlevel;
        }
    }
    winreset();
    gotoscreen(screen_map, 0);
}

void leavegame() {
    // The cannon's stone goes with the level; a level left unfinished is stored once more as it stands now,
    // since it went on moving during the fade-out, so that the board it resumes is the board on file.
    if (level_type[playlevel] == 1) unloadcannon();
    const int p = curplayer;
    if (p >= 1 && p <= MAXPLAYERS && levelinprogress[p] == 1 && wincount == 0 && losecount == 0 && !restartpending)
        saveplayer(p);
}

void losetest() {
    if (levelunreadable) return;
    if (emptybarframes >= 100 && losecount == 0 && wincount == 0) losecount = 1;
    if (losecount > 0) ++losecount;
}

namespace {
void endlevel() {
    int p = curplayer;
    if (p < 1 || p > MAXPLAYERS) return;
    levelinprogress[p] = 0;
    player_m3resume[p] = 0;
    player_res24[p] = 3;
    levelrescued[p] = 0;
    for (int i = 0; i < BOARDSLOTS; ++i) {
        stone_kind[p][i] = -1;
        stone_chain[p][i][1] = stone_chain[p][i][2] = stone_chain[p][i][3] = -1;
    }
}
}  // namespace

void winreset() {
    endlevel();
    int p = curplayer;
    if (p >= 1 && p <= MAXPLAYERS && maxlevel[p] == playerlevel[p]) unlocklevel();
    if (p >= 0) saveplayer(p);
}

void losereset() {
    endlevel();
    if (curplayer >= 0) saveplayer(curplayer);
}

void unlocklevel() {
    std::printf("unlock 1 new level\n");
    int p = curplayer;
    if (p < 1 || p > MAXPLAYERS) return;
    int m = maxlevel[p];
    ++maxlevel[p];
    ++curlevel;
    ++playerlevel[p];
    if (m + 1 >= 1 && m + 1 <= 200) levelstate[p][m + 1] = 1;
    for (int i = 1; i <= m && i <= 200; ++i)
        if (levelstate[p][i] == 0) levelstate[p][i] = 50;
}

void reset_player_data_for_new_level() {
    int p = curplayer;
    if (p >= 1 && p <= MAXPLAYERS) {
        for (int i = 0; i < BOARDSLOTS; ++i) {
            stone_kind[p][i] = -1;
            stone_chain[p][i][1] = stone_chain[p][i][2] = stone_chain[p][i][3] = -1;
        }
        levelinprogress[p] = 0;
        playseconds[p] = 0;
        levelrescued[p] = 0;
        timerbar_shown[p] = 340;
    }
    std::printf("reset_player_data_for_new_level()\n");
}
