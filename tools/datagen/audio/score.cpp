#include "score.h"

#include <algorithm>
#include <cctype>
#include <fstream>
#include <map>
#include <sstream>

#include "instruments.h"

namespace snd {

namespace {

struct Line {
    std::string instrument;
    double level = 0;
    std::vector<std::string> tokens;  // with "|" kept as bar marks
};

struct Section {
    std::vector<std::string> chords;  // one per beat
    std::vector<Line> melodies;
    double pad = 0;
    Line arp, bass, drums, shaker;
    int bars = 0;
};

std::vector<std::string> split(const std::string& s) {
    std::vector<std::string> out;
    std::istringstream in(s);
    for (std::string t; in >> t;) out.push_back(t);
    return out;
}

// "C", "F#", "Bb" followed by an octave: the MIDI note number, or -1.
int note_number(const std::string& s) {
    static const int pcs[7] = {9, 11, 0, 2, 4, 5, 7};  // A..G
    if (s.empty() || s[0] < 'A' || s[0] > 'G') return -1;
    int pc = pcs[s[0] - 'A'];
    size_t i = 1;
    if (i < s.size() && s[i] == '#') pc++, i++;
    else if (i < s.size() && s[i] == 'b') pc--, i++;
    if (i >= s.size()) return -1;
    try {
        size_t used = 0;
        int oct = std::stoi(s.substr(i), &used);
        if (i + used != s.size()) return -1;
        return 12 * (oct + 1) + pc;
    } catch (...) {
        return -1;
    }
}

struct Chord {
    int root = 0;  // pitch class
    int bass = 0;  // pitch class of the bass note
    std::vector<int> intervals;
};

bool parse_chord(const std::string& s, Chord& c) {
    static const std::map<std::string, std::vector<int>> qualities = {
        {"", {0, 4, 7}},           {"m", {0, 3, 7}},           {"7", {0, 4, 7, 10}},      {"maj7", {0, 4, 7, 11}},
        {"m7", {0, 3, 7, 10}},     {"sus2", {0, 2, 7}},        {"sus4", {0, 5, 7}},       {"add9", {0, 4, 7, 14}},
        {"madd9", {0, 3, 7, 14}},  {"6", {0, 4, 7, 9}},        {"m6", {0, 3, 7, 9}},      {"9", {0, 4, 7, 10, 14}},
        {"maj9", {0, 4, 7, 11, 14}}, {"m9", {0, 3, 7, 10, 14}}, {"dim", {0, 3, 6}},       {"7sus4", {0, 5, 7, 10}},
    };
    std::string body = s, slash;
    if (size_t k = s.find('/'); k != std::string::npos) {
        body = s.substr(0, k);
        slash = s.substr(k + 1);
    }
    int root = note_number(body.substr(0, body.size() > 1 && (body[1] == '#' || body[1] == 'b') ? 2 : 1) + "4");
    if (root < 0) return false;
    std::string q = body.substr(body.size() > 1 && (body[1] == '#' || body[1] == 'b') ? 2 : 1);
    auto it = qualities.find(q);
    if (it == qualities.end()) return false;
    c.root = root % 12;
    c.intervals = it->second;
    c.bass = c.root;
    if (!slash.empty()) {
        int b = note_number(slash + "4");
        if (b < 0) return false;
        c.bass = b % 12;
    }
    return true;
}

// Chord tones placed in [lo, lo + 12), ascending.
std::vector<int> tones_in(const Chord& c, int lo) {
    std::vector<int> t;
    for (int iv : c.intervals) {
        int n = c.root + iv;
        while (n < lo) n += 12;
        while (n >= lo + 12) n -= 12;
        if (std::find(t.begin(), t.end(), n) == t.end()) t.push_back(n);
    }
    std::sort(t.begin(), t.end());
    return t;
}

// Splits "X/len" into X and a length in eighths.
bool item(const std::string& tok, std::string& what, double& eighths) {
    size_t k = tok.rfind('/');
    if (k == std::string::npos || k == 0) return false;
    what = tok.substr(0, k);
    try {
        size_t used = 0;
        eighths = std::stod(tok.substr(k + 1), &used);
        return used == tok.size() - k - 1 && eighths > 0;
    } catch (...) {
        return false;
    }
}

double pan_of(const std::string& instrument) {
    static const std::map<std::string, double> pans = {
        {"flute", 0.08}, {"kalimba", -0.25}, {"marimba", 0.3}, {"bell", -0.35}, {"bass", 0.0},
        {"drum0", 0.0},  {"drum1", -0.2},    {"drum2", 0.22},  {"drum3", -0.3}, {"shaker", 0.45},
    };
    auto it = pans.find(instrument);
    return it == pans.end() ? 0.0 : it->second;
}

// Checks a melodic line as it is read: every item is a note, a rest or a tie with a length, every bar adds up to
// the meter, and the line fills the section's bars.
bool check_melody(const Line& l, int eighths_per_bar, int bars, std::string& why) {
    double pos = 0, bar_start = 0;
    for (const std::string& tok : l.tokens) {
        if (tok == "|") {
            if (pos != bar_start && pos - bar_start != eighths_per_bar) {
                why = "a bar of " + l.instrument + " does not add up to the meter";
                return false;
            }
            bar_start = pos;
            continue;
        }
        std::string what;
        double len;
        if (!item(tok, what, len) || (what != "r" && what != "~" && note_number(what) < 0)) {
            why = "bad note " + tok;
            return false;
        }
        pos += len;
    }
    if (pos != bar_start) {
        why = "close the last bar of " + l.instrument + " with |";
        return false;
    }
    if (bars > 0 && pos != bars * eighths_per_bar) {
        why = "the " + l.instrument + " line does not fill the section's bars";
        return false;
    }
    return true;
}

bool known_instrument(const std::string& s) {
    return s == "flute" || s == "kalimba" || s == "marimba" || s == "bell";
}

}  // namespace

bool parse_score(const std::string& text, Score& out, std::string& error) {
    std::map<std::string, Section> sections;
    std::vector<std::string> order;
    Section* cur = nullptr;
    std::istringstream in(text);
    std::string raw;
    int lineno = 0;
    auto fail = [&](const std::string& why) {
        error = "line " + std::to_string(lineno) + ": " + why;
        return false;
    };
    auto read_line = [&](const std::vector<std::string>& t, size_t first, Line& l) {
        l.tokens.assign(t.begin() + first, t.end());
    };
    while (std::getline(in, raw)) {
        ++lineno;
        // A comment starts with '#' at the start of a line or after a space ("F#5" and "A/C#" are notes).
        for (size_t h = 0; h < raw.size(); ++h)
            if (raw[h] == '#' && (h == 0 || std::isspace((unsigned char)raw[h - 1]))) {
                raw.resize(h);
                break;
            }
        std::string spaced;
        for (char ch : raw) {
            if (ch == '|') spaced += " | ";
            else spaced += ch;
        }
        std::vector<std::string> t = split(spaced);
        if (t.empty()) continue;
        const std::string& key = t[0];
        auto number = [&](size_t i, double& v) {
            if (i >= t.size()) return false;
            try {
                v = std::stod(t[i]);
                return true;
            } catch (...) {
                return false;
            }
        };
        double v = 0;
        if (key == "tempo") {
            if (!number(1, v) || v < 30 || v > 240) return fail("tempo wants 30..240");
            out.tempo = v;
        } else if (key == "meter") {
            if (!number(1, v) || v < 2 || v > 7) return fail("meter wants 2..7 beats");
            out.meter = (int)v;
        } else if (key == "swing") {
            if (!number(1, v) || v < 0 || v > 0.6) return fail("swing wants 0..0.6");
            out.swing = v;
        } else if (key == "loop") {
            if (t.size() < 2 || (t[1] != "yes" && t[1] != "no")) return fail("loop wants yes or no");
            out.loop = t[1] == "yes";
        } else if (key == "ambience") {
            if (t.size() < 3 || t[1] != "rain" || !number(2, v)) return fail("ambience wants: rain <level>");
            out.ambience = t[1];
            out.ambience_level = v;
        } else if (key == "section") {
            if (t.size() < 2) return fail("section wants a name");
            cur = &sections[t[1]];
        } else if (key == "play") {
            order.assign(t.begin() + 1, t.end());
        } else {
            if (!cur) return fail("\"" + key + "\" outside a section");
            if (key == "chords") {
                cur->bars = 0;
                int beats_in_bar = 0;
                for (size_t i = 1; i < t.size(); ++i) {
                    if (t[i] == "|") {
                        if (beats_in_bar != 0 && beats_in_bar != out.meter) return fail("a bar of chords needs one symbol per beat");
                        if (beats_in_bar) cur->bars++;
                        beats_in_bar = 0;
                        continue;
                    }
                    Chord c;
                    if (t[i] != "." && !parse_chord(t[i], c)) return fail("unknown chord " + t[i]);
                    cur->chords.push_back(t[i]);
                    beats_in_bar++;
                }
                if (beats_in_bar) return fail("close the last bar of chords with |");
                if (cur->chords.empty() || cur->chords[0] == ".") return fail("a section starts with a chord");
            } else if (key == "melody" || key == "counter") {
                Line l;
                if (t.size() < 3 || !known_instrument(t[1]) || !number(2, l.level)) return fail(key + " wants an instrument and a level");
                l.instrument = t[1];
                read_line(t, 3, l);
                std::string why;
                if (!check_melody(l, out.meter * 2, cur->bars, why)) return fail(why);
                cur->melodies.push_back(l);
            } else if (key == "pad") {
                if (!number(1, cur->pad)) return fail("pad wants a level");
            } else if (key == "arp") {
                if (t.size() < 3 || !known_instrument(t[1]) || !number(2, cur->arp.level)) return fail("arp wants an instrument and a level");
                cur->arp.instrument = t[1];
                read_line(t, 3, cur->arp);
                size_t items = std::count_if(cur->arp.tokens.begin(), cur->arp.tokens.end(), [](auto& x) { return x != "|"; });
                if ((int)items != out.meter * 2) return fail("an arp needs one item per eighth of a bar");
            } else if (key == "bass" || key == "drums" || key == "shaker") {
                Line& l = key == "bass" ? cur->bass : key == "drums" ? cur->drums : cur->shaker;
                if (!number(1, l.level)) return fail(key + " wants a level");
                l.instrument = key;
                read_line(t, 2, l);
                size_t cells = std::count_if(l.tokens.begin(), l.tokens.end(), [](auto& x) { return x != "|"; });
                if (key != "bass" && (cells == 0 || cells % (out.meter * 4) != 0)) return fail(key + " needs whole bars of sixteenths");
                if (key == "bass") {
                    double pos = 0, len;
                    std::string what;
                    for (const std::string& tok : l.tokens) {
                        if (tok == "|") continue;
                        if (!item(tok, what, len) || (what != "R" && what != "3" && what != "5" && what != "8" && what != "r"))
                            return fail("bad bass step " + tok);
                        pos += len;
                    }
                    if (pos != out.meter * 2) return fail("a bass bar does not fill the meter");
                }
            } else {
                return fail("unknown word " + key);
            }
        }
    }
    if (order.empty()) return fail("no play line");

    const int eighths_per_bar = out.meter * 2, sixteenths_per_bar = out.meter * 4;
    double at = 0;  // beat where the section starts
    std::string held = "";
    for (const std::string& name : order) {
        auto it = sections.find(name);
        if (it == sections.end()) return fail("play names an unknown section " + name);
        const Section& s = it->second;
        if (s.bars == 0) return fail("section " + name + " has no chords");
        // The chord sounding on each beat.
        std::vector<Chord> chord_at(s.chords.size());
        std::vector<bool> change(s.chords.size());
        for (size_t b = 0; b < s.chords.size(); ++b) {
            if (s.chords[b] != ".") held = s.chords[b];
            change[b] = s.chords[b] != ".";
            parse_chord(held, chord_at[b]);
        }
        auto chord_on = [&](double beat) { return chord_at[std::min(chord_at.size() - 1, (size_t)std::max(0.0, beat))]; };

        for (const Line& l : s.melodies) {
            double pos = 0, bar_start = 0;
            Note* last = nullptr;
            for (const std::string& tok : l.tokens) {
                if (tok == "|") {
                    if (pos != bar_start && pos - bar_start != eighths_per_bar)
                        return fail("in section " + name + " a bar of " + l.instrument + " does not add up to the meter");
                    bar_start = pos;
                    continue;
                }
                std::string what;
                double len;
                if (!item(tok, what, len)) return fail("bad note " + tok + " in section " + name);
                if (what == "~") {
                    if (!last) return fail("a tie with nothing to tie in section " + name);
                    last->beats += len / 2;
                } else if (what != "r") {
                    int n = note_number(what);
                    if (n < 0) return fail("bad note " + tok + " in section " + name);
                    double beat = pos / 2;
                    double accent = std::fmod(beat, 1.0) == 0 ? (std::fmod(beat, out.meter) == 0 ? 1.0 : 0.92) : 0.84;
                    out.notes.push_back({at + beat, len / 2, (double)n, l.level * accent, l.instrument, pan_of(l.instrument)});
                    last = &out.notes.back();
                } else {
                    last = nullptr;
                }
                pos += len;
            }
            if (pos != s.bars * eighths_per_bar) return fail("the " + l.instrument + " line of section " + name + " does not fill its bars");
        }

        if (s.pad > 0) {
            for (size_t b = 0; b < s.chords.size(); ++b) {
                if (!change[b]) continue;
                size_t e = b + 1;
                while (e < s.chords.size() && !change[e]) ++e;
                std::vector<int> tones = tones_in(chord_at[b], 55);
                for (size_t k = 0; k < tones.size(); ++k)
                    out.notes.push_back({at + b, (double)(e - b) + 0.1, (double)tones[k], s.pad / std::sqrt((double)tones.size()), "pad",
                                         k % 2 ? 0.4 : -0.4});
            }
        }

        if (s.arp.level > 0) {
            std::vector<std::string> pat;
            for (const std::string& tok : s.arp.tokens)
                if (tok != "|") pat.push_back(tok);
            if ((int)pat.size() != eighths_per_bar) return fail("the arp of section " + name + " needs one item per eighth of a bar");
            for (int bar = 0; bar < s.bars; ++bar)
                for (int e = 0; e < eighths_per_bar; ++e) {
                    if (pat[e] == "-") continue;
                    int idx = std::atoi(pat[e].c_str());
                    double beat = bar * out.meter + e * 0.5;
                    std::vector<int> tones = tones_in(chord_on(beat), 60);
                    int n = tones[idx % tones.size()] + 12 * (idx / (int)tones.size());
                    double accent = e == 0 ? 1.0 : (e % 2 ? 0.75 : 0.88);
                    out.notes.push_back({at + beat, 0.5, (double)n, s.arp.level * accent, s.arp.instrument, pan_of(s.arp.instrument)});
                }
        }

        if (s.bass.level > 0) {
            for (int bar = 0; bar < s.bars; ++bar) {
                double pos = 0;
                for (const std::string& tok : s.bass.tokens) {
                    if (tok == "|") continue;
                    std::string what;
                    double len;
                    if (!item(tok, what, len)) return fail("bad bass step " + tok + " in section " + name);
                    double beat = bar * out.meter + pos / 2;
                    pos += len;
                    if (what == "r") continue;
                    const Chord c = chord_on(beat);
                    int root = 36 + c.bass, third = c.intervals[1];
                    int off = what == "R" ? 0 : what == "3" ? third : what == "5" ? 7 : what == "8" ? 12 : -100;
                    if (off == -100) return fail("bad bass step " + tok + " in section " + name);
                    if (what != "R" && c.bass != c.root) off = 0;  // an inverted chord keeps its bass note
                    out.notes.push_back({at + beat, len / 2 * 0.92, (double)(root + off), s.bass.level, "bass", 0.0});
                }
                if (pos != eighths_per_bar) return fail("the bass bar of section " + name + " does not fill the meter");
            }
        }

        for (const Line* grid : {&s.drums, &s.shaker}) {
            if (grid->level <= 0) continue;
            std::vector<std::string> cells;
            for (const std::string& tok : grid->tokens)
                if (tok != "|") cells.push_back(tok);
            if (cells.size() % sixteenths_per_bar != 0 || cells.empty())
                return fail("the " + grid->instrument + " of section " + name + " needs whole bars of sixteenths");
            int pattern_bars = (int)cells.size() / sixteenths_per_bar;
            for (int bar = 0; bar < s.bars; ++bar)
                for (int k = 0; k < sixteenths_per_bar; ++k) {
                    const std::string& c = cells[(bar % pattern_bars) * sixteenths_per_bar + k];
                    if (c == ".") continue;
                    double beat = bar * out.meter + k * 0.25;
                    double accent = k % 4 == 0 ? 1.0 : 0.78;
                    std::string inst;
                    double vel = grid->level * accent;
                    if (grid == &s.shaker) {
                        if (c != "x" && c != "o") return fail("shaker cells are x, o or .");
                        inst = "shaker";
                        if (c == "o") vel *= 0.5;
                    } else {
                        static const std::string kinds = "LMSH";
                        size_t d = kinds.find(c);
                        if (c.size() != 1 || d == std::string::npos) return fail("drum cells are L, M, S, H or .");
                        inst = "drum" + std::to_string(d);
                    }
                    out.notes.push_back({at + beat, 0.25, 0, vel, inst, pan_of(inst)});
                }
        }
        at += s.bars * out.meter;
    }
    out.total_beats = at;
    return true;
}

bool read_score(const std::string& path, Score& out, std::string& error) {
    std::ifstream f(path);
    if (!f) {
        error = "cannot read " + path;
        return false;
    }
    std::stringstream ss;
    ss << f.rdbuf();
    if (!parse_score(ss.str(), out, error)) {
        error = path + ": " + error;
        return false;
    }
    return true;
}

namespace {

// Rain on leaves: a soft hiss that breathes, with drops pattering through it. Periodic over `n` samples.
void add_rain(Stereo& s, double level, uint64_t seed) {
    size_t n = s.size();
    Rng r(seed);
    for (int c = 0; c < 2; ++c) {
        Mono white(n);
        for (float& v : white) v = (float)r.bip();
        Mono& out = c == 0 ? s.l : s.r;
        Biquad hp = Biquad::highpass(500), lp = Biquad::lowpass(5200), lp2 = Biquad::lowpass(5200);
        Mono hiss(n);
        for (int turn = 0; turn < 2; ++turn)
            for (size_t i = 0; i < n; ++i) hiss[i] = lp2.tick(lp.tick(hp.tick(white[i])));
        for (size_t i = 0; i < n; ++i) {
            double x = (double)i / n;
            double g = 0.85 + 0.1 * std::sin(2 * kPi * (5 + c) * x + c) + 0.05 * std::sin(2 * kPi * 13 * x);
            out[i] += (float)(hiss[i] * g * level * 0.3);
        }
    }
    // Drops: tiny pitched ticks on leaves and stone.
    int drops = (int)(n / kRate * 30);
    for (int d = 0; d < drops; ++d) {
        Mono drop;
        add_mode(drop, 0, r.range(1400, 3200), 1.0, r.range(0.006, 0.014), 0, r.range(1.0, 1.25));
        mix_wrap(s, drop, (size_t)(r.real() * n), level * r.range(0.04, 0.14), r.range(-0.8, 0.8));
    }
}

Mono play_note(const Note& n, double spb, uint64_t seed) {
    double hz = midi_hz(n.midi), dur = n.beats * spb;
    const std::string& k = n.instrument;
    if (k == "flute") return flute(hz, n.vel, std::max(0.08, dur - 0.03), seed);
    if (k == "kalimba") return kalimba(hz, n.vel, seed);
    if (k == "marimba") return marimba(hz, n.vel, seed);
    if (k == "bell") return bell(hz, n.vel, 1.1);
    if (k == "pad") return pad(hz, n.vel, dur, 1.0);
    if (k == "bass") return bass(hz, n.vel, dur);
    if (k == "shaker") return shaker(n.vel, std::min(0.09, spb * 0.3), seed);
    if (k.rfind("drum", 0) == 0) return handdrum(k[4] - '0', n.vel, seed);
    return {};
}

}  // namespace

Stereo render_score(const Score& s, uint64_t seed) {
    const double spb = 60.0 / s.tempo;
    const double tail = s.loop ? 0.0 : 3.0;
    size_t n = secs(s.total_beats * spb + tail);
    Stereo out(n);
    Rng human(seed);
    for (size_t i = 0; i < s.notes.size(); ++i) {
        const Note& note = s.notes[i];
        double beat = note.beat;
        if (s.swing > 0 && std::abs(std::fmod(beat, 1.0) - 0.5) < 1e-6) beat += s.swing * 0.5;
        // A player's hand: a few milliseconds early or late and never twice the same strength.
        double jitter = human.range(-0.004, 0.004);
        double vel = note.vel * human.range(0.9, 1.05);
        Note played = note;
        played.vel = vel;
        Mono m = play_note(played, spb, seed * 7919 + i);
        double t = std::max(0.0, beat * spb + (note.instrument == "pad" ? 0 : jitter));
        if (s.loop)
            mix_wrap(out, m, secs(t), 1.0, note.pan);
        else
            mix_pan(out, m, secs(t), 1.0, note.pan);
    }
    out.l.resize(n);
    out.r.resize(n);
    if (s.ambience == "rain") add_rain(out, s.ambience_level, seed + 99);
    add_reverb(out, 0.9, 0.72, 0.45, s.loop);
    if (!s.loop) {
        // The fanfare rings out and comes to rest in silence.
        size_t fo = secs(1.2);
        for (size_t i = 0; i < fo; ++i) {
            float g = (float)(0.5 + 0.5 * std::cos(kPi * i / fo));
            out.l[n - fo + i] *= g;
            out.r[n - fo + i] *= g;
        }
    }
    return out;
}

}  // namespace snd
