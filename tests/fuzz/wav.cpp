// WAV files: what decodes has whole frames, and writing it as 16-bit PCM reads back the same samples.
#include "fuzz.h"
#include "platform/wavfile.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    wavsound w;
    std::string error;
    if (!decode_wav_bytes(fuzz_bytes(data, size), &w, &error)) {
        FUZZ_CHECK(!error.empty());
        return 0;
    }
    FUZZ_CHECK(w.channels >= 1 && w.channels <= 8);
    FUZZ_CHECK(w.samples.size() % (size_t)w.channels == 0);
    FUZZ_CHECK(w.samples.size() <= size);
    wavsound back;
    FUZZ_CHECK(decode_wav_bytes(encode_wav(w), &back, &error));
    FUZZ_CHECK(back.channels == w.channels && back.rate == w.rate && back.samples == w.samples);
    return 0;
}
