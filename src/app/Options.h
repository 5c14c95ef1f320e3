#pragma once

#include "app/PlayerSettings.h"
#include "app/SettingsFile.h"

#include <optional>

// The player's settings in effect. Each has its one home here: its key (-, =, M, F11) and the
// options panel change it alike, and every change shows at once and is kept in the settings file.

const PlayerSettings& playerSettings();
// Puts every setting into effect, once the game has started up. With a file, its settings are
// read first: no file gives the defaults; a file that cannot all be read says so in one line on
// standard error, and the defaults stand for what it could not give. Later changes are kept in
// the file; without one they last as long as the game.
void useSettings(std::optional<SettingsFile> file);
// Moves a setting by steps (as PlayerSettings::step does), puts it into effect and keeps it. The
// mouse sensitivity and the sound say their new state, also when it stays at its limit.
void changeSetting(Setting setting, int steps);
