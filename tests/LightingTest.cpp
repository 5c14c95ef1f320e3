// The lamps: what each light's shadow pass records, the lighting and shadows it feeds, and the
// frame's two shortcuts, which must not change a pixel (objects drawn by a program without the
// lights that cannot reach them, shadow maps redrawn only where a caster moved), with the frame
// looking as it did under the scene shaders the game had before.
#include "support/LevelFixture.h"
#include "support/RenderChecks.h"
#include "support/TestData.h"

#include "game/GameState.h"
#include "level/Tunnel.h"
#include "render/Model.h"
#include "render/Renderer.h"
#include "render/ScreenQuad.h"
#include "render/ShaderProgram.h"
#include "render/ShadowMap.h"
#include "render/SpotLight.h"
#include "world/Door.h"
#include "world/GameObject.h"
#include "world/Train.h"

#include <glm/gtc/matrix_transform.hpp>
#include <gtest/gtest.h>

#include <cmath>
#include <random>
#include <vector>

namespace {

constexpr int MAP_WIDTH = 2048;
constexpr int MAP_HEIGHT = 1024;
// The lights' depth range and their height above the floor of a tunnel.
constexpr float LIGHT_NEAR = 1.0f;
constexpr float LIGHT_FAR = 70.0f;
constexpr float LIGHT_HEIGHT = 40.0f;

// A tunnel light as the level places them: above the floor, shining down.
SpotLight tunnelLight()
{
    return SpotLight(glm::vec3(0, LIGHT_HEIGHT, 0), glm::vec3(1), glm::vec3(0.0001f, -1, 0));
}

// The scene shader's own rule: the light adds something only strictly inside its cone.
bool insideCone(const SpotLight& light, const glm::vec3& point)
{
    const glm::vec3 toPoint = glm::normalize(point - light.position);
    return glm::dot(toPoint, glm::normalize(light.direction)) > std::cos(glm::radians(light.angle));
}

// Where a world point falls on a map of this size seen by the light, in texels.
glm::vec2 texelOf(const SpotLight& light, const glm::vec3& point, glm::vec2 mapSize)
{
    const glm::vec4 clip = light.viewProjection() * glm::vec4(point, 1.0f);
    return (glm::vec2(clip) / clip.w * 0.5f + 0.5f) * mapSize;
}

bool covers(const ShadowMapArea& area, glm::vec2 texel)
{
    return texel.x >= static_cast<float>(area.from.x) && texel.x <= static_cast<float>(area.to.x) &&
           texel.y >= static_cast<float>(area.from.y) && texel.y <= static_cast<float>(area.to.y);
}

} // namespace

TEST(SpotLightReachTest, NoBoxRuledOutHoldsAPointTheShaderWouldLight)
{
    const SpotLight light = tunnelLight();
    std::mt19937 random(7);
    std::uniform_real_distribution<float> coordinate(-150.0f, 150.0f);
    std::uniform_real_distribution<float> size(0.5f, 40.0f);
    int ruledOut = 0;
    for (int box = 0; box < 2000; ++box) {
        const glm::vec3 low(coordinate(random), coordinate(random) * 0.3f, coordinate(random));
        const glm::vec3 high = low + glm::vec3(size(random), size(random), size(random));
        if (light.mayReach(low, high))
            continue;
        ++ruledOut;
        for (int sample = 0; sample < 200; ++sample) {
            const glm::vec3 share(std::uniform_real_distribution<float>(0, 1)(random),
                                  std::uniform_real_distribution<float>(0, 1)(random),
                                  std::uniform_real_distribution<float>(0, 1)(random));
            ASSERT_FALSE(insideCone(light, low + share * (high - low))) << "box from x " << low.x << " y " << low.y;
        }
    }
    EXPECT_GT(ruledOut, 200) << "the test must rule out many boxes to mean anything";
}

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

