#include "support/LevelFixture.h"

#include "app/RenderSettings.h"
#include "game/GameState.h"
#include "level/Level.h"
#include "level/Tunnel.h"
#include "physics/Camera.h"
#include "render/Model.h"
#include "render/Renderer.h"
#include "render/ShaderProgram.h"
#include "world/Door.h"
#include "world/GameObject.h"
#include "world/Portal.h"
#include "world/Train.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>
#include <functional>
#include <memory>
#include <sstream>
#include <string>
#include <vector>

namespace {

constexpr int WINDOW_WIDTH = 800;
constexpr int WINDOW_HEIGHT = 600;
constexpr int GLASS_DOOR_TUNNEL = 4;

GLint integer(GLenum name)
{
    GLint value = 0;
    glGetIntegerv(name, &value);
    return value;
}

// The counts of the "N objects culled" lines that the drawing printed, in order.
std::vector<int> culledCounts(const std::function<void()>& draw)
{
    ::testing::internal::CaptureStdout();
    draw();
    std::istringstream output(::testing::internal::GetCapturedStdout());
    std::vector<int> counts;
    for (std::string line; std::getline(output, line);) {
        const auto suffix = line.find(" objects culled");
        if (suffix != std::string::npos)
            counts.push_back(std::stoi(line.substr(0, suffix)));
    }
    return counts;
}

unsigned trianglesOf(const std::vector<GameObject*>& objects)
{
    unsigned sum = 0;
    for (const GameObject* object : objects)
        sum += object->getModel()->triangleCount();
    return sum;
}

int largestChannelDifference(const HeadlessContext::Pixel& a, const HeadlessContext::Pixel& b)
{
    return std::max({std::abs(a.r - b.r), std::abs(a.g - b.g), std::abs(a.b - b.b)});
}

bool liesBetween(int value, int first, int second, int tolerance)
{
    return value >= std::min(first, second) - tolerance && value <= std::max(first, second) + tolerance;
}

void saveScreenshot(const HeadlessContext& context, const std::string& name)
{
    std::filesystem::create_directories("screenshots");
    context.savePng(("screenshots/" + name + ".png").c_str());
}

} // namespace

class RendererTest : public LevelFixture {
protected:
    void SetUp() override
    {
        LevelFixture::SetUp();
        cubeModel = std::make_unique<Model>("tunnel", "cube.obj");
    }

    // Eye and look-at point of the player; the frustum follows at once, as after a tick.
    void aim(glm::vec3 eye, glm::vec3 target)
    {
        camera->setPositionAndTarget(eye, target);
        camera->updateFrustum();
    }

    // The main pass alone, with the lights and shadow maps the last frame left bound.
    void drawMainPassOnly()
    {
        glClear(GL_COLOR_BUFFER_BIT | GL_DEPTH_BUFFER_BIT);
        defaultProgram->use(true);
        defaultProgram->setView(camera->getViewMatrix());
        drawCulled(gameState.currentTunnel, camera, defaultProgram, gameState.realityView);
        defaultProgram->use(false);
    }

    unsigned trianglesOfAFrame()
    {
        renderFrame();
        return renderSettings.trianglesRendered;
    }

    // A cube placed in tunnel 0 at a world position.
    GameObject* placeCube(glm::vec3 worldPosition)
    {
        GameObject* cube = new GameObject(cubeModel.get());
        tunnel(0)->place(cube, worldPosition.x - tunnel(0)->getPosition().x, worldPosition.y, worldPosition.z);
        return cube;
    }

    // Triangles of the shell of one view and of the objects that view shows (doors by their flags).
    static unsigned trianglesShownIn(const Tunnel* shown, bool realityView)
    {
        unsigned sum = trianglesOf(realityView ? shown->getRealityPieces() : shown->getGlassesPieces());
        for (const GameObject* object : shown->getObjects()) {
            const Door* door = dynamic_cast<const Door*>(object);
            if (door == nullptr || (realityView ? door->isShownInReality() : door->isShownInGlasses()))
                sum += object->getModel()->triangleCount();
        }
        return sum;
    }

    std::unique_ptr<Model> cubeModel; // loaded once the context exists
};

