#pragma once

#include <SDL.h>
#include <glm/glm.hpp>

#include <array>
#include <cstddef>
#include <vector>

// What the player did during one tick, as plain data: what play needs of the keyboard, the mouse
// and the gamepads. The window's input pump fills it and keeps the window's own keys (the render
// toggles, the settings, the options panel, pause) to itself.
struct TickInput {
    // One thing the player did. Actions keep the order they were done in: a look before a click
    // aims the click.
    struct Action {
        enum class Kind { Key, Look, ButtonDown, ButtonUp };
        Kind kind = Kind::Key;
        SDL_Scancode place = SDL_SCANCODE_UNKNOWN; // Key: where the key is, which decides what it does
        SDL_Keycode label = SDLK_UNKNOWN;          // Key: what the player's layout prints on it
        glm::vec2 look{0.0f};                      // Look: pixels of mouse motion, right and down
    };

    // Room for a busy tick, so that pumping allocates nothing.
    static constexpr std::size_t USUAL_ACTIONS = 64;

    TickInput() { actions.reserve(USUAL_ACTIONS); }

    void press(SDL_Scancode place, SDL_Keycode label) { actions.push_back({Action::Kind::Key, place, label, {}}); }
    void look(glm::vec2 pixels) { actions.push_back({Action::Kind::Look, SDL_SCANCODE_UNKNOWN, SDLK_UNKNOWN, pixels}); }
    // The left mouse button, the gamepad's A or its right trigger pressed (true) or let go.
    void button(bool down) { actions.push_back({down ? Action::Kind::ButtonDown : Action::Kind::ButtonUp}); }

    std::vector<Action> actions;
    // The keys held this tick, by place: the keyboard's, and the walking keys the gamepad's left
    // stick holds.
    std::array<Uint8, SDL_NUM_SCANCODES> held{};
    // The game stands still this tick: paused by the player, for the options panel, or while the
    // window is away.
    bool paused = false;
    // The player ended the game: Esc, Q, or the window closed.
    bool quit = false;
};