class FrameShortcutsTest : public LevelFixture {
protected:
    void SetUp() override
    {
        LevelFixture::SetUp();
        if (HasFatalFailure())
            return;
        // The same scene program linked whole only, and the scene shaders of before.
        whole = std::make_unique<ShaderProgram>("shader/default_v2.glsl", "shader/default_f2.glsl");
        before = std::make_unique<ShaderProgram>(testData("scene_before_v.glsl"), testData("scene_before_f.glsl"));
        for (ShaderProgram* program : {whole.get(), before.get()}) {
            ASSERT_TRUE(program->isLinked());
            setUpAsTheGameDoes(*program);
        }
        withSubsets = defaultProgram;
    }
    void TearDown() override
    {
        defaultProgram = withSubsets;
        for (ShaderProgram* program : {whole.get(), before.get()})
            if (program)
                program->destroy();
        LevelFixture::TearDown();
    }

    static void setUpAsTheGameDoes(ShaderProgram& program)
    {
        program.use(true);
        program.setProj(camera->getProjectionMatrix());
        program.setDepthBias();
        program.use(false);
    }

    // The frame drawn by one program; the second frame counts, as the portal pass uses the
    // lights that the frame before bound.
    std::vector<std::uint8_t> frameDrawnBy(ShaderProgram* program)
    {
        defaultProgram = program;
        renderFrame();
        renderFrame();
        defaultProgram = withSubsets;
        return readFrame();
    }

    void setScene(int tunnelIndex, glm::vec3 offset, glm::vec3 lookAlong)
    {
        gameState.currentTunnel = tunnel(tunnelIndex);
        const glm::vec3 eye = tunnel(tunnelIndex)->getPosition() + offset;
        aim(eye, eye + 10.0f * lookAlong);
    }

    std::unique_ptr<ShaderProgram> whole;
    std::unique_ptr<ShaderProgram> before;
    ShaderProgram* withSubsets = nullptr;
};

TEST_F(FrameShortcutsTest, EverySceneLooksTheSameWithLightSubsetsAsWithTheWholeProgramAndAsBefore)
{
    door(0, 0)->openPortals(gameState.portalModels, camera);
    door(1, 6)->openPortals(gameState.portalModels, camera);
    tunnel(6)->spawnTrain();
    for (int frame = 0; frame < 40; ++frame)
        tunnel(6)->getTrain()->update();
    for (const Scene& scene : SCENES) {
        gameState.realityView = scene.realityView;
        setScene(scene.tunnel, scene.offset, scene.along);
        const auto game = frameDrawnBy(withSubsets);
        const FrameDifference difference = compareFrames(game, frameDrawnBy(whole.get()));
        EXPECT_EQ(difference.differing, 0u) << scene.name << ": largest difference " << difference.largest;
        EXPECT_LE(compareFrames(game, frameDrawnBy(before.get())).largest, CHANNEL_TOLERANCE) << scene.name;
        EXPECT_EQ(compareFrames(frameDrawnBy(withSubsets), game).differing, 0u) << scene.name << " drawn again";
    }
    EXPECT_FALSE(glIsEnabled(GL_SCISSOR_TEST));
}

