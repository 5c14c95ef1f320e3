#include "app/SdlClock.h"

#include <SDL.h>

std::uint32_t SdlClock::ticks() const
{
    return SDL_GetTicks();
}
