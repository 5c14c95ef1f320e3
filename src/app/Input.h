#pragma once

#include <SDL.h>

#include <vector>

struct ControlsRow;
struct TickInput;

// Drains SDL's event queue once per tick into what the tick is given: the keys, looks and clicks
// of play in their order, the keys held and the gamepad's look, whether the game is paused, and
// quit (the events after it wait). The window's own keys act here as they come: pause, the
// render-setting toggles, the controls and options panels and the settings' keys. While paused
// play gets no key, look or click, only the button let go.
const TickInput& pumpInput();
// Where the pump reads the keys held, indexed by scancode: SDL's keyboard state in the game, a
// test's or the autoplay's own array.
void readHeldKeysFrom(const Uint8* keyboard);
// The key a keyboard layout puts at a place (SDL's own reads the player's layout).
using KeyAtPlace = SDL_Keycode (*)(SDL_Scancode);
// The keys of the game and what they do, as the controls panel (F1) lists them, named as the
// layout shows them.
std::vector<ControlsRow> controlsTable(KeyAtPlace keyAt = SDL_GetKeyFromScancode);
