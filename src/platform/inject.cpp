#include "platform/inject.h"

#include <SDL.h>

#include <cstring>

#include "platform/input.h"
#include "platform/sdlwindow.h"

namespace {
SDL_Keycode keycode_of(int vk) {
    if (vk >= 'A' && vk <= 'Z') return SDLK_a + (vk - 'A');
    if (vk >= '0' && vk <= '9') return SDLK_0 + (vk - '0');
    if (vk >= 112 && vk <= 123) return SDLK_F1 + (vk - 112);
    switch (vk) {
        case 8: return SDLK_BACKSPACE;
        case 9: return SDLK_TAB;
        case 13: return SDLK_RETURN;
        case 27: return SDLK_ESCAPE;
        case 32: return SDLK_SPACE;
        case 16: return SDLK_LSHIFT;
        case 33: return SDLK_PAGEUP;
        case 34: return SDLK_PAGEDOWN;
        case 37: return SDLK_LEFT;
        case 38: return SDLK_UP;
        case 39: return SDLK_RIGHT;
        case 40: return SDLK_DOWN;
        case 46: return SDLK_DELETE;
        default: return SDLK_UNKNOWN;
    }
}

Uint32 window_id() { return sdl_window() ? SDL_GetWindowID(sdl_window()) : 0; }
}  // namespace

void inject_key(int vk, int down) {
    SDL_Event e;
    std::memset(&e, 0, sizeof e);
    e.type = down ? SDL_KEYDOWN : SDL_KEYUP;
    e.key.windowID = window_id();
    e.key.state = down ? SDL_PRESSED : SDL_RELEASED;
    e.key.keysym.sym = keycode_of(vk);
    SDL_PushEvent(&e);
}

void inject_text(const std::string& utf8) {
    SDL_Event e;
    std::memset(&e, 0, sizeof e);
    e.type = SDL_TEXTINPUT;
    e.text.windowID = window_id();
    std::strncpy(e.text.text, utf8.c_str(), sizeof e.text.text - 1);
    SDL_PushEvent(&e);
}

void inject_mouse_move(int x, int y) {
    SDL_Event e;
    std::memset(&e, 0, sizeof e);
    e.type = SDL_MOUSEMOTION;
    e.motion.windowID = window_id();
    e.motion.x = x;
    e.motion.y = y;
    SDL_PushEvent(&e);
}

void inject_mouse_button(int button, int down) {
    SDL_Event e;
    std::memset(&e, 0, sizeof e);
    e.type = down ? SDL_MOUSEBUTTONDOWN : SDL_MOUSEBUTTONUP;
    e.button.windowID = window_id();
    e.button.button = button == 1 ? SDL_BUTTON_LEFT : button == 2 ? SDL_BUTTON_RIGHT : SDL_BUTTON_MIDDLE;
    e.button.state = down ? SDL_PRESSED : SDL_RELEASED;
    e.button.clicks = 1;
    SDL_PushEvent(&e);
}

void inject_wheel(int dy) {
    SDL_Event e;
    std::memset(&e, 0, sizeof e);
    e.type = SDL_MOUSEWHEEL;
    e.wheel.windowID = window_id();
    e.wheel.y = dy;
    SDL_PushEvent(&e);
}

void inject_focus(int gained) {
    SDL_Event e;
    std::memset(&e, 0, sizeof e);
    e.type = SDL_WINDOWEVENT;
    e.window.windowID = window_id();
    e.window.event = gained ? SDL_WINDOWEVENT_FOCUS_GAINED : SDL_WINDOWEVENT_FOCUS_LOST;
    SDL_PushEvent(&e);
}

void inject_close() {
    SDL_Event e;
    std::memset(&e, 0, sizeof e);
    e.type = SDL_WINDOWEVENT;
    e.window.windowID = window_id();
    e.window.event = SDL_WINDOWEVENT_CLOSE;
    SDL_PushEvent(&e);
}

void inject_pad_button(int padbit, int down) {
    int button = SDL_CONTROLLER_BUTTON_INVALID;
    switch (padbit) {
        case PAD_LEFT: button = SDL_CONTROLLER_BUTTON_DPAD_LEFT; break;
        case PAD_RIGHT: button = SDL_CONTROLLER_BUTTON_DPAD_RIGHT; break;
        case PAD_UP: button = SDL_CONTROLLER_BUTTON_DPAD_UP; break;
        case PAD_DOWN: button = SDL_CONTROLLER_BUTTON_DPAD_DOWN; break;
        case PAD_CONFIRM: button = SDL_CONTROLLER_BUTTON_A; break;
        case PAD_BACK: button = SDL_CONTROLLER_BUTTON_B; break;
        case PAD_SWAP: button = SDL_CONTROLLER_BUTTON_X; break;
        case PAD_PAUSE: button = SDL_CONTROLLER_BUTTON_START; break;
        case PAD_PREV: button = SDL_CONTROLLER_BUTTON_LEFTSHOULDER; break;
        case PAD_NEXT: button = SDL_CONTROLLER_BUTTON_RIGHTSHOULDER; break;
        default: return;
    }
    SDL_Event e;
    std::memset(&e, 0, sizeof e);
    e.type = down ? SDL_CONTROLLERBUTTONDOWN : SDL_CONTROLLERBUTTONUP;
    e.cbutton.which = -1;
    e.cbutton.button = (Uint8)button;
    e.cbutton.state = down ? SDL_PRESSED : SDL_RELEASED;
    SDL_PushEvent(&e);
}

void inject_pad_axis(int axis, int value) {
    SDL_Event e;
    std::memset(&e, 0, sizeof e);
    e.type = SDL_CONTROLLERAXISMOTION;
    e.caxis.which = -1;
    e.caxis.axis = (Uint8)(axis == 0 ? SDL_CONTROLLER_AXIS_LEFTX : SDL_CONTROLLER_AXIS_LEFTY);
    e.caxis.value = (Sint16)value;
    SDL_PushEvent(&e);
}
