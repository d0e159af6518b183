// The test binary ends by returning from main, and the static destructors free the mixer's channel list while
// SDL's audio thread may still be mixing it (a crash in that thread after every test passed). Close the device
// once all tests have run, as the game's own exit does.
#include <gtest/gtest.h>

#include "platform/mixer.h"

namespace {
struct CloseAudioAtEnd : ::testing::Environment {
    void TearDown() override { mixer_close_device(); }
};
::testing::Environment* const closeaudio = ::testing::AddGlobalTestEnvironment(new CloseAudioAtEnd);
}  // namespace
