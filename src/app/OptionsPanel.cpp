#include "app/OptionsPanel.h"

#include "app/Options.h"

OptionsPanel optionsPanel;

namespace {

constexpr int LINES = static_cast<int>(SETTING_COUNT);
const char* const HELP = "Up, Down: choose    Left, Right: change    O, Esc: close";

Setting settingOnLine(int line)
{
    return static_cast<Setting>(line);
}

std::string linesOf(std::string (*lineText)(Setting))
{
    std::string text;
    for (int line = 0; line < LINES; ++line)
        text += (line == 0 ? "" : "\n") + lineText(settingOnLine(line));
    return text;
}

std::string valueText(Setting setting)
{
    return playerSettings().shown(setting);
}

std::string labelText(Setting setting)
{
    return PlayerSettings::label(setting);
}

} // namespace

OptionsPanel::OptionsPanel() : names(linesOf(labelText))
{
    view.names = names;
    view.count = LINES;
    view.help = HELP;
}

void OptionsPanel::show()
{
    open = true;
}

bool OptionsPanel::handleKey(SDL_Scancode key)
{
    switch (key) {
    case SDL_SCANCODE_O:
    case SDL_SCANCODE_ESCAPE:
        open = false;
        return true;
    case SDL_SCANCODE_UP:
        choose(-1);
        return true;
    case SDL_SCANCODE_DOWN:
        choose(1);
        return true;
    case SDL_SCANCODE_LEFT:
        changeSetting(settingOnLine(chosen), -1);
        return true;
    case SDL_SCANCODE_RIGHT:
        changeSetting(settingOnLine(chosen), 1);
        return true;
    default:
        return false;
    }
}

const OptionsShown* OptionsPanel::shown()
{
    if (!open)
        return nullptr;
    if (values.empty() || !(playerSettings() == valuesShown)) {
        values = linesOf(valueText);
        valuesShown = playerSettings();
    }
    view.values = values;
    view.chosen = chosen;
    return &view;
}

void OptionsPanel::choose(int step)
{
    chosen = (chosen + step + LINES) % LINES;
}
