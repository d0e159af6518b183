#include "platform/readfile.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <set>

namespace {
std::set<std::string> failing;
}  // namespace

void read_file_fail_next(const std::string& path) { failing.insert(path); }

readresult read_file(const std::string& path, std::string& bytes, size_t limit) {
    bytes.clear();
    if (!failing.empty() && failing.erase(path)) return READ_FAILED;
    // Without waiting: a FIFO or a device in a file's place is refused below, not waited on.
    int fd = open(path.c_str(), O_RDONLY | O_CLOEXEC | O_NONBLOCK | O_NOCTTY);
    if (fd < 0) return errno == ENOENT || errno == ENOTDIR ? READ_MISSING : READ_FAILED;
    return read_file_fd(fd, bytes, limit);
}

readresult read_file_fd(int fd, std::string& bytes, size_t limit) {
    bytes.clear();
    struct stat st;
    if (fstat(fd, &st) != 0 || !S_ISREG(st.st_mode)) {
        close(fd);
        return READ_FAILED;
    }
    if ((unsigned long long)st.st_size > limit) {
        close(fd);
        return READ_TOO_LARGE;
    }
    bytes.reserve((size_t)st.st_size);
    char buf[65536];
    readresult result = READ_OK;
    for (;;) {
        ssize_t n = read(fd, buf, sizeof buf);
        if (n == 0) break;
        if (n < 0) {
            if (errno == EINTR) continue;
            result = READ_FAILED;
            break;
        }
        if (bytes.size() + (size_t)n > limit) {
            result = READ_TOO_LARGE;
            break;
        }
        bytes.append(buf, (size_t)n);
    }
    close(fd);
    if (result != READ_OK) bytes.clear();
    return result;
}

const char* read_result_text(readresult r) {
    switch (r) {
        case READ_OK: return "read";
        case READ_MISSING: return "missing";
        case READ_TOO_LARGE: return "too large";
        default: return "cannot be read";
    }
}
