#include "support/LevelFixture.h"
#include "support/RenderChecks.h"

#include "game/GameState.h"
#include "level/Tunnel.h"
#include "render/Model.h"
#include "render/Renderer.h"
#include "render/ShaderProgram.h"
#include "render/ShadowMap.h"
#include "render/SpotLight.h"
#include "world/Door.h"
#include "world/GameObject.h"
#include "world/Train.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <string>
#include <vector>

namespace {

// The game's frame and the same frame lit by the shaders it had before may differ this much
// per colour channel.
constexpr int CHANNEL_TOLERANCE = 2;
constexpr int GLASS_DOOR_TUNNEL = 4;
constexpr int TRAIN_TUNNEL = 6;

} // namespace

class FrameShadingTest : public LevelFixture {
protected:
    void lookAt(int tunnelIndex, glm::vec3 offset, glm::vec3 along)
    {
        gameState.currentTunnel = tunnel(tunnelIndex);
        const glm::vec3 eye = tunnel(tunnelIndex)->getPosition() + offset;
        aim(eye, eye + 10.0f * along);
    }

    // The second of two frames: the views through portals are lit by the lights the program's
    // last main pass bound, the current tunnel's only from its second frame on.
    std::vector<std::uint8_t> frameDrawnWith(ShaderProgram* program)
    {
        ShaderProgram* gameProgram = defaultProgram;
        defaultProgram = program;
        renderFrame();
        renderFrame();
        defaultProgram = gameProgram;
        return readFrame();
    }
};

TEST_F(FrameShadingTest, TunnelsTheGlassesViewTheRunningTrainAndTheViewsThroughPortalsLookAsBefore)
{
    const std::filesystem::path shaders = std::filesystem::path(__FILE__).parent_path() / "reference";
    ShaderProgram reference((shaders / "scene_before_v.glsl").string(), (shaders / "scene_before_f.glsl").string());
    ASSERT_TRUE(reference.isLinked());
    // Set up as the game sets up its own scene program at start.
    reference.use(true);
    reference.setProj(camera->getProjectionMatrix());
    reference.setDepthBias();
    reference.use(false);
    auto expectLooksAsBefore = [&](const char* what) {
        const std::vector<std::uint8_t> game = frameDrawnWith(defaultProgram);
        EXPECT_LE(compareFrames(game, frameDrawnWith(&reference)).largest, CHANNEL_TOLERANCE) << what;
    };

    lookAt(0, {100, 4, 0}, {1, 0, 0});
    expectLooksAsBefore("the lit tunnel at start");
    gameState.realityView = false;
    lookAt(GLASS_DOOR_TUNNEL, {100, 4, 0}, {1, 0, 0});
    expectLooksAsBefore("the glasses view");
    gameState.realityView = true;
    tunnel(TRAIN_TUNNEL)->spawnTrain();
    lookAt(TRAIN_TUNNEL, {0, 6, 15}, {1, 0, -0.2f});
    tunnel(TRAIN_TUNNEL)->getTrain()->update();
    expectLooksAsBefore("the running train and its shadow");

    // Two portals in view: the pictures through them come back frame after frame.
    door(0, 0)->openPortals(gameState.portalModels, camera);
    door(1, 6)->openPortals(gameState.portalModels, camera);
    lookAt(1, {200, 4, 0}, {-1, 0, 0});
    const std::vector<std::uint8_t> first = frameDrawnWith(defaultProgram);
    EXPECT_FALSE(glIsEnabled(GL_SCISSOR_TEST));
    EXPECT_EQ(compareFrames(frameDrawnWith(defaultProgram), first).differing, 0u);
    expectLooksAsBefore("two portals");
    reference.destroy();
}

TEST_F(FrameShadingTest, AShadowMapKeptFromTheLastFrameIsTheOneANewDrawingWouldGive)
{
    Model cubeModel("tunnel", "cube.obj");
    auto* cube = new GameObject(&cubeModel);
    const SpotLight* light = tunnel(0)->getLights()[0];
    const float underLight = light->position.x - tunnel(0)->getPosition().x;
    tunnel(0)->place(cube, underLight, 4.0f, 6.0f);
    lookAt(0, {underLight - 40.0f, 8, 0}, {1, -0.1f, 0});

    const std::vector<std::uint8_t> cubeInPlace = frameDrawnWith(defaultProgram);
    EXPECT_EQ(compareFrames(frameDrawnWith(defaultProgram), cubeInPlace).differing, 0u);

    // The cube moves: the maps must follow it, exactly as maps drawn from nothing would.
    cube->move(0.0f, 0.0f, -10.0f);
    const std::vector<std::uint8_t> cubeMoved = frameDrawnWith(defaultProgram);
    EXPECT_GT(compareFrames(cubeMoved, cubeInPlace).differing, 0u);
    for (ShadowMap* shadowMap : shadowMaps)
        shadowMap->forget();
    EXPECT_EQ(compareFrames(frameDrawnWith(defaultProgram), cubeMoved).differing, 0u);

    // And back again: the first picture returns.
    cube->move(0.0f, 0.0f, 10.0f);
    EXPECT_EQ(compareFrames(frameDrawnWith(defaultProgram), cubeInPlace).differing, 0u);
}
