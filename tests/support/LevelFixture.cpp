#include "support/LevelFixture.h"

#include "app/Input.h"
#include "app/MainLoop.h"

void LevelFixture::SetUp()
{
    RenderFixture::SetUp();
    if (HasFatalFailure())
        return;
    startUp(clock);
    readHeldKeysFrom(keys.data());
    SDL_FlushEvents(SDL_FIRSTEVENT, SDL_LASTEVENT);
}

void LevelFixture::TearDown()
{
    // Released as the game releases them at shutdown; tunnels and level objects live until the
    // process ends, as in the game (each test case runs in its own process).
    releaseGame();
}

bool LevelFixture::tick()
{
    clock.advance(SKIP_TICKS_MS);
    return playTick([this] { afterTick(); });
}

void LevelFixture::ticks(int count)
{
    for (int i = 0; i < count; ++i)
        tick();
}
