#include "support/LevelFixture.h"

#include "game/GameState.h"
#include "level/Tunnel.h"
#include "physics/Camera.h"
#include "render/Model.h"
#include "render/Renderer.h"
#include "render/ShaderProgram.h"
#include "render/ShadowMap.h"
#include "render/SpotLight.h"
#include "world/Door.h"
#include "world/GameObject.h"
#include "world/Train.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>
#include <memory>
#include <string>
#include <vector>

namespace {

// The render tests accept this much difference per colour channel between two ways of drawing
// the same picture.
constexpr int CHANNEL_TOLERANCE = 2;
constexpr int GLASS_DOOR_TUNNEL = 4;
constexpr int TRAIN_TUNNEL = 6;

std::string referenceShader(const char* file)
{
    return (std::filesystem::path(__FILE__).parent_path() / "reference" / file).string();
}

struct FrameDifference {
    int largest = 0;       // largest channel difference of any pixel
    std::size_t differing = 0; // pixels whose channels differ at all
};

FrameDifference compareFrames(const std::vector<std::uint8_t>& a, const std::vector<std::uint8_t>& b)
{
    FrameDifference difference;
    for (std::size_t i = 0; i + 3 < a.size(); i += 4) {
        int largest = 0;
        for (std::size_t channel = 0; channel < 3; ++channel)
            largest = std::max(largest, std::abs(a[i + channel] - b[i + channel]));
        difference.largest = std::max(difference.largest, largest);
        difference.differing += largest > 0 ? 1 : 0;
    }
    return difference;
}

} // namespace

class FrameShadingTest : public LevelFixture {
protected:
    void SetUp() override
    {
        LevelFixture::SetUp();
        reference = std::make_unique<ShaderProgram>(referenceShader("scene_before_v.glsl"),
                                                    referenceShader("scene_before_f.glsl"));
        // Set up as the game sets up its own scene program at start.
        reference->use(true);
        reference->setProj(camera->getProjectionMatrix());
        reference->setDepthBias();
        reference->use(false);
    }

    void TearDown() override
    {
        reference->destroy();
        LevelFixture::TearDown();
    }

    void lookAt(int tunnelIndex, glm::vec3 offset, glm::vec3 along)
    {
        gameState.currentTunnel = tunnel(tunnelIndex);
        const glm::vec3 eye = tunnel(tunnelIndex)->getPosition() + offset;
        camera->setPositionAndTarget(eye, eye + 10.0f * along);
        camera->updateFrustum();
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
        return context->readColour();
    }

    // The game's frame against the same frame lit by the shaders it had before.
    FrameDifference differenceFromReference()
    {
        const std::vector<std::uint8_t> game = frameDrawnWith(defaultProgram);
        const std::vector<std::uint8_t> before = frameDrawnWith(reference.get());
        return compareFrames(game, before);
    }

    std::unique_ptr<ShaderProgram> reference;
};

TEST_F(FrameShadingTest, TheLitTunnelLooksAsItDidBeforeTheCheaperLighting)
{
    ASSERT_TRUE(reference->isLinked());
    lookAt(0, {100, 4, 0}, {1, 0, 0});
    const FrameDifference atStart = differenceFromReference();
    EXPECT_LE(atStart.largest, CHANNEL_TOLERANCE);

    gameState.realityView = false;
    lookAt(GLASS_DOOR_TUNNEL, {100, 4, 0}, {1, 0, 0});
    const FrameDifference glasses = differenceFromReference();
    EXPECT_LE(glasses.largest, CHANNEL_TOLERANCE);
}

TEST_F(FrameShadingTest, TheRunningTrainAndItsShadowLookAsBefore)
{
    tunnel(TRAIN_TUNNEL)->spawnTrain();
    lookAt(TRAIN_TUNNEL, {0, 6, 15}, {1, 0, -0.2f});
    tunnel(TRAIN_TUNNEL)->getTrain()->update();
    const FrameDifference withTrain = differenceFromReference();
    EXPECT_LE(withTrain.largest, CHANNEL_TOLERANCE);
}

TEST_F(FrameShadingTest, AShadowMapKeptFromTheLastFrameIsTheOneANewDrawingWouldGive)
{
    Model cubeModel("tunnel", "cube.obj");
    auto* cube = new GameObject(&cubeModel);
    const SpotLight* light = tunnel(0)->getLights()[0];
    const glm::vec3 underLight(light->position.x - tunnel(0)->getPosition().x, 4.0f, 6.0f);
    tunnel(0)->place(cube, underLight.x, underLight.y, underLight.z);
    lookAt(0, {light->position.x - tunnel(0)->getPosition().x - 40.0f, 8, 0}, {1, -0.1f, 0});

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

TEST_F(FrameShadingTest, TheViewsThroughTwoPortalsComeBackFrameAfterFrameAndLeaveNoScissorBehind)
{
    door(0, 0)->openPortals(gameState.portalModels, camera);
    door(1, 6)->openPortals(gameState.portalModels, camera);
    lookAt(1, {200, 4, 0}, {-1, 0, 0});

    const std::vector<std::uint8_t> first = frameDrawnWith(defaultProgram);
    EXPECT_FALSE(glIsEnabled(GL_SCISSOR_TEST));
    EXPECT_EQ(compareFrames(frameDrawnWith(defaultProgram), first).differing, 0u);
    EXPECT_LE(compareFrames(first, frameDrawnWith(reference.get())).largest, CHANNEL_TOLERANCE);
}