TEST_F(FrameShortcutsTest, AnObjectNoLightReachesIsDrawnWithoutLightCode)
{
    setScene(0, glm::vec3(0, 4, 0), glm::vec3(1, 0, 0));
    renderFrame();
    const auto currentProgram = [] {
        GLint program = 0;
        glGetIntegerv(GL_CURRENT_PROGRAM, &program);
        return static_cast<GLuint>(program);
    };
    const glm::vec3 start = tunnel(0)->getPosition();
    defaultProgram->useForBox(start + glm::vec3(-500, -500, -500), start + glm::vec3(900, 500, 500));
    EXPECT_EQ(currentProgram(), defaultProgram->getProgram()) << "a box round the whole tunnel gets every light";
    defaultProgram->useForBox(start + glm::vec3(90, 100, 0), start + glm::vec3(91, 101, 1));
    const GLuint unlit = currentProgram();
    EXPECT_NE(unlit, defaultProgram->getProgram()) << "a box above the lamps gets none";
    defaultProgram->useForBox(start + glm::vec3(85, 0, -1), start + glm::vec3(95, 1, 1));
    EXPECT_NE(currentProgram(), unlit);
    EXPECT_NE(currentProgram(), defaultProgram->getProgram()) << "a box under the first lamp gets that lamp alone";
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
            renderFrame();
        }
        const auto kept = readFrame();
        for (ShadowMap* map : shadowMaps)
            map->forget();
        renderFrame();
        const FrameDifference difference = compareFrames(kept, readFrame());
        EXPECT_EQ(difference.differing, 0u) << "check " << check << ": largest difference " << difference.largest;
    }
}

TEST_F(FrameShortcutsTest, AShadowMapIsStaleOnlyWhereACasterCameWentOrMoved)
{
    ShadowMap& map = *shadowMaps[0];
    const SpotLight& light = *tunnel(0)->getLights()[0];
    Model cubeModel("tunnel", "cube.obj");
    GameObject cube(&cubeModel);
    GLint width = 0;
    GLint height = 0;
    glBindTexture(GL_TEXTURE_2D, map.depthTexture());
    glGetTexLevelParameteriv(GL_TEXTURE_2D, 0, GL_TEXTURE_WIDTH, &width);
    glGetTexLevelParameteriv(GL_TEXTURE_2D, 0, GL_TEXTURE_HEIGHT, &height);
    const glm::vec2 mapSize(width, height);
    const auto contentsWith = [&](bool withCube, const SpotLight& from) {
        ShadowMapContents contents;
        contents.lightViewProjection = from.viewProjection();
        if (withCube)
            contents.casters.push_back({&cube, cube.getModelMatrix(), cubeModel.corners(), true});
        return contents;
    };
    const glm::vec3 below = light.position - glm::vec3(0, 38, 0);
    cube.setPosition(below);
    const ShadowMapContents before = contentsWith(true, light);
    const ShadowMapArea wholeMap = map.staleArea(before);
    EXPECT_EQ(wholeMap.to - wholeMap.from, glm::ivec2(mapSize)) << "nothing drawn yet";
    map.remember(before);
    EXPECT_TRUE(map.staleArea(before).empty());

    cube.setPosition(below + glm::vec3(6, 0, 0));
    const ShadowMapArea moved = map.staleArea(contentsWith(true, light));
    EXPECT_TRUE(covers(moved, texelOf(light, below, mapSize)));
    EXPECT_TRUE(covers(moved, texelOf(light, below + glm::vec3(6, 0, 0), mapSize)));
    EXPECT_LT((moved.to.x - moved.from.x) * (moved.to.y - moved.from.y), mapSize.x * mapSize.y / 4);
    EXPECT_TRUE(covers(map.staleArea(contentsWith(false, light)), texelOf(light, below, mapSize)))
        << "a caster that left is stale where it stood";

    SpotLight moving = light;
    moving.position += glm::vec3(1, 0, 0);
    const ShadowMapArea relit = map.staleArea(contentsWith(true, moving));
    EXPECT_EQ(relit.to - relit.from, glm::ivec2(mapSize)) << "a light that moved sees everything anew";
    map.forget();
}

// The level as the game starts, for the shadow pass and the lighting it feeds.
class ShadowPassTest : public LevelFixture {
protected:
    // Mean grey value of a 7 x 7 patch around where the world point is seen.
    double brightnessAt(glm::vec3 worldPoint) const
    {
        const glm::vec3 window = glm::project(worldPoint, camera->syncViewMatrix(), camera->getProjectionMatrix(),
                                              glm::vec4(0, 0, WINDOW_WIDTH, WINDOW_HEIGHT));
        double sum = 0;
        for (int y = -3; y <= 3; ++y)
            for (int x = -3; x <= 3; ++x) {
                const Pixel pixel = pixelAt(int(window.x) + x, int(window.y) + y);
                sum += (pixel.r + pixel.g + pixel.b) / 3.0;
            }
        return sum / 49;
    }

