// settings.txt: any bytes give seven values, written back as seven CR LF lines that read the same.
#include "fuzz.h"
#include "storage/settings.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    const settingsrecord r1 = decodesettings(fuzz_bytes(data, size));
    FUZZ_CHECK(r1.value[4] == -1 || (r1.value[4] >= 1 && r1.value[4] <= 15));
    const std::string e1 = encodesettings(r1);
    size_t lines = 0;
    for (size_t i = 0; i + 1 < e1.size(); ++i) lines += e1[i] == '\r' && e1[i + 1] == '\n';
    FUZZ_CHECK(lines == 7 && e1.size() >= 2 && e1.substr(e1.size() - 2) == "\r\n");
    const settingsrecord r2 = decodesettings(e1);
    FUZZ_CHECK(r2 == r1);
    FUZZ_CHECK(encodesettings(r2) == e1);
    return 0;
}
