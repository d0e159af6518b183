// Polled keyboard and mouse state, filled from window events. Key codes are the virtual-key codes the game
// uses (13 Enter, 27 Escape, 32 Space, 113 F2, 114 F3, 115 F4, 118 F7, 119 F8, '0'..'9', 'A'..'Z').
#pragma once

#include "globals.h"  // the device and pad layout values

enum { VK_BACK = 8, VK_RETURN = 13, VK_ESCAPE = 27, VK_SPACE = 32, VK_F2 = 113, VK_F3 = 114, VK_F4 = 115,
       VK_F7 = 118, VK_F8 = 119, VK_CONTROL = 17, VK_F12 = 123 };

int key_hit(int code);
int key_down(int code);
int mouse_hit(int button);
int mouse_down(int button);
int raw_mouse_x();
int raw_mouse_y();
int mouse_wheel();
int get_char();
void flush_keys();
void flush_mouse();
int app_terminate_requested();
void move_mouse(int x, int y);
void show_mouse();
void hide_mouse();

// Gamepads (every controller SDL knows, plugged in at any time). The buttons the game uses, held in this frame
// (a tap within one frame reads as held for that frame); the left stick counts as the d-pad past its dead zone.
enum { PAD_LEFT = 1, PAD_RIGHT = 2, PAD_UP = 4, PAD_DOWN = 8, PAD_CONFIRM = 16, PAD_BACK = 32, PAD_SWAP = 64,
       PAD_PAUSE = 128, PAD_PREV = 256, PAD_NEXT = 512 };
int pad_down();
// The button layout of the pad used last: 0 the default (A B X Y as on most pads), 1 PlayStation's shapes,
// 2 Nintendo's (A and B, X and Y change places).
int pad_kind();
// The device used last: a mouse move or click, a key that plays (arrows, Enter, Space, Tab, Page Up/Down), or
// a pad button or stick.
int input_device();

// Suspend (1) and resume (0) events in the order they arrived since the last call; -1 when none is left.
int next_app_event();
// 1 while the window has lost the focus.
int app_suspended();

// Processes pending window events (every query above does this first).
void input_pump();
// Called once at the start of each frame's input: a key tapped within one frame reads as held for that frame
// and is released at the next.
void input_newframe();
// Starts the delivery of typed characters (after the window opens).
void input_start();
