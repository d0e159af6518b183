// Session journals: what the game read from outside, frame by frame, so that a session can be played again.
//
// A journal file is a header (format, game version, data hashes, display and desktop size, the random seed),
// and then one deflate stream of records: the user files as the session found them, a frame record for each
// frame whose input differs from a held repeat of the last one, runs of repeated frames, periodic checksums of
// the game state, and a summary when the session ended normally. Every piece here is a pure function of its
// arguments; the recording and playing side lives in app/replay.
#pragma once
#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

enum { JOURNAL_FORMAT = 1 };
// The keys the game reads, as bits of a frame record.
enum {
    JKEY_ESCAPE = 1, JKEY_RETURN = 2, JKEY_SPACE = 4, JKEY_F2 = 8, JKEY_F3 = 16, JKEY_F4 = 32, JKEY_F7 = 64,
    JKEY_F8 = 128
};
// Limits the reader holds every journal to.
enum {
    JOURNAL_MAXFILES = 64, JOURNAL_MAXNAME = 64, JOURNAL_MAXFILEBYTES = 8 << 20, JOURNAL_MAXBODY = 64 << 20,
    JOURNAL_MAXFRAMES = 50 * 3600 * 48, JOURNAL_MAXEVENTS = 64, JOURNAL_MAXCHARS = 256
};
// A state checksum is kept every this many frames.
enum { JOURNAL_CHECKEVERY = 50 };

// What the game read from outside in one frame.
struct jframe {
    int mx = 0, my = 0;          // mouse in logical units
    int hit1 = 0, hit2 = 0;      // left / right presses since the last frame, 0..3
    int down1 = 0;               // left button held
    int keys = 0;                // JKEY_* bits held
    int close = 0;               // the window's close box was used
    int tick1 = 0, tick2 = 0;    // ticks of the one-second timers (frame rate, play clock) in this frame, 0..15
    std::vector<uint8_t> events; // focus lost (1) and regained (0), in order
    std::vector<uint8_t> chars;  // typed characters the game took, in order
};
// True when `f` is `prev` held for one more frame: same position and held state, nothing happening.
bool jframe_repeats(const jframe& prev, const jframe& f);
// `prev` held for one more frame.
jframe jframe_held(const jframe& prev);

struct jfile {
    std::string name, bytes;
};

struct jheader {
    int format = JOURNAL_FORMAT;
    std::string version;
    uint32_t levelshash = 0, textshash = 0;
    int virtw = 0, virth = 0, desktopw = 0, desktoph = 0;
    int32_t seed = 0;
    int newuserfolder = 0;
    std::vector<jfile> files;  // the user files at the start (settings, profiles, best times)
};

struct jsummary {
    int frames = 0, screen = 0, level = 0, score = 0;
    uint32_t statesum = 0, filesum = 0;
};

struct jcheck {
    int frame;  // 1-based frame after which the sum was taken
    uint32_t sum;
};

// A frame record and how many frames in a row it holds (the first as recorded, the rest as held repeats).
struct jrun {
    jframe frame;
    int count;
};

struct journaldata {
    jheader header;
    std::vector<jrun> runs;
    int frames = 0;  // total frames over all runs
    std::vector<jcheck> checks;
    int finished = 0;  // 1 when the summary is there
    jsummary summary;
};

enum { JOURNAL_BAD = 0, JOURNAL_COMPLETE = 1, JOURNAL_CUT = 2 };
// Reads a journal. JOURNAL_COMPLETE: the whole session with its summary. JOURNAL_CUT: the session did not end
// normally (or the file was cut short); `out` holds every whole frame up to that point and `error` says where it
// ends. JOURNAL_BAD: not a journal, or damaged; `error` says why and `out` is not to be used.
int journal_parse(const uint8_t* data, size_t size, journaldata* out, std::string* error);

// Writing, piece by piece. The header goes first, uncompressed (without its files); the records after it form
// the body, which the writer deflates: the user files first, then frames, repeats and checks, the summary last.
std::string journal_header_bytes(const jheader& h);
void journal_put_file(std::string& body, const jfile& f);
void journal_put_frame(std::string& body, const jframe& prev, const jframe& f);
void journal_put_repeat(std::string& body, int count);
void journal_put_check(std::string& body, int frame, uint32_t sum);
void journal_put_summary(std::string& body, const jsummary& s);

// Deflates a whole body (tests and tools; the recorder deflates as it goes).
std::string journal_deflate(const std::string& body);

// CRC-32 of some bytes, continuing from `crc`.
uint32_t journal_crc(uint32_t crc, const void* data, size_t size);
