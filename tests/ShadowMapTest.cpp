#include "support/HeadlessContext.h"
#include "support/LevelFixture.h"

#include "game/GameState.h"
#include "level/Tunnel.h"
#include "physics/Camera.h"
#include "render/Model.h"
#include "render/Renderer.h"
#include "render/ScreenQuad.h"
#include "render/ShaderProgram.h"
#include "render/ShadowMap.h"
#include "render/SpotLight.h"
#include "world/GameObject.h"

#include <glm/gtc/matrix_transform.hpp>
#include <gtest/gtest.h>

#include <memory>
#include <vector>

namespace {

constexpr int MAP_WIDTH = 2048;
constexpr int MAP_HEIGHT = 1024;
constexpr int WINDOW_WIDTH = 800;
constexpr int WINDOW_HEIGHT = 600;
// The lights' depth range and their height above the floor of a tunnel.
constexpr float LIGHT_NEAR = 1.0f;
constexpr float LIGHT_FAR = 70.0f;
constexpr float LIGHT_HEIGHT = 40.0f;

GLint textureParameter(GLenum name)
{
    GLint value = 0;
    glGetTexParameteriv(GL_TEXTURE_2D, name, &value);
    return value;
}

GLint levelParameter(GLenum name)
{
    GLint value = 0;
    glGetTexLevelParameteriv(GL_TEXTURE_2D, 0, name, &value);
    return value;
}

std::vector<GLint> integers(GLenum name, int count)
{
    std::vector<GLint> values(count);
    glGetIntegerv(name, values.data());
    return values;
}

// The depth a perspective light records for a surface this far in front of it.
float recordedDepth(float distance)
{
    float ndc = (LIGHT_FAR + LIGHT_NEAR) / (LIGHT_FAR - LIGHT_NEAR)
                - 2.0f * LIGHT_FAR * LIGHT_NEAR / ((LIGHT_FAR - LIGHT_NEAR) * distance);
    return ndc * 0.5f + 0.5f;
}

float centreDepth(const ShadowMap* shadowMap)
{
    std::vector<float> depths(MAP_WIDTH * MAP_HEIGHT);
    glBindTexture(GL_TEXTURE_2D, shadowMap->depthTexture());
    glPixelStorei(GL_PACK_ALIGNMENT, 1);
    glGetTexImage(GL_TEXTURE_2D, 0, GL_DEPTH_COMPONENT, GL_FLOAT, depths.data());
    return depths[(MAP_HEIGHT / 2) * MAP_WIDTH + MAP_WIDTH / 2];
}

} // namespace

// A shadow map on its own, as the game creates three of them at start.
class ShadowMapTest : public ::testing::Test {
protected:
    void SetUp() override { ASSERT_TRUE(context.ok()); }

    HeadlessContext context;
};

TEST_F(ShadowMapTest, ItsDepthTextureIsTwiceAsWideAsHighAndAnswersDepthComparisons)
{
    ::testing::internal::CaptureStderr();
    ShadowMap shadowMap(MAP_WIDTH, MAP_HEIGHT, WINDOW_WIDTH, WINDOW_HEIGHT);
    EXPECT_EQ(::testing::internal::GetCapturedStderr(), "");

    glBindTexture(GL_TEXTURE_2D, shadowMap.depthTexture());
    EXPECT_EQ(levelParameter(GL_TEXTURE_WIDTH), MAP_WIDTH);
    EXPECT_EQ(levelParameter(GL_TEXTURE_HEIGHT), MAP_HEIGHT);
    EXPECT_EQ(levelParameter(GL_TEXTURE_INTERNAL_FORMAT), GL_DEPTH_COMPONENT24);
    EXPECT_EQ(textureParameter(GL_TEXTURE_MIN_FILTER), GL_NEAREST);
    EXPECT_EQ(textureParameter(GL_TEXTURE_MAG_FILTER), GL_NEAREST);
    EXPECT_EQ(textureParameter(GL_TEXTURE_COMPARE_MODE), GL_COMPARE_REF_TO_TEXTURE);
    EXPECT_EQ(textureParameter(GL_TEXTURE_COMPARE_FUNC), GL_LEQUAL);
    EXPECT_EQ(textureParameter(GL_TEXTURE_WRAP_S), GL_CLAMP_TO_EDGE);
    EXPECT_EQ(textureParameter(GL_TEXTURE_WRAP_T), GL_CLAMP_TO_EDGE);
    shadowMap.destroy();
}

