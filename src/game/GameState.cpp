#include "game/GameState.h"

#include "app/Clock.h"
#include "game/PlayerState.h"

GameState gameState;
PlayerState* playerState = nullptr;

std::uint32_t GameState::now() const
{
    return clock ? clock->ticks() : SDL_GetTicks();
}
