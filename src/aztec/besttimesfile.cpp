// The best-times file format: 200 entries of a time and a 12-character name.
#include <cstdint>

#include "aztec/levelrun.h"
#include "storage/safefile.h"

namespace {
const size_t entry_bytes = 4 + 12;
}  // namespace

besttimesrecord blankbesttimes() {
    besttimesrecord r;
    for (int i = 0; i < 200; ++i) {
        r.time[i] = -1;
        r.name[i].clear();
    }
    return r;
}

bool decodebesttimes(const std::string& bytes, besttimesrecord* out) {
    besttimesrecord r = blankbesttimes();
    for (int i = 0; i < 200 && (size_t)(i + 1) * entry_bytes <= bytes.size(); ++i) {
        const unsigned char* b = (const unsigned char*)bytes.data() + (size_t)i * entry_bytes;
        r.time[i] = (int32_t)((uint32_t)b[0] | (uint32_t)b[1] << 8 | (uint32_t)b[2] << 16 | (uint32_t)b[3] << 24);
        r.name[i] = trim_controls(std::string((const char*)b + 4, 12));
    }
    *out = r;
    return bytes.size() >= 200 * entry_bytes;
}

std::string encodebesttimes(const besttimesrecord& r) {
    std::string out;
    out.reserve(200 * entry_bytes);
    for (int i = 0; i < 200; ++i) {
        for (int k = 0; k < 4; ++k) out.push_back((char)((uint32_t)r.time[i] >> (8 * k) & 0xff));
        // Exactly 12 characters: padded with spaces, and a longer name cut so that the entries stay in place.
        std::string name = r.name[i].substr(0, 12);
        name.resize(12, ' ');
        out += name;
    }
    return out;
}

