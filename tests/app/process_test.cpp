// The game as a process: the command line, stop signals, one game per user data folder, and the fallbacks
// when the sound or the video system is missing. Most cases start the real game binary with dummy drivers.
#include <gtest/gtest.h>
#include <signal.h>
#include <sys/socket.h>
#include <sys/un.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cstddef>
#include <cstdio>
#include <cstring>
#include <cstdlib>
#include <fstream>
#include <iterator>

#include "app/cmdline.h"
#include "app/display.h"
#include "app/profiles.h"
#include "app/screenflow.h"
#include "app/shell.h"
#include "aztec/board.h"
#include "aztec/levelrun.h"
#include "platform/draw.h"
#include "platform/system.h"
#include "storage/players.h"
#include "storage/settings.h"
#include "support/headless.h"
#include "support/process.h"
#include "ui/popups.h"

namespace {
const int kStart = 60000;  // bound for a start on a busy machine
// A stop signal ends the game at its next frame, well within a second; the bound leaves room for a loaded machine
// (one second failed now and then beside a full build).
const int kStop = 5000;

std::string game() { return build_dir() + "/ombrivale"; }

std::string readfile(const std::string& path) {
    std::ifstream f(path, std::ios::binary);
    return std::string((std::istreambuf_iterator<char>(f)), std::istreambuf_iterator<char>());
}

int boardstones(int p) {
    int n = 0;
    for (int i = 1; i < BOARDSLOTS; ++i)
        if (stone_kind[p][i] != 0 && i != cannonslot) ++n;
    return n;
}

// The child side of the level test: the real start-up loaders and loop, a level with a shot fired, then the
// main loop until a signal ends it through the program's own exit.
[[noreturn]] void level_child(const std::string& dir) {
    headless();
    userpath = dir;
    newuserfolder = 1;
    loadall();
    instmain();
    curplayer = 1;
    playername[1] = "SIGNAL";
    adventurestarted[1] = 1;
    playerlevel[1] = maxlevel[1] = 2;
    resumeflag = 1;
    mouseactive = 1;
    curlevel = 2;
    curscreen = screen_map;
    instgame();
    for (int f = 0; f < 300 && !(f > 60 && popupkind == 0); ++f) {
        harness_frames(1);
        if ((popupkind == 102 || popupkind == 777) && popupfade == 16) popupfadedir = 2;
    }
    harness_click(centerx - 100, 300);
    harness_frames(150);
    install_stop_signals();
    std::printf("ready level=%d stones=%d\n", playlevel, boardstones(1));
    std::fflush(stdout);
    mainloop();
    exitgame(0);
}

class ChildMode : public ::testing::Environment {
public:
    void SetUp() override {
        if (const char* dir = std::getenv("OMBRIVALE_TEST_LEVEL_CHILD")) level_child(dir);
    }
};
::testing::Environment* const childmode = ::testing::AddGlobalTestEnvironment(new ChildMode);

// Stops a running game with a signal: it ends promptly with status 0.
void stop(Child& c, int sig) {
    ASSERT_GT(c.pid, 0);
    ASSERT_EQ(kill(c.pid, sig), 0);
    long long t0 = now_ms();
    ASSERT_TRUE(wait_for_end(c, kStop)) << "still running " << kStop << " ms after signal " << sig << "\n" << c.text;
    EXPECT_EQ(c.status, 0) << c.text;
    EXPECT_LE(now_ms() - t0, kStop);
    EXPECT_NE(c.text.find("stopped by signal"), std::string::npos) << c.text;
}
}  // namespace

