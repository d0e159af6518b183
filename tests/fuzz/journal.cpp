// libFuzzer harness for the journal reader: any bytes give a journal, a cut journal or a plain error.
#include <cstddef>
#include <cstdint>
#include <string>

#include "app/journal.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    journaldata j;
    std::string error;
    int r = journal_parse(data, size, &j, &error);
    if (r != JOURNAL_COMPLETE && error.empty()) __builtin_trap();
    if (r != JOURNAL_BAD) {
        long frames = 0;
        for (const jrun& run : j.runs) frames += run.count;
        if (frames != j.frames) __builtin_trap();
    }
    return 0;
}
