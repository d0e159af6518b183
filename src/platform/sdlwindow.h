// Inside the platform layer only: the SDL window and renderer of the open display.
#pragma once
struct SDL_Window;
struct SDL_Renderer;
SDL_Window* sdl_window();
SDL_Renderer* sdl_renderer();
