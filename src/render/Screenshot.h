#pragma once

#include <cstdint>
#include <string>
#include <vector>

class FrameTarget;

// The frame being drawn (the back buffer, before the swap) at the window's drawable size the
// target follows, bars and all: RGBA, bottom row first.
std::vector<std::uint8_t> readFrame(const FrameTarget& target);
// Saves the frame being drawn as a PNG of that size.
bool saveScreenshot(const FrameTarget& target, const std::string& path);
