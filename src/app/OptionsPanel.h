#pragma once

#include "app/PlayerSettings.h"
#include "render/Overlay.h"

#include <SDL.h>

#include <string>

// The options panel over the paused game (O, or the gamepad's Start): a line for each of the
// player's settings. Up and down choose one, left and right change it as its own key would (see
// changeSetting), O or Escape close the panel.
class OptionsPanel {
public:
    OptionsPanel();

    bool isOpen() const { return open; }
    void show();
    // A key while the panel is open: true when it was one of the panel's own, false for those it
    // leaves to the game.
    bool handleKey(SDL_Scancode key);
    // What the overlay draws, or null while the panel is closed. The values' text is made anew
    // only when a setting has changed.
    const OptionsShown* shown();

private:
    void choose(int step);

    bool open = false;
    int chosen = 0;
    const std::string names;
    std::string values;
    PlayerSettings valuesShown; // the settings that the values' text shows
    OptionsShown view;
};

extern OptionsPanel optionsPanel;
