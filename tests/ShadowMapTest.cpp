#include "support/LevelFixture.h"
#include "support/RenderChecks.h"

#include "level/Tunnel.h"
#include "render/Model.h"
#include "render/Renderer.h"
#include "render/ScreenQuad.h"
#include "render/ShaderProgram.h"
#include "render/ShadowMap.h"
#include "render/SpotLight.h"
#include "world/GameObject.h"

#include <glm/gtc/matrix_transform.hpp>
#include <gtest/gtest.h>

#include <vector>

namespace {

constexpr int MAP_WIDTH = 2048;
constexpr int MAP_HEIGHT = 1024;
// The lights' depth range and their height above the floor of a tunnel.
constexpr float LIGHT_NEAR = 1.0f;
constexpr float LIGHT_FAR = 70.0f;
constexpr float LIGHT_HEIGHT = 40.0f;

} // namespace

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
