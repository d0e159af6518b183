#include "support/headless.h"

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
