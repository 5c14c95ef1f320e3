#include "app/SdlClock.h"

#include <SDL.h>

std::uint64_t SdlClock::ticks() const
{
    return SDL_GetTicks64();
}