TEST_F(ShadowMapTest, BindingRendersIntoADepthOnlyTargetAndUnbindingGivesTheWindowBack)
{
    ShadowMap shadowMap(MAP_WIDTH, MAP_HEIGHT, WINDOW_WIDTH, WINDOW_HEIGHT);
    glViewport(0, 0, 320, 200);

    shadowMap.bind();
    EXPECT_NE(integers(GL_FRAMEBUFFER_BINDING, 1)[0], 0);
    EXPECT_EQ(glCheckFramebufferStatus(GL_FRAMEBUFFER), static_cast<GLenum>(GL_FRAMEBUFFER_COMPLETE));
    EXPECT_EQ(integers(GL_DRAW_BUFFER, 1)[0], GL_NONE);
    EXPECT_EQ(integers(GL_READ_BUFFER, 1)[0], GL_NONE);
    EXPECT_EQ(integers(GL_VIEWPORT, 4), (std::vector<GLint>{0, 0, MAP_WIDTH, MAP_HEIGHT}));

    shadowMap.unbind();
    EXPECT_EQ(integers(GL_FRAMEBUFFER_BINDING, 1)[0], 0);
    EXPECT_EQ(integers(GL_VIEWPORT, 4), (std::vector<GLint>{0, 0, WINDOW_WIDTH, WINDOW_HEIGHT}));
    shadowMap.destroy();
}

TEST_F(ShadowMapTest, DestroyingItReleasesTheFramebufferAndTheTexture)
{
    ShadowMap shadowMap(MAP_WIDTH, MAP_HEIGHT, WINDOW_WIDTH, WINDOW_HEIGHT);
    shadowMap.bind();
    shadowMap.unbind();
    const GLuint texture = shadowMap.depthTexture();
    ASSERT_TRUE(glIsTexture(texture));

    shadowMap.destroy();

    EXPECT_FALSE(glIsTexture(texture));
    EXPECT_EQ(shadowMap.depthTexture(), 0u);
}

TEST_F(ShadowMapTest, TheScreenQuadCoversTheWholeWindowWithItsAttributeArrayLeftOff)
{
    ScreenQuad quad;
    quad.create();
    glBindVertexArray(quad.vertexArray);
    GLint enabled = 1;
    glGetVertexAttribiv(0, GL_VERTEX_ATTRIB_ARRAY_ENABLED, &enabled);
    glBindVertexArray(0);
    EXPECT_EQ(enabled, GL_FALSE);

    ShaderProgram program("shader/shadowMap_debug_v.glsl", "shader/shadowMap_debug_f.glsl");
    ShadowMap shadowMap(MAP_WIDTH, MAP_HEIGHT, WINDOW_WIDTH, WINDOW_HEIGHT);
    shadowMap.bind();
    glClear(GL_DEPTH_BUFFER_BIT); // nothing recorded: everything lies at the far plane
    shadowMap.unbind();
    glClearColor(1, 0, 0, 1);
    glClear(GL_COLOR_BUFFER_BIT | GL_DEPTH_BUFFER_BIT);
    glActiveTexture(GL_TEXTURE0);
    glBindTexture(GL_TEXTURE_2D, shadowMap.depthTexture());
    program.use(true);
    program.setModel(glm::mat4(1.0f));
    quad.draw();
    program.use(false);

    for (auto corner : {std::pair{0, 0}, {WINDOW_WIDTH - 1, 0}, {0, WINDOW_HEIGHT - 1},
                        {WINDOW_WIDTH - 1, WINDOW_HEIGHT - 1}, {WINDOW_WIDTH / 2, WINDOW_HEIGHT / 2}}) {
        auto pixel = context.pixel(corner.first, corner.second);
        EXPECT_GE(pixel.g, 250) << corner.first << "," << corner.second; // white: farthest
        EXPECT_GE(pixel.b, 250) << corner.first << "," << corner.second;
    }
    quad.destroy();
    shadowMap.destroy();
    program.destroy();
}

// The level as the game starts, for the shadow pass and the lighting it feeds.
class ShadowPassTest : public LevelFixture {
protected:
    // Eye and look-at point of the player; the frustum follows at once, as after a tick.
    void aim(glm::vec3 eye, glm::vec3 target)
    {
        camera->setPositionAndTarget(eye, target);
        camera->updateFrustum();
    }

