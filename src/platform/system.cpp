#include "platform/system.h"

#include <SDL.h>
#include <sys/socket.h>
#include <sys/un.h>
#include <unistd.h>

#include <cerrno>
#include <chrono>
#include <cstddef>
#include <string>
#include <algorithm>
#include <cstring>
#include <thread>

namespace {
int64_t now_ns() {
    using namespace std::chrono;
    return duration_cast<nanoseconds>(steady_clock::now().time_since_epoch()).count();
}
}  // namespace

int platform_init() {
    SDL_SetHint(SDL_HINT_RENDER_BATCHING, "1");
    SDL_SetHint(SDL_HINT_VIDEO_MINIMIZE_ON_FOCUS_LOSS, "0");
    SDL_SetHint(SDL_HINT_MOUSE_FOCUS_CLICKTHROUGH, "1");
    if (SDL_Init(SDL_INIT_VIDEO | SDL_INIT_EVENTS | SDL_INIT_TIMER) != 0) return 0;
    return 1;
}

void platform_quit() { SDL_Quit(); }

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

// An abstract-namespace Unix socket bound to the name: the kernel frees it when the process ends, however it ends.
int acquire_instance_name(const char* name) {
    int fd = socket(AF_UNIX, SOCK_STREAM | SOCK_CLOEXEC, 0);
    if (fd < 0) return 1;  // cannot tell: let the game run
    sockaddr_un addr;
    std::memset(&addr, 0, sizeof addr);
    addr.sun_family = AF_UNIX;
    std::string full = std::string("ombrivale.") + name;
    size_t n = std::min(full.size(), sizeof addr.sun_path - 2);
    std::memcpy(addr.sun_path + 1, full.data(), n);
    socklen_t len = (socklen_t)(offsetof(sockaddr_un, sun_path) + 1 + n);
    if (bind(fd, (sockaddr*)&addr, len) != 0) {
        close(fd);
        return errno == EADDRINUSE ? 0 : 1;
    }
    // The descriptor stays open (and the name held) until the process ends.
    return 1;
}

const char* video_driver_name() {
    const char* n = SDL_GetCurrentVideoDriver();
    return n ? n : "none";
}

const char* audio_driver_name() {
    const char* n = SDL_GetCurrentAudioDriver();
    return n ? n : "none";
}
