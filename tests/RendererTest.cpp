#include "support/InGameWindow.h"
#include "support/LevelFixture.h"
#include "support/RenderChecks.h"

#include "app/RenderToggles.h"
#include "game/Level.h"
#include "level/DoorPortals.h"
#include "level/LevelPlan.h"
#include "level/Tunnel.h"
#include "world/Model.h"
#include "render/Renderer.h"
#include "world/Door.h"
#include "world/GameObject.h"
#include "world/Portal.h"
#include "world/Train.h"

#include <algorithm>
#include <sstream>
#include <string>
#include <utility>
#include <vector>

namespace {

// The door to tunnel 1 seen from 40 in front of it, and the same spot turned round.
const glm::vec3 BEFORE_DOOR(377, 10, -12);
const glm::vec3 TOWARDS_DOOR(417, 10, -12);
const glm::vec3 AWAY_FROM_DOOR(300, 10, -12);

// What a frame reported: the counts of the "N objects culled" lines it printed, in order, and
// the triangles of its main pass.
struct FrameReport {
    std::vector<int> culled;
    unsigned triangles = 0;
};

FrameReport reportOfAFrame()
{
    ::testing::internal::CaptureStdout();
    FrameReport report;
    report.triangles = gameRenderer().renderFrame(gameFrameView()).trianglesRendered;
    std::istringstream output(::testing::internal::GetCapturedStdout());
    for (std::string line; std::getline(output, line);)
        if (line.find(" objects culled") != std::string::npos)
            report.culled.push_back(std::stoi(line));
    return report;
}

} // namespace

class RendererTest : public InGameWindow<LevelFixture> {
protected:
    // The main pass alone, with the lights and shadow maps the last frame left bound.
    void drawMainPassOnly()
    {
        glClear(GL_COLOR_BUFFER_BIT | GL_DEPTH_BUFFER_BIT);
        ShaderProgram& program = gameRenderer().sceneProgram();
        program.use(true);
        program.setView(gameState.camera->syncViewMatrix());
        gameRenderer().drawCulled(gameState.currentTunnel, gameState.camera, &program, gameState.realityView,
                                  gameState.camera->getPosition());
        program.use(false);
    }
};

TEST_F(RendererTest, EachViewShowsItsOwnShellAndAFrameLeavesTheStateTheGameDrawsIn)
{
    aim({60, 12, 0}, {400, 6, 0});
    glGetError();
    gameRenderer().renderFrame(gameFrameView());
    const std::vector<std::uint8_t> reality = readFrame(gameRenderer().frameTarget());
    savePicture("screenshots/tunnel0-reality.png");

    // What the next frame and the end screen rely on.
    EXPECT_EQ(glGetError(), static_cast<GLenum>(GL_NO_ERROR));
    EXPECT_FALSE(glIsEnabled(GL_BLEND) || glIsEnabled(GL_SCISSOR_TEST));
    const std::pair<GLenum, GLint> state[] = {{GL_STENCIL_WRITEMASK, 0},
                                              {GL_CURRENT_PROGRAM, 0},
                                              {GL_FRAMEBUFFER_BINDING, 0},
                                              {GL_DEPTH_FUNC, GL_LESS},
                                              {GL_DEPTH_WRITEMASK, GL_TRUE}};
    for (auto [name, expected] : state) {
        GLint value = -1;
        glGetIntegerv(name, &value);
        EXPECT_EQ(value, expected) << "GL state 0x" << std::hex << name;
    }
    GLint viewport[4] = {};
    glGetIntegerv(GL_VIEWPORT, viewport);
    EXPECT_EQ(glm::ivec2(viewport[2], viewport[3]), glm::ivec2(WINDOW_WIDTH, WINDOW_HEIGHT));

    gameState.realityView = false;
    gameRenderer().renderFrame(gameFrameView());
    savePicture("screenshots/tunnel0-glasses.png");
    EXPECT_GT(compareFrames(reality, readFrame(gameRenderer().frameTarget()), 12).differing,
              WINDOW_WIDTH * WINDOW_HEIGHT / 3u);
}

