// The player's files against what another account (or an accident) may leave in the user folder: the umask,
// planted links, FIFOs. Whatever is there, a save writes a private file of its own and a read never waits.
#include <gtest/gtest.h>
#include <signal.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <filesystem>
#include <fstream>
#include <functional>

#include "platform/readfile.h"
#include "platform/userfile.h"
#include "storage/safefile.h"
#include "storage/settings.h"
#include "support/headless.h"

namespace {
int mode_of(const std::string& path) {
    struct stat st;
    return lstat(path.c_str(), &st) == 0 ? (int)(st.st_mode & 07777) : -1;
}

void put(const std::string& path, const std::string& bytes) { std::ofstream(path, std::ios::binary) << bytes; }

// Runs `what` in a child that is killed when it takes more than five seconds (a FIFO would hold it for ever);
// returns its exit status, or -1 when it did not end by itself.
int bounded(const std::function<int()>& what) {
    pid_t child = fork();
    if (child == 0) {
        alarm(5);
        _exit(what());
    }
    int status = 0;
    waitpid(child, &status, 0);
    return WIFEXITED(status) ? WEXITSTATUS(status) : -1;
}

class UmaskZero : public ::testing::Test {
protected:
    mode_t saved = 0;
    void SetUp() override { saved = umask(0); }
    void TearDown() override { umask(saved); }
};
}  // namespace

TEST_F(UmaskZero, FoldersAndFilesArePrivateWhateverTheUmask) {
    std::string home = temp_folder("umask");
    std::string folder = home + "share/Corvantis/Ombrivale/";
    ASSERT_TRUE(make_private_folder(folder));
    EXPECT_EQ(mode_of(home + "share"), 0700);
    EXPECT_EQ(mode_of(home + "share/Corvantis"), 0700);
    EXPECT_EQ(mode_of(home + "share/Corvantis/Ombrivale"), 0700);
    EXPECT_TRUE(make_private_folder(folder));  // there already: fine

    ASSERT_TRUE(write_file_safely(folder + "players1.ppp", "profile"));
    EXPECT_EQ(mode_of(folder + "players1.ppp"), 0600);
    // The user folder of the game itself, through makepath.
    std::string saved_xdg = std::getenv("XDG_DATA_HOME") ? std::getenv("XDG_DATA_HOME") : "";
    std::string saved_user = userpath;
    setenv("XDG_DATA_HOME", (home + "xdg").c_str(), 1);
    testing::internal::CaptureStdout();
    makepath();
    testing::internal::GetCapturedStdout();
    EXPECT_EQ(mode_of(home + "xdg"), 0700);
    EXPECT_EQ(mode_of(userpath.substr(0, userpath.size() - 1)), 0700);
    EXPECT_EQ(newuserfolder, 1);
    EXPECT_EQ(userfolderusable, 1);
    if (saved_xdg.empty()) unsetenv("XDG_DATA_HOME");
    else setenv("XDG_DATA_HOME", saved_xdg.c_str(), 1);
    userpath = saved_user;
    newuserfolder = 0;
}

TEST(UserFiles, APlantedLinkOrFifoAtTheTemporaryFileIsReplacedNotFollowed) {
    std::string dir = temp_folder("planted");
    std::string profile = dir + "players1.ppp", other = dir + "players2.ppp";
    put(other, "the other player's progress");
    ASSERT_EQ(symlink(other.c_str(), (profile + ".new").c_str()), 0);
    ASSERT_TRUE(write_file_safely(profile, "new progress"));
    EXPECT_EQ(file_bytes(other), "the other player's progress");  // the link's target is untouched
    EXPECT_EQ(file_bytes(profile), "new progress");
    struct stat st;
    ASSERT_EQ(lstat(profile.c_str(), &st), 0);
    EXPECT_TRUE(S_ISREG(st.st_mode));  // the saved profile is a file of the game's, not the planted link

    // A FIFO there: the save neither waits for a reader nor writes into it.
    ASSERT_EQ(mkfifo((profile + ".new").c_str(), 0600), 0);
    EXPECT_EQ(bounded([&] { return write_file_safely(profile, "after the fifo") ? 0 : 1; }), 0);
    EXPECT_EQ(file_bytes(profile), "after the fifo");

    // A folder in its place cannot be removed: the save fails and says so, the old file stays.
    std::filesystem::create_directories(profile + ".new");
    testing::internal::CaptureStdout();
    EXPECT_FALSE(write_file_safely(profile, "not written"));
    EXPECT_NE(testing::internal::GetCapturedStdout().find("cannot write"), std::string::npos);
    EXPECT_EQ(file_bytes(profile), "after the fifo");
}

TEST(UserFiles, ReadingNeverWaitsOnAFifoAndFollowsOnlyTheUsersOwnLinks) {
    std::string dir = temp_folder("fifo-read");
    std::string fifo = dir + "settings.txt";
    ASSERT_EQ(mkfifo(fifo.c_str(), 0600), 0);
    EXPECT_EQ(bounded([&] {
                  std::string bytes;
                  return read_user_file(fifo, bytes, 1 << 16) == READ_FAILED && read_file(fifo, bytes) == READ_FAILED
                             ? 0 : 1;
              }),
              0);
    // A profile linked to a FIFO is the same.
    ASSERT_EQ(symlink(fifo.c_str(), (dir + "players1.ppp").c_str()), 0);
    EXPECT_EQ(bounded([&] {
                  std::string bytes;
                  return read_user_file(dir + "players1.ppp", bytes, 1 << 20) == READ_FAILED ? 0 : 1;
              }),
              0);
    std::string bytes;
    EXPECT_EQ(read_own_file(dir + "players1.ppp", bytes, 1 << 20), READ_FAILED);  // never through a link

    // The user's own link to the user's own file is followed.
    put(dir + "kept.ppp", "mine");
    ASSERT_EQ(symlink((dir + "kept.ppp").c_str(), (dir + "players2.ppp").c_str()), 0);
    EXPECT_EQ(read_user_file(dir + "players2.ppp", bytes, 1 << 20), READ_OK);
    EXPECT_EQ(bytes, "mine");
    EXPECT_EQ(read_user_file(dir + "players3.ppp", bytes, 1 << 20), READ_MISSING);
    EXPECT_EQ(read_user_file(dir, bytes, 1 << 20), READ_FAILED);  // a folder

    if (getuid() != 0) GTEST_SKIP() << "needs root to give a file to another account";
    // Another account's file behind a link is not read, nor is another account's link.
    put(dir + "theirs", "someone else's");
    ASSERT_EQ(chown((dir + "theirs").c_str(), 65534, 65534), 0);
    ASSERT_EQ(symlink((dir + "theirs").c_str(), (dir + "players4.ppp").c_str()), 0);
    EXPECT_EQ(read_user_file(dir + "players4.ppp", bytes, 1 << 20), READ_FAILED);
    ASSERT_EQ(symlink((dir + "kept.ppp").c_str(), (dir + "players5.ppp").c_str()), 0);
    ASSERT_EQ(lchown((dir + "players5.ppp").c_str(), 65534, 65534), 0);
    EXPECT_EQ(read_user_file(dir + "players5.ppp", bytes, 1 << 20), READ_FAILED);
    EXPECT_EQ(read_own_file(dir + "theirs", bytes, 1 << 20), READ_FAILED);
    EXPECT_EQ(read_own_file(dir + "kept.ppp", bytes, 1 << 20), READ_OK);
}
