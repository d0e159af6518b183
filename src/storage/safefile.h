// Writing the player's files so that a crash, a kill or a full disk never leaves a truncated or empty file:
// the new contents go to a temporary file beside the old one, are flushed to the disk, and then replace it in
// one rename.
#pragma once
#include <string>

// Replaces the file at `path` with `bytes`. On failure prints a line naming the file, leaves the old file as it
// was and returns false.
bool write_file_safely(const std::string& path, const std::string& bytes);
// Reads a whole file; false when it cannot be opened.
bool read_whole_file(const std::string& path, std::string& bytes);
// A name or text as stored: spaces and control characters removed from both ends.
std::string trim_controls(const std::string& s);
