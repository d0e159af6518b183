// Text tables: any bytes give a table whose texts and sections stay within their bounds.
#include <memory>

#include "fuzz.h"
#include "texts/texttables.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    static auto t = std::make_unique<TextTable>();
    const std::string bytes = fuzz_bytes(data, size);
    for (int story = 0; story <= 1; ++story) {
        const int lines = story ? 1000 : 300;
        parsetexttable(bytes, lines, story ? 0 : 1, *t);
        FUZZ_CHECK(t->lines == lines);
        for (int i = 1; i <= lines; ++i) {
            FUZZ_CHECK(t->text[i].size() <= (size_t)TEXTLINE_MAX);
            FUZZ_CHECK(t->prefix[i].size() <= 13);
        }
        for (int s = 0; s <= 100; ++s) FUZZ_CHECK(t->sectionstart[s] >= 0 && t->sectionstart[s] <= lines);
    }
    return 0;
}
