#include "game/GameState.h"

#include "game/Clock.h"

GameState gameState;

// The rule timers count in 32 bits and wrap as SDL_GetTicks does; their differences stay right.
std::uint32_t GameState::now() const
{
    return clock ? static_cast<std::uint32_t>(clock->ticks()) : SDL_GetTicks();
}
