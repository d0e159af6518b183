#include "storage/settings.h"

#include <sys/stat.h>

#include <cstdio>
#include <cstdlib>
#include <filesystem>

#include "platform/audio.h"
#include "platform/paths.h"
#include "platform/readfile.h"
#include "storage/safefile.h"

std::string userpath;
int newuserfolder = 0;
int fullscreen = 1, displaymode = 1, musicvolume = 280, soundvolume = 280, curplayer = -1, bganimation = 1,
    customcursor = -1;
int displayoverride = -1;

namespace {
bool folder_exists(const std::string& p) {
    struct stat st;
    return stat(p.c_str(), &st) == 0;
}

bool create_folder(const std::string& p) {
    std::error_code ec;
    std::filesystem::create_directories(p, ec);
    return folder_exists(p);
}

int* const setting[7] = {&fullscreen, &displaymode, &musicvolume, &soundvolume, &curplayer, &bganimation,
                         &customcursor};
int storedfullscreen = 1;  // what the file says while displayoverride holds
}  // namespace

std::string specialfolderpath(int) {
    const char* xdg = std::getenv("XDG_DATA_HOME");
    if (xdg && xdg[0] == '/') {
        std::string p = xdg;
        if (p.back() != '/') p += '/';
        return p;
    }
    const char* home = std::getenv("HOME");
    if (home && home[0]) {
        std::string p = home;
        if (p.back() != '/') p += '/';
        return p + ".local/share/";
    }
    return {};
}

void makepath() {
    newuserfolder = 0;
    userpath = specialfolderpath(35) + "Corvantis/" + "Ombrivale" + "-v-0-0-10/";
    if (!folder_exists(userpath)) {
        create_folder(userpath);
        newuserfolder = 1;
    }
    if (!folder_exists(userpath)) {
        newuserfolder = 0;
        // In the working folder, never beside the game's own data: an installed game's tree is not the player's.
        std::error_code ec;
        std::string here = std::filesystem::current_path(ec).string();
        userpath = (ec || here.empty() ? std::string(".") : here) + "/data/saves/";
        if (!folder_exists(userpath)) {
            create_folder(userpath);
            newuserfolder = 1;
        }
    }
    std::printf("%s\n", userpath.c_str());
}

void loadsettings() {
    std::string bytes;
    readresult got = read_file(userpath + "settings.txt", bytes, 1 << 16);
    if (got != READ_OK)
        std::printf("settings.txt %s in %s: default settings used\n", read_result_text(got), userpath.c_str());
    settingsrecord r = decodesettings(bytes);
    for (int i = 0; i < 7; ++i) *setting[i] = r.value[i];
    musicvolnow = musicvolume;
    storedfullscreen = fullscreen;
    if (displayoverride == 0 || displayoverride == 1) fullscreen = displayoverride;
}

void savesettings(int defaults) {
    if (defaults == 1)
        for (int i = 0; i < 7; ++i) *setting[i] = defaultsettings().value[i];
    settingsrecord r;
    bool held = defaults != 1 && (displayoverride == 0 || displayoverride == 1);
    for (int i = 0; i < 7; ++i) r.value[i] = i == 0 && held ? storedfullscreen : *setting[i];
    write_file_safely(userpath + "settings.txt", encodesettings(r));
}
