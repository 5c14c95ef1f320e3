#include "physics/Camera.h"
#include "physics/PhysicsWorld.h"
#include "support/Expectations.h"
#include "support/LevelFixture.h"
#include "support/WorldChecks.h"
#include "world/Portal.h"

#include <BulletCollision/CollisionDispatch/btGhostObject.h>
#include <btBulletDynamicsCommon.h>

namespace {

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
