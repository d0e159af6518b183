// Session journals: what the game read from outside, frame by frame, so that a session can be played again.
//
// A journal file is a header (format, game version, data hashes, display and desktop size, the random seed),
// the user files as the session found them (deflated), then blocks of frames and a summary block when the
// session ended normally. Each block carries its length and a CRC, so a session killed in the middle of a
// write still plays up to its last whole block. Inside a block the frames are range coded against adaptive
// models: a frame that repeats the last one costs a small fraction of a bit, a pointer moving along a smooth
// path a few bits (its position is predicted from the last step), the one-second timer ticks next to nothing
// when they come on time; every 50th frame carries 16 bits of the game state's checksum. Every piece here is
// a pure function of its arguments; the recording and playing side lives in app/replay.
#pragma once
#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

enum { JOURNAL_FORMAT = 2 };
// The keys the game reads, as bits of a frame record.
enum {
    JKEY_ESCAPE = 1, JKEY_RETURN = 2, JKEY_SPACE = 4, JKEY_F2 = 8, JKEY_F3 = 16, JKEY_F4 = 32, JKEY_F7 = 64,
    JKEY_F8 = 128
};
// Events of a frame record: the window's focus, and a stop signal (SIGTERM, SIGINT, SIGHUP) that ended the session.
enum { JEVENT_FOCUSGAINED = 0, JEVENT_FOCUSLOST = 1, JEVENT_STOP = 2 };
// Limits the reader holds every journal to.
enum {
    JOURNAL_MAXFILES = 64, JOURNAL_MAXNAME = 64, JOURNAL_MAXFILEBYTES = 8 << 20, JOURNAL_MAXBODY = 64 << 20,
    JOURNAL_MAXFRAMES = 50 * 3600 * 48, JOURNAL_MAXEVENTS = 64, JOURNAL_MAXCHARS = 256,
    JOURNAL_MAXEVENTCODE = 15
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
    std::vector<uint8_t> events; // JEVENT_* codes in order: focus lost and regained, the stop signal (0..15)
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
    int frame;     // 1-based frame after which the sum was taken
    uint32_t sum;  // journal_checkbits of the game state's checksum
};
// The part of a state checksum a journal keeps.
uint32_t journal_checkbits(uint32_t sum);

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

// The adaptive models of the frame coder, the same on the writing and the reading side: each side updates them
// with every frame it codes, so the reader must see the blocks in the order they were written.
struct jmodel {
    uint16_t p[1536];
    jframe last;          // the last frame coded
    int vx = 0, vy = 0;   // its pointer step
    int moved1 = 0, down = 0, still = 0;  // the last frame moved, the button, frames at rest
    int sign[2] = {0, 0};  // sign of the last prediction miss per axis (0 none, 1 plus, 2 minus)
    int since1 = 0, since2 = 0;  // frames since each timer last ticked
    int frames = 0;
    jmodel();
};

// Writing. The header and user files go first, then a block of frames whenever the writer wants them on disk,
// and the summary when the session ends normally.
struct jwriter {
    jmodel m;
    uint64_t low = 0;
    uint32_t range = 0xffffffffu;
    uint8_t cache = 0;
    uint64_t cachesize = 1;
    std::string out;  // the range coder's bytes of the block in hand
    int blockframes = 0;
};
std::string journal_header_bytes(const jheader& h);  // with its user files
// Codes one frame. `sum` (may be null) is the game state's checksum after the frame; it is kept for every
// JOURNAL_CHECKEVERY-th frame.
void journal_write_frame(jwriter* w, const jframe& f, const uint32_t* sum);
// The frames coded since the last block, as a block ("" when there are none).
std::string journal_block(jwriter* w);
std::string journal_summary_bytes(const jsummary& s);
// A whole journal of `j`'s header, frames, checks and summary (blocks of `blockframes` frames).
std::string journal_write_all(const journaldata& j, int blockframes = 500);

// CRC-32 of some bytes, continuing from `crc`.
uint32_t journal_crc(uint32_t crc, const void* data, size_t size);
