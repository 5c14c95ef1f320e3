#include "support/LevelFixture.h"

#include "app/Application.h"
#include "game/Rules.h"
#include "physics/PhysicsWorld.h"
#include "render/ScreenQuad.h"

void LevelFixture::SetUp()
{
    context = std::make_unique<HeadlessContext>();
    ASSERT_TRUE(context->ok()) << SDL_GetError();
    startUp(clock);
    gameState.keyboardState = keys.data();
    SDL_FlushEvents(SDL_FIRSTEVENT, SDL_LASTEVENT);
}

void LevelFixture::TearDown()
{
    // Released as the game releases them at shutdown; tunnels and level objects live until the
    // process ends, as in the game (each test case runs in its own process).
    releaseGame();
    if (screenQuad.vertexArray)
        screenQuad.destroy();
    context.reset();
}

void LevelFixture::pushKey(SDL_Keycode key)
{
    SDL_Event event{};
    event.type = SDL_KEYDOWN;
    event.key.keysym.sym = key;
    event.key.keysym.scancode = SDL_GetScancodeFromKey(key);
    SDL_PushEvent(&event);
}

void LevelFixture::pushMouseMotion(int xrel, int yrel)
{
    SDL_Event event{};
    event.type = SDL_MOUSEMOTION;
    event.motion.xrel = xrel;
    event.motion.yrel = yrel;
    SDL_PushEvent(&event);
}

void LevelFixture::pushButton(bool down)
{
    SDL_Event event{};
    event.type = down ? SDL_MOUSEBUTTONDOWN : SDL_MOUSEBUTTONUP;
    event.button.button = SDL_BUTTON_LEFT;
    event.button.state = down ? SDL_PRESSED : SDL_RELEASED;
    SDL_PushEvent(&event);
}

bool LevelFixture::tick()
{
    clock.advance(40);
    bool quit = updateTick();
    afterTick();
    stepPhysics();
    return quit;
}

void LevelFixture::ticks(int count)
{
    for (int i = 0; i < count; ++i)
        tick();
}
