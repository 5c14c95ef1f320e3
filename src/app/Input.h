#pragma once

#include <SDL.h>

#include <vector>

struct ControlsRow;

// Drains SDL's event queue once per tick: quit, mouse look, clicks, the view key, the debug
// jump, the render-setting toggles, the controls and options panels, the settings' keys and the
// gamepads; then the keys held this tick (gameState.heldKeys) and the gamepad's look. True when
// the game is to stop now.
bool handleEvents();
// The key a keyboard layout puts at a place (SDL's own reads the player's layout).
using KeyAtPlace = SDL_Keycode (*)(SDL_Scancode);
// The keys of the game and what they do, as the controls panel (F1) lists them, named as the
// layout shows them.
std::vector<ControlsRow> controlsTable(KeyAtPlace keyAt = SDL_GetKeyFromScancode);
