#include "app/bugreport.h"

#include <unistd.h>
#include <zlib.h>

#include <algorithm>
#include <cstdio>
#include <cstring>
#include <ctime>
#include <deque>
#include <filesystem>
#include <fstream>
#include <iterator>

#include "app/cmdline.h"
#include "app/display.h"
#include "app/replay.h"
#include "platform/draw.h"
#include "platform/readfile.h"
#include "platform/system.h"
#include "platform/userfile.h"
#include "storage/settings.h"

namespace fs = std::filesystem;

namespace {
// The largest journal and user file a report takes (a journal holds about 80 KB an hour, a profile 28 KB).
const size_t REPORT_MAXJOURNAL = (size_t)64 << 20, REPORT_MAXUSERFILE = (size_t)1 << 20;
std::deque<std::string> ring;
std::string partial;  // a line still being printed
FILE* realstdout = nullptr;

ssize_t ring_write(void*, const char* buf, size_t size) {
    size_t done = 0;
    while (done < size) {
        ssize_t n = ::write(1, buf + done, size - done);
        if (n <= 0) break;
        done += (size_t)n;
    }
    stdout_ring_add(buf, size);
    return (ssize_t)size;  // output that cannot be shown is still kept in the ring
}

void octal(char* field, size_t width, uint64_t v) {
    std::snprintf(field, width, "%0*llo", (int)width - 1, (unsigned long long)v);
}

std::string tarheader(const std::string& name, size_t size, time_t mtime) {
    char h[512];
    std::memset(h, 0, sizeof h);
    std::strncpy(h, name.c_str(), 99);
    octal(h + 100, 8, 0644);
    octal(h + 108, 8, 0);
    octal(h + 116, 8, 0);
    octal(h + 124, 12, size);
    octal(h + 136, 12, (uint64_t)mtime);
    std::memset(h + 148, ' ', 8);
    h[156] = '0';
    std::memcpy(h + 257, "ustar", 6);
    std::memcpy(h + 263, "00", 2);
    unsigned sum = 0;
    for (unsigned char c : h) sum += c;
    std::snprintf(h + 148, 8, "%06o", sum);
    h[155] = ' ';
    return std::string(h, sizeof h);
}

std::string gzip(const std::string& raw) {
    z_stream z;
    std::memset(&z, 0, sizeof z);
    if (deflateInit2(&z, 6, Z_DEFLATED, 15 + 16, 8, Z_DEFAULT_STRATEGY) != Z_OK) return {};
    std::string out(deflateBound(&z, (uLong)raw.size()) + 64, '\0');
    z.next_in = (Bytef*)raw.data();
    z.avail_in = (uInt)raw.size();
    z.next_out = (Bytef*)out.data();
    z.avail_out = (uInt)out.size();
    int rc = deflate(&z, Z_FINISH);
    out.resize(z.total_out);
    deflateEnd(&z);
    return rc == Z_STREAM_END ? out : std::string();
}

// A file the game wrote: regular, this user's, not reached through a link, and not larger than `cap` (a report
// never carries what a planted link points at, and never waits on a FIFO).
std::string slurp(const std::string& path, size_t cap) {
    std::string bytes;
    readresult got = read_own_file(path, bytes, cap);
    if (got != READ_OK) std::printf("bug report: %s is left out (%s)\n", path.c_str(), read_result_text(got));
    return bytes;
}

// The newest journal of the user folder, for a report made outside a session.
std::string newestjournal() {
    std::error_code ec;
    std::string best;
    for (const auto& e : fs::directory_iterator(userpath + "journals/", ec)) {
        std::string p = e.path().string();
        if (p.size() > 4 && p.compare(p.size() - 4, 4, ".ojr") == 0 && p > best && own_regular_file(p)) best = p;
    }
    return best;
}
}  // namespace

void stdout_ring_start() {
    if (realstdout) return;
    cookie_io_functions_t io{};
    io.write = ring_write;
    FILE* f = fopencookie(nullptr, "w", io);
    if (!f) return;
    std::fflush(stdout);
    realstdout = stdout;
    stdout = f;
    std::setvbuf(stdout, nullptr, _IOLBF, 0);
}

void stdout_ring_add(const char* text, size_t size) {
    for (size_t i = 0; i < size; ++i) {
        if (text[i] == '\n') {
            ring.push_back(partial);
            partial.clear();
            if (ring.size() > STDOUT_RING_LINES) ring.pop_front();
        } else if (partial.size() < 4096) {
            partial.push_back(text[i]);
        }
    }
}

std::string stdout_ring_text() {
    std::string s;
    for (const std::string& l : ring) s += l + "\n";
    return s;
}

std::string targz(const std::vector<tarentry>& entries) {
    std::string raw;
    time_t now = std::time(nullptr);
    for (const tarentry& e : entries) {
        raw += tarheader(e.name, e.bytes.size(), now);
        raw += e.bytes;
        raw.append((512 - e.bytes.size() % 512) % 512, '\0');
    }
    raw.append(1024, '\0');
    return gzip(raw);
}

std::string writebugreport() {
    std::time_t t = std::time(nullptr);
    std::tm tm{};
    localtime_r(&t, &tm);
    char stamp[32];
    std::strftime(stamp, sizeof stamp, "%Y%m%d-%H%M%S", &tm);
    const std::string name = std::string("bugreport-") + stamp;

    std::vector<tarentry> entries;
    std::string journal = journal_sofar();
    std::string jname = journal_path();
    if (journal.empty()) {
        jname = newestjournal();
        if (!jname.empty()) journal = slurp(jname, REPORT_MAXJOURNAL);
    }
    if (!journal.empty()) entries.push_back({name + "/" + fs::path(jname).filename().string(), journal});
    std::error_code ec;
    std::vector<std::string> files;
    for (const auto& e : fs::directory_iterator(userpath, ec))
        if (isuserfile(e.path().filename().string())) files.push_back(e.path().filename().string());
    std::sort(files.begin(), files.end());
    for (const std::string& f : files) {
        std::string bytes = slurp(userpath + f, REPORT_MAXUSERFILE);
        if (!bytes.empty()) entries.push_back({name + "/user/" + f, bytes});
    }
    entries.push_back({name + "/stdout.txt", stdout_ring_text()});
    std::string about = std::string("Ombrivale ") + gameversion() + "\n" + "video driver: " + video_driver_name() +
                        "\n" + "audio driver: " + audio_driver_name() + "\n" + "renderer: " + renderer_name() +
                        "\n" + "display: logical " + std::to_string(virtw) + "x" + std::to_string(virth) +
                        ", window " + std::to_string(windoww) + "x" + std::to_string(windowh) + ", desktop " +
                        std::to_string(desktopw) + "x" + std::to_string(desktoph) + "\n" +
                        "settings: fullscreen " + std::to_string(fullscreen) + ", display mode " +
                        std::to_string(displaymode) + "\n";
    entries.push_back({name + "/about.txt", about});

    std::string bytes = targz(entries);
    std::string path = userpath + name + ".tar.gz";
    int fd = bytes.empty() ? -1 : create_private_file(path);
    FILE* f = fd >= 0 ? fdopen(fd, "wb") : nullptr;
    if (!f && fd >= 0) close(fd);
    bool ok = f && std::fwrite(bytes.data(), 1, bytes.size(), f) == bytes.size();
    if (f && std::fclose(f) != 0) ok = false;
    if (!ok) {
        fs::remove(path, ec);
        std::printf("bug report could not be written to %s\n", path.c_str());
        return {};
    }
    std::printf("bug report written to %s\n", path.c_str());
    return path;
}
