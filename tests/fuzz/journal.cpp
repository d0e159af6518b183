// libFuzzer harness for the journal reader: any bytes give a journal, a cut journal or a plain error, and what
// was read, written again by the writer, reads back the same.
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
        const std::string again = journal_write_all(j);
        journaldata k;
        if (journal_parse((const uint8_t*)again.data(), again.size(), &k, &error) != r) __builtin_trap();
        if (k.frames != j.frames || k.checks.size() != j.checks.size() || k.header.files.size() != j.header.files.size())
            __builtin_trap();
    }
    return 0;
}
