// The game as a process on real machines: the X server going away, no display, other accounts sharing the
// instance name, one user folder under several spellings, a session stopped by a signal played back, and a bug
// report next to links and FIFOs. Each case starts the real game binary.
#include <gtest/gtest.h>
#include <signal.h>
#include <sys/socket.h>
#include <sys/stat.h>
#include <sys/un.h>
#include <sys/wait.h>
#include <unistd.h>
#include <zlib.h>

#include <algorithm>
#include <cstddef>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <fstream>

#include "app/journal.h"
#include "platform/system.h"
#include "support/headless.h"
#include "support/process.h"

namespace fs = std::filesystem;

namespace {
const int kStart = 60000;  // bound for a start on a busy machine
const int kStop = 5000;

std::string game() { return build_dir() + "/ombrivale"; }
std::string userfolder(const std::string& home) { return home + "data/Corvantis/Ombrivale-v-0-0-10/"; }
// With OMBRIVALE_TIMES the game names its start-up steps on standard error; this one comes at the loading
// screen, after the intro's frames.
const char* const kPlaying = "time background layers";

// The journals of a user folder, oldest first.
std::vector<std::string> journals(const std::string& folder) {
    std::vector<std::string> v;
    std::error_code ec;
    for (const auto& e : fs::directory_iterator(folder + "journals", ec))
        if (e.path().extension() == ".ojr") v.push_back(e.path().string());
    std::sort(v.begin(), v.end());
    return v;
}

// Ends a child still running when the test leaves early (a failed assertion), so that none outlives it.
struct Reaper {
    Child& c;
    ~Reaper() {
        if (c.pid > 0 && c.status < 0) {
            kill(c.pid, SIGKILL);
            wait_for_end(c, 1000);
        }
    }
};

// Plays a journal back headless with --check: the status and what it printed.
Child check_journal(const std::string& journal) {
    Child c = spawn({game(), "--replay", journal, "--headless", "--check"}, {}, "/");
    wait_for_end(c, kStart);
    return c;
}

std::string gunzip(const std::string& gz) {
    z_stream z{};
    if (inflateInit2(&z, 15 + 32) != Z_OK) return {};
    std::string out;
    char buf[65536];
    z.next_in = (Bytef*)gz.data();
    z.avail_in = (uInt)gz.size();
    int rc = Z_OK;
    while (rc == Z_OK) {
        z.next_out = (Bytef*)buf;
        z.avail_out = sizeof buf;
        rc = inflate(&z, Z_NO_FLUSH);
        out.append(buf, sizeof buf - z.avail_out);
    }
    inflateEnd(&z);
    return out;
}

// Binds an abstract name as another program might: listening with a backlog, or only bound (`backlog` < 0).
int squat(const std::string& full, int backlog) {
    int fd = socket(AF_UNIX, SOCK_STREAM | SOCK_NONBLOCK, 0);
    sockaddr_un addr{};
    addr.sun_family = AF_UNIX;
    std::memcpy(addr.sun_path + 1, full.data(), full.size());
    socklen_t len = (socklen_t)(offsetof(sockaddr_un, sun_path) + 1 + full.size());
    if (bind(fd, (sockaddr*)&addr, len) != 0) return -1;
    if (backlog >= 0 && listen(fd, backlog) != 0) return -1;
    if (backlog >= 0) {
        // Fill the backlog: the holder never accepts, so a further connect cannot go through.
        for (int i = 0; i < 64; ++i) {
            int c = socket(AF_UNIX, SOCK_STREAM | SOCK_NONBLOCK, 0);
            if (connect(c, (sockaddr*)&addr, len) != 0) {
                close(c);
                break;
            }
        }
    }
    return fd;
}
}  // namespace

TEST(SingleInstance, ANameHeldByWhatIsNoGameOfThisUserDoesNotStopTheGame) {
    const std::string prefix = std::string(appid) + "." + std::to_string(getuid()) + ".";
    for (int backlog : {-1, 0}) {
        // Bound and never listening, or listening with a full backlog: nobody answers, so no game is proven.
        std::string name = "deaf" + std::to_string(backlog + 1) + "-" + std::to_string(getpid());
        int holder = squat(prefix + name, backlog);
        ASSERT_GE(holder, 0);
        testing::internal::CaptureStdout();
        EXPECT_EQ(acquire_instance_name(name.c_str()), 1) << backlog;
        std::string out = testing::internal::GetCapturedStdout();
        EXPECT_NE(out.find("starting anyway"), std::string::npos) << out;
        // The game holds a spare name instead: a second start of this user finds it and rings it.
        pid_t child = fork();
        if (child == 0) {
            if (!std::freopen("/dev/null", "w", stdout)) _exit(8);
            _exit(acquire_instance_name(name.c_str()) == 0 ? 0 : 7);
        }
        int status = 0;
        waitpid(child, &status, 0);
        EXPECT_EQ(WEXITSTATUS(status), 0) << backlog;
        EXPECT_EQ(instance_raise_requested(), 1);
        close(holder);
    }
}