    glm::ivec2 pixelOf(glm::vec3 worldPoint) const
    {
        glm::vec3 window = glm::project(worldPoint, camera->getViewMatrix(), camera->getProjectionMatrix(),
                                        glm::vec4(0, 0, WINDOW_WIDTH, WINDOW_HEIGHT));
        return {static_cast<int>(window.x), static_cast<int>(window.y)};
    }

    // Mean grey value of a 7 x 7 patch around where the world point is seen.
    double brightnessAt(glm::vec3 worldPoint) const
    {
        glm::ivec2 centre = pixelOf(worldPoint);
        double sum = 0;
        int count = 0;
        for (int y = centre.y - 3; y <= centre.y + 3; ++y)
            for (int x = centre.x - 3; x <= centre.x + 3; ++x) {
                auto pixel = context->pixel(x, y);
                sum += (pixel.r + pixel.g + pixel.b) / 3.0;
                ++count;
            }
        return sum / count;
    }

    glm::vec3 floorBelowLight(int light) const
    {
        glm::vec3 lightPosition = tunnel(0)->getLights().at(light)->position;
        return {lightPosition.x, 0.0f, lightPosition.z};
    }
};

TEST_F(ShadowPassTest, EachLightRecordsTheFloorFortyUnitsBelowIt)
{
    aim({60, 12, 0}, {300, 0, 0});
    renderFrame();

    for (int light = 0; light < 3; ++light)
        EXPECT_NEAR(centreDepth(shadowMaps[light]), recordedDepth(LIGHT_HEIGHT), 3e-4) << "light " << light;
}

TEST_F(ShadowPassTest, TheDebugViewShowsHowFarTheFloorLiesBelowTheLight)
{
    aim({60, 12, 0}, {300, 0, 0});
    renderFrame();

    glClear(GL_COLOR_BUFFER_BIT | GL_DEPTH_BUFFER_BIT);
    glActiveTexture(GL_TEXTURE0);
    glBindTexture(GL_TEXTURE_2D, shadowMaps[0]->depthTexture());
    debugProgram->use(true);
    screenQuad.draw();
    debugProgram->use(false);

    // Grey level = share of the light's depth range in front of the surface.
    const double expected = 255.0 * (LIGHT_HEIGHT - LIGHT_NEAR) / (LIGHT_FAR - LIGHT_NEAR);
    auto centre = context->pixel(WINDOW_WIDTH / 2, WINDOW_HEIGHT / 2);
    EXPECT_NEAR(centre.r, expected, 12.0);
    EXPECT_EQ(centre.r, centre.g);
    EXPECT_EQ(centre.g, centre.b);
}

TEST_F(ShadowPassTest, ALitTunnelIsBrightestInThePoolsUnderItsLights)
{
    aim({60, 25, 0}, {240, 0, 0});
    renderFrame();

    const glm::vec3 underFirstLight = floorBelowLight(0);
    const glm::vec3 underSecondLight = floorBelowLight(1);
    const glm::vec3 betweenThem = (underFirstLight + underSecondLight) * 0.5f;
    EXPECT_GT(brightnessAt(underFirstLight), 1.5 * brightnessAt(betweenThem));
    EXPECT_GT(brightnessAt(underSecondLight), 1.5 * brightnessAt(betweenThem));
    // Between the pools the floor is dimmer but still seen.
    EXPECT_GT(brightnessAt(betweenThem), 8.0);
}

TEST_F(ShadowPassTest, ABlockUnderALightCastsItsShadowOnTheFloorBelow)
{
    auto cubeModel = std::make_unique<Model>("tunnel", "cube.obj");
    GameObject* block = new GameObject(cubeModel.get());
    const glm::vec3 floorPoint = floorBelowLight(0);
    // Half way up between floor and light, clear of the line of sight to the floor point.
    tunnel(0)->place(block, floorPoint.x - tunnel(0)->getPosition().x, LIGHT_HEIGHT / 2, 0);
    aim(floorPoint + glm::vec3(-60, 12, 0), floorPoint);
    renderFrame();
    const double shadowed = brightnessAt(floorPoint);

    block->setPosition(floorPoint + glm::vec3(-80, LIGHT_HEIGHT / 2, 0));
    renderFrame();
    const double lit = brightnessAt(floorPoint);

    EXPECT_LT(shadowed, 0.5 * lit);
}
