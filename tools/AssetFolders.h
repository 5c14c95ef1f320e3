#pragma once

#include <string>

class TextFont;

// Each writer fills one or more folders below `assetRoot` with OBJ + MTL models and their PNG
// textures (or WAV sounds), and returns false when a file could not be written.

// "tunnel/reality" and "tunnel/glasses": hallway, dead end and stair pieces of the two views.
bool writeTunnelShells(const std::string& assetRoot);
// "tunnel": doors, keys, switch, cube, button, final door.
bool writeTunnelObjects(const std::string& assetRoot, TextFont& font);
// "train": train body and wheel.
bool writeTrain(const std::string& assetRoot);
// "glassdoor" and "portal".
bool writeGlassAndPortal(const std::string& assetRoot);
// "hints": the signs with their texts; "screens": the won and lost screens.
bool writeSignsAndScreens(const std::string& assetRoot, TextFont& font);
// "sound": every sound of the game, synthesised from noise, tones, filters and envelopes.
bool writeSounds(const std::string& assetRoot);