TEST(Process, OneUserFolderUnderAnySpellingRunsOnce) {
    std::string home = temp_folder("spellings");
    fs::create_directories(home + "data");
    fs::create_directory_symlink(home + "data", home + "link");
    std::vector<std::string> env = game_env(home);
    env.push_back("XDG_DATA_HOME=" + home + "data");
    Child first = spawn({game()}, env, home);
    Reaper reapfirst{first};
    ASSERT_TRUE(wait_for_text(first, "load_all_levels()", kStart)) << first.text;
    for (const std::string& spelling : {home + "data//", home + "link", home + "./data/"}) {
        env.back() = "XDG_DATA_HOME=" + spelling;
        Child again = spawn({game()}, env, "/");
        Reaper reapagain{again};
        ASSERT_TRUE(wait_for_end(again, kStart)) << again.text;
        EXPECT_EQ(again.status, 0) << spelling;
        EXPECT_NE(again.text.find("running already"), std::string::npos) << spelling << "\n" << again.text;
    }
    kill(first.pid, SIGTERM);
    EXPECT_TRUE(wait_for_end(first, kStop));
}

TEST(Process, WithoutADisplayTheGameSaysSoAndEnds) {
    // No display and no driver asked for: SDL would fall back to a driver without a screen.
    std::string home = temp_folder("nodisplay");
    std::vector<std::string> env = game_env(home);
    for (const char* unset : {"SDL_VIDEODRIVER", "DISPLAY", "WAYLAND_DISPLAY"}) env.push_back(unset);
    Child c = spawn({game()}, env, home);
    Reaper reap{c};
    ASSERT_TRUE(wait_for_end(c, 20000)) << "still running without a display\n" << c.text;
    EXPECT_EQ(c.status, 1) << c.text;
    EXPECT_NE(c.text.find("no display could be opened"), std::string::npos) << c.text;
    EXPECT_EQ(c.text.find("load_all_levels()"), std::string::npos) << c.text;

    // It held no instance name: the next start on a (dummy) display runs.
    Child next = spawn({game()}, game_env(home), home);
    Reaper reapnext{next};
    ASSERT_TRUE(wait_for_text(next, "load_all_levels()", kStart)) << next.text;
    kill(next.pid, SIGTERM);
    EXPECT_TRUE(wait_for_end(next, kStop));
    EXPECT_EQ(next.text.find("running already"), std::string::npos);
}

TEST(Process, ASessionStoppedBySignalPlaysBackAndChecks) {
    std::string home = temp_folder("signal-replay");
    std::vector<std::string> env = game_env(home);
    env.push_back("OMBRIVALE_TIMES=1");
    Child c = spawn({game()}, env, home);
    Reaper reap{c};
    ASSERT_TRUE(wait_for_text(c, kPlaying, kStart)) << c.text;
    kill(c.pid, SIGTERM);
    ASSERT_TRUE(wait_for_end(c, kStop)) << c.text;
    EXPECT_EQ(c.status, 0);
    std::vector<std::string> j = journals(userfolder(home));
    ASSERT_EQ(j.size(), 1u);
    Child check = check_journal(j[0]);
    EXPECT_EQ(check.status, 0) << check.text;
    EXPECT_NE(check.text.find("matches the journal"), std::string::npos) << check.text;
    EXPECT_NE(check.text.find("stopped by signal"), std::string::npos) << check.text;
}

