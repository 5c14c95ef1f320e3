// The window resized by hand or made fullscreen: the picture keeps its 4:3 shape, centred
// between black bars, and the game plays on as in the 800 x 600 window.
#include "level/DoorPortals.h"
#include "support/InGameWindow.h"
#include "support/PlayingFixture.h"
#include "support/RenderChecks.h"

#include "app/Input.h"
#include "render/DynamicResolution.h"

#include <algorithm>
#include <chrono>
#include <cmath>
#include <thread>

namespace {

// Two pictures of the same view at different sizes, cut into this grid of blocks, differ in any
// block's mean brightness by no more than this (edges and texture filtering differ with size).
constexpr int BLOCKS_ACROSS = 16;
constexpr int BLOCKS_UP = 12;
constexpr double BLOCK_TOLERANCE = 8.0;
// The window manager answers a switch to fullscreen in its own time, well within this.
constexpr auto WINDOW_MANAGER_ANSWER = std::chrono::seconds(10);

// The largest difference in mean brightness between corresponding blocks of two picture areas.
double largestBlockDifference(const Frame& a, const PictureArea& inA, const Frame& b, const PictureArea& inB)
{
    auto block = [](const PictureArea& area, int across, int up) {
        return PixelArea{area.x + across * area.width / BLOCKS_ACROSS, area.y + up * area.height / BLOCKS_UP,
                         area.x + (across + 1) * area.width / BLOCKS_ACROSS,
                         area.y + (up + 1) * area.height / BLOCKS_UP};
    };
    double largest = 0;
    for (int up = 0; up < BLOCKS_UP; ++up)
        for (int across = 0; across < BLOCKS_ACROSS; ++across)
            largest = std::max(largest,
                               std::abs(a.brightness(block(inA, across, up)) - b.brightness(block(inB, across, up))));
    return largest;
}

} // namespace

class WindowSizeTest : public InGameWindow<PlayingFixture> {
protected:
    // The frame the game draws into the window resized to this size.
    Frame frameAt(int width, int height)
    {
        resizeGameWindow(width, height);
        gameRenderer().frameTarget().fit(width, height);
        gameRenderer().renderFrame(gameFrameView());
        return readWholeFrame();
    }
};

TEST_F(WindowSizeTest, ThePictureFillsItsFourByThreeAreaBetweenBlackBarsAndAClickAtItsCentreGoesThroughTheDoor)
{
    pushKey(SDLK_e); // glasses on: the door to tunnel 1 is shown and can be clicked
    tick();
    // Its portal in view: the scissor rectangle of the view through it must follow the area.
    openPortals(*door(0, 0), gameState.portalModels, *gameState.camera);
    const glm::vec3 portalCentre = door(0, 0)->getPosition() + glm::vec3(-2, 10, 0);
    aim(portalCentre + glm::vec3(-40, 0, 0), portalCentre);
    const Frame window = frameAt(800, 600);
    const PictureArea wholeWindow = gameRenderer().frameTarget().picture();

    // Drawn smaller and scaled up, as the dynamic resolution draws it on a slow renderer; bars
    // left and right.
    gameRenderer().frameTarget().setSceneScale(0.6f);
    const Frame wide = frameAt(1280, 720);
    const PictureArea wideArea{160, 0, 960, 720};
    ASSERT_EQ(gameRenderer().frameTarget().picture(), wideArea);
    savePicture("screenshots/window-1280x720.png");
    EXPECT_EQ(wide.brightness({0, 0, wideArea.x, 720}), 0.0) << "left bar";
    EXPECT_EQ(wide.brightness({wideArea.x + wideArea.width, 0, 1280, 720}), 0.0) << "right bar";
    EXPECT_LE(largestBlockDifference(wide, wideArea, window, wholeWindow), BLOCK_TOLERANCE);

    // Drawn at the area's own size.
    gameRenderer().frameTarget().setSceneScale(1.0f);
    const Frame large = frameAt(1600, 1200);
    EXPECT_EQ(gameRenderer().frameTarget().sceneSize(), glm::ivec2(1600, 1200));
    EXPECT_LE(largestBlockDifference(large, gameRenderer().frameTarget().picture(), window, wholeWindow),
              BLOCK_TOLERANCE);

    gameRenderer().frameTarget().setSceneScale(0.5f);
    frameAt(1280, 720);
    lookAndClick(doorCentre(0, 0));
    EXPECT_EQ(gameState.currentTunnel, tunnel(1));
}

