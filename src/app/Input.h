#pragma once

// Drains SDL's event queue once per tick: quit, mouse look, clicks, the view key, the debug
// jump and the render-setting toggles. True when the game is to stop now.
bool handleEvents();
