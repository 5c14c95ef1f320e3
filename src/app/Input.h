#pragma once

#include <vector>

struct ControlsRow;

// Drains SDL's event queue once per tick: quit, mouse look, clicks, the view key, the debug
// jump, the render-setting toggles, the controls panel and the mouse sensitivity. True when
// the game is to stop now.
bool handleEvents();
// The keys of the game and what they do, as the controls panel (F1) lists them.
const std::vector<ControlsRow>& controlsTable();
