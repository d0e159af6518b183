// Shared by the loader fuzz harnesses: each harness defines LLVMFuzzerTestOneInput over one loader's pure entry
// point and checks what must hold for every input (round trips, bounds). A failed check aborts, which libFuzzer
// and the corpus replay both report as a finding.
#pragma once
#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <string>

#define FUZZ_CHECK(cond)                                                                          \
    do {                                                                                          \
        if (!(cond)) {                                                                            \
            std::fprintf(stderr, "fuzz check failed: %s (%s:%d)\n", #cond, __FILE__, __LINE__); \
            std::abort();                                                                         \
        }                                                                                         \
    } while (0)

inline std::string fuzz_bytes(const uint8_t* data, size_t size) { return std::string((const char*)data, size); }
