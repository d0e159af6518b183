// The bug-report bundle: one .tar.gz in the user folder with the session's journal so far, the user files,
// the last lines the game printed, the version and the display and audio drivers.
#pragma once
#include <string>
#include <vector>

enum { STDOUT_RING_LINES = 500 };
// From now on standard output also feeds a ring of its last 500 lines.
void stdout_ring_start();
// Adds printed text to the ring (split into lines as it comes).
void stdout_ring_add(const char* text, size_t size);
// The ring's lines, oldest first, each ended by a newline.
std::string stdout_ring_text();

struct tarentry {
    std::string name, bytes;
};
// A tar archive (ustar) of the entries, gzip-compressed.
std::string targz(const std::vector<tarentry>& entries);

// Writes a bundle into the user folder, prints its path and returns it ("" when it could not be written).
std::string writebugreport();
