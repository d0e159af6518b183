// besttimes.ppp: any bytes give 200 entries; the 3200-byte file reads back the same.
#include "aztec/levelrun.h"
#include "fuzz.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    const std::string bytes = fuzz_bytes(data, size);
    besttimesrecord r1;
    const bool whole = decodebesttimes(bytes, &r1);
    FUZZ_CHECK(whole == (size >= 3200));
    const std::string e1 = encodebesttimes(r1);
    FUZZ_CHECK(e1.size() == 3200);
    besttimesrecord r2;
    FUZZ_CHECK(decodebesttimes(e1, &r2));
    FUZZ_CHECK(r2 == r1);  // and so encodebesttimes(r2) == e1: the record compares every entry
    return 0;
}
