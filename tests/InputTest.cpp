#include "support/InGameWindow.h"
#include "support/PlayingFixture.h"
#include "support/RenderChecks.h"

#include "app/Input.h"
#include "app/RenderToggles.h"
#include "game/TickInput.h"
#include "level/Tunnel.h"

#include <cmath>

namespace {

using InputTest = InGameWindow<PlayingFixture>;

SDL_Event keyEvent(SDL_Keycode key, Uint32 type = SDL_KEYDOWN)
{
    SDL_Event event{};
    event.type = type;
    event.key.keysym.sym = key;
    event.key.keysym.scancode = SDL_GetScancodeFromKey(key);
    return event;
}

// What play got of a pump, in order: a key as "place/label", "look x,y", "down" and "up" for the button.
std::string actionsOf(const TickInput& input)
{
    std::string words;
    for (const TickInput::Action& action : input.actions) {
        const std::string key = std::string(SDL_GetScancodeName(action.place)) + "/" + SDL_GetKeyName(action.label);
        const std::string look = "look " + std::to_string(int(action.look.x)) + "," + std::to_string(int(action.look.y));
        const std::string byKind[] = {key, look, "down", "up"}; // in the order of TickInput::Action::Kind
        words += byKind[static_cast<int>(action.kind)] + " ";
    }
    return words;
}

GLint polygonMode()
{
    GLint mode[2] = {0, 0};
    glGetIntegerv(GL_POLYGON_MODE, mode);
    return mode[0];
}

TEST_F(InputTest, SettingKeysEchoTheirNewStateChangeThePictureAtOnceAndAHeldKeyRepeatsAsAFreshPress)
{
    // Looking down the tunnel, from near walls to far ones drawn small enough to show the mipmaps.
    auto frameDownTheTunnel = [] {
        aim({20, 10, 0}, {400, 6, 0});
        return drawnFrame();
    };
    std::vector<std::uint8_t> before = frameDownTheTunnel();
    std::string echoed;
    for (SDL_Keycode key : {SDLK_F4, SDLK_F5, SDLK_F5, SDLK_F5, SDLK_F3}) {
        pushKey(key);
        echoed += ticksWithOutput(1);
        const std::vector<std::uint8_t> after = frameDownTheTunnel();
        EXPECT_GT(compareFrames(before, after, 4).differing, 500u) << SDL_GetKeyName(key);
        before = after;
    }
    EXPECT_EQ(echoed, "texturesampling nearest\nmipmapping off\nmipmapping nearest\nmipmapping linear\n");
    for (SDL_Keycode key : {SDLK_F8, SDLK_F9, SDLK_F2})
        pushKey(key);
    EXPECT_EQ(ticksWithOutput(1), "view frustum culling off\ntransparency off\n");
    EXPECT_TRUE(renderSettings.nearestSampling && renderSettings.showStats && renderSettings.wireframe);
    EXPECT_FALSE(renderSettings.frustumCulling || renderSettings.transparency);
    EXPECT_EQ(polygonMode(), GL_LINE);

    SDL_Event repeat = keyEvent(SDLK_F3);
    repeat.key.repeat = 1;
    SDL_PushEvent(&repeat);
    for (SDL_Keycode key : {SDLK_F4, SDLK_F8, SDLK_F9})
        pushKey(key);
    EXPECT_EQ(ticksWithOutput(1), "texturesampling linear\nview frustum culling on\ntransparency on\n");
    EXPECT_EQ(polygonMode(), GL_FILL);
}

TEST_F(InputTest, ThePumpHandsPlayItsKeysLooksAndClicksInOrderKeepsTheWindowKeysAndQuitsOnEscapeQOrClosing)
{
    SDL_Event release = keyEvent(SDLK_ESCAPE, SDL_KEYUP);
    SDL_PushEvent(&release);
    pushMouseMotion(3, -2);
    pushKeyAt(SDL_SCANCODE_A, SDLK_q); // Q on the key at A's place steps left, and does not quit
    pushButton(true);
    pushKey(SDLK_F9); // the window's own key acts at once
    pushButton(false);
    const TickInput& played = pumpInput();
    EXPECT_EQ(actionsOf(played), "look 3,-2 A/Q down up ");
    EXPECT_FALSE(played.paused || played.quit || renderSettings.transparency);

    // Away from the window play gets only the button let go; a quit leaves later events waiting.
    pushWindowEvent(SDL_WINDOWEVENT_FOCUS_LOST);
    SDL_Event windowClose{};
    windowClose.type = SDL_QUIT;
    for (SDL_Event quit : {keyEvent(SDLK_ESCAPE), keyEvent(SDLK_q), windowClose}) {
        pushMouseMotion(5, 5);
        pushKey(SDLK_e);
        pushButton(true);
        pushButton(false);
        SDL_PushEvent(&quit);
        pushKey(SDLK_F9);
        const TickInput& away = pumpInput();
        EXPECT_EQ(actionsOf(away), "up ");
        EXPECT_TRUE(away.paused && away.quit);
        EXPECT_EQ(SDL_PeepEvents(nullptr, 0, SDL_PEEKEVENT, SDL_FIRSTEVENT, SDL_LASTEVENT), 1);
        SDL_FlushEvents(SDL_FIRSTEVENT, SDL_LASTEVENT);
    }
}

TEST_F(InputTest, TheDebugJumpWrapsBothWaysThroughTheTunnelsAndTPrintsTheTunnelCountedFromOne)
{
    pushKey(SDLK_BACKSPACE);
    pushKey(SDLK_t);
    EXPECT_EQ(ticksWithOutput(1), "Tunnel " + std::to_string(TUNNEL_COUNT) + "\n");

    // TAB lands where the index points and moves it on: tunnel 20 again, then 0, 1 and 2.
    for (int i = 0; i < 4; ++i)
        pushKey(SDLK_TAB);
    tick();
    EXPECT_EQ(gameState.currentTunnel, tunnel(2));
    // The eye lands above the tunnel's origin, looking down the tunnel.
    EXPECT_FLOAT_EQ(gameState.camera->getPosition().x, tunnel(2)->getPosition().x);
    EXPECT_FLOAT_EQ(gameState.camera->getPosition().z, tunnel(2)->getPosition().z);
    EXPECT_GT(gameState.camera->getTarget().x, gameState.camera->getPosition().x);

    pushKey(SDLK_BACKSPACE);
    pushKey(SDLK_BACKSPACE);
    pushKey(SDLK_t);
    EXPECT_EQ(ticksWithOutput(1), "Tunnel 2\n");
}

TEST_F(InputTest, MinusAndEqualsHalveAndDoubleTheMouseTurnPerPixelBetweenAThirtySecondAndOneDegree)
{
    rest();
    // The turn a motion of so many pixels to the right makes, in degrees.
    auto turnOf = [this](int xrel) {
        const glm::vec3 before = gameState.camera->syncViewDirection();
        pushMouseMotion(xrel, 0);
        tick();
        const glm::vec3 after = gameState.camera->syncViewDirection();
        return glm::degrees(std::atan2(before.x * after.z - before.z * after.x, glm::dot(before, after)));
    };
    const float fullTurn = turnOf(12);
    pushKey(SDLK_MINUS);
    EXPECT_EQ(ticksWithOutput(1), "mouse sensitivity 0.5\n");
    EXPECT_NEAR(turnOf(12), fullTurn / 2, 0.1f);

    for (int i = 0; i < 6; ++i)
        pushKey(SDLK_KP_MINUS);
    EXPECT_EQ(ticksWithOutput(1), "mouse sensitivity 0.25\nmouse sensitivity 0.125\nmouse sensitivity 0.0625\n"
                                  "mouse sensitivity 0.03125\nmouse sensitivity 0.03125\nmouse sensitivity 0.03125\n");
    EXPECT_NEAR(turnOf(96), fullTurn / 4, 0.1f);

    for (int i = 0; i < 4; ++i)
        pushKey(SDLK_EQUALS);
    for (int i = 0; i < 3; ++i)
        pushKey(SDLK_KP_PLUS);
    EXPECT_EQ(ticksWithOutput(1), "mouse sensitivity 0.0625\nmouse sensitivity 0.125\nmouse sensitivity 0.25\n"
                                  "mouse sensitivity 0.5\nmouse sensitivity 1\nmouse sensitivity 1\nmouse sensitivity 1\n");
    EXPECT_NEAR(turnOf(12), fullTurn, 0.1f);
}

} // namespace
