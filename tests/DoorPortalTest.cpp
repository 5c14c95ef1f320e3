#include "game/GameState.h"
#include "level/Tunnel.h"
#include "physics/Camera.h"
#include "physics/PhysicsWorld.h"
#include "render/Model.h"
#include "support/Expectations.h"
#include "support/HeadlessContext.h"
#include "support/LevelFixture.h"
#include "world/Door.h"
#include "world/Portal.h"

#include <BulletCollision/CollisionDispatch/btGhostObject.h>
#include <btBulletDynamicsCommon.h>
#include <glm/gtc/matrix_transform.hpp>
#include <gtest/gtest.h>

#include <memory>

namespace {

glm::vec3 transformPoint(const glm::mat4& matrix, const glm::vec3& point)
{
    glm::vec4 result = matrix * glm::vec4(point, 1.0f);
    return glm::vec3(result) / result.w;
}

// A portal turned half round about y has its local x axis along world -x.
bool isTurnedRound(const GameObject* object)
{
    return object->getModelMatrix()[0][0] < -0.999f;
}

// Doors and portals on their own: a context for the models and the physics world for the bodies.
class DoorTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        context = std::make_unique<HeadlessContext>();
        ASSERT_TRUE(context->ok()) << SDL_GetError();
        initPhysics();
        doorModel = std::make_unique<Model>("tunnel", "door.obj");
        portalModel = std::make_unique<Model>("portal", "portal.obj");
        frameModel = std::make_unique<Model>("portal", "portalFrame.obj");
    }

    // Bodies stay in the world until the test process ends.
    Door* makeDoor(float x, float y, float z)
    {
        Door* door = new Door(doorModel.get(), nullptr);
        door->setPosition(x, y, z);
        return door;
    }

    Portal* makePortal(float x, float z, bool turned)
    {
        Portal* portal = new Portal(portalModel.get(), frameModel.get(), nullptr);
        if (turned)
            portal->rotate(0, 180, 0);
        portal->setPosition(x, 0, z);
        return portal;
    }

    std::unique_ptr<HeadlessContext> context;
    std::unique_ptr<Model> doorModel, portalModel, frameModel;
};

TEST_F(DoorTest, ADoorStartsClosedInBothViews)
{
    Door* door = makeDoor(419, 0, 0);
    EXPECT_FALSE(door->isShownInReality());
    EXPECT_FALSE(door->isShownInGlasses());
    EXPECT_FALSE(door->clickableInReality);
    EXPECT_FALSE(door->clickableInGlasses);
    EXPECT_FALSE(door->passOnTouch);
    EXPECT_TRUE(door->isUnpaired());
    EXPECT_FALSE(door->arePortalsOpened());
}

TEST_F(DoorTest, OpeningInOneViewShowsAndArmsTheDoorInThatViewOnly)
{
    Door* door = makeDoor(419, 0, 0);
    door->setGlassesOpen(true);
    EXPECT_TRUE(door->isShownInGlasses());
    EXPECT_TRUE(door->clickableInGlasses);
    EXPECT_FALSE(door->isShownInReality());
    EXPECT_FALSE(door->clickableInReality);

    door->setRealityOpen(true);
    door->setGlassesOpen(false);
    EXPECT_TRUE(door->isShownInReality());
    EXPECT_TRUE(door->clickableInReality);
    EXPECT_FALSE(door->isShownInGlasses());
    EXPECT_FALSE(door->clickableInGlasses);
}

TEST_F(DoorTest, OpeningWithPartnerOpensTheDoorOnTheOtherSideToo)
{
    Door* door = makeDoor(419, 0, 0);
    Door* partner = makeDoor(471, 0, -12);
    door->pairWith(partner);

    door->setOpen(true, false);
    EXPECT_TRUE(door->isShownInReality() && door->isShownInGlasses());
    EXPECT_FALSE(partner->isShownInReality() || partner->isShownInGlasses());

    door->setOpen(true, true);
    EXPECT_TRUE(partner->isShownInReality() && partner->clickableInReality);
    EXPECT_TRUE(partner->isShownInGlasses() && partner->clickableInGlasses);

    partner->setOpen(false, true);
    EXPECT_FALSE(door->isShownInReality() || door->isShownInGlasses());
    EXPECT_FALSE(door->clickableInReality || door->clickableInGlasses);
}

TEST_F(DoorTest, OpeningAnUnpairedDoorWithPartnerOpensJustTheDoor)
{
    Door* door = makeDoor(419, 0, 0);
    door->setOpen(true, true);
    EXPECT_TRUE(door->isShownInReality() && door->isShownInGlasses());
}

TEST_F(DoorTest, LinkPartnerKeepsTheFirstPartnerWhilePairWithOverwrites)
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

    // The other door keeps a partner it already has.
    Door* stranger = makeDoor(869, 0, 0);
    stranger->pairWith(second);
    EXPECT_EQ(second, stranger->getPartner());
    EXPECT_EQ(door, second->getPartner());
}

