#include "storage/settings.h"

#include <sys/stat.h>

#include <climits>
#include <cstdio>
#include <cstdlib>
#include <filesystem>

#include "platform/audio.h"
#include "platform/paths.h"
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
const int setting_default[7] = {1, 1, 280, 280, -1, 1, -1};
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

int readint(const std::string& line) {
    size_t i = 0;
    while (i < line.size() && line[i] == ' ') ++i;
    bool negative = false;
    if (i < line.size() && (line[i] == '-' || line[i] == '+')) negative = line[i++] == '-';
    long long v = 0;
    while (i < line.size() && line[i] >= '0' && line[i] <= '9') {
        if (v <= INT_MAX) v = v * 10 + (line[i] - '0');
        ++i;
    }
    if (negative) v = -v;
    if (v > INT_MAX) return INT_MAX;
    if (v < INT_MIN) return INT_MIN;
    return (int)v;
}

void loadsettings() {
    for (int i = 0; i < 7; ++i) *setting[i] = setting_default[i];
    std::string bytes;
    if (!read_whole_file(userpath + "settings.txt", bytes)) {
        std::printf("settings.txt missing in %s: default settings used\n", userpath.c_str());
    } else {
        size_t at = 0;
        for (int i = 0; i < 7 && at < bytes.size(); ++i) {
            size_t end = bytes.find('\n', at);
            if (end == std::string::npos) end = bytes.size();
            std::string line = bytes.substr(at, end - at);
            if (!line.empty() && line.back() == '\r') line.pop_back();
            *setting[i] = readint(line);
            at = end + 1;
        }
    }
    // The current player indexes the profile tables: anything but a slot 1..15 means none.
    if (curplayer < 1 || curplayer > 15) curplayer = -1;
    musicvolnow = musicvolume;
    storedfullscreen = fullscreen;
    if (displayoverride == 0 || displayoverride == 1) fullscreen = displayoverride;
}

void savesettings(int defaults) {
    if (defaults == 1)
        for (int i = 0; i < 7; ++i) *setting[i] = setting_default[i];
    std::string text;
    bool held = defaults != 1 && (displayoverride == 0 || displayoverride == 1);
    for (int i = 0; i < 7; ++i) text += std::to_string(i == 0 && held ? storedfullscreen : *setting[i]) + "\r\n";
    write_file_safely(userpath + "settings.txt", text);
}
