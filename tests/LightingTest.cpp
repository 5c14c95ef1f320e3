// The lamps: the lighting and shadows they give, and the frame's two shortcuts, which must not
// change a pixel (objects drawn by a program without the lights that cannot reach them, shadow
// maps redrawn only where a caster moved), with the frame looking as it did under the scene
// shaders the game had before. What the shortcuts spare, the benchmark counts.
#include "support/InGameWindow.h"
#include "support/LevelFixture.h"
#include "support/RenderChecks.h"

#include "level/DoorPortals.h"
#include "level/Tunnel.h"
#include "world/Model.h"
#include "render/ShaderProgram.h"
#include "render/ShadowMap.h"
#include "world/SpotLight.h"
#include "world/GameObject.h"
#include "world/Train.h"

#include <glm/gtc/matrix_transform.hpp>

#include <cmath>
#include <vector>

namespace {

// The scenes every frame check draws: where the eye stands in which tunnel, and where it looks.
struct Scene {
    const char* name;
    int tunnel;
    glm::vec3 offset;
    glm::vec3 along;
    bool realityView;
};
const Scene SCENES[] = {
    {"tunnel 1 from its start", 0, {0, 4, 0}, {1, 0, 0}, true},
    {"tunnel 1 towards its sign", 0, {100, 4, 0}, {1, 0, 0}, true},
    {"tunnel 1 from above, looking back", 0, {300, 30, 8}, {-1, -0.6f, -0.3f}, true},
    {"tunnel 2 with two portals open", 1, {200, 4, 0}, {-1, 0, 0}, true},
    {"tunnel 5 in the glasses view, glass door ahead", 4, {100, 4, 0}, {1, 0, 0}, false},
    {"tunnel 7 with a running train", 6, {0, 6, 15}, {1, 0, -0.2f}, true},
};
// The game's frame and the same frame lit by the shaders it had before may differ this much
// per colour channel.
constexpr int CHANNEL_TOLERANCE = 2;

} // namespace

class FrameShortcutsTest : public InGameWindow<LevelFixture> {
protected:
    void SetUp() override
    {
        LevelFixture::SetUp();
        if (HasFatalFailure())
            return;
        withSubsets = &gameRenderer().sceneProgram();
        // The same scene program linked whole only, and the scene shaders of before, set up as
        // the game sets up its own; they live as long as the test's process.
        whole = std::make_unique<ShaderProgram>("shader/default_v2.glsl", "shader/default_f2.glsl");
        before = std::make_unique<ShaderProgram>(testData("scene_before_v.glsl"), testData("scene_before_f.glsl"));
        for (ShaderProgram* program : {whole.get(), before.get()}) {
            ASSERT_TRUE(program->isLinked());
            program->use(true);
            program->setProj(gameState.camera->getProjectionMatrix());
            program->setDepthBias();
            program->use(false);
        }
    }
    void TearDown() override
    {
        gameRenderer().drawSceneWith(*withSubsets);
        LevelFixture::TearDown();
    }

    // The frame drawn by one program; the second frame counts, as the portal pass uses the
    // lights that the frame before bound.
    std::vector<std::uint8_t> frameDrawnBy(ShaderProgram* program)
    {
        gameRenderer().drawSceneWith(*program);
        gameRenderer().renderFrame(gameFrameView());
        gameRenderer().renderFrame(gameFrameView());
        gameRenderer().drawSceneWith(*withSubsets);
        return readFrame(gameRenderer().frameTarget());
    }

    std::unique_ptr<ShaderProgram> whole;
    std::unique_ptr<ShaderProgram> before;
    ShaderProgram* withSubsets = nullptr;
};

TEST_F(FrameShortcutsTest, EverySceneLooksTheSameWithLightSubsetsAsWithTheWholeProgramAndAsBefore)
{
    openPortals(*door(0, 0), gameState.portalModels, *gameState.camera);
    openPortals(*door(1, 6), gameState.portalModels, *gameState.camera);
    tunnel(6)->spawnTrain();
    for (int frame = 0; frame < 40; ++frame)
        tunnel(6)->getTrain()->update();
    for (const Scene& scene : SCENES) {
        gameState.realityView = scene.realityView;
        gameState.currentTunnel = tunnel(scene.tunnel);
        const glm::vec3 eye = tunnel(scene.tunnel)->getPosition() + scene.offset;
        aim(eye, eye + 10.0f * scene.along);
        const auto game = frameDrawnBy(withSubsets);
        const FrameDifference difference = compareFrames(game, frameDrawnBy(whole.get()));
        EXPECT_EQ(difference.differing, 0u) << scene.name << ": largest difference " << difference.largest;
        EXPECT_LE(compareFrames(game, frameDrawnBy(before.get())).largest, CHANNEL_TOLERANCE) << scene.name;
        EXPECT_EQ(compareFrames(frameDrawnBy(withSubsets), game).differing, 0u) << scene.name << " drawn again";
    }
    EXPECT_FALSE(glIsEnabled(GL_SCISSOR_TEST));
}

