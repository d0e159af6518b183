// The sound bank: every effect the game plays, each made from the instruments and bodies of instruments.h.
#pragma once
#include <string>
#include <vector>

#include "dsp.h"

namespace snd {

// Loudness of the bank: each effect's loudest 50 ms reach this RMS (plus the effect's own trim), peaks stay under
// the ceiling. The looping fire ambience sits lower, under the menu music.
constexpr double kEffectLoudnessDb = -14.0;
constexpr double kAmbienceLoudnessDb = -23.0;
constexpr double kPeakCeilingDb = -1.5;

struct Effect {
    const char* file;  // under data/sound/
    Mono (*make)();
    double trim_db;    // small per-effect correction of the bank's loudness
    bool loop;         // a loop is levelled on its overall RMS and has no fades at its ends
};

const std::vector<Effect>& effect_bank();
// Renders, levels and writes one effect; false when the file could not be written.
bool write_effect(const Effect& e, const std::string& sound_dir);

}  // namespace snd
