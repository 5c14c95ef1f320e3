// What the player sees through a portal: the other tunnel beyond the linked portal, only within
// the portal's outline, lit by the lamps of the tunnel it shows from the first frame on.
#include "support/InGameWindow.h"
#include "support/PlayingFixture.h"
#include "support/RenderChecks.h"

#include "level/DoorPortals.h"
#include "level/Tunnel.h"
#include "world/Model.h"
#include "world/Door.h"
#include "world/GameObject.h"
#include "world/Portal.h"

#include <algorithm>
#include <vector>

namespace {

// Pixels whose channels differ by no more than this are the same pixel drawn again.
constexpr int CHANNEL_TOLERANCE = 2;
// The middle of the portal when the player looks straight at it from 40 away: its surface
// (8 wide, 20 high) covers about 104 x 260 pixels around the window centre.
constexpr PixelArea INSIDE_PORTAL{WINDOW_WIDTH / 2 - 30, WINDOW_HEIGHT / 2 - 80, WINDOW_WIDTH / 2 + 30,
                                  WINDOW_HEIGHT / 2 + 80};
// Well clear of the portal and its frame, on both sides.
constexpr PixelArea LEFT_OF_PORTAL{0, 0, 250, WINDOW_HEIGHT};
constexpr PixelArea RIGHT_OF_PORTAL{550, 0, WINDOW_WIDTH, WINDOW_HEIGHT};

// Through a portal the other tunnel's mean brightness is within this share of its brightness
// seen directly from the same place (the view through the portal clips what lies before the
// linked portal, and the direct view culls shadow casters outside the frustum).
constexpr double BRIGHTNESS_SHARE = 0.05;
// Seen from 8 in front, the portal covers the middle of the window well beyond this area.
constexpr PixelArea INSIDE_NEAR_PORTAL{WINDOW_WIDTH / 2 - 150, WINDOW_HEIGHT / 2 - 200, WINDOW_WIDTH / 2 + 150,
                                       WINDOW_HEIGHT / 2 + 200};

} // namespace

// The player stands in tunnel 0 40 in front of the door to tunnel 1, looking at it. Once the door
// pair is opened, tunnel 0 holds a portal 2 in front of that door, looking out of a portal that
// stands 10 in front of the door back, in tunnel 1.
class PortalRenderTest : public InGameWindow<PlayingFixture> {
protected:
    std::size_t differingOutsidePortal(const std::vector<std::uint8_t>& a, const std::vector<std::uint8_t>& b)
    {
        return compareFrames(a, b, CHANNEL_TOLERANCE, LEFT_OF_PORTAL).differing +
               compareFrames(a, b, CHANNEL_TOLERANCE, RIGHT_OF_PORTAL).differing;
    }
};

TEST_F(PortalRenderTest, APortalShowsTheOtherTunnelBeyondTheLinkedPortalOnlyWithinItsOutline)
{
    const glm::vec3 portalCentre = door(0, 0)->getPosition() + glm::vec3(-2, 10, 0);
    aim(portalCentre + glm::vec3(-40, 0, 0), portalCentre);
    const std::vector<std::uint8_t> closed = drawnFrame();
    openPortals(*door(0, 0), gameState.portalModels, *gameState.camera);
    glGetError();
    const std::vector<std::uint8_t> open = drawnFrame();
    savePicture("screenshots/portal.png");
    EXPECT_EQ(glGetError(), static_cast<GLenum>(GL_NO_ERROR));
    EXPECT_EQ(differingOutsidePortal(closed, open), 0u);
    std::vector<std::uint8_t> stencil(WINDOW_WIDTH * WINDOW_HEIGHT, 0xFF);
    glPixelStorei(GL_PACK_ALIGNMENT, 1);
    glReadPixels(0, 0, WINDOW_WIDTH, WINDOW_HEIGHT, GL_STENCIL_INDEX, GL_UNSIGNED_BYTE, stencil.data());
    EXPECT_EQ(std::count(stencil.begin(), stencil.end(), 0), WINDOW_WIDTH * WINDOW_HEIGHT) << "the stencil is clean";

    // The view through a portal is lit by the previous frame's lights: the second frame is the
    // one to compare. It starts at the linked portal, 10 beyond the door back; the player's eye,
    // carried over to tunnel 1, stands 30 behind the door back, so a cube 20 behind the door back
    // stands right before that eye and must be clipped away.
    Model cubeModel("tunnel", "cube.obj");
    // A cube twice the puzzles' size standing in tunnel 1 on the line along which the player looks
    // through the portal, this far along x from the door back (negative: towards the viewer).
    auto placeMarkerInTunnel1 = [&](float distanceBeyondDoorBack) {
        const glm::vec3 doorBack = door(0, 0)->getPartner()->getPosition() - tunnel(1)->getPosition();
        GameObject* marker = new GameObject(&cubeModel);
        marker->addScale(1, 1, 1);
        tunnel(1)->place(marker, doorBack.x + distanceBeyondDoorBack, 8, doorBack.z);
    };
    const std::vector<std::uint8_t> before = drawnFrame();
    placeMarkerInTunnel1(-20);
    EXPECT_EQ(compareFrames(before, drawnFrame(), CHANNEL_TOLERANCE, INSIDE_PORTAL).differing, 0u);
    placeMarkerInTunnel1(50);
    const std::vector<std::uint8_t> withMarker = drawnFrame();
    EXPECT_GT(compareFrames(before, withMarker, CHANNEL_TOLERANCE, INSIDE_PORTAL).differing, 200u);
    EXPECT_EQ(differingOutsidePortal(before, withMarker), 0u);
}

