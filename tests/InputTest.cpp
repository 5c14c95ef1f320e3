#include "support/PlayingFixture.h"

#include "app/RenderSettings.h"
#include "game/GameState.h"
#include "level/Tunnel.h"
#include "physics/Camera.h"

#include <GL/glew.h>

#include <cmath>

namespace {

using InputTest = PlayingFixture;

int queuedEvents()
{
    return SDL_PeepEvents(nullptr, 0, SDL_PEEKEVENT, SDL_FIRSTEVENT, SDL_LASTEVENT);
}

// Each toggle key answers on the console with the new state.
TEST_F(InputTest, TextureSamplingToggleEchoesTheNewFilter)
{
    pushKey(SDLK_F4);
    EXPECT_EQ(ticksWithOutput(1), "texturesampling nearest\n");
    EXPECT_TRUE(renderSettings.nearestSampling);
    pushKey(SDLK_F4);
    EXPECT_EQ(ticksWithOutput(1), "texturesampling linear\n");
    EXPECT_FALSE(renderSettings.nearestSampling);
}

TEST_F(InputTest, MipmapKeyCyclesThroughTheThreeModesFromLinear)
{
    ASSERT_EQ(renderSettings.mipmapMode, 2);
    pushKey(SDLK_F5);
    pushKey(SDLK_F5);
    pushKey(SDLK_F5);
    EXPECT_EQ(ticksWithOutput(1), "mipmapping off\nmipmapping nearest\nmipmapping linear\n");
    EXPECT_EQ(renderSettings.mipmapMode, 2);
}

TEST_F(InputTest, CullingAndTransparencyTogglesEchoOffThenOn)
{
    pushKey(SDLK_F8);
    pushKey(SDLK_F9);
    EXPECT_EQ(ticksWithOutput(1), "view frustum culling off\ntransparency off\n");
    EXPECT_FALSE(renderSettings.frustumCulling);
    EXPECT_FALSE(renderSettings.transparency);
    pushKey(SDLK_F8);
    pushKey(SDLK_F9);
    EXPECT_EQ(ticksWithOutput(1), "view frustum culling on\ntransparency on\n");
}

TEST_F(InputTest, StatisticsToggleIsSilent)
{
    pushKey(SDLK_F2);
    EXPECT_EQ(ticksWithOutput(1), "");
    EXPECT_TRUE(renderSettings.showStats);
}

TEST_F(InputTest, WireframeKeySwitchesThePolygonModeAtOnce)
{
    GLint mode[2] = {0, 0};
    pushKey(SDLK_F3);
    tick();
    glGetIntegerv(GL_POLYGON_MODE, mode);
    EXPECT_EQ(mode[0], GL_LINE);
    EXPECT_TRUE(renderSettings.wireframe);
    pushKey(SDLK_F3);
    tick();
    glGetIntegerv(GL_POLYGON_MODE, mode);
    EXPECT_EQ(mode[0], GL_FILL);
}

TEST_F(InputTest, HeldToggleKeyRepeatsLikeFreshPresses)
{
    SDL_Event repeat{};
    repeat.type = SDL_KEYDOWN;
    repeat.key.keysym.sym = SDLK_F9;
    repeat.key.repeat = 1;
    SDL_PushEvent(&repeat);
    SDL_PushEvent(&repeat);
    EXPECT_EQ(ticksWithOutput(1), "transparency off\ntransparency on\n");
}

// Quitting.
TEST_F(InputTest, WindowCloseStopsAtOnceAndLeavesLaterEventsQueued)
{
    SDL_Event quit{};
    quit.type = SDL_QUIT;
    SDL_PushEvent(&quit);
    pushKey(SDLK_F9);
    EXPECT_TRUE(tick());
    EXPECT_EQ(queuedEvents(), 1);
    EXPECT_TRUE(renderSettings.transparency);
}

TEST_F(InputTest, EscapeQuits)
{
    pushKey(SDLK_ESCAPE);
    EXPECT_TRUE(tick());
}

TEST_F(InputTest, QQuits)
{
    pushKey(SDLK_q);
    EXPECT_TRUE(tick());
}

TEST_F(InputTest, OtherKeysAndKeyReleasesDoNotQuit)
{
    SDL_Event release{};
    release.type = SDL_KEYUP;
    release.key.keysym.sym = SDLK_ESCAPE;
    SDL_PushEvent(&release);
    pushKey(SDLK_w);
    EXPECT_FALSE(tick());
}

// Looking and clicking.
TEST_F(InputTest, MouseMotionToTheRightTurnsTheViewRight)
{
    rest();
    glm::vec3 before = camera->getViewDirection();
    pushMouseMotion(90, 0);
    tick();
    glm::vec3 after = camera->getViewDirection();
    // Facing +x with y up, the right hand points to +z.
    EXPECT_NEAR(after.z, glm::length(glm::vec2(before.x, before.z)), 0.01f);
    EXPECT_NEAR(after.x, 0.0f, 0.01f);
}

TEST_F(InputTest, LeftButtonIsHeldFromPressToRelease)
{
    pushButton(true);
    tick();
    EXPECT_TRUE(gameState.leftButtonHeld);
    ticks(3);
    EXPECT_TRUE(gameState.leftButtonHeld);
    pushButton(false);
    tick();
    EXPECT_FALSE(gameState.leftButtonHeld);
}

// The view key.
TEST_F(InputTest, ViewKeySwitchesViewsButCountsOnlyInTunnels11And18)
{
    pushKey(SDLK_e);
    tick();
    EXPECT_FALSE(gameState.realityView);
    EXPECT_EQ(gameState.viewSwitchCount, 0);

    jumpTo(11);
    pushKey(SDLK_e);
    tick();
    EXPECT_TRUE(gameState.realityView);
    EXPECT_EQ(gameState.viewSwitchCount, 1);
    jumpTo(18);
    pushKey(SDLK_e);
    tick();
    EXPECT_EQ(gameState.viewSwitchCount, 2);
}

// The tunnel print and the debug jump.
TEST_F(InputTest, TKeyPrintsTheTunnelNumberCountedFromOne)
{
    pushKey(SDLK_t);
    EXPECT_EQ(ticksWithOutput(1), "Tunnel 1\n");
    EXPECT_FALSE(gameState.printTunnelRequested);
    jumpTo(6);
    pushKey(SDLK_t);
    EXPECT_EQ(ticksWithOutput(1), "Tunnel 7\n");
}

TEST_F(InputTest, TabJumpsThroughTheTunnelsInOrderAndBackspaceComesBack)
{
    pushKey(SDLK_TAB);
    pushKey(SDLK_TAB);
    pushKey(SDLK_TAB);
    tick();
    EXPECT_EQ(gameState.currentTunnel, tunnel(2));
    EXPECT_EQ(gameState.debugTunnelIndex, 3);
    // The eye lands above the tunnel's origin (the body then falls to the floor).
    EXPECT_FLOAT_EQ(camera->getPosition().x, tunnel(2)->getPosition().x);
    EXPECT_FLOAT_EQ(camera->getPosition().z, tunnel(2)->getPosition().z);
    EXPECT_GT(camera->getTarget().x, camera->getPosition().x);

    pushKey(SDLK_BACKSPACE);
    tick();
    EXPECT_EQ(gameState.currentTunnel, tunnel(2));
    pushKey(SDLK_BACKSPACE);
    tick();
    EXPECT_EQ(gameState.currentTunnel, tunnel(1));
}

TEST_F(InputTest, BackspaceFromTheFirstIndexJumpsToTunnel20)
{
    pushKey(SDLK_BACKSPACE);
    tick();
    EXPECT_EQ(gameState.currentTunnel, tunnel(20));
    EXPECT_EQ(gameState.debugTunnelIndex, 20);
}

TEST_F(InputTest, TabAfterTunnel20WrapsToTunnel0)
{
    jumpTo(20);
    EXPECT_EQ(gameState.debugTunnelIndex, 0);
    pushKey(SDLK_TAB);
    tick();
    EXPECT_EQ(gameState.currentTunnel, tunnel(0));
}

} // namespace
