// besttimes.ppp in the user-data folder: 200 entries of a time (-1 none) and a name of 12 characters.
#include <cstdint>
#include <cstdio>

#include "aztec/levelrun.h"
#include "storage/safefile.h"
#include "storage/settings.h"

int besttime[201];
std::string besttimename[201];

namespace {
const size_t entry_bytes = 4 + 12;

std::string besttimesfile() { return userpath + "besttimes.ppp"; }

}  // namespace

void loadbesttimes(int mode) {
    for (int i = 1; i <= 200; ++i) {
        besttime[i] = -1;
        besttimename[i].clear();
    }
    if (mode == 9999) {
        savebesttimes();
        return;
    }
    std::string bytes;
    std::string file = besttimesfile();
    if (!read_whole_file(file, bytes)) {
        std::printf("%s is missing: no best times yet\n", file.c_str());
        return;
    }
    if (bytes.size() < 200 * entry_bytes)
        std::printf("%s is short (%zu of %zu bytes): the missing entries are empty\n", file.c_str(), bytes.size(),
                    200 * entry_bytes);
    for (int i = 1; i <= 200 && (size_t)i * entry_bytes <= bytes.size(); ++i) {
        const unsigned char* b = (const unsigned char*)bytes.data() + (i - 1) * entry_bytes;
        besttime[i] = (int32_t)((uint32_t)b[0] | (uint32_t)b[1] << 8 | (uint32_t)b[2] << 16 | (uint32_t)b[3] << 24);
        besttimename[i] = trim_controls(std::string((const char*)b + 4, 12));
    }
}

void savebesttimes() {
    std::string out;
    out.reserve(200 * entry_bytes);
    for (int i = 1; i <= 200; ++i) {
        for (int k = 0; k < 4; ++k) out.push_back((char)((uint32_t)besttime[i] >> (8 * k) & 0xff));
        // Exactly 12 characters: padded with spaces, and a longer name cut so that the entries stay in place.
        std::string name = besttimename[i].substr(0, 12);
        name.resize(12, ' ');
        out += name;
    }
    write_file_safely(besttimesfile(), out);
}