TEST_F(FrameShortcutsTest, ARunningTrainsShadowsMatchMapsDrawnAfresh)
{
    tunnel(6)->spawnTrain();
    Train* train = tunnel(6)->getTrain();
    const glm::vec3 start = tunnel(6)->getPosition();
    gameState.currentTunnel = tunnel(6);
    for (int check = 0; check < 6; ++check) {
        // The player looks about as the train runs, so casters also enter and leave his view.
        const glm::vec3 eye = start + glm::vec3(40.0f * static_cast<float>(check), 6, 15);
        aim(eye, eye + glm::vec3(std::cos(0.5f * static_cast<float>(check)), 0, -0.3f));
        for (int frame = 0; frame < 12; ++frame) {
            for (int step = 0; step < 5; ++step)
                train->update();
            gameRenderer().renderFrame(gameFrameView());
        }
        const auto kept = readFrame(gameRenderer().frameTarget());
        for (ShadowMap* map : gameRenderer().tunnelShadowMaps())
            map->forget();
        gameRenderer().renderFrame(gameFrameView());
        const FrameDifference difference = compareFrames(kept, readFrame(gameRenderer().frameTarget()));
        EXPECT_EQ(difference.differing, 0u) << "check " << check << ": largest difference " << difference.largest;
    }
}

// A lamp reaches a box when any point of it lies in its cone, however the box lies: through a
// corner, across an edge whose ends are both outside, around the axis, or around the lamp.
TEST(SpotLightReachTest, ABoxIsReachedExactlyWhenAPointOfItLiesInTheCone)
{
    const SpotLight lamp(glm::vec3(0.0f), glm::vec3(1.0f), glm::vec3(0, -1, 0)); // 60 degrees each side
    const auto at = [](float degrees) {
        return 50.0f * glm::vec3(std::sin(glm::radians(degrees)), -std::cos(glm::radians(degrees)), 0);
    };
    const glm::vec3 hair(0.01f);
    const struct {
        const char* box;
        glm::vec3 low, high;
        bool reached;
    } boxes[] = {{"a floor below", {-20, -48, -20}, {20, -40, 20}, true},
                 {"a ceiling above", {-20, 10, -20}, {20, 12, 20}, false},
                 {"round the lamp", {-1, -1, -1}, {1, 1, 1}, true},
                 {"a speck just inside the edge", at(59.8f) - hair, at(59.8f) + hair, true},
                 {"a speck just outside the edge", at(60.3f) - hair, at(60.3f) + hair, false},
                 {"a bar across the cone's side, its ends outside", {16.6f, -10, -30}, {16.7f, -10, 30}, true},
                 {"the same bar beside the cone", {17.6f, -10, -30}, {17.7f, -10, 30}, false}};
    for (const auto& box : boxes)
        EXPECT_EQ(lamp.mayReach(box.low, box.high), box.reached) << box.box;
}

// The level as the game starts, for the shadow pass and the lighting it feeds.
class ShadowPassTest : public InGameWindow<LevelFixture> {
protected:
    // Mean grey value of a 7 x 7 patch around where the world point is seen.
    double brightnessAt(glm::vec3 worldPoint) const
    {
        const glm::ivec3 seen = glm::project(worldPoint, gameState.camera->syncViewMatrix(), gameState.camera->getProjectionMatrix(),
                                             glm::vec4(0, 0, WINDOW_WIDTH, WINDOW_HEIGHT));
        return Frame{WINDOW_WIDTH, WINDOW_HEIGHT, readFrame(gameRenderer().frameTarget())}.brightness(
            {seen.x - 3, seen.y - 3, seen.x + 4, seen.y + 4});
    }

    glm::vec3 floorBelowLight(int light) const
    {
        const glm::vec3 lightPosition = tunnel(0)->getLights().at(light)->position;
        return {lightPosition.x, 0.0f, lightPosition.z};
    }
};

TEST_F(ShadowPassTest, TheFloorIsBrightestUnderTheLightsAndDarkInTheShadowOfABlock)
{
    aim({60, 25, 0}, {240, 0, 0});
    gameRenderer().renderFrame(gameFrameView());
    const glm::vec3 underFirstLight = floorBelowLight(0);
    const glm::vec3 betweenLights = (underFirstLight + floorBelowLight(1)) * 0.5f;
    EXPECT_GT(brightnessAt(underFirstLight), 1.5 * brightnessAt(betweenLights));
    EXPECT_GT(brightnessAt(floorBelowLight(1)), 1.5 * brightnessAt(betweenLights));
    EXPECT_GT(brightnessAt(betweenLights), 8.0); // dimmer, but still seen

    // A block half way up between floor and light, clear of the line of sight to the floor point.
    Model cubeModel("tunnel", "cube.obj");
    GameObject* block = new GameObject(&cubeModel);
    const float halfWayUp = (tunnel(0)->getLights()[0]->position.y - underFirstLight.y) / 2;
    tunnel(0)->place(block, underFirstLight.x - tunnel(0)->getPosition().x, halfWayUp, 0);
    aim(underFirstLight + glm::vec3(-60, 12, 0), underFirstLight);
    gameRenderer().renderFrame(gameFrameView());
    const double shadowed = brightnessAt(underFirstLight);
    block->setPosition(underFirstLight + glm::vec3(-80, halfWayUp, 0));
    gameRenderer().renderFrame(gameFrameView());
    EXPECT_LT(shadowed, 0.5 * brightnessAt(underFirstLight));
}
