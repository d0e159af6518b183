// Player profiles: any bytes decode to a usable record, and records survive the file unchanged.
#include "fuzz.h"
#include "storage/players.h"
#include "storage/safefile.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    const std::string bytes = fuzz_bytes(data, size);
    profilerecord r1;
    const bool sound = decodeprofile(bytes, &r1, nullptr);
    FUZZ_CHECK(r1.name.size() <= PROFILE_NAME_MAX);
    FUZZ_CHECK(r1.difficulty >= 1 && r1.difficulty <= 4 && r1.level >= 0 && r1.level <= 200);
    const std::string e1 = encodeprofile(r1);
    FUZZ_CHECK(e1.size() == PROFILE_BYTES + r1.name.size());
    profilerecord r2;
    FUZZ_CHECK(decodeprofile(e1, &r2, nullptr));
    FUZZ_CHECK(r2 == r1);  // and so encodeprofile(r2) == e1: the record compares every field
    // A sound file the game itself could have written comes back byte for byte.
    if (sound && size >= PROFILE_BYTES) {
        const uint8_t* n = data + PROFILE_BYTES - 4;
        const int32_t len = (int32_t)((uint32_t)n[0] | (uint32_t)n[1] << 8 | (uint32_t)n[2] << 16 | (uint32_t)n[3] << 24);
        if (len >= 0 && size == PROFILE_BYTES + (size_t)len &&
            trim_controls(bytes.substr(PROFILE_BYTES)) == bytes.substr(PROFILE_BYTES))
            FUZZ_CHECK(e1 == bytes);
    }
    return 0;
}
