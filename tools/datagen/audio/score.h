// Scores: the hand-written text form of a piece (tempo, sections of chords, melodies and accompaniment patterns,
// and the order in which the sections play), and the arranger that turns one into notes.
//
//   tempo 96                     quarter notes a minute
//   meter 4                      beats a bar
//   swing 0.1                    late off-beat eighths, as a share of an eighth
//   loop yes|no                  a loop wraps every ring-out round to its start
//   ambience rain 0.5            a bed under the music (rain)
//   # a comment, from a "#" at the start of a line or after a space
//   section A
//   chords | C . Am . | F . G . |        one symbol or "." (hold) per beat
//   melody flute 0.8 | E5/2 D5/1 C5/1 r/4 | ...   notes or r (rest) with their length in eighths; "~" ties on
//   counter kalimba 0.5 | ...            a second melodic line, same form
//   pad 0.4                              held chords
//   arp marimba 0.5 | 0 2 1 2 3 2 1 2 |  chord tones (0 = lowest) or "-" per eighth, one bar, repeated
//   bass 0.6 | R/3 R/1 5/2 8/2 |          R root, 3 third, 5 fifth, 8 octave, r rest; lengths in eighths; one bar
//   drums 0.5 | L . . M . . S . | ...     per sixteenth: L low, M mid, S slap, H high, "." nothing; one bar
//   shaker 0.3 | . . x . o . x . |        per sixteenth: x full, o soft
//   play A A B A
#pragma once
#include <string>
#include <vector>

#include "dsp.h"

namespace snd {

struct Note {
    double beat;    // from the start of the piece
    double beats;   // held for
    double midi;
    double vel;
    std::string instrument;  // flute, kalimba, marimba, bell, pad, bass, drum0..3, shaker
    double pan;
};

struct Score {
    double tempo = 96;
    int meter = 4;
    double swing = 0;
    bool loop = true;
    std::string ambience;
    double ambience_level = 0;
    double total_beats = 0;
    std::vector<Note> notes;
};

// Reads and arranges a score. On a mistake returns false with a message naming the line.
bool read_score(const std::string& path, Score& out, std::string& error);
bool parse_score(const std::string& text, Score& out, std::string& error);

// Renders the arranged notes to stereo (loops come out exactly one turn long and periodic).
Stereo render_score(const Score& s, uint64_t seed);

}  // namespace snd
