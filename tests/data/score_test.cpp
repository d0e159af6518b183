// The music generator's score reader: notes land on the beats written, and a mistake in a score is named with its
// line instead of shifting the rest of the piece.
#include <gtest/gtest.h>

#include <vorbis/vorbisfile.h>

#include <algorithm>
#include <cmath>
#include <fstream>
#include <iterator>

#include "encode.h"
#include "score.h"
#include "support/headless.h"

namespace {

std::vector<snd::Note> of(const snd::Score& s, const std::string& instrument) {
    std::vector<snd::Note> out;
    for (const auto& n : s.notes)
        if (n.instrument == instrument) out.push_back(n);
    std::sort(out.begin(), out.end(), [](const auto& a, const auto& b) { return a.beat < b.beat; });
    return out;
}

std::string fails(const std::string& text) {
    snd::Score s;
    std::string error;
    EXPECT_FALSE(snd::parse_score(text, s, error)) << text;
    return error;
}

}  // namespace

TEST(Score, NotesTiesRestsAndSectionsLandOnTheirBeats) {
    const char* text =
        "tempo 120\n"
        "meter 4   # four beats\n"
        "section A\n"
        "chords | C . . . | F#m . G/B . |\n"
        "melody flute 0.5 | C5/2 ~/2 r/2 F#5/2 | Bb4/8 |\n"
        "bass 0.5 | R/4 5/4 |\n"
        "drums 0.5 | L . . . . . . . M . . . . . . . |\n"
        "section B\n"
        "chords | . . . . |\n";
    snd::Score s;
    std::string error;
    // A section may not open on a held chord: nothing would be sounding.
    EXPECT_FALSE(snd::parse_score(std::string(text) + "play A B\n", s, error));
    EXPECT_NE(error.find("line 9"), std::string::npos) << error;

    std::string good = std::string(text).replace(std::string(text).find("| . . . . |"), 11, "| Am . . . |") +
                       "play A B A\n";
    snd::Score t;
    ASSERT_TRUE(snd::parse_score(good, t, error)) << error;
    EXPECT_EQ(t.total_beats, 20);  // 2 + 1 + 2 bars of four

    auto flute = of(t, "flute");
    ASSERT_EQ(flute.size(), 6u);  // three notes a turn of A, twice
    EXPECT_EQ(flute[0].beat, 0);
    EXPECT_EQ(flute[0].beats, 2);  // a quarter tied to a quarter
    EXPECT_EQ(flute[0].midi, 72);
    EXPECT_EQ(flute[1].beat, 3);  // after the rest
    EXPECT_EQ(flute[1].midi, 78);  // F#5: the sharp is a note, not a comment
    EXPECT_EQ(flute[2].midi, 70);
    EXPECT_EQ(flute[3].beat, 12);  // A again after B

    // The bass follows the chords: C root, then the fifth of C; F#m root, and G/B keeps its B in the bass.
    auto bass = of(t, "bass");
    ASSERT_GE(bass.size(), 4u);
    EXPECT_EQ(bass[0].midi, 36 + 0);
    EXPECT_EQ(bass[1].midi, 36 + 7);
    EXPECT_EQ(bass[2].midi, 36 + 6);
    EXPECT_EQ(bass[3].midi, 36 + 11);
    EXPECT_EQ(bass[3].beat, 6);

    auto low = of(t, "drum0"), mid = of(t, "drum1");
    ASSERT_EQ(low.size(), 4u);  // once a bar of A, twice two bars
    EXPECT_EQ(mid[0].beat, 2);
}

TEST(Score, MistakesAreNamedWithTheirLine) {
    const std::string head = "tempo 100\nmeter 4\nsection A\nchords | C . . . |\n";
    EXPECT_NE(fails(head + "melody flute 0.5 | C5/2 D5/2 E5/2 |\nplay A\n").find("line 5"), std::string::npos);
    EXPECT_NE(fails(head + "melody flute 0.5 | C5/2 D5/2 E5/2 F5/4 |\nplay A\n").find("line 5"), std::string::npos);
    EXPECT_NE(fails(head + "melody flute 0.5 | H5/8 |\nplay A\n").find("H5"), std::string::npos);
    EXPECT_NE(fails(head + "melody tuba 0.5 | C5/8 |\nplay A\n").find("line 5"), std::string::npos);
    EXPECT_NE(fails("section A\nchords | Cxyz . . . |\nplay A\n").find("Cxyz"), std::string::npos);
    EXPECT_NE(fails(head + "play A B\n").find("B"), std::string::npos);
    EXPECT_NE(fails(head).find("play"), std::string::npos);
    EXPECT_FALSE(fails("tempo 0\n").empty());
    EXPECT_FALSE(fails(head + "arp marimba 0.5 | 0 1 2 |\nplay A\n").empty());
    EXPECT_FALSE(fails(head + "drums 0.5 | L . . |\nplay A\n").empty());
    snd::Score s;
    std::string error;
    EXPECT_FALSE(snd::read_score("/nonexistent/score.score", s, error));
    EXPECT_NE(error.find("cannot read"), std::string::npos);
}

TEST(Score, ALoopIsExactlyOneTurnAndWhatRingsPastTheEndComesInAtTheStart) {
    snd::Score s;
    std::string error;
    ASSERT_TRUE(snd::parse_score("tempo 120\nmeter 4\nsection A\nchords | C . . . |\n"
                                 "melody kalimba 0.8 | r/6 C5/2 |\nplay A\n",
                                 s, error))
        << error;
    snd::Stereo out = snd::render_score(s, 1);
    ASSERT_EQ(out.size(), snd::secs(2.0));  // one bar of four beats at 120
    // The kalimba struck on the last beat is still ringing when the loop starts again.
    double head = 0;
    for (size_t i = 0; i < 2000; ++i) head = std::max(head, (double)std::abs(out.l[i]));
    EXPECT_GT(head, 0.01);
    EXPECT_LT(std::abs(out.l.front() - out.l.back()), 0.05);
}

// The encoder keeps every sample of a loop (no padding that would leave a gap at the loop point) and writes the
// same bytes for the same sound.
TEST(Score, EncodedLoopKeepsItsLengthAndItsBytes) {
    std::string dir = temp_folder("audio_encode");
    snd::Stereo s(snd::secs(1.0));
    for (size_t i = 0; i < s.size(); ++i) {  // 441 whole turns of 441 Hz: periodic over the buffer
        s.l[i] = (float)(0.4 * std::sin(2 * M_PI * 441.0 * i / snd::kRate));
        s.r[i] = s.l[i] * 0.5f;
    }
    ASSERT_TRUE(snd::write_ogg(dir + "a.ogg", s, 0.4f));
    ASSERT_TRUE(snd::write_ogg(dir + "b.ogg", s, 0.4f));
    OggVorbis_File vf;
    ASSERT_EQ(ov_fopen((dir + "a.ogg").c_str(), &vf), 0);
    EXPECT_EQ(ov_pcm_total(&vf, -1), (ogg_int64_t)s.size());
    EXPECT_EQ(ov_info(&vf, -1)->channels, 2);
    ov_clear(&vf);
    std::ifstream a(dir + "a.ogg", std::ios::binary), b(dir + "b.ogg", std::ios::binary);
    std::string ba((std::istreambuf_iterator<char>(a)), {}), bb((std::istreambuf_iterator<char>(b)), {});
    EXPECT_FALSE(ba.empty());
    EXPECT_EQ(ba, bb);
    EXPECT_FALSE(snd::write_ogg("/nonexistent/folder/c.ogg", s, 0.4f));
}