    glm::vec3 floorBelowLight(int light) const
    {
        const glm::vec3 lightPosition = tunnel(0)->getLights().at(light)->position;
        return {lightPosition.x, 0.0f, lightPosition.z};
    }
};

TEST_F(ShadowPassTest, EachLightRecordsTheFloorBelowItAndTheDebugViewShowsHowFarItLies)
{
    aim({60, 12, 0}, {300, 0, 0});
    renderFrame();

    // The depth a perspective light records for a surface LIGHT_HEIGHT in front of it.
    const float ndc =
        (LIGHT_FAR + LIGHT_NEAR - 2.0f * LIGHT_FAR * LIGHT_NEAR / LIGHT_HEIGHT) / (LIGHT_FAR - LIGHT_NEAR);
    std::vector<float> depths(MAP_WIDTH * MAP_HEIGHT);
    for (int light = 0; light < 3; ++light) {
        glBindTexture(GL_TEXTURE_2D, shadowMaps[light]->depthTexture());
        glGetTexImage(GL_TEXTURE_2D, 0, GL_DEPTH_COMPONENT, GL_FLOAT, depths.data());
        EXPECT_NEAR(depths[(MAP_HEIGHT / 2) * MAP_WIDTH + MAP_WIDTH / 2], ndc * 0.5f + 0.5f, 3e-4) << light;
    }

    // Grey level = share of the light's depth range in front of the surface.
    glClear(GL_COLOR_BUFFER_BIT | GL_DEPTH_BUFFER_BIT);
    glActiveTexture(GL_TEXTURE0);
    glBindTexture(GL_TEXTURE_2D, shadowMaps[0]->depthTexture());
    debugProgram->use(true);
    screenQuad.draw();
    debugProgram->use(false);
    const Pixel centre = pixelAt(WINDOW_WIDTH / 2, WINDOW_HEIGHT / 2);
    EXPECT_NEAR(centre.r, 255.0 * (LIGHT_HEIGHT - LIGHT_NEAR) / (LIGHT_FAR - LIGHT_NEAR), 12.0);
    EXPECT_EQ(centre.r, centre.g);
    EXPECT_EQ(centre.g, centre.b);
}

TEST_F(ShadowPassTest, TheFloorIsBrightestUnderTheLightsAndDarkInTheShadowOfABlock)
{
    aim({60, 25, 0}, {240, 0, 0});
    renderFrame();
    const glm::vec3 underFirstLight = floorBelowLight(0);
    const glm::vec3 betweenLights = (underFirstLight + floorBelowLight(1)) * 0.5f;
    EXPECT_GT(brightnessAt(underFirstLight), 1.5 * brightnessAt(betweenLights));
    EXPECT_GT(brightnessAt(floorBelowLight(1)), 1.5 * brightnessAt(betweenLights));
    EXPECT_GT(brightnessAt(betweenLights), 8.0); // dimmer, but still seen

    // A block half way up between floor and light, clear of the line of sight to the floor point.
    Model cubeModel("tunnel", "cube.obj");
    GameObject* block = new GameObject(&cubeModel);
    tunnel(0)->place(block, underFirstLight.x - tunnel(0)->getPosition().x, LIGHT_HEIGHT / 2, 0);
    aim(underFirstLight + glm::vec3(-60, 12, 0), underFirstLight);
    renderFrame();
    const double shadowed = brightnessAt(underFirstLight);
    block->setPosition(underFirstLight + glm::vec3(-80, LIGHT_HEIGHT / 2, 0));
    renderFrame();
    EXPECT_LT(shadowed, 0.5 * brightnessAt(underFirstLight));
}