TEST_F(RendererTest, EachViewDrawsOnlyTheDoorsAndTrainsItShowsAndWithCullingOffNoCulledLineIsPrinted)
{
    renderSettings.frustumCulling = false;
    aim(BEFORE_DOOR, TOWARDS_DOOR);
    EXPECT_TRUE(reportOfAFrame().culled.empty());
    const std::vector<std::uint8_t> withoutDoor = readFrame(gameRenderer().frameTarget());
    ASSERT_FALSE(door(0, 0)->isShownInReality()); // the door to tunnel 1 starts in the glasses view only
    door(0, 0)->setRealityOpen(true);
    EXPECT_GT(compareFrames(withoutDoor, drawnFrame(), 12).differing, 2000u);

    // The train runs in the reality view only.
    aim({150, 10, 0}, {100, 10, 0});
    std::vector<std::uint8_t> withoutTrain[2];
    for (bool realityView : {false, true}) {
        gameState.realityView = realityView;
        withoutTrain[realityView] = drawnFrame();
    }
    tunnel(0)->spawnTrain();
    EXPECT_GT(compareFrames(withoutTrain[1], drawnFrame(), 12).differing, 2000u);
    gameState.realityView = false;
    EXPECT_EQ(compareFrames(withoutTrain[0], drawnFrame()).differing, 0u);
}

TEST_F(RendererTest, ObjectsAndPortalsOutsideTheFrustumAreCulledAndCountedInEveryPassButNotInTheViewThroughAPortal)
{
    const glm::vec3 eye(240, 10, 0);
    aim(eye, eye + glm::vec3(100, 0, 0));
    const FrameReport before = reportOfAFrame();
    // One line for each shadow light, then the main pass's; the near end lies behind the eye.
    ASSERT_EQ(before.culled.size(), 4u);
    EXPECT_GT(before.culled[3], 0);

    Model cubeModel("tunnel", "cube.obj");
    // Culled: behind the eye, far out to the side, past the far plane at 500, and 20 ahead above
    // and below the view (20 * tan(30 deg) = 11.5 from the axis). Drawn: straight ahead, 20
    // ahead straddling the side of the frustum (20 * tan(30 deg) * 4/3 = 15.4 from the axis), and
    // round the eye, reaching 3.5 ahead, beyond the near plane at 1.
    for (glm::vec3 offset :
         {glm::vec3(-100, 0, 0), glm::vec3(20, 0, 150), glm::vec3(600, 0, 0), glm::vec3(20, 14, 0),
          glm::vec3(20, -16, 0), glm::vec3(60, 0, 0), glm::vec3(20, 0, 15.4f), glm::vec3(1.5f, 0, 0)}) {
        const glm::vec3 place = eye + offset - tunnel(0)->getPosition();
        tunnel(0)->place(new GameObject(&cubeModel), place.x, place.y, place.z);
    }

    const FrameReport after = reportOfAFrame();
    ASSERT_EQ(after.culled.size(), 4u);
    EXPECT_EQ(after.culled[3], before.culled[3] + 5);
    EXPECT_EQ(after.culled[0], after.culled[3]) << "the shadow pass culls against the camera's frustum too";
    EXPECT_EQ(after.triangles, before.triangles + 3 * cubeModel.triangleCount());

    // An open portal is counted when seen and culled when behind the eye; the view through it
    // draws the other tunnel whole, printing no line and leaving the culling setting as it was.
    aim(BEFORE_DOOR, AWAY_FROM_DOOR);
    const int culledBefore = reportOfAFrame().culled.at(3);
    aim(BEFORE_DOOR, TOWARDS_DOOR);
    const unsigned trianglesWithoutPortal = reportOfAFrame().triangles;
    openPortals(*door(0, 0), gameState.portalModels, *gameState.camera);
    const FrameReport withPortal = reportOfAFrame();
    EXPECT_EQ(withPortal.culled.size(), 4u);
    EXPECT_TRUE(renderSettings.frustumCulling);
    EXPECT_EQ(withPortal.triangles, trianglesWithoutPortal + tunnel(0)->getPortals().at(0)->getModel()->triangleCount());
    aim(BEFORE_DOOR, AWAY_FROM_DOOR);
    EXPECT_EQ(reportOfAFrame().culled.at(3), culledBefore + 1);
}

