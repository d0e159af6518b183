#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <sstream>

#include "platform/audio.h"
#include "platform/paths.h"
#include "storage/safefile.h"
#include "storage/settings.h"
#include "support/headless.h"

namespace {
std::string slurp(const std::string& path) {
    std::stringstream s;
    s << std::ifstream(path, std::ios::binary).rdbuf();
    return s.str();
}

void put(const std::string& path, const std::string& text) { std::ofstream(path, std::ios::binary) << text; }

class Settings : public ::testing::Test {
protected:
    std::string saved_base, home;
    void SetUp() override {
        saved_base = basedir;
        home = temp_folder(::testing::UnitTest::GetInstance()->current_test_info()->name());
        setenv("XDG_DATA_HOME", home.c_str(), 1);
    }
    void TearDown() override {
        basedir = saved_base;
        unsetenv("XDG_DATA_HOME");
    }
};
}  // namespace

TEST_F(Settings, FirstStartCreatesTheFolderAndWritesTheDefaults) {
    testing::internal::CaptureStdout();
    makepath();
    std::string out = testing::internal::GetCapturedStdout();
    EXPECT_EQ(userpath, home + "Corvantis/Ombrivale-v-0-0-10/");
    EXPECT_EQ(out, userpath + "\n");
    EXPECT_EQ(newuserfolder, 1);
    EXPECT_TRUE(std::filesystem::is_directory(userpath));

    fullscreen = 0;
    musicvolume = 3;
    savesettings(1);
    EXPECT_EQ(slurp(userpath + "settings.txt"), "1\r\n1\r\n280\r\n280\r\n-1\r\n1\r\n-1\r\n");
    EXPECT_EQ(fullscreen, 1);

    // A second start finds the folder and reads the file back unchanged.
    fullscreen = displaymode = musicvolume = 0;
    makepath();
    EXPECT_EQ(newuserfolder, 0);
    loadsettings();
    EXPECT_EQ(fullscreen, 1);
    EXPECT_EQ(musicvolume, 280);
    EXPECT_EQ(musicvolnow, 280);
    EXPECT_EQ(customcursor, -1);

    displaymode = 4;
    curplayer = 3;
    soundvolume = 542;
    savesettings(0);
    EXPECT_EQ(slurp(userpath + "settings.txt"), "1\r\n4\r\n280\r\n542\r\n3\r\n1\r\n-1\r\n");
    EXPECT_FALSE(std::filesystem::exists(userpath + "settings.txt.new"));
}

TEST_F(Settings, LinesAreReadTolerantly) {
    EXPECT_EQ(readint("  42abc"), 42);
    EXPECT_EQ(readint("-7"), -7);
    EXPECT_EQ(readint("+5"), 5);
    EXPECT_EQ(readint("x12"), 0);
    EXPECT_EQ(readint(""), 0);
    EXPECT_EQ(readint("-"), 0);
    EXPECT_EQ(readint("99999999999999999999"), 2147483647);
    EXPECT_EQ(readint("-99999999999999999999"), -2147483647 - 1);

    makepath();
    put(userpath + "settings.txt", "0\n  2 \r\nvolume\r\n-12\r\n5\r\n");
    loadsettings();
    EXPECT_EQ(fullscreen, 0);
    EXPECT_EQ(displaymode, 2);
    EXPECT_EQ(musicvolume, 0);
    EXPECT_EQ(musicvolnow, 0);
    EXPECT_EQ(soundvolume, -12);
    EXPECT_EQ(curplayer, 5);
    // Lines the file does not have keep their defaults.
    EXPECT_EQ(bganimation, 1);
    EXPECT_EQ(customcursor, -1);
}

TEST_F(Settings, AMissingFileOrAPlayerOutsideTheSlotsGivesSafeValues) {
    makepath();
    std::filesystem::remove(userpath + "settings.txt");
    fullscreen = 0;
    curplayer = 4;
    testing::internal::CaptureStdout();
    loadsettings();
    std::string out = testing::internal::GetCapturedStdout();
    EXPECT_NE(out.find("settings.txt missing"), std::string::npos);
    EXPECT_EQ(fullscreen, 1);
    EXPECT_EQ(curplayer, -1);

    for (const char* bad : {"16", "0", "-5", "2147483647"}) {
        put(userpath + "settings.txt", std::string("1\r\n1\r\n280\r\n280\r\n") + bad + "\r\n1\r\n-1\r\n");
        loadsettings();
        EXPECT_EQ(curplayer, -1) << bad;
    }
    put(userpath + "settings.txt", "1\r\n1\r\n280\r\n280\r\n15\r\n1\r\n-1\r\n");
    loadsettings();
    EXPECT_EQ(curplayer, 15);
}

TEST_F(Settings, WhenTheUserFolderCannotBeMadeTheFallbacksStayOutOfTheGamesTree) {
    std::string saved_home = std::getenv("HOME") ? std::getenv("HOME") : "";
    // A file where the data folder should be: nothing can be created under it.
    std::string blocked = home + "blocked";
    put(blocked, "x");
    setenv("XDG_DATA_HOME", blocked.c_str(), 1);
    setenv("HOME", (home + "home").c_str(), 1);
    std::string base = temp_folder("fallback-base");
    std::string work = temp_folder("fallback-work");
    basedir = base;
    std::filesystem::create_directories(base + "data");
    std::filesystem::path before = std::filesystem::current_path();
    std::filesystem::current_path(work);
    testing::internal::CaptureStdout();
    // First the default folder under the home folder.
    makepath();
    EXPECT_EQ(userpath, home + "home/.local/share/Corvantis/Ombrivale-v-0-0-10/");
    EXPECT_EQ(newuserfolder, 1);
    EXPECT_EQ(userfolderusable, 1);
    // Then the working folder.
    setenv("HOME", blocked.c_str(), 1);
    makepath();
    std::string first = userpath;
    int created = newuserfolder;
    makepath();
    EXPECT_EQ(first, work + "data/saves/");
    EXPECT_EQ(created, 1);
    EXPECT_EQ(newuserfolder, 0);
    EXPECT_TRUE(std::filesystem::is_directory(first));
    // Never in the game's own tree, started there (from its data folder here): nothing is saved, and it says so.
    std::filesystem::current_path(base + "data");
    makepath();
    std::string out = testing::internal::GetCapturedStdout();
    std::filesystem::current_path(before);
    EXPECT_EQ(userfolderusable, 0);
    EXPECT_NE(out.find("nothing will be saved"), std::string::npos) << out;
    EXPECT_FALSE(std::filesystem::exists(base + "data/saves"));
    EXPECT_FALSE(std::filesystem::exists(base + "data/data"));
    testing::internal::CaptureStdout();
    EXPECT_FALSE(write_file_safely(userpath + "settings.txt", "1\r\n"));
    testing::internal::GetCapturedStdout();
    setenv("HOME", saved_home.c_str(), 1);

    // Without XDG_DATA_HOME the user's ~/.local/share is used.
    unsetenv("XDG_DATA_HOME");
    setenv("HOME", home.c_str(), 1);
    EXPECT_EQ(specialfolderpath(35), home + ".local/share/");
    setenv("XDG_DATA_HOME", "relative/ignored", 1);
    EXPECT_EQ(specialfolderpath(35), home + ".local/share/");
    setenv("HOME", saved_home.c_str(), 1);
}
