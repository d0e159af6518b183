#include "platform/paths.h"

#include <dirent.h>
#include <strings.h>
#include <sys/stat.h>
#include <unistd.h>

#include <climits>
#include <vector>

std::string basedir = "./";

namespace {

bool exists(const std::string& p) {
    struct stat st;
    return stat(p.c_str(), &st) == 0;
}

}  // namespace

std::string executable_folder() {
    char buf[PATH_MAX];
    ssize_t n = readlink("/proc/self/exe", buf, sizeof buf - 1);
    if (n <= 0) return "./";
    buf[n] = 0;
    std::string s(buf);
    auto slash = s.rfind('/');
    return slash == std::string::npos ? "./" : s.substr(0, slash + 1);
}

namespace {

// Finds an entry of folder `dir` named `name` regardless of case; empty when none.
std::string match_nocase(const std::string& dir, const std::string& name) {
    DIR* d = opendir(dir.empty() ? "." : dir.c_str());
    if (!d) return {};
    std::string found;
    while (dirent* e = readdir(d)) {
        if (strcasecmp(e->d_name, name.c_str()) == 0) {
            found = e->d_name;
            break;
        }
    }
    closedir(d);
    return found;
}

}  // namespace

void findbasedir() {
    std::string exe = executable_folder();
    if (exists(exe + "data")) {
        basedir = exe;
        return;
    }
    std::string shared = exe + "../share/ombrivale/";
    if (exists(shared + "data")) {
        basedir = shared;
        return;
    }
    basedir = exe;
}

std::string resolve_path(const std::string& literal) {
    // Split into components on either separator.
    std::vector<std::string> parts;
    std::string cur;
    for (char c : literal) {
        if (c == '\\' || c == '/') {
            if (!cur.empty()) parts.push_back(cur);
            cur.clear();
        } else {
            cur += c;
        }
    }
    if (!cur.empty()) parts.push_back(cur);

    bool absolute = !literal.empty() && literal[0] == '/';
    std::string path = absolute ? "/" : basedir;
    if (path.empty()) path = "./";
    if (path.back() != '/') path += '/';

    for (size_t i = 0; i < parts.size(); ++i) {
        const std::string& part = parts[i];
        std::string next = path + part;
        if (part != "." && part != ".." && !exists(next)) {
            std::string alt = match_nocase(path, part);
            if (!alt.empty()) next = path + alt;
        }
        path = next;
        if (i + 1 < parts.size()) path += '/';
    }
    if (!literal.empty() && (literal.back() == '\\' || literal.back() == '/') && path.back() != '/') path += '/';
    return path;
}

bool path_exists(const std::string& literal) { return exists(resolve_path(literal)); }
