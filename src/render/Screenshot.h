#pragma once

#include <string>

// Saves the frame being drawn (the back buffer, before the swap) as an 800 x 600 PNG.
bool saveScreenshot(const std::string& path);