TEST_F(DoorTest, ThePartnerPositionIsWhereTheDoorOnTheOtherSideStands)
{
    Door* door = makeDoor(419, 0, 0);
    Door* partner = makeDoor(471, 0, -12);
    door->pairWith(partner);
    expectNear({471, 0, -12}, door->getPartnerPosition());
    expectNear({419, 0, 0}, partner->getPartnerPosition());
}

TEST_F(DoorTest, AnUnpairedDoorGivesItsOwnPositionAsThePartnerPosition)
{
    Door* door = makeDoor(1259, 0, 152);
    expectNear({1259, 0, 152}, door->getPartnerPosition());
}

TEST_F(DoorTest, APortalWithoutALinkLooksNowhereElse)
{
    Portal* portal = makePortal(417, 0, false);
    glm::mat4 view = glm::lookAt(glm::vec3(300, 10, 0), glm::vec3(417, 10, 0), glm::vec3(0, 1, 0));
    glm::mat4 projection = glm::perspective(glm::radians(60.0f), 4.0f / 3.0f, 1.0f, 500.0f);
    EXPECT_EQ(glm::mat4(1.0f), portal->portalView(view));
    EXPECT_EQ(projection, portal->clippedProjection(view, projection));
    EXPECT_EQ(nullptr, portal->getLinkedPortal());
}

TEST_F(DoorTest, ThePortalViewCarriesTheLinkedPortalOntoThisOneTurnedRound)
{
    // Tunnel 0's far-end portal and, in tunnel 1, the linked portal turned to face the tunnel.
    Portal* portal = makePortal(417, 0, false);
    Portal* linked = makePortal(481, -12, true);
    portal->setLinkedPortal(linked);

    glm::mat4 throughPortal = portal->portalView(glm::mat4(1.0f));
    expectNear({417, 0, 0}, transformPoint(throughPortal, {481, 0, -12}), 1e-3f);
    // Ten units into tunnel 1 beyond the linked portal is ten units behind this portal.
    expectNear({427, 0, 0}, transformPoint(throughPortal, {491, 0, -12}), 1e-3f);
    expectNear({417, 5, -3}, transformPoint(throughPortal, {481, 5, -15}), 1e-3f);

    // With a camera view, the same point is seen where the camera sees this portal.
    glm::mat4 view = glm::lookAt(glm::vec3(300, 10, 0), glm::vec3(417, 10, 0), glm::vec3(0, 1, 0));
    expectNear(transformPoint(view, {427, 0, 0}), transformPoint(portal->portalView(view), {491, 0, -12}), 1e-3f);
}

class PortalClippingTest : public DoorTest {
protected:
    void SetUp() override
    {
        DoorTest::SetUp();
        portal = makePortal(417, 0, false);
        linked = makePortal(481, -12, true);
        portal->setLinkedPortal(linked);
        projection = glm::perspective(glm::radians(60.0f), 4.0f / 3.0f, 1.0f, 500.0f);
    }

    // Depth in normalised device coordinates of a world point under the clipped portal view.
    float clippedDepth(const glm::mat4& view, const glm::vec3& point) const
    {
        glm::mat4 portalView = portal->portalView(view);
        glm::vec4 clip = portal->clippedProjection(portalView, projection) * portalView * glm::vec4(point, 1);
        return clip.z / clip.w;
    }

    Portal* portal = nullptr;
    Portal* linked = nullptr;
    glm::mat4 projection;
};

TEST_F(PortalClippingTest, ThePortalViewsNearPlaneLiesOnTheLinkedPortal)
{
    // The player in tunnel 0 looks down the tunnel at the portal in its far wall.
    glm::mat4 view = glm::lookAt(glm::vec3(300, 10, 0), glm::vec3(417, 10, 0), glm::vec3(0, 1, 0));
    EXPECT_NEAR(-1.0f, clippedDepth(view, {481, 10, -12}), 1e-3f);
    EXPECT_NEAR(-1.0f, clippedDepth(view, {481, 3, -9}), 1e-3f);
    // Behind the linked portal (in its door's wall) is cut away; the tunnel beyond is drawn.
    EXPECT_LT(clippedDepth(view, {475, 10, -12}), -1.0f);
    float beyond = clippedDepth(view, {600, 10, -12});
    EXPECT_GT(beyond, -1.0f);
    EXPECT_LT(beyond, 1.0f);
}

TEST_F(PortalClippingTest, AnEyeOnThePlanesPositiveSideKeepsTheCameraProjection)
{
    // Standing beyond the portal and looking back, the eye of the portal view lies behind the
    // linked portal's plane.
    glm::mat4 view = glm::lookAt(glm::vec3(450, 10, 0), glm::vec3(300, 10, 0), glm::vec3(0, 1, 0));
    glm::mat4 portalView = portal->portalView(view);
    EXPECT_EQ(projection, portal->clippedProjection(portalView, projection));
}

