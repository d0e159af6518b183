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
