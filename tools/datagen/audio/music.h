// The music: tracks rendered from their scores, looped seamlessly, levelled and encoded.
#pragma once
#include <string>
#include <vector>

namespace snd {

// Loudness of the music: overall RMS of each track, and the peak ceiling.
constexpr double kMusicLoudnessDb = -20.0;
constexpr double kMusicPeakDb = -1.5;

struct Track {
    const char* score;  // file under the score folder
    const char* file;   // under data/music/
    bool loop;
};

const std::vector<Track>& music_tracks();
bool write_track(const Track& t, const std::string& score_dir, const std::string& music_dir);

}  // namespace snd
