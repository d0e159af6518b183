#include "support/headless.h"

#include <unistd.h>

#include <filesystem>

void headless() {
    static bool open = false;
    if (open) return;
    harness_open(OMBRIVALE_BUILD_DIR);
    open = true;
}

std::string temp_folder(const std::string& name) {
    namespace fs = std::filesystem;
    fs::path p = fs::temp_directory_path() / ("ombrivale-test-" + std::to_string(getpid()) + "-" + name);
    fs::remove_all(p);
    fs::create_directories(p);
    return p.string() + "/";
}

std::string build_dir() { return OMBRIVALE_BUILD_DIR; }
