#pragma once

// The game's picture: an 800 x 600 window, and so a 4:3 view.
constexpr int WINDOW_WIDTH = 800;
constexpr int WINDOW_HEIGHT = 600;
constexpr float WINDOW_ASPECT = static_cast<float>(WINDOW_WIDTH) / static_cast<float>(WINDOW_HEIGHT);
