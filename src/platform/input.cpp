#include "platform/input.h"

#include <SDL.h>

#include <cstdio>
#include <cstring>

#include "platform/sdlwindow.h"
#include <deque>

namespace {

int key_state[256];
int key_hits[256];
// A key pressed and released between two frames would never be seen held: its release waits for the next frame.
int pressed_this_frame[256];
int release_waiting[256];
int char_queue[256];
unsigned char_read = 0, char_write = 0;
int mouse_state[4];
int mouse_hits[4];
// The same for the mouse buttons: a touchpad tap or a quick click is pressed and released between two frames.
int mouse_pressed_this_frame[4];
int mouse_release_waiting[4];
int mouse_x = 0, mouse_y = 0, wheel = 0;
int terminate_flag = 0;
int suspended = 0;
std::deque<int> app_events;
int device = DEVICE_MOUSE;
// Gamepad buttons as PAD_* bits, with the same hold-for-a-frame rule as the keys; the stick's directions apart.
int pad_state = 0, pad_pressed_frame = 0, pad_release_wait = 0;
int stick_bits = 0;
int pad_layout = PADKIND_DEFAULT;
// Where the game last put the pointer itself: the motion that move brings is not the player's hand.
int warp_x = -1, warp_y = -1;

int pad_bit(int button) {
    switch (button) {
        case SDL_CONTROLLER_BUTTON_DPAD_LEFT: return PAD_LEFT;
        case SDL_CONTROLLER_BUTTON_DPAD_RIGHT: return PAD_RIGHT;
        case SDL_CONTROLLER_BUTTON_DPAD_UP: return PAD_UP;
        case SDL_CONTROLLER_BUTTON_DPAD_DOWN: return PAD_DOWN;
        case SDL_CONTROLLER_BUTTON_A: return PAD_CONFIRM;
        case SDL_CONTROLLER_BUTTON_B: return PAD_BACK;
        case SDL_CONTROLLER_BUTTON_BACK: return PAD_BACK;
        case SDL_CONTROLLER_BUTTON_X: case SDL_CONTROLLER_BUTTON_Y: return PAD_SWAP;
        case SDL_CONTROLLER_BUTTON_START: return PAD_PAUSE;
        case SDL_CONTROLLER_BUTTON_LEFTSHOULDER: return PAD_PREV;
        case SDL_CONTROLLER_BUTTON_RIGHTSHOULDER: return PAD_NEXT;
        default: return 0;
    }
}

void note_pad_kind(SDL_JoystickID id) {
    SDL_GameController* c = SDL_GameControllerFromInstanceID(id);
    if (!c) return;  // a pad that is gone, or one the tests send: the last layout stays
    switch (SDL_GameControllerGetType(c)) {
        case SDL_CONTROLLER_TYPE_PS3: case SDL_CONTROLLER_TYPE_PS4: case SDL_CONTROLLER_TYPE_PS5:
            pad_layout = PADKIND_SHAPES;
            break;
        case SDL_CONTROLLER_TYPE_NINTENDO_SWITCH_PRO:
        case SDL_CONTROLLER_TYPE_NINTENDO_SWITCH_JOYCON_LEFT:
        case SDL_CONTROLLER_TYPE_NINTENDO_SWITCH_JOYCON_RIGHT:
        case SDL_CONTROLLER_TYPE_NINTENDO_SWITCH_JOYCON_PAIR:
            pad_layout = PADKIND_SWAPPED;
            break;
        default: pad_layout = PADKIND_DEFAULT; break;
    }
}

// The stick leaves the centre past half way and comes back inside a third (no chatter at the edge).
int stick_axis(int bits, int value, int minus, int plus) {
    bits &= ~(minus | plus);
    const int was = stick_bits & (minus | plus);
    if (value <= -16384 || (was == minus && value < -11000)) bits |= minus;
    if (value >= 16384 || (was == plus && value > 11000)) bits |= plus;
    return bits;
}

void clear_pad() { pad_state = pad_pressed_frame = pad_release_wait = stick_bits = 0; }

int vk_of(SDL_Keycode k) {
    if (k >= SDLK_a && k <= SDLK_z) return 'A' + (k - SDLK_a);
    if (k >= SDLK_0 && k <= SDLK_9) return '0' + (k - SDLK_0);
    if (k >= SDLK_F1 && k <= SDLK_F12) return 112 + (k - SDLK_F1);
    if (k >= SDLK_KP_1 && k <= SDLK_KP_9) return 97 + (k - SDLK_KP_1);
    switch (k) {
        case SDLK_BACKSPACE: return 8;
        case SDLK_TAB: return 9;
        case SDLK_RETURN: case SDLK_KP_ENTER: return 13;
        case SDLK_LSHIFT: case SDLK_RSHIFT: return 16;
        case SDLK_LCTRL: case SDLK_RCTRL: return 17;
        case SDLK_LALT: case SDLK_RALT: return 18;
        case SDLK_PAUSE: return 19;
        case SDLK_ESCAPE: return 27;
        case SDLK_SPACE: return 32;
        case SDLK_PAGEUP: return 33;
        case SDLK_PAGEDOWN: return 34;
        case SDLK_END: return 35;
        case SDLK_HOME: return 36;
        case SDLK_LEFT: return 37;
        case SDLK_UP: return 38;
        case SDLK_RIGHT: return 39;
        case SDLK_DOWN: return 40;
        case SDLK_INSERT: return 45;
        case SDLK_DELETE: return 46;
        case SDLK_KP_0: return 96;
        default: return -1;
    }
}

void queue_char(int c) {
    if (char_write - char_read >= 256) return;  // full: later characters are dropped
    char_queue[char_write % 256] = c;
    ++char_write;
}

// Decodes UTF-8 typed text into 8-bit character codes; characters outside 0..255 are not typed.
void queue_text(const char* s) {
    const unsigned char* p = (const unsigned char*)s;
    while (*p) {
        unsigned cp;
        int n;
        if (*p < 0x80) { cp = *p; n = 1; }
        else if ((*p & 0xE0) == 0xC0) { cp = *p & 0x1F; n = 2; }
        else if ((*p & 0xF0) == 0xE0) { cp = *p & 0x0F; n = 3; }
        else { cp = *p & 0x07; n = 4; }
        int i = 1;
        for (; i < n && p[i]; ++i) cp = (cp << 6) | (p[i] & 0x3F);
        p += i;
        if (cp >= 32 && cp < 256 && cp != 127) queue_char((int)cp);
    }
}

void handle(const SDL_Event& e) {
    switch (e.type) {
        case SDL_KEYDOWN: {
            int vk = vk_of(e.key.keysym.sym);
            if (vk == 13 || vk == 32 || vk == 9 || (vk >= 33 && vk <= 34) || (vk >= 37 && vk <= 40))
                device = DEVICE_KEYS;
            if (vk == 8 || vk == 13) queue_char(vk);
            if (vk >= 0 && vk < 256 && !key_state[vk]) {
                key_state[vk] = 1;
                pressed_this_frame[vk] = 1;
                ++key_hits[vk];
            }
            break;
        }
        case SDL_KEYUP: {
            int vk = vk_of(e.key.keysym.sym);
            if (vk >= 0 && vk < 256) {
                if (pressed_this_frame[vk])
                    release_waiting[vk] = 1;
                else
                    key_state[vk] = 0;
            }
            break;
        }
        case SDL_TEXTINPUT: queue_text(e.text.text); break;
        case SDL_MOUSEBUTTONDOWN: case SDL_MOUSEBUTTONUP: {
            int b = e.button.button == SDL_BUTTON_LEFT ? 1 : e.button.button == SDL_BUTTON_RIGHT ? 2
                  : e.button.button == SDL_BUTTON_MIDDLE ? 3 : 0;
            if (!b) break;
            if (e.type == SDL_MOUSEBUTTONDOWN) {
                device = DEVICE_MOUSE;
                if (!mouse_state[b] || mouse_release_waiting[b]) {
                    // (a second click within the frame counts again)
                    mouse_state[b] = 1;
                    mouse_pressed_this_frame[b] = 1;
                    mouse_release_waiting[b] = 0;
                    ++mouse_hits[b];
                }
            } else if (mouse_pressed_this_frame[b]) {
                mouse_release_waiting[b] = 1;
            } else {
                mouse_state[b] = 0;
            }
            break;
        }
        case SDL_MOUSEMOTION:
            if (e.motion.x == warp_x && e.motion.y == warp_y) break;
            if (e.motion.x != mouse_x || e.motion.y != mouse_y) device = DEVICE_MOUSE;
            warp_x = warp_y = -1;
            mouse_x = e.motion.x;
            mouse_y = e.motion.y;
            break;
        case SDL_MOUSEWHEEL: wheel += e.wheel.y; break;
        case SDL_CONTROLLERDEVICEADDED:
            if (SDL_WasInit(SDL_INIT_GAMECONTROLLER) && SDL_IsGameController(e.cdevice.which))
                SDL_GameControllerOpen(e.cdevice.which);
            break;
        case SDL_CONTROLLERDEVICEREMOVED:
            if (SDL_GameController* c = SDL_GameControllerFromInstanceID(e.cdevice.which)) SDL_GameControllerClose(c);
            clear_pad();  // a button held on a pad pulled out is let go
            break;
        case SDL_CONTROLLERBUTTONDOWN: case SDL_CONTROLLERBUTTONUP: {
            const int bit = pad_bit(e.cbutton.button);
            if (!bit) break;
            if (e.type == SDL_CONTROLLERBUTTONDOWN) {
                device = DEVICE_PAD;
                note_pad_kind(e.cbutton.which);
                pad_state |= bit;
                pad_pressed_frame |= bit;
                pad_release_wait &= ~bit;
            } else if (pad_pressed_frame & bit) {
                pad_release_wait |= bit;
            } else {
                pad_state &= ~bit;
            }
            break;
        }
        case SDL_CONTROLLERAXISMOTION: {
            int bits = stick_bits;
            if (e.caxis.axis == SDL_CONTROLLER_AXIS_LEFTX) bits = stick_axis(bits, e.caxis.value, PAD_LEFT, PAD_RIGHT);
            else if (e.caxis.axis == SDL_CONTROLLER_AXIS_LEFTY) bits = stick_axis(bits, e.caxis.value, PAD_UP, PAD_DOWN);
            else break;
            if (bits & ~stick_bits) {
                device = DEVICE_PAD;
                note_pad_kind(e.caxis.which);
            }
            stick_bits = bits;
            break;
        }
        case SDL_QUIT: terminate_flag = 1; break;
        case SDL_WINDOWEVENT:
            if (e.window.event == SDL_WINDOWEVENT_CLOSE) {
                terminate_flag = 1;
            } else if (e.window.event == SDL_WINDOWEVENT_FOCUS_LOST) {
                flush_keys();
                flush_mouse();
                clear_pad();
                suspended = 1;
                app_events.push_back(1);
            } else if (e.window.event == SDL_WINDOWEVENT_FOCUS_GAINED) {
                flush_keys();
                flush_mouse();
                suspended = 0;
                app_events.push_back(0);
            }
            break;
        default: break;
    }
}

}  // namespace

