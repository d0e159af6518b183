#include "storage/settings.h"

#include <sys/stat.h>

#include <cerrno>
#include <cstdio>
#include <cstring>
#include <cstdlib>
#include <filesystem>
#include <vector>

#include "platform/audio.h"
#include "platform/paths.h"
#include "platform/readfile.h"
#include "platform/userfile.h"
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

namespace {
// True when `path` is `tree` or lies under it, both taken with links resolved.
bool inside_tree(const std::string& path, const std::string& tree) {
    std::error_code ec;
    std::filesystem::path p = std::filesystem::weakly_canonical(path, ec);
    if (ec) return false;
    std::filesystem::path t = std::filesystem::weakly_canonical(tree, ec);
    if (ec || t.empty()) return false;
    std::string ps = p.string() + "/", ts = t.string();
    if (ts.back() != '/') ts += '/';
    return ps.compare(0, ts.size(), ts) == 0;
}

std::string working_folder() {
    std::error_code ec;
    std::string here = std::filesystem::current_path(ec).string();
    return ec ? std::string() : here;
}
}  // namespace

int userfolderusable = 0;

void makepath() {
    newuserfolder = 0;
    userfolderusable = 0;
    const std::string sub = std::string("Corvantis/") + "Ombrivale" + "-v-0-0-10/";
    // The data folder the desktop names, then the default one under the home folder, then the working folder,
    // but never inside the game's own tree (its data or its binary's folder): an installed game's files are not
    // the player's, and a game run from its build folder must not write into its data.
    std::vector<std::string> tries;
    const std::string first = specialfolderpath(35);
    if (!first.empty()) tries.push_back(first + sub);
    const char* home = std::getenv("HOME");
    if (home && home[0] == '/') {
        std::string d = std::string(home) + (std::string(home).back() == '/' ? "" : "/") + ".local/share/" + sub;
        if (tries.empty() || d != tries[0]) tries.push_back(d);
    }
    const std::string here = working_folder();
    if (!here.empty() && !inside_tree(here, basedir) && !inside_tree(here, executable_folder()))
        tries.push_back(here + (here.back() == '/' ? "" : "/") + "data/saves/");
    for (const std::string& t : tries) {
        bool existed = folder_exists(t);
        if (make_private_folder(t)) {
            userpath = t;
            newuserfolder = existed ? 0 : 1;
            userfolderusable = 1;
            std::printf("%s\n", userpath.c_str());
            return;
        }
        std::printf("the folder %s cannot be made (%s)\n", t.c_str(), std::strerror(errno));
    }
    // Nothing can hold the player's files: every save fails (and says so) rather than landing somewhere else.
    userpath = tries.empty() ? std::string("/dev/null/") + sub : tries[0];
    std::printf("no folder for the player's files can be made: nothing will be saved\n");
    std::printf("%s\n", userpath.c_str());
}

void loadsettings() {
    std::string bytes;
    readresult got = read_user_file(userpath + "settings.txt", bytes, 1 << 16);
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
