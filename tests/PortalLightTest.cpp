// The view through a portal is lit by the lamps of the tunnel it shows, with that tunnel's
// shadows, from the first frame on.
#include "support/PlayingFixture.h"
#include "support/RenderChecks.h"

#include "play/Routes.h"
#include "render/Renderer.h"
#include "world/Door.h"
#include "world/Portal.h"

#include <gtest/gtest.h>

#include <vector>

namespace {

// Through a portal the other tunnel's mean brightness is within this share of its brightness
// seen directly from the same place (the view through the portal clips what lies before the
// linked portal, and the direct view culls shadow casters outside the frustum).
constexpr double BRIGHTNESS_SHARE = 0.05;
// Seen from 8 in front, the portal covers the middle of the window well beyond this area.
constexpr PixelArea INSIDE_NEAR_PORTAL{WINDOW_WIDTH / 2 - 150, WINDOW_HEIGHT / 2 - 200, WINDOW_WIDTH / 2 + 150,
                                       WINDOW_HEIGHT / 2 + 200};

glm::vec3 transformed(const glm::mat4& matrix, glm::vec3 point)
{
    return glm::vec3(matrix * glm::vec4(point, 1.0f));
}

} // namespace

class PortalLightTest : public PlayingFixture {
protected:
    Frame frame()
    {
        renderFrame();
        return readWholeFrame();
    }
};

TEST_F(PortalLightTest, TheOtherTunnelThroughAPortalIsAsBrightAsSeenFromTheSamePlaceInIt)
{
    door(0, 0)->openPortals(gameState.portalModels, camera);
    Portal* portal = tunnel(0)->getPortals().front();
    const glm::vec3 portalCentre = door(0, 0)->getPosition() + glm::vec3(-2, 10, 0);
    const glm::vec3 eye = portalCentre + glm::vec3(-8, 0, 0);
    const glm::vec3 target = portalCentre + glm::vec3(10, 0, 0);
    aim(eye, target);
    const double throughPortal = frame().brightness(INSIDE_NEAR_PORTAL);
    savePicture("screenshots/portal-near.png");

    // The portal's view matrix is the camera's followed by this world transform: the eye that
    // sees the same picture in tunnel 1 stands where it takes the player's eye.
    const glm::mat4 intoOtherTunnel = glm::inverse(portal->portalView(glm::mat4(1.0f)));
    gameState.currentTunnel = tunnel(1);
    aim(transformed(intoOtherTunnel, eye), transformed(intoOtherTunnel, target));
    const double direct = frame().brightness(INSIDE_NEAR_PORTAL);
    EXPECT_NEAR(throughPortal / direct, 1.0, BRIGHTNESS_SHARE)
        << "through the portal " << throughPortal << ", directly " << direct;
}

TEST_F(PortalLightTest, TheFirstFrameAfterWalkingThroughADoorShowsThePortalAsTheSecondDoes)
{
    pushKey(SDLK_e); // glasses on: the door to tunnel 1 can be clicked
    tick();
    door(0, 0)->openPortals(gameState.portalModels, camera);
    play(Route("look at the door").aim(doorCentre(0, 0), "look"));
    renderFrame(); // the last frame in tunnel 0
    play(Route("walk through").click("click"));
    ASSERT_EQ(gameState.currentTunnel, tunnel(1));

    // Turned round to the portal before the door just used, which shows tunnel 0.
    const glm::vec3 portalCentre = door(0, 0)->getPartner()->getPosition() + glm::vec3(2, 10, 0);
    aim(portalCentre + glm::vec3(40, 0, 0), portalCentre);
    const Frame first = frame();
    savePicture("screenshots/portal-after-transit.png");
    const FrameDifference difference = compareFrames(first.rgba, frame().rgba);
    EXPECT_EQ(difference.differing, 0u) << "largest difference " << difference.largest;
}
