#include "screens/splashconfig.h"

#include <algorithm>
#include <cerrno>
#include <cstdlib>

namespace {
// Whole number at the start of a value ("150", "-3", " 42"); anything else reads as 0.
int parseint(const std::string& s) {
    errno = 0;
    long v = std::strtol(s.c_str(), nullptr, 10);
    if (errno == ERANGE) return v < 0 ? -1 : 1 << 30;
    return (int)std::clamp(v, -(1L << 30), 1L << 30);
}

}  // namespace

splashconfig parsesplashconfig(const std::string& bytes) {
    splashconfig c;
    int page = 1, last = 1;
    size_t at = 0;
    for (int n = 0; n < MAXPAGES && at < bytes.size(); ++n) {
        size_t end = bytes.find('\n', at);
        if (end == std::string::npos) end = bytes.size();
        // A file name or a number is short: a longer line is cut before it is looked at.
        std::string line = bytes.substr(at, std::min(end - at, (size_t)SPLASHLINE_MAX));
        at = end + 1;
        line.erase(std::remove(line.begin(), line.end(), '\r'), line.end());
        std::string key = line.substr(0, 4);
        std::string value = line.size() > 5 ? line.substr(5) : std::string();
        if (key == "file") {
            c.file[page] = value;
        } else if (key == "time") {
            c.time[page] = parseint(value);
        } else if (key == "skip") {
            c.skip[page] = value == "true" ? 1 : 0;
        } else if (key == ";---" && page < MAXPAGES) {
            last = ++page;
        }
    }
    for (int p = 1; p <= last; ++p)
        if (c.file[p] != "none") ++c.count;
    return c;
}

