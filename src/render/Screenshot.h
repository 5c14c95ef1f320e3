#pragma once

#include <string>

// Saves the frame being drawn (the back buffer, before the swap) as a PNG of the window's
// drawable size, bars and all.
bool saveScreenshot(const std::string& path);
