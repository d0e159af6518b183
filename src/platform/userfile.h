// The player's own files and folders: made private whatever the umask, never reached through a link that another
// account planted, and never a FIFO or a device that would hold the game in open() or read().
#pragma once
#include <cstddef>
#include <string>

#include "platform/readfile.h"

// Makes `path` and any missing parent folders, each new one with mode 0700. True when `path` is a folder (made
// now or before).
bool make_private_folder(const std::string& path);
// Reads a file of the user folder as read_file does, except that a symbolic link is followed only when the link
// and the file it names both belong to this user, and anything but a regular file is refused without waiting.
readresult read_user_file(const std::string& path, std::string& bytes, size_t limit);
// Opens a new file at `path` for writing with mode 0600: whatever is there (a stale temporary file, a link, a
// FIFO) is removed first and never followed. Returns the descriptor, or -1 with errno set.
int create_private_file(const std::string& path);
// The same text for every spelling of one folder (extra separators, links): its device and inode; the path
// itself when it is not a folder.
std::string folder_identity(const std::string& path);
// Reads a file only when it is a regular file of this user's reached without a link (what the game wrote).
readresult read_own_file(const std::string& path, std::string& bytes, size_t limit);
// 1 when `path` is a regular file reached without a link and owned by this user.
int own_regular_file(const std::string& path);