TEST(Process, SigtermInALevelKeepsTheLevelInProgress) {
    std::string dir = temp_folder("sigterm-level");
    Child c = spawn({"/proc/self/exe", "--gtest_filter=Process.SigtermInALevelKeepsTheLevelInProgress"},
                    {"SDL_VIDEODRIVER=dummy", "SDL_AUDIODRIVER=dummy", "OMBRIVALE_TEST_LEVEL_CHILD=" + dir}, "");
    ASSERT_TRUE(wait_for_text(c, "ready level=2 stones=", kStart)) << c.text;
    ASSERT_TRUE(wait_for_text(c, "\n", 1000));
    int stones = -1;
    std::sscanf(c.text.c_str() + c.text.find("stones=") + 7, "%d", &stones);
    stop(c, SIGTERM);

    // The profile loads back with level 2 in progress and the board as it was.
    std::string bytes = readfile(dir + "players1.ppp");
    ASSERT_FALSE(bytes.empty());
    int savedcurplayer = curplayer;
    decodeplayer(1, bytes, dir + "players1.ppp");
    EXPECT_EQ(playername[1], "SIGNAL");
    EXPECT_EQ(levelinprogress[1], 1);
    EXPECT_EQ(playerlevel[1], 2);
    EXPECT_GT(stones, 0);
    EXPECT_EQ(boardstones(1), stones);
    resetplayer(1);
    curplayer = savedcurplayer;
    // The settings were written whole.
    std::string settings = readfile(dir + "settings.txt");
    int lines = 0;
    for (size_t at = 0; (at = settings.find("\r\n", at)) != std::string::npos; at += 2) ++lines;
    EXPECT_EQ(lines, 7);
}

TEST(Process, ASecondCopyRaisesTheFirstAndEndsAtOnce) {
    std::string home = temp_folder("instance");
    Child first = spawn({game()}, game_env(home), home);
    ASSERT_TRUE(wait_for_text(first, "load_all_levels()", kStart)) << first.text;

    Child second = spawn({game()}, game_env(home), "/");
    ASSERT_TRUE(wait_for_end(second, kStart)) << second.text;
    EXPECT_EQ(second.status, 0);
    EXPECT_NE(second.text.find("running already"), std::string::npos) << second.text;
    EXPECT_TRUE(wait_for_text(first, "another start asked for the window", kStart)) << first.text;

    // A game with another data folder is another player's game: it runs alongside.
    std::string other = temp_folder("instance-other");
    Child third = spawn({game(), "--windowed"}, game_env(other), other);
    ASSERT_TRUE(wait_for_text(third, "load_all_levels()", kStart)) << third.text;
    stop(third, SIGINT);
    // --windowed opened a window for this run; the saved choice is still the first start's full screen.
    EXPECT_NE(third.text.find("Window Size ok"), std::string::npos) << third.text;
    EXPECT_EQ(readfile(other + "data/Corvantis/Ombrivale-v-0-0-10/settings.txt").substr(0, 3), "1\r\n");
    stop(first, SIGHUP);
}

TEST(Process, CommandLineOfTheGame) {
    Child help = spawn({game(), "--help"}, {}, "/");
    ASSERT_TRUE(wait_for_end(help, kStart));
    EXPECT_EQ(help.status, 0);
    for (const char* o : {"--help", "--version", "--windowed", "--fullscreen", "--replay FILE", "--headless",
                          "--fast", "--check", "--force", "--window WxH", "--rule NAME=N", "--report"})
        EXPECT_NE(help.text.find(o), std::string::npos) << o;

    Child version = spawn({game(), "--version"}, {}, "/");
    ASSERT_TRUE(wait_for_end(version, kStart));
    EXPECT_EQ(version.status, 0);
    EXPECT_EQ(version.text, std::string("ombrivale ") + gameversion() + "\n");

    // A playback value the parser cannot judge is refused by the playback itself, before any window opens.
    for (const char* bad : {"--window=huge", "--rule=speed=2"}) {
        Child c = spawn({game(), "--replay", "/no/such.ojr", bad}, {}, "/");
        ASSERT_TRUE(wait_for_end(c, kStart));
        EXPECT_EQ(c.status, 2) << bad;
        EXPECT_NE(c.text.find(std::string(bad).substr(0, 6)), std::string::npos) << c.text;
    }
    Child missing = spawn({game(), "--replay", "/no/such.ojr", "--headless"}, {}, "/");
    ASSERT_TRUE(wait_for_end(missing, kStart));
    EXPECT_EQ(missing.status, 2);
    EXPECT_NE(missing.text.find("cannot read the journal /no/such.ojr"), std::string::npos) << missing.text;

    Child wrong = spawn({game(), "--windowed", "--no-such-thing"}, {}, "/");
    ASSERT_TRUE(wait_for_end(wrong, kStart));
    EXPECT_EQ(wrong.status, 2);
    EXPECT_NE(wrong.text.find("unknown option '--no-such-thing'"), std::string::npos) << wrong.text;
    EXPECT_NE(wrong.text.find("usage: ombrivale"), std::string::npos);
}

