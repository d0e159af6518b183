// Process-level services: bringing the platform up, timers, and the single-instance guard.
#pragma once
#include <cstdint>

// Initialises the media layer (video, events, timers). Returns 0 when the video system cannot start.
int platform_init();
void platform_quit();

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

// Holds a system-wide name for the life of the process. Returns 1 when this process got it, 0 when another
// process holds it already.
int acquire_instance_name(const char* name);

// Names of the video and audio drivers in use ("none" when a subsystem is not running).
const char* video_driver_name();
const char* audio_driver_name();
