// levels.lvl: a file long enough decodes to 150 records that encode back to exactly its first 176408 bytes.
#include "aztec/levelfile.h"
#include "fuzz.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    const std::string bytes = fuzz_bytes(data, size);
    catalogue c1;
    const bool ok = decodecatalogue(bytes, &c1, nullptr);
    FUZZ_CHECK(ok == (size >= (size_t)levelfile_bytes));
    if (!ok) return 0;
    FUZZ_CHECK(c1.levels.size() == CATALOGUE_LEVELS);
    const std::string e1 = encodecatalogue(c1);
    FUZZ_CHECK(e1 == bytes.substr(0, (size_t)levelfile_bytes));
    // With nothing past the catalogue, e1 is the input itself and decodes to c1 again by the check above.
    if (size == (size_t)levelfile_bytes) return 0;
    catalogue c2;
    FUZZ_CHECK(decodecatalogue(e1, &c2, nullptr));
    FUZZ_CHECK(c2 == c1);
    return 0;
}
