#include "support/process.h"

#include <fcntl.h>
#include <poll.h>
#include <signal.h>
#include <sys/wait.h>
#include <unistd.h>

#include <chrono>
#include <cstring>

extern char** environ;

long long now_ms() {
    using namespace std::chrono;
    return duration_cast<milliseconds>(steady_clock::now().time_since_epoch()).count();
}

std::vector<std::string> game_env(const std::string& home) {
    return {"SDL_VIDEODRIVER=dummy", "SDL_AUDIODRIVER=dummy", "HOME=" + home, "XDG_DATA_HOME=" + home + "/data"};
}

Child spawn(const std::vector<std::string>& argv, const std::vector<std::string>& env, const std::string& cwd) {
    Child c;
    int fds[2];
    if (pipe2(fds, O_CLOEXEC) != 0) return c;
    // Everything the child needs is built before fork: after it, only async-signal-safe calls.
    std::vector<std::string> envs;
    for (char** e = environ; *e; ++e) envs.push_back(*e);
    for (const std::string& x : env) {
        const bool unset = x.find('=') == std::string::npos;
        std::string name = unset ? x + "=" : x.substr(0, x.find('=') + 1);
        std::erase_if(envs, [&](const std::string& s) { return s.compare(0, name.size(), name) == 0; });
        if (!unset) envs.push_back(x);
    }
    std::vector<char*> av, ev;
    for (const std::string& a : argv) av.push_back(const_cast<char*>(a.c_str()));
    av.push_back(nullptr);
    for (const std::string& e : envs) ev.push_back(const_cast<char*>(e.c_str()));
    ev.push_back(nullptr);
    pid_t pid = fork();
    if (pid == 0) {
        dup2(fds[1], 1);
        dup2(fds[1], 2);
        if (!cwd.empty() && chdir(cwd.c_str()) != 0) _exit(126);
        execve(av[0], av.data(), ev.data());
        _exit(127);
    }
    close(fds[1]);
    c.pid = pid;
    c.out = fds[0];
    if (pid < 0) close(fds[0]);
    return c;
}

namespace {
// Reads what is there within `ms`; false at the end of the output.
bool read_some(Child& c, int ms) {
    if (c.out < 0) return false;
    pollfd p{c.out, POLLIN, 0};
    if (poll(&p, 1, ms < 0 ? 0 : ms) <= 0) return true;
    char buf[4096];
    ssize_t n = read(c.out, buf, sizeof buf);
    if (n <= 0) {
        close(c.out);
        c.out = -1;
        return false;
    }
    c.text.append(buf, (size_t)n);
    return true;
}
}  // namespace

bool wait_for_text(Child& c, const std::string& text, int ms) {
    long long end = now_ms() + ms;
    while (c.text.find(text) == std::string::npos) {
        long long left = end - now_ms();
        if (left <= 0 || !read_some(c, (int)left)) return c.text.find(text) != std::string::npos;
    }
    return true;
}

bool wait_for_end(Child& c, int ms) {
    if (c.pid <= 0) return false;  // never started: there is nothing to wait for, and nothing to kill
    long long end = now_ms() + ms;
    while (c.out >= 0) {
        long long left = end - now_ms();
        if (left <= 0) break;
        read_some(c, (int)left);
    }
    int st = 0;
    pid_t r = waitpid(c.pid, &st, c.out < 0 ? 0 : WNOHANG);
    if (r != c.pid) {
        kill(c.pid, SIGKILL);
        waitpid(c.pid, &st, 0);
        if (c.out >= 0) close(c.out);
        c.out = -1;
        c.status = -1;
        return false;
    }
    c.status = WIFEXITED(st) ? WEXITSTATUS(st) : 128 + WTERMSIG(st);
    return true;
}