TEST(DynamicResolutionTest, StepsDownAtOnceOverTheTargetAndUpOnlyAfterASecondUnderWhereTheLargerSceneFits)
{
    DynamicResolution resolution;
    const double over = DynamicResolution::TARGET_MS + 1.0;
    EXPECT_FLOAT_EQ(resolution.afterFrame(over), 0.95f);
    for (int frame = 0; frame < 20; ++frame)
        resolution.afterFrame(over);
    EXPECT_FLOAT_EQ(resolution.scale(), 0.5f) << "never below half";
    // Just under the target, where a scene 5% larger would not be.
    for (int frame = 0; frame < 200; ++frame)
        EXPECT_FLOAT_EQ(resolution.afterFrame(DynamicResolution::TARGET_MS - 0.1), 0.5f);
    resolution.afterFrame(over); // the wait for a second under starts afresh
    for (int frame = 0; frame < 199; ++frame)
        EXPECT_FLOAT_EQ(resolution.afterFrame(5.0), 0.5f);
    EXPECT_FLOAT_EQ(resolution.afterFrame(5.0), 0.55f) << "a second of 5 ms frames";
    resolution.lockFullResolution(true);
    EXPECT_FLOAT_EQ(resolution.afterFrame(over), 1.0f);
}

// The game's own window on the desktop that the suite gives this test, 1024 x 768, with a
// window manager.
class FullscreenTest : public InGameWindow<LevelFixture> {
protected:
    void SetUp() override
    {
        ASSERT_TRUE(initWindow());
        startUp(clock);
        readHeldKeysFrom(keys.data());
    }

    // Presses F11 and runs the game (ticks, and frames fitted to the window) until the window's
    // drawable has the size; false when it never does.
    bool pressF11Until(glm::ivec2 size)
    {
        pushKey(SDLK_F11);
        const auto giveUp = std::chrono::steady_clock::now() + WINDOW_MANAGER_ANSWER;
        while (std::chrono::steady_clock::now() < giveUp) {
            tick();
            fitFrameToWindow();
            gameRenderer().renderFrame(gameFrameView());
            SDL_GL_SwapWindow(gameWindow());
            if (gameRenderer().frameTarget().drawableSize() == size)
                return true;
            std::this_thread::sleep_for(std::chrono::milliseconds(20));
        }
        return false;
    }
};

TEST_F(FullscreenTest, F11FillsTheScreenWithThePictureAndSwitchesBackToTheWindow)
{
    // The same view for every frame compared: the ticks run while waiting move the player.
    auto frameDownTheTunnel = [this] {
        aim(tunnel(0)->getPosition() + glm::vec3(100, 4, 0), tunnel(0)->getPosition() + glm::vec3(110, 4, 0));
        gameRenderer().renderFrame(gameFrameView());
        return readWholeFrame();
    };
    fitFrameToWindow();
    const Frame window = frameDownTheTunnel();

    ASSERT_TRUE(pressF11Until({1024, 768})) << "the drawable stayed " << gameRenderer().frameTarget().drawableSize().x
                                            << " x " << gameRenderer().frameTarget().drawableSize().y;
    EXPECT_EQ(gameRenderer().frameTarget().picture(), (PictureArea{0, 0, 1024, 768}));
    EXPECT_LE(
        largestBlockDifference(frameDownTheTunnel(), gameRenderer().frameTarget().picture(), window, PictureArea{}),
        BLOCK_TOLERANCE);

    ASSERT_TRUE(pressF11Until({800, 600}));
    EXPECT_EQ(compareFrames(frameDownTheTunnel().rgba, window.rgba).differing, 0u) << "the window's picture again";
}
