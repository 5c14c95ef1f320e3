#include "support/LevelFixture.h"

#include "game/GameState.h"
#include "level/Tunnel.h"
#include "physics/Camera.h"
#include "render/Model.h"
#include "render/Renderer.h"
#include "world/Door.h"
#include "world/GameObject.h"
#include "world/Portal.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdlib>
#include <filesystem>
#include <memory>
#include <vector>

namespace {

constexpr int WINDOW_WIDTH = 800;
constexpr int WINDOW_HEIGHT = 600;

// A rectangle of window pixels, origin bottom left.
struct PixelArea {
    int left, bottom, right, top;
    bool contains(int x, int y) const { return x >= left && x < right && y >= bottom && y < top; }
};

// The middle of the portal when the player looks straight at it from 40 away: its surface
// (8 wide, 20 high) covers about 104 x 260 pixels around the window centre.
const PixelArea INSIDE_PORTAL{WINDOW_WIDTH / 2 - 30, WINDOW_HEIGHT / 2 - 80, WINDOW_WIDTH / 2 + 30,
                              WINDOW_HEIGHT / 2 + 80};
// Well clear of the portal and its frame, on both sides.
const PixelArea LEFT_OF_PORTAL{0, 0, 250, WINDOW_HEIGHT};
const PixelArea RIGHT_OF_PORTAL{550, 0, WINDOW_WIDTH, WINDOW_HEIGHT};

int differingPixels(const std::vector<std::uint8_t>& a, const std::vector<std::uint8_t>& b, const PixelArea& area)
{
    int differing = 0;
    for (int y = area.bottom; y < area.top; ++y)
        for (int x = area.left; x < area.right; ++x) {
            const std::size_t i = (static_cast<std::size_t>(y) * WINDOW_WIDTH + x) * 4;
            const int largest = std::max({std::abs(a[i] - b[i]), std::abs(a[i + 1] - b[i + 1]),
                                          std::abs(a[i + 2] - b[i + 2])});
            differing += largest > 2;
        }
    return differing;
}

} // namespace

// The player stands in tunnel 0 in front of the door to tunnel 1, whose door pair is opened:
// tunnel 0 then holds a portal 2 in front of that door, looking out of a portal that stands
// 10 in front of the door back, in tunnel 1.
class PortalRenderTest : public LevelFixture {
protected:
    void SetUp() override
    {
        LevelFixture::SetUp();
        cubeModel = std::make_unique<Model>("tunnel", "cube.obj");
        doorToTunnel1 = door(0, 0);
        const glm::vec3 portalCentre = doorToTunnel1->getPosition() + glm::vec3(-2, 10, 0);
        camera->setPositionAndTarget(portalCentre + glm::vec3(-40, 0, 0), portalCentre);
        camera->updateFrustum();
    }

    void openPortals() { doorToTunnel1->openPortals(gameState.portalModels, camera); }

    std::vector<std::uint8_t> frame()
    {
        renderFrame();
        return context->readColour();
    }

    // A cube standing in tunnel 1 on the line along which the player looks through the portal,
    // this far along x from the door back (negative: behind the door back, towards the viewer).
    GameObject* placeMarkerInTunnel1(float distanceBeyondDoorBack)
    {
        const glm::vec3 doorBack = doorToTunnel1->getPartner()->getPosition();
        GameObject* marker = new GameObject(cubeModel.get());
        marker->addScale(1, 1, 1);
        tunnel(1)->place(marker, doorBack.x + distanceBeyondDoorBack - tunnel(1)->getPosition().x, 8,
                         doorBack.z - tunnel(1)->getPosition().z);
        return marker;
    }

    Door* doorToTunnel1 = nullptr;
    std::unique_ptr<Model> cubeModel; // loaded once the context exists
};

TEST_F(PortalRenderTest, OutsideItsOutlineThePlayerStillSeesTheCurrentTunnel)
{
    const std::vector<std::uint8_t> closed = frame();
    openPortals();
    const std::vector<std::uint8_t> open = frame();
    std::filesystem::create_directories("screenshots");
    context->savePng("screenshots/portal.png");

    EXPECT_EQ(differingPixels(closed, open, LEFT_OF_PORTAL), 0);
    EXPECT_EQ(differingPixels(closed, open, RIGHT_OF_PORTAL), 0);
}

TEST_F(PortalRenderTest, InsideItsOutlineThePlayerSeesWhatStandsInTheOtherTunnel)
{
    openPortals();
    renderFrame(); // the view through a portal is lit by the previous frame's lights
    const std::vector<std::uint8_t> before = frame();

    // The portal in tunnel 1 stands 10 beyond the door back; this cube stands well past it.
    placeMarkerInTunnel1(50);
    const std::vector<std::uint8_t> withMarker = frame();

    EXPECT_GT(differingPixels(before, withMarker, INSIDE_PORTAL), 200);
    EXPECT_EQ(differingPixels(before, withMarker, LEFT_OF_PORTAL), 0);
    EXPECT_EQ(differingPixels(before, withMarker, RIGHT_OF_PORTAL), 0);
}

TEST_F(PortalRenderTest, WhatStandsBetweenTheViewerAndTheLinkedPortalIsClippedAway)
{
    openPortals();
    renderFrame();
    const std::vector<std::uint8_t> before = frame();

    // The view through the portal starts at the linked portal, 10 beyond the door back; the
    // player's eye, carried over to tunnel 1, stands 30 behind the door back. A cube 20 behind
    // the door back stands right before that eye, in front of tunnel 1's end wall.
    placeMarkerInTunnel1(-20);
    const std::vector<std::uint8_t> withMarker = frame();

    EXPECT_EQ(differingPixels(before, withMarker, INSIDE_PORTAL), 0);
}

TEST_F(PortalRenderTest, TheStencilBufferIsEmptyAgainAfterAFrameWithAPortal)
{
    openPortals();
    glGetError();
    renderFrame();
    EXPECT_EQ(glGetError(), static_cast<GLenum>(GL_NO_ERROR));

    std::vector<std::uint8_t> stencil(WINDOW_WIDTH * WINDOW_HEIGHT, 0xFF);
    glPixelStorei(GL_PACK_ALIGNMENT, 1);
    glReadPixels(0, 0, WINDOW_WIDTH, WINDOW_HEIGHT, GL_STENCIL_INDEX, GL_UNSIGNED_BYTE, stencil.data());
    EXPECT_EQ(std::count(stencil.begin(), stencil.end(), 0), WINDOW_WIDTH * WINDOW_HEIGHT);
}