void input_pump() {
    if (!SDL_WasInit(SDL_INIT_EVENTS)) return;
    SDL_Event e;
    while (SDL_PollEvent(&e)) handle(e);
}

void input_start() {
    SDL_StartTextInput();
    // Pads are opened as SDL reports them (those present at the start come as added devices too). No pad
    // subsystem is no pad, never an error.
    if (!SDL_WasInit(SDL_INIT_GAMECONTROLLER) && SDL_InitSubSystem(SDL_INIT_GAMECONTROLLER) != 0)
        std::printf("no gamepads: %s\n", SDL_GetError());
}

void input_newframe() {
    for (int k = 0; k < 256; ++k) {
        if (release_waiting[k]) key_state[k] = 0;
        release_waiting[k] = pressed_this_frame[k] = 0;
    }
    for (int b = 0; b < 4; ++b) {
        if (mouse_release_waiting[b]) mouse_state[b] = 0;
        mouse_release_waiting[b] = mouse_pressed_this_frame[b] = 0;
    }
    pad_state &= ~pad_release_wait;
    pad_release_wait = pad_pressed_frame = 0;
    input_pump();
}

int key_hit(int code) {
    input_pump();
    if (code < 0 || code > 255) return 0;
    int n = key_hits[code];
    key_hits[code] = 0;
    return n;
}

