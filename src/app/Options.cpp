#include "app/Options.h"

#include "app/Application.h"
#include "game/GameState.h"
#include "game/PlayerMessages.h"
#include "physics/Camera.h"
#include "render/Renderer.h"
#include "sound/GameSound.h"

#include <iostream>

namespace {

PlayerSettings settings;
std::optional<SettingsFile> settingsFile; // none: nothing is kept

constexpr float PERCENT = 100.0f;

void putInEffect(Setting setting)
{
    const float value = settings.value(setting);
    switch (setting) {
    case Setting::MouseSensitivity:
        gameState.camera->setTurnPerPixel(value);
        break;
    case Setting::InvertMouse:
        gameState.camera->setLookInverted(settings.isOn(setting));
        break;
    case Setting::FieldOfView:
        gameState.camera->setFieldOfView(value);
        break;
    case Setting::Brightness:
        gameRenderer().frameTarget().setBrightness(value);
        break;
    case Setting::Volume:
        setSoundVolume(value / PERCENT);
        break;
    case Setting::Sound:
        setSoundOn(settings.isOn(setting));
        break;
    case Setting::Fullscreen:
        // A window that cannot go fullscreen stays a window, and the setting says so.
        settings.set(setting, setFullscreen(settings.isOn(setting)) ? 1.0f : 0.0f);
        break;
    case Setting::FullResolution:
        setFullResolution(settings.isOn(setting));
        break;
    }
}

void readSettingsFile()
{
    const std::string where = settingsFile->path().string();
    std::string problem;
    const std::optional<std::string> text = settingsFile->read(problem);
    if (!problem.empty())
        std::cerr << "The settings in " << where << " could not be read (" << problem << "); the defaults are used"
                  << std::endl;
    if (!text)
        return;
    if (const int line = settings.readFileText(*text))
        std::cerr << "Some settings in " << where << " could not be read (line " << line
                  << "); the defaults are used for them" << std::endl;
}

void keepSettings()
{
    std::string problem;
    if (settingsFile && !settingsFile->write(settings.fileText(), problem))
        std::cerr << "The settings could not be kept in " << settingsFile->path().string() << ": " << problem
                  << std::endl;
}

} // namespace

const PlayerSettings& playerSettings()
{
    return settings;
}

void useSettings(std::optional<SettingsFile> file)
{
    settingsFile = std::move(file);
    settings = PlayerSettings();
    if (settingsFile)
        readSettingsFile();
    for (std::size_t i = 0; i < SETTING_COUNT; ++i)
        putInEffect(static_cast<Setting>(i));
}

void changeSetting(Setting setting, int steps)
{
    const float before = settings.value(setting);
    if (settings.step(setting, steps))
        putInEffect(setting);
    const std::string line = settings.changeLine(setting);
    if (!line.empty())
        gameState.messages.say(line);
    if (settings.value(setting) != before)
        keepSettings();
}
