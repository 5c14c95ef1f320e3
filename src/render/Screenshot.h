#pragma once

#include <cstdint>
#include <string>
#include <vector>

// The frame being drawn (the back buffer, before the swap), RGBA, bottom row first.
std::vector<std::uint8_t> readFrame();
// Saves the frame being drawn as an 800 x 600 PNG.
bool saveScreenshot(const std::string& path);
