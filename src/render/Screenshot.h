#pragma once

#include <cstdint>
#include <string>
#include <vector>

// The frame being drawn (the back buffer, before the swap) at the window's drawable size, bars
// and all: RGBA, bottom row first.
std::vector<std::uint8_t> readFrame();
// Saves the frame being drawn as a PNG of the window's drawable size.
bool saveScreenshot(const std::string& path);
