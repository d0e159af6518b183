#include "platform/readfile.h"
#include "platform/userfile.h"
#include "storage/safefile.h"

#include <fcntl.h>
#include <unistd.h>

#include <cerrno>
#include <cstdio>
#include <cstring>

namespace {
void sync_folder_of(const std::string& path) {
    auto slash = path.rfind('/');
    std::string dir = slash == std::string::npos ? "." : path.substr(0, slash + 1);
    int fd = open(dir.c_str(), O_RDONLY | O_DIRECTORY);
    if (fd < 0) return;
    fsync(fd);
    close(fd);
}
}  // namespace

bool write_file_safely(const std::string& path, const std::string& bytes) {
    std::string temp = path + ".new";
    // A new private file: a stale one, or a link or FIFO planted in its place, is removed and never followed.
    int fd = create_private_file(temp);
    if (fd < 0) {
        std::printf("error: cannot write %s (%s)\n", path.c_str(), std::strerror(errno));
        return false;
    }
    size_t done = 0;
    int err = 0;
    while (done < bytes.size()) {
        ssize_t n = write(fd, bytes.data() + done, bytes.size() - done);
        if (n < 0) {
            if (errno == EINTR) continue;
            err = errno;
            break;
        }
        done += (size_t)n;
    }
    if (!err && fsync(fd) != 0) err = errno;
    if (close(fd) != 0 && !err) err = errno;
    if (!err && rename(temp.c_str(), path.c_str()) != 0) err = errno;
    if (err) {
        unlink(temp.c_str());
        std::printf("error: cannot write %s (%s); the old file is kept\n", path.c_str(), std::strerror(err));
        return false;
    }
    sync_folder_of(path);
    return true;
}

bool read_whole_file(const std::string& path, std::string& bytes) {
    return read_user_file(path, bytes, (size_t)16 << 20) == READ_OK;
}

std::string trim_controls(const std::string& s) {
    size_t a = 0, b = s.size();
    while (a < b && (unsigned char)s[a] <= 32) ++a;
    while (b > a && (unsigned char)s[b - 1] <= 32) --b;
    return s.substr(a, b - a);
}
