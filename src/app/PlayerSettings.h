#pragma once

#include <array>
#include <cstddef>
#include <string>

// The settings a player keeps from one game to the next, in the order the options panel lists them.
enum class Setting { MouseSensitivity, InvertMouse, FieldOfView, Brightness, Volume, Sound, Fullscreen, FullResolution };
constexpr std::size_t SETTING_COUNT = 8;

// The values of the player's settings, each within its range, and their text: as the options
// panel and the messages show them, and as the settings file keeps them (a "key = value" line
// each). A new record holds the defaults, with which the game plays as it always has.
class PlayerSettings {
public:
    PlayerSettings();

    bool operator==(const PlayerSettings& other) const { return values == other.values; }
    float value(Setting setting) const { return values[index(setting)]; }
    bool isOn(Setting setting) const { return value(setting) != 0.0f; }
    // Moves a setting by whole steps within its range (a negative count goes down): the mouse
    // sensitivity halves or doubles, the field of view moves by 5 degrees, the brightness by 0.1,
    // the volume by 10%; a switch flips at any count. True when the value changed.
    bool step(Setting setting, int steps);
    // Sets a value; one outside the setting's range leaves the setting as it was. True when the
    // value changed.
    bool set(Setting setting, float value);

    // "Mouse sensitivity", as the options panel names the setting.
    static const char* label(Setting setting);
    // The value as the player reads it: "0.5", "on", "70 degrees", "100%".
    std::string shown(Setting setting) const;
    // What the game says when the setting changes ("mouse sensitivity 0.5", "sound off"), for
    // the settings whose keys have always told it; empty for the others.
    std::string changeLine(Setting setting) const;

    // The settings file's text: a comment, then a "key = value" line for each setting.
    std::string fileText() const;
    // Takes every setting a settings file's text gives; blank lines, comments (# or ;) and
    // unknown keys are passed over. Returns 0 when every other line could be read, else the
    // number of the first line that could not (not "key = value", a value that is no number,
    // no switch or out of range, or a last line cut short); the settings it would have given keep
    // their values.
    int readFileText(const std::string& text);

private:
    static std::size_t index(Setting setting) { return static_cast<std::size_t>(setting); }

    std::array<float, SETTING_COUNT> values;
};