int key_down(int code) {
    input_pump();
    return code >= 0 && code < 256 ? key_state[code] : 0;
}

int mouse_hit(int button) {
    input_pump();
    if (button < 1 || button > 3) return 0;
    int n = mouse_hits[button];
    mouse_hits[button] = 0;
    return n;
}

int mouse_down(int button) {
    input_pump();
    return button >= 1 && button <= 3 ? mouse_state[button] : 0;
}

int raw_mouse_x() {
    input_pump();
    return mouse_x;
}

int raw_mouse_y() {
    input_pump();
    return mouse_y;
}

int mouse_wheel() {
    input_pump();
    return wheel;
}

int get_char() {
    input_pump();
    if (char_read == char_write) return 0;
    int c = char_queue[char_read % 256];
    ++char_read;
    return c;
}

void flush_keys() {
    std::memset(key_state, 0, sizeof key_state);
    std::memset(pressed_this_frame, 0, sizeof pressed_this_frame);
    std::memset(release_waiting, 0, sizeof release_waiting);
    std::memset(key_hits, 0, sizeof key_hits);
    char_read = char_write = 0;
    clear_pad();
}

void flush_mouse() {
    std::memset(mouse_state, 0, sizeof mouse_state);
    std::memset(mouse_hits, 0, sizeof mouse_hits);
    std::memset(mouse_pressed_this_frame, 0, sizeof mouse_pressed_this_frame);
    std::memset(mouse_release_waiting, 0, sizeof mouse_release_waiting);
    wheel = 0;
}

int app_terminate_requested() {
    input_pump();
    int t = terminate_flag;
    terminate_flag = 0;
    return t;
}

void move_mouse(int x, int y) {
    warp_x = x;
    warp_y = y;
    if (SDL_Window* w = sdl_window()) SDL_WarpMouseInWindow(w, x, y);
    mouse_x = x;
    mouse_y = y;
}

void show_mouse() {
    if (SDL_WasInit(SDL_INIT_VIDEO)) SDL_ShowCursor(SDL_ENABLE);
}

void hide_mouse() {
    if (SDL_WasInit(SDL_INIT_VIDEO)) SDL_ShowCursor(SDL_DISABLE);
}

int next_app_event() {
    input_pump();
    if (app_events.empty()) return -1;
    int e = app_events.front();
    app_events.pop_front();
    return e;
}

int app_suspended() {
    input_pump();
    return suspended;
}

int pad_down() {
    input_pump();
    return pad_state | stick_bits;
}

int pad_kind() { return pad_layout; }

int input_device() {
    input_pump();
    return device;
}
