// Headless driving of the real game loop: frames without waiting for the timer, input through the real
// event path, and the frame read back as RGBA. Used by the tests, the benches and scripted runs.
#pragma once
#include <cstdint>
#include <string>
#include <vector>

// Brings the platform up on SDL's dummy video driver and a silent audio driver (unless a driver is already
// chosen in the environment), with data read from `base` (the folder holding data/), and opens an 800 x 600
// window showing logical 1024 x 768.
void harness_open(const std::string& base);
// (Re)opens the 800 x 600 window over logical 1024 x 768 that harness_open starts with.
void harness_window();
// Runs n frames of the main loop body (clear, input, frame, present) without waiting.
void harness_frames(int n);
// Runs one frame and returns what it drew, before presenting it.
std::vector<uint8_t> harness_frame_rgba(int* w, int* h);
// Physical window coordinates of a logical point (800 x 600 window over 1024 x 768).
void harness_window_point(int lx, int ly, int* wx, int* wy);
// A left click at a logical point: move, press and release before the next frame.
void harness_click(int lx, int ly);
void harness_close();
