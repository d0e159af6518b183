// Writing finished sounds: OGG Vorbis (mono or stereo) and 16-bit PCM WAV, byte for byte the same on every run.
#pragma once
#include <string>

#include "dsp.h"

namespace snd {

// Quality is libvorbisenc's VBR scale (-0.1 .. 1.0). Returns false and prints a line when the file cannot be written.
bool write_ogg(const std::string& path, const Mono& m, float quality);
bool write_ogg(const std::string& path, const Stereo& s, float quality);
bool write_wav16(const std::string& path, const Stereo& s);

}  // namespace snd
