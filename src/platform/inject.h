// Feeding input through the real window-event path, for the headless harness and scripted play.
#pragma once
#include <string>

void inject_key(int vk, int down);
void inject_text(const std::string& utf8);
void inject_mouse_move(int x, int y);      // window pixels
void inject_mouse_button(int button, int down);
void inject_wheel(int dy);
void inject_focus(int gained);
void inject_close();
// A gamepad's button for one of the PAD_* bits (the A, B, X, Start, shoulder and d-pad buttons), or its left
// stick (axis 0 across, 1 down; -32768..32767), as sent by a pad that SDL does not know by its id.
void inject_pad_button(int padbit, int down);
void inject_pad_axis(int axis, int value);