using PortalLightTest = PortalRenderTest;

TEST_F(PortalLightTest, TheOtherTunnelThroughAPortalIsAsBrightAsSeenFromTheSamePlaceInIt)
{
    openPortals(*door(0, 0), gameState.portalModels, *gameState.camera);
    Portal* portal = tunnel(0)->getPortals().front();
    const glm::vec3 portalCentre = door(0, 0)->getPosition() + glm::vec3(-2, 10, 0);
    const glm::vec3 eye = portalCentre + glm::vec3(-8, 0, 0);
    const glm::vec3 target = portalCentre + glm::vec3(10, 0, 0);
    aim(eye, target);
    const double throughPortal = Frame{WINDOW_WIDTH, WINDOW_HEIGHT, drawnFrame()}.brightness(INSIDE_NEAR_PORTAL);
    savePicture("screenshots/portal-near.png");

    // The portal's view matrix is the camera's followed by this world transform: the eye that
    // sees the same picture in tunnel 1 stands where it takes the player's eye.
    const glm::mat4 intoOtherTunnel = glm::inverse(portal->portalView(glm::mat4(1.0f)));
    gameState.currentTunnel = tunnel(1);
    aim(glm::vec3(intoOtherTunnel * glm::vec4(eye, 1)), glm::vec3(intoOtherTunnel * glm::vec4(target, 1)));
    const double direct = Frame{WINDOW_WIDTH, WINDOW_HEIGHT, drawnFrame()}.brightness(INSIDE_NEAR_PORTAL);
    EXPECT_NEAR(throughPortal / direct, 1.0, BRIGHTNESS_SHARE)
        << "through the portal " << throughPortal << ", directly " << direct;
}

TEST_F(PortalLightTest, TheFirstFrameAfterWalkingThroughADoorShowsThePortalAsTheSecondDoes)
{
    pushKey(SDLK_e); // glasses on: the door to tunnel 1 can be clicked
    tick();
    openPortals(*door(0, 0), gameState.portalModels, *gameState.camera);
    play(Route("look at the door").aim(doorCentre(0, 0), "look"));
    gameRenderer().renderFrame(gameFrameView()); // the last frame in tunnel 0
    play(Route("walk through").click("click"));
    ASSERT_EQ(gameState.currentTunnel, tunnel(1));

    // Turned round to the portal before the door just used, which shows tunnel 0.
    const glm::vec3 portalCentre = door(0, 0)->getPartner()->getPosition() + glm::vec3(2, 10, 0);
    aim(portalCentre + glm::vec3(40, 0, 0), portalCentre);
    const std::vector<std::uint8_t> first = drawnFrame();
    savePicture("screenshots/portal-after-transit.png");
    const FrameDifference difference = compareFrames(first, drawnFrame());
    EXPECT_EQ(difference.differing, 0u) << "largest difference " << difference.largest;
}
