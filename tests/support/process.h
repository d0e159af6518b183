// Test support: runs a program as a child process with its output on a pipe, and waits for what it prints or
// for its end, each with a bound (nothing sleeps for a fixed time).
#pragma once
#include <sys/types.h>

#include <string>
#include <vector>

struct Child {
    pid_t pid = -1;
    int out = -1;         // standard output and standard error, merged
    std::string text;     // everything read so far
    int status = -1;      // exit status once it ended, -1 before (128 + n when killed by signal n)
};

// Starts argv[0] with the extra environment entries ("NAME=value"; each replaces an inherited or earlier entry of
// that name; a bare "NAME" removes it) in folder cwd (unchanged when empty).
Child spawn(const std::vector<std::string>& argv, const std::vector<std::string>& env, const std::string& cwd);
// Reads until `text` appears in the output or `ms` milliseconds pass; true when it appeared.
bool wait_for_text(Child& c, const std::string& text, int ms);
// Reads until the child closes its output and ends, at most `ms` milliseconds; true when it ended in time
// (c.status then holds its status). A child still running at the deadline is killed.
bool wait_for_end(Child& c, int ms);
// Milliseconds of a monotonic clock.
long long now_ms();
// The environment a headless game needs: dummy video and audio, HOME and XDG_DATA_HOME under `home`.
std::vector<std::string> game_env(const std::string& home);