TEST_F(RendererTest, AFrameLeavesTheStateTheGameDrawsIn)
{
    aim({100, 10, 0}, {300, 10, 0});
    glGetError();
    renderFrame();

    EXPECT_EQ(glGetError(), static_cast<GLenum>(GL_NO_ERROR));
    EXPECT_TRUE(glIsEnabled(GL_DEPTH_TEST));
    EXPECT_EQ(integer(GL_DEPTH_FUNC), GL_LESS);
    EXPECT_FALSE(glIsEnabled(GL_BLEND));
    EXPECT_TRUE(glIsEnabled(GL_STENCIL_TEST));
    EXPECT_EQ(integer(GL_STENCIL_WRITEMASK), 0);
    EXPECT_EQ(integer(GL_STENCIL_FUNC), GL_LEQUAL);
    EXPECT_EQ(integer(GL_STENCIL_REF), 0);
    EXPECT_EQ(integer(GL_DEPTH_WRITEMASK), GL_TRUE);
    GLboolean colourMask[4] = {GL_FALSE, GL_FALSE, GL_FALSE, GL_FALSE};
    glGetBooleanv(GL_COLOR_WRITEMASK, colourMask);
    EXPECT_TRUE(colourMask[0] && colourMask[1] && colourMask[2] && colourMask[3]);
    GLint viewport[4] = {};
    glGetIntegerv(GL_VIEWPORT, viewport);
    EXPECT_EQ(viewport[2], WINDOW_WIDTH);
    EXPECT_EQ(viewport[3], WINDOW_HEIGHT);
    EXPECT_EQ(integer(GL_CURRENT_PROGRAM), 0);
    EXPECT_EQ(integer(GL_FRAMEBUFFER_BINDING), 0);
}

TEST_F(RendererTest, TheRealityAndTheGlassesViewShowDifferentShells)
{
    aim({60, 12, 0}, {400, 6, 0});
    gameState.realityView = true;
    renderFrame();
    const std::vector<std::uint8_t> reality = context->readColour();
    saveScreenshot(*context, "tunnel0-reality");
    gameState.realityView = false;
    renderFrame();
    const std::vector<std::uint8_t> glasses = context->readColour();
    saveScreenshot(*context, "tunnel0-glasses");

    int differing = 0;
    for (std::size_t i = 0; i < reality.size(); i += 4)
        differing += std::abs(reality[i] - glasses[i]) + std::abs(reality[i + 1] - glasses[i + 1])
                             + std::abs(reality[i + 2] - glasses[i + 2])
                         > 24;
    EXPECT_GT(differing, WINDOW_WIDTH * WINDOW_HEIGHT / 3);
}

TEST_F(RendererTest, TheMainPassCountsTheTrianglesOfTheShellAndTheShownObjects)
{
    renderSettings.frustumCulling = false;
    aim({100, 10, 0}, {300, 10, 0});

    EXPECT_EQ(trianglesOfAFrame(), trianglesShownIn(tunnel(0), true));
    gameState.realityView = false;
    EXPECT_EQ(trianglesOfAFrame(), trianglesShownIn(tunnel(0), false));
}

TEST_F(RendererTest, ADoorIsDrawnOnlyInTheViewsItIsShownIn)
{
    renderSettings.frustumCulling = false;
    Door* doorToTunnel1 = door(0, 0); // starts shown in the glasses view only
    ASSERT_FALSE(doorToTunnel1->isShownInReality());
    const unsigned withoutDoor = trianglesOfAFrame();

    doorToTunnel1->setRealityOpen(true);

    EXPECT_EQ(trianglesOfAFrame(), withoutDoor + doorToTunnel1->getModel()->triangleCount());
}

TEST_F(RendererTest, TheTrainRunsInRealityOnlyAndItsWheelsAreNotCounted)
{
    renderSettings.frustumCulling = false;
    const unsigned realityWithoutTrain = trianglesOfAFrame();
    gameState.realityView = false;
    const unsigned glassesWithoutTrain = trianglesOfAFrame();

    tunnel(0)->spawnTrain();
    ASSERT_FALSE(tunnel(0)->getTrain()->getChildren().empty());

    EXPECT_EQ(trianglesOfAFrame(), glassesWithoutTrain);
    gameState.realityView = true;
    EXPECT_EQ(trianglesOfAFrame(), realityWithoutTrain + tunnel(0)->getTrain()->getModel()->triangleCount());
}

TEST_F(RendererTest, ObjectsBehindBesideAndBeyondTheFarPlaneAreCulledAndCounted)
{
    const glm::vec3 eye(240, 10, 0);
    aim(eye, eye + glm::vec3(100, 0, 0));
    const int before = culledCounts([this] { drawMainPassOnly(); }).at(0);
    const unsigned trianglesBefore = renderSettings.trianglesRendered;

    placeCube(eye + glm::vec3(-100, 0, 0)); // behind the eye
    placeCube(eye + glm::vec3(20, 0, 150)); // far out to the side
    placeCube(eye + glm::vec3(600, 0, 0));  // past the far plane at 500
    placeCube(eye + glm::vec3(60, 0, 0));   // straight ahead
    // 20 ahead the frustum reaches 20 * tan(30 deg) * 4/3 = 15.4 to each side: this one straddles it.
    placeCube(eye + glm::vec3(20, 0, 15.4f));

    const std::vector<int> after = culledCounts([this] { drawMainPassOnly(); });
    ASSERT_EQ(after.size(), 1u);
    EXPECT_EQ(after[0], before + 3);
    EXPECT_EQ(renderSettings.trianglesRendered, trianglesBefore + 2 * cubeModel->triangleCount());
}

