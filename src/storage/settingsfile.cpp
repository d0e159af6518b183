// The settings file format: seven values, one per CR LF line.
#include <algorithm>
#include <climits>

#include "storage/settings.h"

namespace {
const int setting_default[7] = {1, 1, 280, 280, -1, 1, -1};
}  // namespace

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

settingsrecord defaultsettings() {
    settingsrecord r;
    for (int i = 0; i < 7; ++i) r.value[i] = setting_default[i];
    return r;
}

settingsrecord decodesettings(const std::string& bytes) {
    settingsrecord r = defaultsettings();
    size_t at = 0;
    for (int i = 0; i < 7 && at < bytes.size(); ++i) {
        size_t end = bytes.find('\n', at);
        if (end == std::string::npos) end = bytes.size();
        // A number never needs more than a few dozen characters; the rest of a long line is not looked at.
        std::string line = bytes.substr(at, std::min(end - at, (size_t)64));
        if (!line.empty() && line.back() == '\r') line.pop_back();
        r.value[i] = readint(line);
        at = end + 1;
    }
    // The current player indexes the profile tables: anything but a slot 1..15 means none.
    if (r.value[4] < 1 || r.value[4] > 15) r.value[4] = -1;
    return r;
}

std::string encodesettings(const settingsrecord& r) {
    std::string text;
    for (int i = 0; i < 7; ++i) text += std::to_string(r.value[i]) + "\r\n";
    return text;
}

