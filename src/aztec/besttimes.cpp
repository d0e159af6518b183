// besttimes.ppp in the user-data folder: 200 entries of a time (-1 none) and a name of 12 characters.
#include <cstdint>
#include <cstdio>

#include "aztec/levelrun.h"
#include "platform/readfile.h"
#include "platform/userfile.h"
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
    readresult got = read_user_file(file, bytes, 1 << 16);
    if (got != READ_OK) {
        std::printf("%s %s: no best times yet\n", file.c_str(), read_result_text(got));
        return;
    }
    besttimesrecord r;
    if (!decodebesttimes(bytes, &r))
        std::printf("%s is short (%zu of %zu bytes): the missing entries are empty\n", file.c_str(), bytes.size(),
                    200 * entry_bytes);
    for (int i = 1; i <= 200; ++i) {
        besttime[i] = r.time[i - 1];
        besttimename[i] = r.name[i - 1];
    }
}

void savebesttimes() {
    besttimesrecord r;
    for (int i = 1; i <= 200; ++i) {
        r.time[i - 1] = besttime[i];
        r.name[i - 1] = besttimename[i];
    }
    write_file_safely(besttimesfile(), encodebesttimes(r));
}
