#include "physics/Camera.h"
#include "physics/PhysicsWorld.h"
#include "support/Expectations.h"
#include "support/LevelFixture.h"
#include "support/WorldFixture.h"
#include "world/Portal.h"

#include <BulletCollision/CollisionDispatch/btGhostObject.h>
#include <btBulletDynamicsCommon.h>
#include <glm/gtc/matrix_transform.hpp>

namespace {

// The player in tunnel 0 looks down the tunnel at the portal in its far wall.
const glm::mat4 VIEW_DOWN_THE_TUNNEL = glm::lookAt(glm::vec3(300, 10, 0), glm::vec3(417, 10, 0), glm::vec3(0, 1, 0));
const glm::mat4 PROJECTION = glm::perspective(glm::radians(60.0f), 4.0f / 3.0f, 1.0f, 500.0f);

// Doors on their own, with the models and the physics world for their bodies.
class DoorTest : public WorldFixture {
protected:
    Door* makeDoor(float x, float y, float z)
    {
        auto* door = new Door(doorModel.get(), nullptr);
        door->setPosition(x, y, z);
        return door;
    }
};

TEST_F(DoorTest, OpeningShowsAndArmsADoorPerViewAndClosingWithPartnerClosesTheOtherSideToo)
{
    Door* door = makeDoor(419, 0, 0);
    Door* partner = makeDoor(471, 0, -12);
    door->setGlassesOpen(true);
    EXPECT_TRUE(door->isShownInGlasses() && door->clickableInGlasses);
    EXPECT_FALSE(door->isShownInReality() || door->clickableInReality);
    door->setRealityOpen(true);
    door->setGlassesOpen(false);
    EXPECT_TRUE(door->isShownInReality() && door->clickableInReality);
    EXPECT_FALSE(door->isShownInGlasses() || door->clickableInGlasses);
    door->setOpen(true, true); // unpaired: just the door
    EXPECT_TRUE(door->isShownInGlasses() && door->clickableInGlasses);

    door->pairWith(partner);
    door->setOpen(true, false);
    EXPECT_FALSE(partner->isShownInReality() || partner->isShownInGlasses());
    partner->setOpen(false, true);
    EXPECT_FALSE(door->isShownInReality() || door->isShownInGlasses());
    EXPECT_FALSE(door->clickableInReality || door->clickableInGlasses);
}

TEST_F(DoorTest, PairingLeadsBothWaysButNeverTakesAwayTheOtherDoorsPartner)
{
    Door* door = makeDoor(419, 0, 0);
    Door* first = makeDoor(471, 0, -12);
    Door* second = makeDoor(471, 0, 12);
    door->linkPartner(first);
    door->linkPartner(second);
    EXPECT_EQ(first, door->getPartner());
    door->pairWith(second);
    EXPECT_EQ(second, door->getPartner());
    EXPECT_EQ(door, second->getPartner());
    expectNear(second->getPosition(), door->getPartnerPosition());
    makeDoor(869, 0, 0)->pairWith(second);
    EXPECT_EQ(door, second->getPartner());
}

// Portals on their own; only their places matter here, not their looks.
using PortalTest = WorldFixture;

TEST_F(PortalTest, ThePortalViewCarriesTheLinkedPortalOntoThisOneTurnedRoundAndClipsAtIt)
{
    // Tunnel 0's far-end portal, at first linked to nothing.
    auto* portal = new Portal(doorModel.get(), cubeModel.get(), nullptr);
    portal->setPosition(417, 0, 0);
    EXPECT_EQ(glm::mat4(1.0f), portal->portalView(VIEW_DOWN_THE_TUNNEL));
    EXPECT_EQ(PROJECTION, portal->clippedProjection(VIEW_DOWN_THE_TUNNEL, PROJECTION));
    // Its linked portal in tunnel 1, turned to face that tunnel.
    auto* linked = new Portal(doorModel.get(), cubeModel.get(), nullptr);
    linked->rotate(0, 180, 0);
    linked->setPosition(481, 0, -12);
    portal->setLinkedPortal(linked);
    const glm::mat4 throughPortal = portal->portalView(glm::mat4(1.0f));
    expectNear({417, 0, 0}, transformPoint(throughPortal, {481, 0, -12}), 1e-3f);
    expectNear({417, 5, -3}, transformPoint(throughPortal, {481, 5, -15}), 1e-3f);
    // Seen by the camera, ten units into tunnel 1 beyond the linked portal lies ten units behind this one.
    const glm::mat4 portalView = portal->portalView(VIEW_DOWN_THE_TUNNEL);
    expectNear(transformPoint(VIEW_DOWN_THE_TUNNEL, {427, 0, 0}), transformPoint(portalView, {491, 0, -12}), 1e-3f);

    // The near plane of that view lies on the linked portal, cutting away its door's wall behind
    // it; the tunnel beyond is drawn.
    auto clippedDepth = [&](const glm::vec3& point) {
        glm::vec4 clip = portal->clippedProjection(portalView, PROJECTION) * portalView * glm::vec4(point, 1);
        return clip.z / clip.w;
    };
    EXPECT_NEAR(-1.0f, clippedDepth({481, 10, -12}), 1e-3f);
    EXPECT_LT(std::abs(clippedDepth({600, 10, -12})), 1.0f);

    // Standing beyond the portal and looking back, the eye of the portal view lies behind the
    // linked portal's plane, which then cannot serve as the near plane.
    glm::mat4 lookingBack = glm::lookAt(glm::vec3(450, 10, 0), glm::vec3(300, 10, 0), glm::vec3(0, 1, 0));
    EXPECT_EQ(PROJECTION, portal->clippedProjection(portal->portalView(lookingBack), PROJECTION));
}

// Door pairs of the built level, with the player's ghost.
class DoorPortalTest : public LevelFixture {
protected:
    // Whether the physics lets the player touch the body at all.
    static bool blocksThePlayer(const GameObject* object)
    {
        const btCollisionObject* player = camera->getGhostObject();
        return object->getBody()->checkCollideWith(player) && player->checkCollideWith(object->getBody());
    }

