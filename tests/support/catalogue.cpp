#include "support/catalogue.h"

#include <cstdint>
#include <filesystem>
#include <fstream>

TestLevel::TestLevel() {
    for (int i = 0; i <= 144; ++i) code[i] = chain[i] = -1;
}

std::vector<TestLevel> blank_levels() { return std::vector<TestLevel>(151); }

std::string write_levels(const std::string& base, const std::vector<TestLevel>& levels, long bytes) {
    std::string out;
    auto put = [&out](int32_t v) {
        for (int i = 0; i < 4; ++i) out.push_back((char)((uint32_t)v >> (8 * i) & 0xff));
    };
    put(7);
    put(150);
    for (int n = 1; n <= 150; ++n) {
        const TestLevel& l = levels[n];
        for (int c = 1; c <= 144; ++c) {
            put(l.code[c]);
            put(l.chain[c]);
        }
        for (int v : {l.challenge, l.type, l.time3, l.time2, l.moves3, l.moves2}) put(v);
    }
    if (bytes >= 0 && bytes < (long)out.size()) out.resize(bytes);
    std::filesystem::create_directories(base + "/data/levelz");
    std::string path = base + "/data/levelz/levels.lvl";
    std::ofstream(path, std::ios::binary).write(out.data(), (std::streamsize)out.size());
    return path;
}