// Door pairs of the built level, with the player's ghost.
class DoorPortalTest : public LevelFixture {
protected:
    void openFirstDoor() { door(0, 0)->openPortals(gameState.portalModels, camera); }

    // Whether the physics lets the two bodies touch at all.
    static bool blocks(const btCollisionObject* body, const btCollisionObject* player)
    {
        return body->checkCollideWith(player) && player->checkCollideWith(body);
    }
};

TEST_F(DoorPortalTest, OpeningADoorPairPutsOneVisiblePortalInFrontOfEachDoor)
{
    Door* farDoor = door(0, 0);
    Door* nearDoor = farDoor->getPartner();
    ASSERT_EQ(door(1, 4), nearDoor);
    openFirstDoor();

    ASSERT_EQ(1u, tunnel(0)->getPortals().size());
    ASSERT_EQ(1u, tunnel(1)->getPortals().size());
    Portal* inFirst = tunnel(0)->getPortals()[0];
    Portal* inSecond = tunnel(1)->getPortals()[0];

    // Tunnel 0's far wall: the portal stands 2 before the door, facing back down the tunnel.
    EXPECT_EQ(tunnel(0), inFirst->getTunnel());
    expectNear(farDoor->getPosition() - glm::vec3(2, 0, 0), inFirst->getPosition());
    EXPECT_FALSE(isTurnedRound(inFirst));
    // Its view comes from 10 inside tunnel 1, before the near-end door there, turned round.
    Portal* seenFrom = inFirst->getLinkedPortal();
    ASSERT_NE(nullptr, seenFrom);
    EXPECT_EQ(tunnel(1), seenFrom->getTunnel());
    expectNear(nearDoor->getPosition() + glm::vec3(10, 0, 0), seenFrom->getPosition());
    EXPECT_TRUE(isTurnedRound(seenFrom));

    // Tunnel 1's near wall: the portal stands 2 beyond the door, turned round.
    EXPECT_EQ(tunnel(1), inSecond->getTunnel());
    expectNear(nearDoor->getPosition() + glm::vec3(2, 0, 0), inSecond->getPosition());
    EXPECT_TRUE(isTurnedRound(inSecond));
    ASSERT_NE(nullptr, inSecond->getLinkedPortal());
    EXPECT_EQ(tunnel(0), inSecond->getLinkedPortal()->getTunnel());
    expectNear(farDoor->getPosition() - glm::vec3(10, 0, 0), inSecond->getLinkedPortal()->getPosition());

    EXPECT_TRUE(farDoor->arePortalsOpened());
    EXPECT_TRUE(nearDoor->arePortalsOpened());
}

TEST_F(DoorPortalTest, ASecondOpeningFromEitherSideMakesNoMorePortals)
{
    openFirstDoor();
    int bodies = dynamicsWorld()->getNumCollisionObjects();
    openFirstDoor();
    door(1, 4)->openPortals(gameState.portalModels, camera);
    EXPECT_EQ(1u, tunnel(0)->getPortals().size());
    EXPECT_EQ(1u, tunnel(1)->getPortals().size());
    EXPECT_EQ(bodies, dynamicsWorld()->getNumCollisionObjects());
}

TEST_F(DoorPortalTest, AfterOpeningThePlayerPassesBothDoorsButNotTheVisiblePortals)
{
    const btCollisionObject* player = camera->getGhostObject();
    Door* farDoor = door(0, 0);
    Door* nearDoor = door(1, 4);
    EXPECT_TRUE(blocks(farDoor->getBody(), player));
    EXPECT_TRUE(blocks(nearDoor->getBody(), player));

    openFirstDoor();
    EXPECT_FALSE(blocks(farDoor->getBody(), player));
    EXPECT_FALSE(blocks(nearDoor->getBody(), player));
    for (int tunnelIndex : {0, 1}) {
        Portal* visible = tunnel(tunnelIndex)->getPortals()[0];
        EXPECT_TRUE(blocks(visible->getBody(), player)) << "tunnel " << tunnelIndex;
        EXPECT_FALSE(blocks(visible->getLinkedPortal()->getBody(), player)) << "tunnel " << tunnelIndex;
    }
    // Other doors still block.
    EXPECT_TRUE(blocks(door(0, 1)->getBody(), player));
}

TEST_F(DoorPortalTest, OpeningAnUnpairedDoorMakesNoPortals)
{
    Door* unpaired = door(6, 1);
    ASSERT_TRUE(unpaired->isUnpaired());
    int bodies = dynamicsWorld()->getNumCollisionObjects();
    unpaired->openPortals(gameState.portalModels, camera);
    EXPECT_FALSE(unpaired->arePortalsOpened());
    EXPECT_TRUE(tunnel(6)->getPortals().empty());
    EXPECT_TRUE(tunnel(8)->getPortals().empty());
    EXPECT_EQ(bodies, dynamicsWorld()->getNumCollisionObjects());
}

} // namespace
