// Reading a whole file into memory without exceptions: a missing file, a file that exists but cannot be read
// (an I/O error, a folder in its place, no permission) and one larger than the caller accepts are told apart.
#pragma once
#include <cstddef>
#include <string>

enum readresult { READ_OK = 0, READ_MISSING = 1, READ_FAILED = 2, READ_TOO_LARGE = 3 };

// Reads the file at a real path into `bytes` (cleared first). Files larger than `limit` bytes are refused
// with READ_TOO_LARGE and nothing is read.
readresult read_file(const std::string& path, std::string& bytes, size_t limit = (size_t)256 << 20);
// The same for a descriptor open for reading, which it closes.
readresult read_file_fd(int fd, std::string& bytes, size_t limit);
// A short description of a result for diagnostic lines ("missing", "cannot be read", ...).
const char* read_result_text(readresult r);
// Makes the next read of this path fail as a disk error would (tests of the damaged-disk paths).
void read_file_fail_next(const std::string& path);