    static void expectPortal(const Portal* portal, const Tunnel* tunnel, const glm::vec3& at, bool turnedRound)
    {
        ASSERT_NE(nullptr, portal);
        EXPECT_EQ(tunnel, portal->getTunnel());
        expectNear(at, portal->getPosition());
        EXPECT_EQ(turnedRound, isTurnedRound(portal));
    }
};

TEST_F(DoorPortalTest,
       OpeningAPairOnceMakesAPortalBeforeEachDoorThatBlocksWhileTheDoorsLetThePlayerThroughButAnUnpairedDoorNone)
{
    Door* farDoor = door(0, 0);
    Door* nearDoor = door(1, 4);
    ASSERT_EQ(nearDoor, farDoor->getPartner());
    EXPECT_TRUE(blocksThePlayer(farDoor) && blocksThePlayer(nearDoor));
    farDoor->openPortals(gameState.portalModels, camera);
    const int bodies = dynamicsWorld()->getNumCollisionObjects();
    farDoor->openPortals(gameState.portalModels, camera);
    nearDoor->openPortals(gameState.portalModels, camera);
    EXPECT_EQ(bodies, dynamicsWorld()->getNumCollisionObjects()) << "a second opening makes no more portals";
    ASSERT_EQ(1u, tunnel(0)->getPortals().size());
    ASSERT_EQ(1u, tunnel(1)->getPortals().size());

    // Each visible portal stands 2 before its door, facing into its tunnel; the view through it
    // comes from 10 before the door on the other side, turned round.
    const glm::vec3 alongTunnel(1, 0, 0);
    Portal* inFirst = tunnel(0)->getPortals()[0];
    expectPortal(inFirst, tunnel(0), farDoor->getPosition() - 2.0f * alongTunnel, false);
    expectPortal(inFirst->getLinkedPortal(), tunnel(1), nearDoor->getPosition() + 10.0f * alongTunnel, true);
    Portal* inSecond = tunnel(1)->getPortals()[0];
    expectPortal(inSecond, tunnel(1), nearDoor->getPosition() + 2.0f * alongTunnel, true);
    expectPortal(inSecond->getLinkedPortal(), tunnel(0), farDoor->getPosition() - 10.0f * alongTunnel, false);

    EXPECT_FALSE(blocksThePlayer(farDoor) || blocksThePlayer(nearDoor));
    for (Portal* visible : {inFirst, inSecond}) {
        EXPECT_TRUE(blocksThePlayer(visible));
        EXPECT_FALSE(blocksThePlayer(visible->getLinkedPortal()));
    }
    EXPECT_TRUE(blocksThePlayer(door(0, 1))) << "other doors still block";

    Door* unpaired = door(6, 1);
    ASSERT_TRUE(unpaired->isUnpaired());
    unpaired->openPortals(gameState.portalModels, camera);
    EXPECT_TRUE(tunnel(6)->getPortals().empty() && tunnel(8)->getPortals().empty());
    EXPECT_EQ(bodies, dynamicsWorld()->getNumCollisionObjects());
}

} // namespace