TEST_F(RendererTest, AFramePrintsOneCulledLinePerShadowLightAndOneForTheMainPass)
{
    aim({240, 10, 0}, {340, 10, 0});
    const std::vector<int> counts = culledCounts([] { renderFrame(); });

    ASSERT_EQ(counts.size(), 4u);
    EXPECT_GT(counts[3], 0); // the near end of the tunnel lies behind the eye
    EXPECT_EQ(counts[0], counts[3]); // the shadow pass culls against the camera's frustum too
}

TEST_F(RendererTest, WithCullingOffNothingIsSkippedAndNothingPrinted)
{
    // Looking back at the near end wall: nearly the whole tunnel lies behind the eye.
    aim({80, 10, 0}, {20, 10, 0});
    renderSettings.frustumCulling = false;
    unsigned triangles = 0;

    const std::vector<int> counts = culledCounts([&] { triangles = trianglesOfAFrame(); });

    EXPECT_TRUE(counts.empty());
    EXPECT_EQ(triangles, trianglesShownIn(tunnel(0), true));
}

TEST_F(RendererTest, TheViewThroughAPortalPrintsNoCulledLineAndLeavesCullingAsItWas)
{
    door(0, 0)->openPortals(gameState.portalModels, camera);
    aim({377, 10, -12}, {417, 10, -12});

    EXPECT_EQ(culledCounts([] { renderFrame(); }).size(), 4u);
    EXPECT_TRUE(renderSettings.frustumCulling);

    renderSettings.frustumCulling = false;
    EXPECT_TRUE(culledCounts([] { renderFrame(); }).empty());
    EXPECT_FALSE(renderSettings.frustumCulling);
}

TEST_F(RendererTest, AnOpenPortalIsCountedWhenSeenAndCulledWhenBehindTheEye)
{
    aim({377, 10, -12}, {417, 10, -12});
    drawMainPassOnly();
    const unsigned trianglesBefore = renderSettings.trianglesRendered;
    aim({377, 10, -12}, {300, 10, -12});
    const int culledBefore = culledCounts([this] { drawMainPassOnly(); }).at(0);

    door(0, 0)->openPortals(gameState.portalModels, camera);
    const Portal* portal = tunnel(0)->getPortals().at(0);

    EXPECT_EQ(culledCounts([this] { drawMainPassOnly(); }).at(0), culledBefore + 1);
    aim({377, 10, -12}, {417, 10, -12});
    drawMainPassOnly();
    EXPECT_EQ(renderSettings.trianglesRendered, trianglesBefore + portal->getModel()->triangleCount());
}

// The glass door of the fifth tunnel: placed out of the way in reality, blocking in the glasses.
class GlassDoorTest : public RendererTest {
protected:
    void SetUp() override
    {
        RendererTest::SetUp();
        gameState.currentTunnel = tunnel(GLASS_DOOR_TUNNEL);
        origin = tunnel(GLASS_DOOR_TUNNEL)->getPosition();
        // Looking along the tunnel at the middle of the door, which stands 350 in.
        aim(origin + glm::vec3(310, 10, 0), origin + glm::vec3(350, 10, 0));
    }

    HeadlessContext::Pixel centre() const { return context->pixel(WINDOW_WIDTH / 2, WINDOW_HEIGHT / 2); }

    glm::vec3 origin;
};

TEST_F(GlassDoorTest, InRealityItStandsBeyondTheFarWallAndIsNotDrawn)
{
    gameState.realityView = true;
    renderFrame();
    const auto withFrame = centre();
    EXPECT_EQ(glassDoor->getPosition(), origin + glm::vec3(450, 0, 0));

    drawMainPassOnly();
    EXPECT_LE(largestChannelDifference(withFrame, centre()), 1);
}

TEST_F(GlassDoorTest, InTheGlassesViewItTintsWhatLiesBehindIt)
{
    gameState.realityView = false;
    renderFrame();
    EXPECT_EQ(glassDoor->getPosition(), origin + glm::vec3(350, 0, 0));
    const auto throughGlass = centre();
    saveScreenshot(*context, "glass-door");

    renderSettings.transparency = false;
    renderFrame();
    const auto opaqueDoor = centre();
    drawMainPassOnly();
    const auto behindDoor = centre();

    EXPECT_GT(largestChannelDifference(opaqueDoor, behindDoor), 6) << "the opaque door hides the tunnel";
    EXPECT_GT(largestChannelDifference(throughGlass, behindDoor), 3) << "the glass tints";
    EXPECT_GT(largestChannelDifference(throughGlass, opaqueDoor), 3) << "the glass lets the tunnel through";
    EXPECT_TRUE(liesBetween(throughGlass.r, opaqueDoor.r, behindDoor.r, 2));
    EXPECT_TRUE(liesBetween(throughGlass.g, opaqueDoor.g, behindDoor.g, 2));
    EXPECT_TRUE(liesBetween(throughGlass.b, opaqueDoor.b, behindDoor.b, 2));
}