// The glass door of the fifth tunnel, across the tunnel in the glasses view.
TEST_F(RendererTest, TheGlassDoorTintsWhatLiesBehindItInTheGlassesView)
{
    gameState.currentTunnel = tunnel(plan::GLASS_DOOR_TUNNEL);
    gameState.realityView = false;
    tick(); // the rules put the glass door in its place
    const glm::vec3 door = tunnel(plan::GLASS_DOOR_TUNNEL)->getPosition() + plan::GLASS_DOOR_GLASSES_SPOT;
    aim(door + glm::vec3(-40, 10, 0), door + glm::vec3(0, 10, 0)); // at the door's middle
    gameRenderer().renderFrame(gameFrameView());
    const glm::ivec3 throughGlass = centreColour();
    savePicture("screenshots/glass-door.png");
    renderSettings.transparency = false;
    gameRenderer().renderFrame(gameFrameView());
    const glm::ivec3 opaqueDoor = centreColour();
    drawMainPassOnly();
    const glm::ivec3 behindDoor = centreColour();

    auto largestDifference = [](glm::ivec3 a, glm::ivec3 b) {
        const glm::ivec3 difference = glm::abs(a - b);
        return std::max({difference.x, difference.y, difference.z});
    };
    EXPECT_GT(largestDifference(opaqueDoor, behindDoor), 6) << "the opaque door hides the tunnel";
    EXPECT_GT(largestDifference(throughGlass, behindDoor), 3) << "the glass tints";
    EXPECT_GT(largestDifference(throughGlass, opaqueDoor), 3) << "the glass lets the tunnel through";
    EXPECT_TRUE(glm::all(glm::greaterThanEqual(throughGlass, glm::min(opaqueDoor, behindDoor) - 2) &&
                         glm::lessThanEqual(throughGlass, glm::max(opaqueDoor, behindDoor) + 2)))
        << "the glass mixes the door's colour with what lies behind it";
}

// The end screen once the game is won or lost: lit, with its words standing out of the picture.
TEST_F(RendererTest, TheEndScreensOfAWonAndALostGameAreLitAndCarryTheirWords)
{
    std::vector<std::uint8_t> screens[2];
    for (bool won : {true, false}) {
        gameState.won = won;
        gameState.lost = !won;
        prepareEndScreen();
        drawEndScreen();
        savePicture(won ? "screenshots/end-won.png" : "screenshots/end-lost.png");
        screens[won] = readFrame(gameRenderer().frameTarget());
        // Grey levels of the window's middle half: the letters and the ground they stand on.
        std::vector<int> greys;
        for (int y = WINDOW_HEIGHT / 4; y < 3 * WINDOW_HEIGHT / 4; ++y)
            for (int x = WINDOW_WIDTH / 4; x < 3 * WINDOW_WIDTH / 4; ++x) {
                const std::uint8_t* rgb = &screens[won][(static_cast<std::size_t>(y) * WINDOW_WIDTH + x) * 4];
                greys.push_back((rgb[0] + rgb[1] + rgb[2]) / 3);
            }
        std::sort(greys.begin(), greys.end());
        const int darkest = greys[greys.size() / 20], brightest = greys[greys.size() * 19 / 20];
        const int median = greys[greys.size() / 2];
        EXPECT_GT(median, 40) << (won ? "won" : "lost") << ": the screen is lit";
        EXPECT_GT(brightest - darkest, 60) << (won ? "won" : "lost") << ": the words stand out";
    }
    EXPECT_GT(compareFrames(screens[0], screens[1], 20).differing, 2000u) << "won and lost say different things";
}
