#include "platform/userfile.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>

bool make_private_folder(const std::string& path) {
    if (path.empty()) return false;
    // Each component in turn, so that every folder made here gets 0700 and not what the umask leaves of 0777.
    for (size_t at = 1; at <= path.size(); ++at) {
        if (at < path.size() && path[at] != '/') continue;
        std::string part = path.substr(0, at);
        if (part.empty() || part.back() == '/') continue;
        if (mkdir(part.c_str(), 0700) == 0) {
            chmod(part.c_str(), 0700);
        } else if (errno != EEXIST) {
            return false;
        }
    }
    struct stat st;
    return stat(path.c_str(), &st) == 0 && S_ISDIR(st.st_mode);
}

readresult read_user_file(const std::string& path, std::string& bytes, size_t limit) {
    bytes.clear();
    struct stat link;
    if (lstat(path.c_str(), &link) != 0) return errno == ENOENT || errno == ENOTDIR ? READ_MISSING : READ_FAILED;
    if (S_ISLNK(link.st_mode)) {
        // A link of this user's to a file of this user's (a profile kept elsewhere) is fine; anything else is
        // another account's doing and is not read.
        struct stat target;
        if (link.st_uid != getuid() || stat(path.c_str(), &target) != 0 || target.st_uid != getuid())
            return READ_FAILED;
    } else if (!S_ISREG(link.st_mode)) {
        return READ_FAILED;
    }
    return read_file(path, bytes, limit);
}

int create_private_file(const std::string& path) {
    struct stat st;
    if (lstat(path.c_str(), &st) == 0) {
        if (S_ISDIR(st.st_mode)) {
            errno = EISDIR;
            return -1;
        }
        if (unlink(path.c_str()) != 0) return -1;
    }
    int fd = open(path.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_NOFOLLOW | O_NONBLOCK | O_CLOEXEC, 0600);
    if (fd < 0) return -1;
    fchmod(fd, 0600);
    // Writes to a regular file never block; the flag only kept open() from waiting.
    fcntl(fd, F_SETFL, fcntl(fd, F_GETFL) & ~O_NONBLOCK);
    return fd;
}

std::string folder_identity(const std::string& path) {
    struct stat st;
    if (stat(path.c_str(), &st) != 0 || !S_ISDIR(st.st_mode)) return path;
    return "dev " + std::to_string((unsigned long long)st.st_dev) + " inode " +
           std::to_string((unsigned long long)st.st_ino);
}

int own_regular_file(const std::string& path) {
    struct stat st;
    return lstat(path.c_str(), &st) == 0 && S_ISREG(st.st_mode) && st.st_uid == getuid() ? 1 : 0;
}

readresult read_own_file(const std::string& path, std::string& bytes, size_t limit) {
    bytes.clear();
    int fd = open(path.c_str(), O_RDONLY | O_CLOEXEC | O_NOFOLLOW | O_NONBLOCK | O_NOCTTY);
    if (fd < 0) return errno == ENOENT || errno == ENOTDIR ? READ_MISSING : READ_FAILED;
    struct stat st;
    if (fstat(fd, &st) != 0 || st.st_uid != getuid()) {
        close(fd);
        return READ_FAILED;
    }
    return read_file_fd(fd, bytes, limit);
}