TEST(Process, WithoutASoundDeviceTheGamePlaysSilently) {
    std::string home = temp_folder("nosound");
    std::vector<std::string> env = game_env(home);
    env.push_back("SDL_AUDIODRIVER=no-such-driver");
    Child c = spawn({game()}, env, home);
    ASSERT_TRUE(wait_for_text(c, "load_all_levels()", kStart)) << c.text;
    EXPECT_NE(c.text.find("no sound:"), std::string::npos) << c.text;
    stop(c, SIGTERM);
}

TEST(Process, WithoutASoundCardOnlyTheGamesOwnNoSoundLineShows) {
    // ALSA with nothing to open, on any machine: a configuration that names no device at all.
    std::string home = temp_folder("alsanoise");
    const std::string conf = home + "asound.conf";
    std::ofstream(conf) << "# no devices\n";
    std::vector<std::string> env = game_env(home);
    env.push_back("SDL_AUDIODRIVER=alsa");
    env.push_back("ALSA_CONFIG_PATH=" + conf);
    Child c = spawn({game()}, env, home);
    ASSERT_TRUE(wait_for_text(c, "load_all_levels()", kStart)) << c.text;
    stop(c, SIGTERM);
    ASSERT_NE(c.text.find("no sound:"), std::string::npos) << c.text;
    if (c.text.find("ALSA") == std::string::npos) GTEST_SKIP() << "no ALSA library here: " << c.text;
    EXPECT_EQ(c.text.find("ALSA lib"), std::string::npos) << c.text;
}

TEST(Process, WithoutAnAcceleratedRendererTheSoftwareOneDraws) {
    // The dummy video driver offers no accelerated renderer, so the game starts on the software one.
    std::string home = temp_folder("software");
    Child c = spawn({game()}, game_env(home), home);
    ASSERT_TRUE(wait_for_text(c, "load_all_levels()", kStart)) << c.text;
    EXPECT_NE(c.text.find("using the software renderer"), std::string::npos) << c.text;
    stop(c, SIGTERM);

    // No video system at all: one line, status 1, no window.
    std::vector<std::string> env = game_env(home);
    env.push_back("SDL_VIDEODRIVER=no-such-driver");
    Child none = spawn({game()}, env, home);
    ASSERT_TRUE(wait_for_end(none, kStart));
    EXPECT_EQ(none.status, 1);
    EXPECT_NE(none.text.find("the video system could not start"), std::string::npos) << none.text;
}

TEST(CommandLine, OptionsAndTheirErrors) {
    auto parse = [](std::vector<const char*> args) {
        args.insert(args.begin(), "ombrivale");
        return parsecmdline((int)args.size(), const_cast<char**>(args.data()));
    };
    EXPECT_EQ(parse({}), -1);
    EXPECT_EQ(cmd_display, -1);
    EXPECT_EQ(parse({"--windowed"}), -1);
    EXPECT_EQ(cmd_display, 0);
    EXPECT_EQ(parse({"--windowed", "--fullscreen"}), -1);  // the last one counts
    EXPECT_EQ(cmd_display, 1);
    testing::internal::CaptureStderr();
    EXPECT_EQ(parse({"--windowed=yes"}), 2);
    EXPECT_EQ(parse({"-w"}), 2);
    EXPECT_EQ(parse({"windowed"}), 2);
    std::string err = testing::internal::GetCapturedStderr();
    EXPECT_NE(err.find("--windowed takes no value"), std::string::npos) << err;
    EXPECT_NE(err.find("unknown option '-w'"), std::string::npos) << err;
    cmd_display = -1;

    // Playback options go through the same table and only with a journal to play.
    EXPECT_EQ(parse({"--replay", "a.ojr", "--headless", "--check", "--window=800x600", "--rule", "comboframes=5"}), -1);
    EXPECT_EQ(cmd_replay, "a.ojr");
    EXPECT_EQ(cmd_headless + cmd_check + cmd_fast + cmd_force, 2);
    EXPECT_EQ(cmd_window, "800x600");
    EXPECT_EQ(cmd_rule, "comboframes=5");
    EXPECT_EQ(parse({"--report"}), -1);
    EXPECT_EQ(cmd_report, 1);
    EXPECT_TRUE(cmd_replay.empty());  // nothing carries over from the parse before
    testing::internal::CaptureStderr();
    EXPECT_EQ(parse({"--check"}), 2);
    EXPECT_EQ(parse({"--replay"}), 2);
    EXPECT_EQ(parse({"--replay="}), 2);
    EXPECT_EQ(parse({"--replay", "a.ojr", "--report"}), 2);
    EXPECT_EQ(parse({"--replay", "a.ojr", "--no-such-thing"}), 2);
    err = testing::internal::GetCapturedStderr();
    EXPECT_NE(err.find("go with --replay FILE"), std::string::npos) << err;
    EXPECT_NE(err.find("--replay needs FILE"), std::string::npos) << err;
    EXPECT_NE(err.find("unknown option '--no-such-thing'"), std::string::npos) << err;
    parse({});
}

