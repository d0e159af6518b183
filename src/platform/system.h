// Process-level services: bringing the platform up, timers, and the single-instance guard.
#pragma once
#include <cstdint>
#include <string>

// Initialises the media layer (video, events, timers). Returns 0 when the video system cannot start.
int platform_init();
void platform_quit();
// 1 when the video system came up on a driver without a screen (offscreen, dummy) that SDL_VIDEODRIVER did not
// ask for: SDL falls back to one when no display opens, and a game nobody can see must not run.
int video_without_display();

// A periodic timer counted from a monotonic clock.
struct TTimer {
    int64_t start_ns = 0;
    int64_t period_ns = 0;
    int64_t last_tick = 0;  // ticks already waited for
    int manual = -1;        // >= 0: a hand-driven tick count (headless runs and tests), the clock is not read
};
TTimer create_timer(int hz);
// Ticks since the timer was created.
int timer_ticks(const TTimer& t);
// Waits until the next tick; returns the ticks missed since the last wait.
int wait_timer(TTimer& t);

// The game's application id: window class, desktop entry, metainfo and icon name.
extern const char* const appid;

// Holds a name for the life of the process, per user account. Returns 1 when this process got it (or when only
// another account's process holds it), 0 when a process of this user holds it already; that process is then
// asked to bring its window to the front.
int acquire_instance_name(const char* name);
// 1 when another start asked this process to show itself since the last call (never waits).
int instance_raise_requested();

// Calls `fn` when the connection to the X server is lost (the server ended or crashed); `fn` must end the
// process, as Xlib does right after it. Does nothing unless the video system runs on X.
void on_display_lost(void (*fn)());

// SIGTERM, SIGINT and SIGHUP only set a flag from here on; the loop reads it with stop_signal().
void install_stop_signals();
// The stop signal received, or 0.
int stop_signal();

// Shows a simple error window (when a display is available) and waits until it is closed. Returns 0 when no
// window could be shown; the caller has printed the message on standard output anyway.
int show_error_box(const char* title, const std::string& text);

// CPU seconds of the whole process so far (every thread).
double process_cpu_seconds();
// CPU milliseconds of the calling thread so far (budgets for work spread over frames).
double thread_cpu_ms();
// With OMBRIVALE_TIMES set, prints on standard error the CPU time since the previous call, under `what`:
// a breakdown of the start-up and of slow frames that leaves the standard output untouched.
void timing_step(const char* what);
// 1 when OMBRIVALE_TIMES is set.
int timing_on();

// Names of the video and audio drivers in use ("none" when a subsystem is not running).
const char* video_driver_name();
const char* audio_driver_name();