TEST(Process, TheXServerGoingAwaySavesAsAStopSignalDoes) {
    if (access("/usr/bin/Xvfb", X_OK) != 0) GTEST_SKIP() << "no Xvfb";
    // An X server of the test's own, on a display number it picks and reports when it is ready.
    Child x = spawn({"/bin/sh", "-c",
                     "exec /usr/bin/Xvfb -displayfd 1 -nolisten tcp -screen 0 1024x768x24 2>/dev/null"}, {}, "/");
    int display = -1;
    if (wait_for_text(x, "\n", kStart)) display = std::atoi(x.text.c_str());
    Reaper reapx{x};
    ASSERT_GE(display, 0) << x.text;
    std::string home = temp_folder("xgone");
    std::vector<std::string> env = game_env(home);
    env.push_back("SDL_VIDEODRIVER=x11");
    env.push_back("DISPLAY=:" + std::to_string(display));
    env.push_back("OMBRIVALE_TIMES=1");
    Child c = spawn({game(), "--windowed"}, env, home);
    Reaper reap{c};
    ASSERT_TRUE(wait_for_text(c, kPlaying, kStart)) << c.text;
    kill(x.pid, SIGKILL);
    wait_for_end(x, kStop);
    ASSERT_TRUE(wait_for_end(c, kStart)) << c.text;
    EXPECT_NE(c.text.find("the display went away"), std::string::npos) << c.text;
    // Saved as on a stop: the settings are whole, and the journal is whole, its last frame the stop.
    // (A journal made on X is not compared with a headless playback: the intro's deferred loading runs
    // against the clock there, so the frames differ from the first check on, stopped or not.)
    std::ifstream settings(userfolder(home) + "settings.txt", std::ios::binary);
    std::string s((std::istreambuf_iterator<char>(settings)), std::istreambuf_iterator<char>());
    EXPECT_EQ(std::count(s.begin(), s.end(), '\n'), 7) << s;
    std::vector<std::string> j = journals(userfolder(home));
    ASSERT_EQ(j.size(), 1u);
    std::string bytes = file_bytes(j[0]), error;
    journaldata parsed;
    EXPECT_EQ(journal_parse((const uint8_t*)bytes.data(), bytes.size(), &parsed, &error), JOURNAL_COMPLETE) << error;
    ASSERT_FALSE(parsed.runs.empty());
    EXPECT_EQ(parsed.runs.back().frame.events, std::vector<uint8_t>{JEVENT_STOP});
    EXPECT_EQ(parsed.summary.frames, parsed.frames);
}

TEST(Process, ABugReportTakesOnlyTheGamesOwnRegularFiles) {
    std::string home = temp_folder("report");
    std::string folder = userfolder(home);
    fs::create_directories(folder + "journals");
    std::ofstream(home + "secret") << "SECRET KEY";
    std::ofstream(folder + "journals/session-20260101-000000-1.ojr") << "OLDER JOURNAL";
    // Newer by name: a link to a private file, and a FIFO that would hold a reader for ever.
    fs::create_symlink(home + "secret", folder + "journals/session-20991231-000000-1.ojr");
    ASSERT_EQ(mkfifo((folder + "journals/session-20991231-999999-1.ojr").c_str(), 0600), 0);
    fs::create_symlink(home + "secret", folder + "settings.txt");
    ASSERT_EQ(mkfifo((folder + "players1.ppp").c_str(), 0600), 0);
    std::ofstream(folder + "players2.ppp") << "PLAYER TWO";
    std::ofstream(folder + "players3.ppp") << std::string((size_t)2 << 20, 'L');  // larger than any profile
    Child c = spawn({game(), "--report"}, game_env(home), home);
    ASSERT_TRUE(wait_for_end(c, 20000)) << "the report hangs\n" << c.text;
    EXPECT_EQ(c.status, 0) << c.text;
    std::string tarball;
    for (const auto& e : fs::directory_iterator(folder))
        if (e.path().string().ends_with(".tar.gz")) tarball = e.path().string();
    ASSERT_FALSE(tarball.empty()) << c.text;
    std::string tar = gunzip(file_bytes(tarball));
    EXPECT_NE(tar.find("OLDER JOURNAL"), std::string::npos);
    EXPECT_NE(tar.find("PLAYER TWO"), std::string::npos);
    EXPECT_EQ(tar.find("SECRET KEY"), std::string::npos);
    EXPECT_EQ(tar.find("LLLLLLLL"), std::string::npos);
    EXPECT_EQ(tar.find("user/players1.ppp"), std::string::npos);
    struct stat st;
    ASSERT_EQ(stat(tarball.c_str(), &st), 0);
    EXPECT_EQ(st.st_mode & 0777, 0600u);
}