TEST(CommandLine, ADisplayChosenForOneRunLeavesTheSavedChoice) {
    headless();
    std::string saveduser = userpath;
    int savedfull = fullscreen;
    userpath = temp_folder("override");
    savesettings(1);  // full screen saved
    displayoverride = 0;
    loadsettings();
    EXPECT_EQ(fullscreen, 0);
    savesettings(0);  // as the options popup or focus loss would
    EXPECT_EQ(readfile(userpath + "settings.txt").substr(0, 3), "1\r\n");
    // Once the player picks a display in the options, the file follows it.
    togglescreensize(displaymode, 0);
    EXPECT_EQ(displayoverride, -1);
    EXPECT_EQ(readfile(userpath + "settings.txt").substr(0, 3), "0\r\n");
    paused = -1;
    fullscreen = savedfull;
    userpath = saveduser;
}

TEST(SingleInstance, ASecondStartRingsTheFirstOnce) {
    std::string name = "ring-" + std::to_string(getpid());
    ASSERT_EQ(acquire_instance_name(name.c_str()), 1);
    EXPECT_EQ(instance_raise_requested(), 0);
    pid_t child = fork();
    if (child == 0) _exit(acquire_instance_name(name.c_str()) == 0 ? 0 : 7);
    int status = 0;
    waitpid(child, &status, 0);
    EXPECT_EQ(WEXITSTATUS(status), 0);  // the second start is told a game runs
    EXPECT_EQ(instance_raise_requested(), 1);
    EXPECT_EQ(instance_raise_requested(), 0);
}

TEST(SingleInstance, AnotherAccountHoldingTheNameDoesNotStopTheGame) {
    if (getuid() != 0) GTEST_SKIP() << "needs root to act as another account";
    std::string name = "squat-" + std::to_string(getpid());
    std::string full = std::string(appid) + "." + std::to_string(getuid()) + "." + name;
    int ready[2];
    ASSERT_EQ(pipe(ready), 0);
    pid_t child = fork();
    if (child == 0) {
        // Another account takes this user's name first.
        if (setgid(65534) != 0 || setuid(65534) != 0) _exit(3);
        int fd = socket(AF_UNIX, SOCK_STREAM, 0);
        sockaddr_un addr{};
        addr.sun_family = AF_UNIX;
        std::memcpy(addr.sun_path + 1, full.data(), full.size());
        socklen_t len = (socklen_t)(offsetof(sockaddr_un, sun_path) + 1 + full.size());
        if (bind(fd, (sockaddr*)&addr, len) != 0 || listen(fd, 4) != 0) _exit(4);
        char c = 1;
        if (write(ready[1], &c, 1) != 1) _exit(5);
        for (;;) pause();  // holds the name until the parent ends it
    }
    ASSERT_GT(child, 0);
    close(ready[1]);
    char c = 0;
    ASSERT_EQ(read(ready[0], &c, 1), 1);
    testing::internal::CaptureStdout();
    EXPECT_EQ(acquire_instance_name(name.c_str()), 1);
    EXPECT_NE(testing::internal::GetCapturedStdout().find("another account holds"), std::string::npos);
    kill(child, SIGKILL);
    int status = 0;
    waitpid(child, &status, 0);
    close(ready[0]);
}
