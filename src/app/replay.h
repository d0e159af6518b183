// Recording every session into a journal, playing journals back, and the bug-report bundle.
//
// Everything the game reads from outside and that changes what it does passes through here once per frame:
// the input snapshot (logical mouse, buttons, the keys the game reads, typed characters, focus and close
// events), the ticks of the one-second timers (frame-rate measurement and play clock), the seed taken from the
// clock, the desktop size the display modes are chosen by, and the user files the session started from.
#pragma once
#include <cstdint>
#include <cstdio>
#include <string>

#include "app/journal.h"

// ---- hooks the shell calls ----
// 1 while this run is recorded or played from a journal (the timers then count through the journal).
int journal_active();
// 1 while this run plays a journal back (live input is not read).
int replaying();
// This frame's input record. pollinput fills it from the live input (or the journal, when replaying) and
// passes it to journal_frame.
extern jframe frameinput;
// Takes this frame's input: when replaying, replaces `in` with the journal's next frame; when recording, keeps it
// for the journal; in both cases moves the timers by its ticks.
void journal_frame(jframe* in);
// 1 when playback has come to the frame where the recorded session was stopped by a signal.
int journal_stop_next();
// The frame of a stop by signal: recorded as a frame whose one event is JEVENT_STOP, or taken from the journal.
void journal_stop();
// The next typed character the game takes (0 when none), through the journal.
int framechar();
// 1 while one of the keys the game reads (VK_ESCAPE, VK_RETURN, VK_SPACE, F2, F3, F4, F7, F8) is held in
// this frame's input record (the live key when the run is neither recorded nor replayed).
int framekeydown(int code);
// The random seed: the live value when recording (kept for the journal), the journal's when replaying.
int32_t journal_seed(int32_t live);
// Start of a recorded session, right after the user folder is found: keeps the user files as they are now.
void journal_userfiles();
// After each frame: checksums of the game state, compared when replaying with --check.
void journal_afterframe();
// The session ended normally: writes the summary and closes the journal.
void journal_end();
// Turns recording on for this run, into `path` (empty: a new file under the user folder's journals/).
void journal_record_to(const std::string& path);
// For recordings made faster or slower than real time (the recorder tool): the one-second timers count 50
// frames a second, as in a game running at full speed, instead of reading the clock.
void journal_paceclock(int on);
// Closes a recording without a summary (tests).
void journal_drop();
// The journal written so far, flushed to its file first ("" when this run records none).
std::string journal_sofar();
// The file this run records into ("" when none).
std::string journal_path();
// How the journal's bytes reach its file (tests put a failing write here).
extern size_t (*journal_fwrite)(const void*, size_t, size_t, FILE*);

// ---- checksums ----
// A checksum of the game's state: screen, fade, popups, random generator, board, match-3 board, level run and
// player tables.
uint32_t gamestatesum();
// A checksum of the user files in `folder` (settings, profiles, best times).
uint32_t userfilesum(const std::string& folder);
// True for the names of the user files a session reads and writes.
bool isuserfile(const std::string& name);

// ---- playback ----
struct replayoptions {
    std::string file;
    int headless = 0, fast = 0, check = 0, force = 0;
    int windoww = 0, windowh = 0;  // > 0: play in a window of this size, whatever display mode was recorded
};
// Plays a journal; returns the exit status (0 played / matched, 1 differed, 2 could not play).
int playjournal(const replayoptions& o);
// The summary the last playback reached.
extern jsummary replaysummary;
// Frame at which the last --check playback first differed (0 none).
extern int replaydiffered;

// ---- command line ----
// Acts on the parsed command line (app/cmdline): plays a journal back (--replay and its options) or writes a bug
// report (--report) and returns the exit status; otherwise turns recording on and returns -1 for a normal start.
int replay_command();
