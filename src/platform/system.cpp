#include "platform/system.h"

#include <SDL.h>
#include <dlfcn.h>
#include <sys/resource.h>
#include <sys/socket.h>
#include <sys/un.h>
#include <unistd.h>

#include <csignal>
#include <ctime>
#include <cstdio>
#include <cstdlib>

#include <cerrno>
#include <chrono>
#include <cstddef>
#include <string>
#include <algorithm>
#include <cstring>
#include <thread>

const char* const appid = "io.github.ombrivale.Ombrivale";

namespace {
volatile std::sig_atomic_t stopsignal = 0;
int instance_fd = -1;

void on_stop_signal(int sig) { stopsignal = sig; }

int64_t now_ns() {
    using namespace std::chrono;
    return duration_cast<nanoseconds>(steady_clock::now().time_since_epoch()).count();
}
}  // namespace

int platform_init() {
    // Stop signals are the game's own business (see install_stop_signals), not a close request.
    SDL_SetHint(SDL_HINT_NO_SIGNAL_HANDLERS, "1");
    // The window's class is the application id, so desktops match it to the menu entry and its icon.
    setenv("SDL_VIDEO_X11_WMCLASS", appid, 0);
    setenv("SDL_VIDEO_WAYLAND_WMCLASS", appid, 0);
    SDL_SetHint(SDL_HINT_APP_NAME, "Ombrivale");
    SDL_SetHint(SDL_HINT_RENDER_BATCHING, "1");
    SDL_SetHint(SDL_HINT_VIDEO_MINIMIZE_ON_FOCUS_LOSS, "0");
    SDL_SetHint(SDL_HINT_MOUSE_FOCUS_CLICKTHROUGH, "1");
    if (SDL_Init(SDL_INIT_VIDEO | SDL_INIT_EVENTS | SDL_INIT_TIMER) != 0) return 0;
    return 1;
}

void platform_quit() { SDL_Quit(); }

int video_without_display() {
    // Chosen by name (tests, headless playback, the install check) they are what was asked for.
    const char* asked = std::getenv("SDL_VIDEODRIVER");
    if (asked && asked[0]) return 0;
    const char* driver = SDL_GetCurrentVideoDriver();
    return driver && (std::strcmp(driver, "offscreen") == 0 || std::strcmp(driver, "dummy") == 0) ? 1 : 0;
}

double process_cpu_seconds() {
    rusage ru;
    getrusage(RUSAGE_SELF, &ru);
    return (double)ru.ru_utime.tv_sec + ru.ru_utime.tv_usec * 1e-6 + (double)ru.ru_stime.tv_sec +
           ru.ru_stime.tv_usec * 1e-6;
}

double thread_cpu_ms() {
    timespec t;
    clock_gettime(CLOCK_THREAD_CPUTIME_ID, &t);
    return (double)t.tv_sec * 1e3 + (double)t.tv_nsec * 1e-6;
}

int timing_on() {
    static const int on = std::getenv("OMBRIVALE_TIMES") != nullptr ? 1 : 0;
    return on;
}

void timing_step(const char* what) {
    static double last = 0;
    if (!timing_on()) return;
    const double now = process_cpu_seconds();
    std::fprintf(stderr, "time %-28s %7.1f ms  (%.3f s)\n", what, (now - last) * 1000.0, now);
    last = now;
}

TTimer create_timer(int hz) {
    TTimer t;
    t.start_ns = now_ns();
    t.period_ns = hz > 0 ? 1000000000LL / hz : 1000000000LL;
    return t;
}

int timer_ticks(const TTimer& t) {
    if (t.manual >= 0) return t.manual;
    return (int)((now_ns() - t.start_ns) / t.period_ns);
}

int wait_timer(TTimer& t) {
    int64_t ticks = (now_ns() - t.start_ns) / t.period_ns;
    if (ticks <= t.last_tick) {
        int64_t target = t.start_ns + (t.last_tick + 1) * t.period_ns;
        int64_t wait = target - now_ns();
        if (wait > 0) std::this_thread::sleep_for(std::chrono::nanoseconds(wait));
        ticks = (now_ns() - t.start_ns) / t.period_ns;
        if (ticks <= t.last_tick) ticks = t.last_tick + 1;
    }
    int missed = (int)(ticks - t.last_tick - 1);
    t.last_tick = ticks;
    return missed;
}

namespace {
// Binds the abstract name `full` and listens on it: 1 when this process holds it now, 0 when it is taken, -1 on
// any other failure.
int bind_instance_name(const std::string& full, int* fdout, sockaddr_un* addr, socklen_t* len) {
    int fd = socket(AF_UNIX, SOCK_STREAM | SOCK_CLOEXEC | SOCK_NONBLOCK, 0);
    if (fd < 0) return -1;
    std::memset(addr, 0, sizeof *addr);
    addr->sun_family = AF_UNIX;
    size_t n = std::min(full.size(), sizeof addr->sun_path - 2);
    std::memcpy(addr->sun_path + 1, full.data(), n);
    *len = (socklen_t)(offsetof(sockaddr_un, sun_path) + 1 + n);
    *fdout = fd;
    if (bind(fd, (sockaddr*)addr, *len) == 0 && listen(fd, 8) == 0) return 1;
    return errno == EADDRINUSE ? 0 : -1;
}
}  // namespace

