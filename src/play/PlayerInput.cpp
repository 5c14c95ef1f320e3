#include "play/PlayerInput.h"

void pushKey(SDL_Keycode key)
{
    pushKeyAt(SDL_GetScancodeFromKey(key), key);
}

void pushKeyAt(SDL_Scancode place, SDL_Keycode label)
{
    SDL_Event event{};
    event.type = SDL_KEYDOWN;
    event.key.keysym.sym = label;
    event.key.keysym.scancode = place;
    SDL_PushEvent(&event);
}

void pushWindowEvent(SDL_WindowEventID what)
{
    SDL_Event event{};
    event.type = SDL_WINDOWEVENT;
    event.window.event = what;
    SDL_PushEvent(&event);
}

void pushMouseMotion(int xrel, int yrel)
{
    SDL_Event event{};
    event.type = SDL_MOUSEMOTION;
    event.motion.xrel = xrel;
    event.motion.yrel = yrel;
    SDL_PushEvent(&event);
}

void pushButton(bool down)
{
    SDL_Event event{};
    event.type = down ? SDL_MOUSEBUTTONDOWN : SDL_MOUSEBUTTONUP;
    event.button.button = SDL_BUTTON_LEFT;
    event.button.state = down ? SDL_PRESSED : SDL_RELEASED;
    SDL_PushEvent(&event);
}
