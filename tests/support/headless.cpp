#include "support/headless.h"

#include "app/shell.h"
#include "aztec/catalogue.h"
#include "aztec/levelrun.h"
#include "aztec/winlose.h"
#include "storage/players.h"
#include "storage/settings.h"
#include "texts/texttables.h"
#include "ui/popups.h"

#include <unistd.h>

#include <filesystem>
#include <fstream>
#include <iterator>

void headless() {
    static bool open = false;
    if (open) return;
    harness_open(OMBRIVALE_BUILD_DIR);
    open = true;
}

void resident_media() {
    static bool loaded = false;
    if (!loaded) {
        instmain();
        loaded = true;
    }
    readmenutexts();
    readstorytexts();
    readgametexts();
    load_all_levels();
}

std::string temp_folder(const std::string& name) {
    namespace fs = std::filesystem;
    fs::path p = fs::temp_directory_path() / ("ombrivale-test-" + std::to_string(getpid()) + "-" + name);
    fs::remove_all(p);
    fs::create_directories(p);
    return p.string() + "/";
}

std::string build_dir() { return OMBRIVALE_BUILD_DIR; }

std::string file_bytes(const std::string& path) {
    std::ifstream f(path, std::ios::binary);
    return std::string((std::istreambuf_iterator<char>(f)), std::istreambuf_iterator<char>());
}

void time_level_nine(const std::string& folder) {
    userpath = temp_folder(folder);
    curplayer = 1;
    playlevel = curlevel = 9;
    level_type[9] = 1;
    level_challenge[9] = 1;
    level_time3[9] = 60;
    level_time2[9] = 90;
    playdifficulty[1] = 3;
    wincount = losecount = 0;
    popupfade = popupkind = 0;
    paused = -1;
}
