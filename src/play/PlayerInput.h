#pragma once

#include <SDL.h>

// A player's input as the game receives it: SDL events queued for the next tick.
void pushKey(SDL_Keycode key);
void pushMouseMotion(int xrel, int yrel);
// The left mouse button pressed (true) or let go.
void pushButton(bool down);
