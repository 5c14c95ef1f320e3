// What the player sees over the picture: messages at the top left for three seconds of game
// time, the aim mark at the centre, the controls on F1, the end screen's closing line. Each
// frame is read twice, the scene alone and with the overlay over it, so the overlay's own
// pixels are the difference.
#include "support/InGameWindow.h"
#include "support/PlayingFixture.h"
#include "support/RenderChecks.h"

#include "app/RenderToggles.h"
#include "render/Overlay.h"

#include <string>
#include <vector>

namespace {

// Where the messages stand (clear of the aim mark), the aim mark itself, a part of the picture
// that the controls panel covers, and the bottom strip of the end screen.
constexpr PixelArea MESSAGE_CORNER{0, 360, 360, WINDOW_HEIGHT};
constexpr PixelArea CENTRE{WINDOW_WIDTH / 2 - 12, WINDOW_HEIGHT / 2 - 12, WINDOW_WIDTH / 2 + 12, WINDOW_HEIGHT / 2 + 12};
constexpr PixelArea PANEL_PART{200, 150, 380, 280};
constexpr PixelArea BOTTOM_STRIP{0, 0, WINDOW_WIDTH, 120};

std::size_t pixelsIn(const PixelArea& area)
{
    return static_cast<std::size_t>(area.right - area.left) * (area.top - area.bottom);
}

class OverlayTest : public InGameWindow<PlayingFixture> {
protected:
    // Draws the scene and reads it, then the overlay of the game (or of the end screen) over it.
    void drawFrame(bool endScreen = false)
    {
        gameRenderer().renderFrame(gameFrameView());
        scene = readFrame(gameRenderer().frameTarget());
        if (endScreen)
            gameOverlay().drawOverEndScreen();
        else
            gameOverlay().drawOverGame(gameOverlayView());
        shown = readFrame(gameRenderer().frameTarget());
    }

    // Pixels of the area that the overlay changed in the last frame.
    std::size_t overlaid(const PixelArea& area) const { return compareFrames(scene, shown, 0, area).differing; }

    std::vector<std::uint8_t> scene;
    std::vector<std::uint8_t> shown;
};

TEST_F(OverlayTest, MessagesShowAtTheTopLeftNewestLastFourAtMostAndTheSwitchSaysSwitchOnForThreeSeconds)
{
    EXPECT_EQ(linesOnScreen(), std::vector<std::string>{"F1: controls"});
    for (SDL_Keycode key : {SDLK_F9, SDLK_F9, SDLK_F4, SDLK_F8, SDLK_F5})
        pushKey(key);
    tick();
    EXPECT_EQ(linesOnScreen(), (std::vector<std::string>{"transparency on", "texturesampling nearest",
                                                         "view frustum culling off", "mipmapping off"}));
    clock.advance(5000);
    drawFrame();
    EXPECT_EQ(overlaid(MESSAGE_CORNER), 0u) << "the start's hint and the keys' lines have gone";

    EXPECT_EQ(clickSwitch(5), "1\n");
    EXPECT_EQ(linesOnScreen(), std::vector<std::string>{"Switch on"});
    const std::uint32_t clicked = clock.ticks();
    drawFrame();
    EXPECT_GT(overlaid(MESSAGE_CORNER), 500u);

    clock.set(clicked + 2000);
    drawFrame();
    EXPECT_GT(overlaid(MESSAGE_CORNER), 500u);
    clock.set(clicked + 3000);
    drawFrame();
    EXPECT_EQ(overlaid(MESSAGE_CORNER), 0u);
}

TEST_F(OverlayTest, TheAimMarkMarksTheCentreF1ShowsAndHidesTheControlsAndTheEndScreenSaysHowToCloseWithoutAMark)
{
    drawFrame();
    const std::size_t centre = (static_cast<std::size_t>(WINDOW_HEIGHT / 2) * WINDOW_WIDTH + WINDOW_WIDTH / 2) * 4;
    EXPECT_EQ(std::vector<std::uint8_t>(shown.begin() + centre, shown.begin() + centre + 3),
              (std::vector<std::uint8_t>{255, 255, 255}));
    EXPECT_GT(overlaid(CENTRE), 50u);
    EXPECT_EQ(overlaid(PANEL_PART), 0u);

    pushKey(SDLK_F1);
    tick();
    drawFrame();
    EXPECT_GT(overlaid(PANEL_PART), pixelsIn(PANEL_PART) / 2);
    pushKey(SDLK_F1);
    tick();
    drawFrame();
    EXPECT_EQ(overlaid(PANEL_PART), 0u);

    gameState.won = true;
    prepareEndScreen();
    drawFrame(true);
    EXPECT_EQ(overlaid(CENTRE), 0u);
    EXPECT_GT(overlaid(BOTTOM_STRIP), 500u);
}

// On a white picture the overlay's boxes darken every pixel they cover; drawn as lines they
// would darken only their edges.
TEST_F(OverlayTest, TheOverlayIsDrawnFilledInWireframeAndLeavesTheDrawingStateAsItWas)
{
    pushKey(SDLK_F1);
    pushKey(SDLK_F3);
    tick();
    gameRenderer().renderFrame(gameFrameView());
    auto overlayOnWhite = [this] {
        glClearColor(1, 1, 1, 1);
        glClear(GL_COLOR_BUFFER_BIT);
        gameOverlay().drawOverGame(gameOverlayView());
        return readFrame(gameRenderer().frameTarget());
    };
    const std::vector<std::uint8_t> inWireframe = overlayOnWhite();
    GLint mode[2] = {0, 0};
    glGetIntegerv(GL_POLYGON_MODE, mode);
    EXPECT_EQ(mode[0], GL_LINE);
    EXPECT_TRUE(glIsEnabled(GL_DEPTH_TEST));
    EXPECT_TRUE(glIsEnabled(GL_STENCIL_TEST));

    glPolygonMode(GL_FRONT_AND_BACK, GL_FILL);
    const std::vector<std::uint8_t> filled = overlayOnWhite();
    EXPECT_EQ(compareFrames(inWireframe, filled).differing, 0u);
    const std::vector<std::uint8_t> white(filled.size(), 255);
    EXPECT_GT(compareFrames(white, filled).differing, pixelsIn(PANEL_PART));
}

} // namespace