// An abstract-namespace Unix socket named with the user's id and the name: the kernel frees it when the process
// ends, however it ends. The holder listens on it; another start of the same user connects, which asks the
// holder to show its window. Anyone may bind an abstract name, so a holder counts only when it answers and its
// credentials are this user's; a name taken by anything else is passed over for the next of a few spare names.
int acquire_instance_name(const char* name) {
    const std::string base = std::string(appid) + "." + std::to_string(getuid()) + "." + name;
    for (int spare = 0; spare < 4; ++spare) {
        const std::string full = spare == 0 ? base : base + "." + std::to_string(spare);
        int fd = -1;
        sockaddr_un addr;
        socklen_t len = 0;
        int got = bind_instance_name(full, &fd, &addr, &len);
        if (got == 1) {
            // The descriptor stays open (and the name held) until the process ends.
            if (instance_fd >= 0) close(instance_fd);
            instance_fd = fd;
            return 1;
        }
        if (got < 0) {
            if (fd >= 0) close(fd);
            return 1;  // cannot tell: let the game run
        }
        close(fd);
        fd = socket(AF_UNIX, SOCK_STREAM | SOCK_CLOEXEC | SOCK_NONBLOCK, 0);
        if (fd < 0) return 1;
        // Someone holds the name: ring it, and believe only an answer from this user's own process.
        ucred peer{};
        socklen_t pl = sizeof peer;
        bool answered = connect(fd, (sockaddr*)&addr, len) == 0;
        bool mine = answered && getsockopt(fd, SOL_SOCKET, SO_PEERCRED, &peer, &pl) == 0 && peer.pid > 0 &&
                    peer.uid == getuid();
        close(fd);
        if (mine) return 0;
        if (answered && peer.pid > 0)
            std::printf("another account holds the name %s: starting anyway\n", full.c_str());
        else
            std::printf("the name %s is held by no game of this user (%s): starting anyway\n", full.c_str(),
                        answered ? "no credentials" : "it does not answer");
    }
    return 1;
}

int instance_raise_requested() {
    if (instance_fd < 0) return 0;
    int asked = 0;
    for (;;) {
        int c = accept4(instance_fd, nullptr, nullptr, SOCK_CLOEXEC | SOCK_NONBLOCK);
        if (c < 0) break;
        ucred peer{};
        socklen_t pl = sizeof peer;
        if (getsockopt(c, SOL_SOCKET, SO_PEERCRED, &peer, &pl) == 0 && peer.uid == getuid()) asked = 1;
        close(c);
    }
    return asked;
}

namespace {
void (*displaylost)() = nullptr;
int on_display_io_error(void*) {
    static int entered = 0;
    if (entered++) _exit(1);  // the save itself reached the dead connection
    if (displaylost) displaylost();
    return 0;  // Xlib ends the process when this returns
}
}  // namespace

void on_display_lost(void (*fn)()) {
    displaylost = fn;
    // Only when the video system has loaded Xlib already: the game itself has no link to it.
    void* x11 = dlopen("libX11.so.6", RTLD_LAZY | RTLD_NOLOAD);
    if (!x11) return;
    using handler = int (*)(void*);
    using setter = handler (*)(handler);
    if (auto set = (setter)dlsym(x11, "XSetIOErrorHandler")) set(on_display_io_error);
    dlclose(x11);  // the video system keeps it loaded
}

void install_stop_signals() {
    struct sigaction sa;
    std::memset(&sa, 0, sizeof sa);
    sa.sa_handler = on_stop_signal;
    sigemptyset(&sa.sa_mask);
    for (int sig : {SIGTERM, SIGINT, SIGHUP}) sigaction(sig, &sa, nullptr);
}

int stop_signal() { return (int)stopsignal; }

int show_error_box(const char* title, const std::string& text) {
    // The dummy video driver of headless runs and tests has no screen to show it on.
    const char* driver = SDL_GetCurrentVideoDriver();
    if (!driver || std::strcmp(driver, "dummy") == 0 || std::strcmp(driver, "offscreen") == 0) return 0;
    return SDL_ShowSimpleMessageBox(SDL_MESSAGEBOX_ERROR, title, text.c_str(), nullptr) == 0 ? 1 : 0;
}

const char* video_driver_name() {
    const char* n = SDL_GetCurrentVideoDriver();
    return n ? n : "none";
}

const char* audio_driver_name() {
    const char* n = SDL_GetCurrentAudioDriver();
    return n ? n : "none";
}
