#include "support/LevelFixture.h"

#include "game/Level.h"
#include "game/Rules.h"
#include "physics/PhysicsWorld.h"

#include <algorithm>

void LevelFixture::startGame()
{
    // SDL's dummy video driver knows where keys sit on the keyboard and opens no window.
    SDL_SetHint(SDL_HINT_VIDEODRIVER, "dummy");
    ASSERT_EQ(SDL_Init(SDL_INIT_VIDEO), 0) << SDL_GetError();
    initPhysics();
    buildLevel();
    gameState.clock = &clock;
}

// The keys, looks and clicks pushed since the last tick go to play as the game's pump hands them on.
bool LevelFixture::playOneTick()
{
    input.actions.clear();
    SDL_Event event;
    while (SDL_PollEvent(&event)) {
        if (event.type == SDL_KEYDOWN)
            input.press(event.key.keysym.scancode, event.key.keysym.sym);
        else if (event.type == SDL_MOUSEMOTION)
            input.look({static_cast<float>(event.motion.xrel), static_cast<float>(event.motion.yrel)});
        else if (event.type == SDL_MOUSEBUTTONDOWN || event.type == SDL_MOUSEBUTTONUP)
            input.button(event.type == SDL_MOUSEBUTTONDOWN);
    }
    std::copy(keys.begin(), keys.end(), input.held.begin());
    return runTick(input, [this] { afterTick(); });
}

void LevelFixture::ticks(int count)
{
    for (int i = 0; i < count; ++i)
        tick();
}
