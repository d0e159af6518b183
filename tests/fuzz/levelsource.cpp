// Level sources (assets/levels): what parses formats to a text that parses to the same record.
#include "aztec/levelsource.h"
#include "fuzz.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    levelrecord r1;
    std::string error;
    if (!parselevelsource(fuzz_bytes(data, size), "fuzz", &r1, &error)) {
        FUZZ_CHECK(!error.empty());
        return 0;
    }
    const std::string text = formatlevelsource(r1);
    levelrecord r2;
    FUZZ_CHECK(parselevelsource(text, "formatted", &r2, &error));
    FUZZ_CHECK(r2 == r1);
    FUZZ_CHECK(formatlevelsource(r2) == text);
    return 0;
}
