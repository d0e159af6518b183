#include "music.h"

#include <cstdio>
#include <cstring>

#include "encode.h"
#include "score.h"

namespace snd {

const std::vector<Track>& music_tracks() {
    static const std::vector<Track> tracks = {
        {"title.score", "title.ogg", true}, {"game1.score", "game1.ogg", true}, {"game2.score", "game2.ogg", true},
        {"game3.score", "game3.ogg", true}, {"rain.score", "rain.ogg", true},   {"story.score", "story.ogg", true},
        {"win.score", "win.wav", false},
    };
    return tracks;
}

bool write_track(const Track& t, const std::string& score_dir, const std::string& music_dir) {
    Score s;
    std::string error;
    if (!read_score(score_dir + "/" + t.score, s, error)) {
        std::printf("audiogen: %s\n", error.c_str());
        return false;
    }
    if (s.loop != t.loop) {
        std::printf("audiogen: %s should%s loop\n", t.score, t.loop ? "" : " not");
        return false;
    }
    uint64_t seed = 0;
    for (const char* c = t.score; *c; ++c) seed = seed * 131 + (unsigned char)*c;
    Stereo out = render_score(s, seed);
    normalise_track(out, kMusicLoudnessDb, kMusicPeakDb);
    const std::string path = music_dir + "/" + t.file;
    if (std::strstr(t.file, ".wav")) return write_wav16(path, out);
    return write_ogg(path, out, 0.4f);
}

}  // namespace snd
