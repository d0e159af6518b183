#include <gtest/gtest.h>
#include <signal.h>
#include <sys/resource.h>
#include <sys/wait.h>
#include <unistd.h>

#include <filesystem>

#include "storage/safefile.h"
#include "support/headless.h"

namespace {
// Runs `write` in a child process that may write at most `limit` bytes to any file; returns the wait status.
template <class F>
int with_file_limit(rlim_t limit, bool survive, F write) {
    pid_t child = fork();
    if (child == 0) {
        if (survive) signal(SIGXFSZ, SIG_IGN);  // the write fails like on a full disk
        rlimit r{limit, limit};
        setrlimit(RLIMIT_FSIZE, &r);
        _exit(write() ? 0 : 3);
    }
    int status = 0;
    waitpid(child, &status, 0);
    return status;
}
}  // namespace

TEST(SafeFile, AnInterruptedWriteLeavesTheOldFileIntact) {
    std::string dir = temp_folder("safefile");
    std::string path = dir + "players1.ppp";
    std::string old_bytes(28708, 'a'), new_bytes(28713, 'b');
    ASSERT_TRUE(write_file_safely(path, old_bytes));
    std::string back;
    ASSERT_TRUE(read_whole_file(path, back));
    EXPECT_EQ(back, old_bytes);

    // Killed half-way through the write.
    int status = with_file_limit(4096, false, [&] { return write_file_safely(path, new_bytes); });
    ASSERT_TRUE(WIFSIGNALED(status));
    ASSERT_TRUE(read_whole_file(path, back));
    EXPECT_EQ(back, old_bytes);

    // The disk fills up: the failure is reported and nothing is left behind.
    status = with_file_limit(4096, true, [&] { return write_file_safely(path, new_bytes); });
    ASSERT_TRUE(WIFEXITED(status));
    EXPECT_EQ(WEXITSTATUS(status), 3);
    ASSERT_TRUE(read_whole_file(path, back));
    EXPECT_EQ(back, old_bytes);
    EXPECT_FALSE(std::filesystem::exists(path + ".new"));

    // A leftover from the killed write does not disturb the next one.
    ASSERT_TRUE(write_file_safely(path, new_bytes));
    ASSERT_TRUE(read_whole_file(path, back));
    EXPECT_EQ(back, new_bytes);

    // A folder that does not exist: reported, not a crash.
    EXPECT_FALSE(write_file_safely(dir + "missing/settings.txt", "1\r\n"));
}
