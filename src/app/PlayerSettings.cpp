#include "app/PlayerSettings.h"

#include "physics/Camera.h"

#include <algorithm>
#include <charconv>
#include <cmath>
#include <sstream>
#include <string_view>

namespace {

// How a step moves a setting.
enum class Stepping { Flip, Add, Double };

struct SettingRule {
    const char* key;   // in the settings file
    const char* label; // in the options panel
    float defaultValue;
    float lowest;
    float highest;
    Stepping stepping;
    float step;       // what one step adds
    const char* unit; // after the shown value
    const char* told; // the start of the line the game says when the setting changes, if it says one
};

// In the order of Setting. The mouse turns by the sensitivity in degrees per pixel of motion,
// from one (the start) down to a fine 1/32; the volume is a share of the sounds' own loudness, in
// percent; the brightness is the gamma of the picture (1: the picture as it is drawn).
const SettingRule RULES[SETTING_COUNT] = {
    {"mouse_sensitivity", "Mouse sensitivity", 1.0f, 1.0f / 32.0f, 1.0f, Stepping::Double, 0.0f, "",
     "mouse sensitivity"},
    {"invert_mouse", "Invert mouse", 0.0f, 0.0f, 1.0f, Stepping::Flip, 0.0f, "", nullptr},
    {"field_of_view", "Field of view", DEFAULT_FIELD_OF_VIEW, 60.0f, 100.0f, Stepping::Add, 5.0f, " degrees", nullptr},
    {"brightness", "Brightness", 1.0f, 0.5f, 2.0f, Stepping::Add, 0.1f, "", nullptr},
    {"volume", "Volume", 100.0f, 0.0f, 100.0f, Stepping::Add, 10.0f, "%", nullptr},
    {"sound", "Sound", 1.0f, 0.0f, 1.0f, Stepping::Flip, 0.0f, "", "sound"},
    {"fullscreen", "Fullscreen", 0.0f, 0.0f, 1.0f, Stepping::Flip, 0.0f, "", nullptr},
    {"full_resolution", "Always full resolution", 0.0f, 0.0f, 1.0f, Stepping::Flip, 0.0f, "", nullptr},
};

const char* const FILE_HEADING = "# Marrowdeep's settings, written by the game whenever one of them changes\n";
const char* const SPACE = " \t\r";

const SettingRule& ruleOf(Setting setting)
{
    return RULES[static_cast<std::size_t>(setting)];
}

bool inRange(const SettingRule& rule, float value)
{
    if (rule.stepping == Stepping::Flip)
        return value == 0.0f || value == 1.0f;
    return value >= rule.lowest && value <= rule.highest; // false for NaN as well
}

std::string_view trimmed(std::string_view text)
{
    const std::size_t first = text.find_first_not_of(SPACE);
    if (first == std::string_view::npos)
        return {};
    return text.substr(first, text.find_last_not_of(SPACE) - first + 1);
}

// A switch is written "true" or "false", a number as a decimal; NaN when the text is neither.
float parsedValue(const SettingRule& rule, std::string_view text)
{
    if (rule.stepping == Stepping::Flip)
        return text == "true" ? 1.0f : text == "false" ? 0.0f : NAN;
    float value = NAN;
    const auto [end, error] = std::from_chars(text.data(), text.data() + text.size(), value);
    return error == std::errc() && end == text.data() + text.size() ? value : NAN;
}

// What a line of the settings file says.
struct FileLine {
    bool readable = true;
    const SettingRule* rule = nullptr; // null for a blank line, a comment or an unknown key
    float value = 0.0f;
};

FileLine readLine(std::string_view line)
{
    line = trimmed(line);
    if (line.empty() || line[0] == '#' || line[0] == ';')
        return {};
    const std::size_t equals = line.find('=');
    if (equals == std::string_view::npos)
        return {false};
    const std::string_view key = trimmed(line.substr(0, equals));
    for (const SettingRule& rule : RULES) {
        if (key != rule.key)
            continue;
        const float value = parsedValue(rule, trimmed(line.substr(equals + 1)));
        return {inRange(rule, value), &rule, value};
    }
    return {};
}

} // namespace

PlayerSettings::PlayerSettings()
{
    for (std::size_t i = 0; i < SETTING_COUNT; ++i)
        values[i] = RULES[i].defaultValue;
}

bool PlayerSettings::step(Setting setting, int steps)
{
    const SettingRule& rule = ruleOf(setting);
    const float now = value(setting);
    float wanted = 1.0f - now;
    if (rule.stepping == Stepping::Double)
        wanted = std::ldexp(now, steps);
    else if (rule.stepping == Stepping::Add)
        wanted = std::round(now / rule.step + static_cast<float>(steps)) * rule.step; // no drift from many steps
    return set(setting, std::clamp(wanted, rule.lowest, rule.highest));
}

bool PlayerSettings::set(Setting setting, float value)
{
    if (!inRange(ruleOf(setting), value) || value == values[index(setting)])
        return false;
    values[index(setting)] = value;
    return true;
}

const char* PlayerSettings::label(Setting setting)
{
    return ruleOf(setting).label;
}

std::string PlayerSettings::shown(Setting setting) const
{
    const SettingRule& rule = ruleOf(setting);
    if (rule.stepping == Stepping::Flip)
        return isOn(setting) ? "on" : "off";
    std::ostringstream text;
    text << value(setting) << rule.unit;
    return text.str();
}

std::string PlayerSettings::changeLine(Setting setting) const
{
    const char* told = ruleOf(setting).told;
    return told ? std::string(told) + " " + shown(setting) : std::string();
}

std::string PlayerSettings::fileText() const
{
    std::ostringstream text;
    text << FILE_HEADING;
    for (std::size_t i = 0; i < SETTING_COUNT; ++i) {
        text << RULES[i].key << " = ";
        if (RULES[i].stepping == Stepping::Flip)
            text << (values[i] != 0.0f ? "true" : "false");
        else
            text << values[i];
        text << '\n';
    }
    return text.str();
}

int PlayerSettings::readFileText(const std::string& text)
{
    int firstUnread = 0;
    int number = 0;
    for (std::size_t start = 0; start < text.size(); ++number) {
        const std::size_t end = text.find('\n', start);
        const FileLine line = readLine(std::string_view(text).substr(start, end - start));
        // A last line without its newline was cut short, and its value may have been too.
        const bool whole = end != std::string::npos;
        if (line.readable && line.rule && whole)
            values[static_cast<std::size_t>(line.rule - RULES)] = line.value;
        else if ((!line.readable || line.rule) && firstUnread == 0)
            firstUnread = number + 1;
        start = whole ? end + 1 : text.size();
    }
    return firstUnread;
}
