#pragma once

#include <SDL.h>

// A player's input as the game receives it: SDL events queued for the next tick.
// A key pressed at its place on a US keyboard, or at a place that another layout labels otherwise.
void pushKey(SDL_Keycode key);
void pushKeyAt(SDL_Scancode place, SDL_Keycode label);
void pushMouseMotion(int xrel, int yrel);
// The left mouse button pressed (true) or let go.
void pushButton(bool down);
// The window losing or gaining the focus, minimised or restored.
void pushWindowEvent(SDL_WindowEventID what);
