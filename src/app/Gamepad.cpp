#include "app/Gamepad.h"

#include <cmath>

namespace {

struct ButtonKey {
    SDL_GameControllerButton button;
    SDL_Scancode key;
};
constexpr ButtonKey BUTTON_KEYS[] = {
    {SDL_CONTROLLER_BUTTON_Y, SDL_SCANCODE_E},
    {SDL_CONTROLLER_BUTTON_START, SDL_SCANCODE_O},
    {SDL_CONTROLLER_BUTTON_B, SDL_SCANCODE_C},
    {SDL_CONTROLLER_BUTTON_BACK, SDL_SCANCODE_F1},
    {SDL_CONTROLLER_BUTTON_DPAD_UP, SDL_SCANCODE_UP},
    {SDL_CONTROLLER_BUTTON_DPAD_DOWN, SDL_SCANCODE_DOWN},
    {SDL_CONTROLLER_BUTTON_DPAD_LEFT, SDL_SCANCODE_LEFT},
    {SDL_CONTROLLER_BUTTON_DPAD_RIGHT, SDL_SCANCODE_RIGHT},
};

// The left stick pushed one way (-1 left or forward, +1 right or back) holds a walking key.
struct StickKey {
    SDL_GameControllerAxis axis;
    int side;
    SDL_Scancode key;
};
constexpr StickKey STICK_KEYS[] = {
    {SDL_CONTROLLER_AXIS_LEFTY, -1, SDL_SCANCODE_W},
    {SDL_CONTROLLER_AXIS_LEFTY, 1, SDL_SCANCODE_S},
    {SDL_CONTROLLER_AXIS_LEFTX, -1, SDL_SCANCODE_A},
    {SDL_CONTROLLER_AXIS_LEFTX, 1, SDL_SCANCODE_D},
};

// A stick moves nothing within this share of its travel: a stick let go seldom rests at its centre.
constexpr float DEAD_ZONE = 0.25f;
// The right stick pushed all the way looks as far in a tick as the mouse moved this many pixels.
constexpr float LOOK_PIXELS_PER_TICK = 4.0f;
// The trigger clicks from halfway down.
constexpr Sint16 TRIGGER_PRESSED = SDL_JOYSTICK_AXIS_MAX / 2;

} // namespace

void Gamepad::plugIn(int deviceIndex)
{
    SDL_GameControllerOpen(deviceIndex);
}

void Gamepad::plugOut(SDL_JoystickID gamepad)
{
    SDL_GameControllerClose(SDL_GameControllerFromInstanceID(gamepad));
    axes.fill(0);
}

SDL_Scancode Gamepad::keyOf(Uint8 button)
{
    for (const ButtonKey& entry : BUTTON_KEYS) {
        if (entry.button == button)
            return entry.key;
    }
    return SDL_SCANCODE_UNKNOWN;
}

bool Gamepad::moveAxis(Uint8 axis, Sint16 value)
{
    if (axis >= axes.size())
        return false;
    const bool wasPressed = triggerPressed();
    axes[axis] = value;
    return triggerPressed() != wasPressed;
}

bool Gamepad::triggerPressed() const
{
    return axes[SDL_CONTROLLER_AXIS_TRIGGERRIGHT] >= TRIGGER_PRESSED;
}

void Gamepad::holdWalkingKeys(Uint8* keys) const
{
    for (const StickKey& entry : STICK_KEYS) {
        if (deflection(entry.axis) * static_cast<float>(entry.side) > 0.0f)
            keys[entry.key] = 1;
    }
}

glm::vec2 Gamepad::lookPerTick() const
{
    return LOOK_PIXELS_PER_TICK *
           glm::vec2(deflection(SDL_CONTROLLER_AXIS_RIGHTX), deflection(SDL_CONTROLLER_AXIS_RIGHTY));
}

// From -1 to 1 beyond the dead zone, 0 within it.
float Gamepad::deflection(SDL_GameControllerAxis axis) const
{
    const float share = std::fmax(-1.0f, static_cast<float>(axes[axis]) / SDL_JOYSTICK_AXIS_MAX);
    if (std::fabs(share) <= DEAD_ZONE)
        return 0.0f;
    return std::copysign((std::fabs(share) - DEAD_ZONE) / (1.0f - DEAD_ZONE), share);
}
