// The splash configuration: any bytes give at most 29 pages with bounded names.
#include "fuzz.h"
#include "screens/splashconfig.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    const splashconfig c = parsesplashconfig(fuzz_bytes(data, size));
    FUZZ_CHECK(c.count >= 0 && c.count <= MAXPAGES);
    for (int p = 0; p <= MAXPAGES + 1; ++p) {
        FUZZ_CHECK(c.file[p].size() <= SPLASHLINE_MAX);
        FUZZ_CHECK(c.skip[p] == 0 || c.skip[p] == 1);
    }
    return 0;
}
