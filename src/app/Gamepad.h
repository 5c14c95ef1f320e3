#pragma once

#include <SDL.h>
#include <glm/glm.hpp>

#include <array>

// A gamepad, through SDL's game controller API, read as the keys and the mouse are: the left
// stick walks as W, A, S, D do, the right stick looks as the mouse does, the right trigger and A
// click as the left mouse button, and other buttons stand for keys. Gamepads may be plugged in
// and out while the game runs; what one held is let go when it goes.
class Gamepad {
public:
    // Opens a gamepad just plugged in (SDL's device index), so that its events come.
    static void plugIn(int deviceIndex);
    // Closes a gamepad that has gone (SDL's instance id) and lets go of its sticks and trigger.
    void plugOut(SDL_JoystickID gamepad);

    // The key a button stands for: Y the view (E), Start the options (O), B a jump (C), Back the
    // controls (F1), the pad's arrows the arrow keys; SDL_SCANCODE_UNKNOWN for the others.
    static SDL_Scancode keyOf(Uint8 button);
    static bool clicks(Uint8 button) { return button == SDL_CONTROLLER_BUTTON_A; }
    // A stick or a trigger moved; true when the move pressed or let go of the right trigger.
    bool moveAxis(Uint8 axis, Sint16 value);
    bool triggerPressed() const;
    // Marks the walking keys that the left stick holds, in an array indexed by scancode.
    void holdWalkingKeys(Uint8* keys) const;
    // The right stick's look in one tick, in pixels of mouse motion.
    glm::vec2 lookPerTick() const;

private:
    float deflection(SDL_GameControllerAxis axis) const;

    std::array<Sint16, SDL_CONTROLLER_AXIS_MAX> axes{};
};
