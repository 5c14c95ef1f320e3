#include "level/Tunnel.h"
#include "physics/PhysicsWorld.h"
#include "render/Model.h"
#include "render/SpotLight.h"
#include "support/Expectations.h"
#include "support/HeadlessContext.h"
#include "world/Door.h"
#include "world/Portal.h"
#include "world/Train.h"

#include <btBulletDynamicsCommon.h>
#include <gtest/gtest.h>

#include <memory>
#include <vector>

namespace {

// A piece turned half round about y has its local x axis along world -x.
bool isTurnedRound(const GameObject* object)
{
    return object->getModelMatrix()[0][0] < -0.999f;
}

// Tunnels built by hand from the level's own models, outside the level.
class TunnelTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        context = std::make_unique<HeadlessContext>();
        ASSERT_TRUE(context->ok()) << SDL_GetError();
        initPhysics();
        hallwayReality = std::make_unique<Model>("tunnel/reality", "dungeon_large_hallway3.obj");
        deadEndReality = std::make_unique<Model>("tunnel/reality", "dungeon_large_deadend.obj");
        hallwayGlasses = std::make_unique<Model>("tunnel/glasses", "dungeon_large_hallway2.obj");
        deadEndGlasses = std::make_unique<Model>("tunnel/glasses", "dungeon_large_deadend.obj");
        trainModel = std::make_unique<Model>("train", "train1.obj");
        wheelModel = std::make_unique<Model>("train", "wheel.obj");
        doorModel = std::make_unique<Model>("tunnel", "door.obj");
        ASSERT_FALSE(doorModel->getMeshes().empty());
    }

    // Like the game's, these tunnels live until the test process ends, held where the leak
    // checker of the sanitized build sees them.
    Tunnel* makeTunnel(float x, float y, float z)
    {
        static auto* madeTunnels = new std::vector<Tunnel*>();
        madeTunnels->push_back(new Tunnel(x, y, z, hallwayReality.get(), deadEndReality.get(),
                                          hallwayGlasses.get(), deadEndGlasses.get(), trainModel.get(),
                                          doorModel.get(), wheelModel.get(), nullptr));
        return madeTunnels->back();
    }

    // A tunnel whose far wall leads to `count` new tunnels, with its doors built.
    Tunnel* tunnelWithForwardDoors(int count)
    {
        Tunnel* tunnel = makeTunnel(40, 0, 0);
        for (int i = 0; i < count; ++i)
            tunnel->addTunnel(490, 0, 40.0f * i);
        tunnel->buildDoors();
        return tunnel;
    }

    std::vector<float> doorZs(const Tunnel* tunnel)
    {
        std::vector<float> zs;
        for (Door* door : tunnel->getDoors())
            zs.push_back(door->getPosition().z);
        return zs;
    }

    std::unique_ptr<HeadlessContext> context;
    std::unique_ptr<Model> hallwayReality, deadEndReality, hallwayGlasses, deadEndGlasses;
    std::unique_ptr<Model> trainModel, wheelModel, doorModel;
};

TEST_F(TunnelTest, ShellRunsFromNearEndThroughEightStraightPiecesToTurnedFarEnd)
{
    Tunnel* tunnel = makeTunnel(490, 0, 40);
    const auto& reality = tunnel->getRealityPieces();
    const auto& glasses = tunnel->getGlassesPieces();
    ASSERT_EQ(10u, reality.size());
    ASSERT_EQ(10u, glasses.size());
    EXPECT_EQ(deadEndReality.get(), reality[0]->getModel());
    EXPECT_EQ(deadEndGlasses.get(), glasses[0]->getModel());
    expectNear({490, 0, 40}, reality[0]->getPosition());
    EXPECT_FALSE(isTurnedRound(reality[0]));
    for (int i = 1; i <= 8; ++i) {
        EXPECT_EQ(hallwayReality.get(), reality[i]->getModel());
        EXPECT_EQ(hallwayGlasses.get(), glasses[i]->getModel());
        expectNear({490.0f + 40 * i, 0, 40}, reality[i]->getPosition());
        expectNear({490.0f + 40 * i, 0, 40}, glasses[i]->getPosition());
    }
    EXPECT_EQ(deadEndReality.get(), reality[9]->getModel());
    expectNear({850, 0, 40}, reality[9]->getPosition());
    expectNear({850, 0, 40}, glasses[9]->getPosition());
    EXPECT_TRUE(isTurnedRound(reality[9]));
    EXPECT_TRUE(isTurnedRound(glasses[9]));
}

TEST_F(TunnelTest, ThreeLightsHangFortyAboveTheFloorAndPointDown)
{
    Tunnel* tunnel = makeTunnel(940, 0, 80);
    std::vector<SpotLight*> lights = tunnel->getLights();
    ASSERT_EQ(3u, lights.size());
    for (int i = 0; i < 3; ++i) {
        expectNear({940.0f + 90 * (i + 1), 40, 80}, lights[i]->position);
        expectNear({1, 1, 1}, lights[i]->intensity);
        expectNear({0.0001f, -1, 0}, lights[i]->direction);
        EXPECT_FLOAT_EQ(60.0f, lights[i]->angle);
    }
}

TEST_F(TunnelTest, LightSeesTheFloorStraightBelowItInTheMiddleOfItsShadowMap)
{
    Tunnel* tunnel = makeTunnel(40, 0, 0);
    SpotLight* light = tunnel->getLights()[0];
    glm::vec4 floorBelow = light->viewProjection() * glm::vec4(light->position - glm::vec3(0, 40, 0), 1);
    glm::vec3 ndc = glm::vec3(floorBelow) / floorBelow.w;
    EXPECT_NEAR(0.0f, ndc.x, 1e-3f);
    EXPECT_NEAR(0.0f, ndc.y, 1e-3f);
    EXPECT_GT(ndc.z, -1.0f);
    EXPECT_LT(ndc.z, 1.0f);
    // The shadow map reaches 70 below the light and no further.
    glm::vec4 tooDeep = light->viewProjection() * glm::vec4(light->position - glm::vec3(0, 75, 0), 1);
    EXPECT_GT(tooDeep.z / tooDeep.w, 1.0f);
}

TEST_F(TunnelTest, DoorsSpreadEvenlyOverTheFortyWideWall)
{
    const std::vector<std::vector<float>> expectedZs = {{0}, {-8, 8}, {-12, 0, 12}, {-14.4f, -4.8f, 4.8f, 14.4f}};
    for (int count = 1; count <= 4; ++count) {
        Tunnel* tunnel = tunnelWithForwardDoors(count);
        std::vector<float> zs = doorZs(tunnel);
        ASSERT_EQ(expectedZs[count - 1].size(), zs.size());
        for (std::size_t k = 0; k < zs.size(); ++k) {
            EXPECT_NEAR(expectedZs[count - 1][k], zs[k], TOLERANCE) << count << " doors, door " << k;
            EXPECT_FLOAT_EQ(419.0f, tunnel->getDoors()[k]->getPosition().x);
            EXPECT_EQ(tunnel->getForwardTunnels()[k], tunnel->getDoors()[k]->getDestination());
        }
    }
}

TEST_F(TunnelTest, ConnectPutsTheNearDoorsInReverseOrderOfTheConnections)
{
    Tunnel* tunnel = makeTunnel(940, 0, 0);
    Tunnel* a = makeTunnel(490, 0, 0);
    Tunnel* b = makeTunnel(490, 0, 40);
    Tunnel* c = makeTunnel(490, 0, 80);
    std::vector<Door*> doors = tunnel->connect({a, b, c});

    ASSERT_EQ(3u, doors.size());
    EXPECT_EQ((std::vector<Tunnel*>{c, b, a}), tunnel->getBackTunnels());
    Tunnel* expected[] = {c, b, a};
    float expectedZ[] = {-12, 0, 12};
    for (int k = 0; k < 3; ++k) {
        EXPECT_EQ(expected[k], doors[k]->getDestination());
        expectNear({921, 0, expectedZ[k]}, doors[k]->getPosition());
        EXPECT_TRUE(tunnel->isNearEndDoor(doors[k]));
        EXPECT_TRUE(tunnel->containsObject(doors[k]));
    }
}

TEST_F(TunnelTest, ANearDoorPairsWithTheDoorBackOfItsDestination)
{
    Tunnel* first = makeTunnel(40, 0, 0);
    Tunnel* second = first->addTunnel(490, 0, 0);
    Door* farDoor = first->buildDoors().at(0);
    Door* nearDoor = second->connect({first}).at(0);

    EXPECT_EQ(farDoor, nearDoor->getPartner());
    EXPECT_EQ(nearDoor, farDoor->getPartner());
    EXPECT_TRUE(first->hasForward(second));
    EXPECT_FALSE(second->hasForward(first));
    EXPECT_FALSE(first->isNearEndDoor(farDoor));
}

TEST_F(TunnelTest, ANearDoorStaysUnpairedWhenNoDoorLeadsBack)
{
    Tunnel* lonely = makeTunnel(40, 0, 0);
    Tunnel* tunnel = makeTunnel(490, 0, 0);
    Door* nearDoor = tunnel->connect({lonely}).at(0);
    EXPECT_TRUE(nearDoor->isUnpaired());
}

TEST_F(TunnelTest, PairingNeverTakesAwayTheOtherDoorsPartner)
{
    Tunnel* first = makeTunnel(40, 0, 0);
    Tunnel* second = first->addTunnel(490, 0, 0);
    Door* farDoor = first->buildDoors().at(0);
    Door* elsewhere = new Door(doorModel.get(), nullptr);
    farDoor->pairWith(elsewhere);

    Door* nearDoor = second->connect({first}).at(0);
    EXPECT_EQ(farDoor, nearDoor->getPartner());
    EXPECT_EQ(elsewhere, farDoor->getPartner());
}

TEST_F(TunnelTest, StairsClimbTwentyFourAndPullTheFarEndTwoNearer)
{
    Tunnel* tunnel = makeTunnel(940, 0, 40);
    tunnel->addForward(makeTunnel(1390, 0, 0));
    tunnel->connect({makeTunnel(490, 0, 0)});
    Model* stairsReality = new Model("tunnel/reality", "dungeon_large_stairs24.obj");
    Model* stairsGlasses = new Model("tunnel/glasses", "dungeon_large_stairs24.obj");
    tunnel->addStairs(stairsReality, stairsGlasses);

    for (const auto* pieces : {&tunnel->getRealityPieces(), &tunnel->getGlassesPieces()}) {
        ASSERT_EQ(12u, pieces->size());
        const glm::vec3 expected[] = {{940, 0, 40},   {980, 0, 40},   {1020, 0, 40},  {1060, 0, 40},
                                      {1100, 0, 40},  {1129, 0, 40},  {1178, 24, 40}, {1218, 24, 40},
                                      {1258, 24, 40}, {1298, 24, 40}, {1142, 8, 40},  {1155, 16, 40}};
        for (std::size_t k = 0; k < 12; ++k)
            expectNear(expected[k], (*pieces)[k]->getPosition());
        EXPECT_TRUE(isTurnedRound((*pieces)[9]));
    }
    EXPECT_EQ(stairsReality, tunnel->getRealityPieces()[5]->getModel());
    EXPECT_EQ(stairsGlasses, tunnel->getGlassesPieces()[11]->getModel());
    expectNear({1317, 24, 40}, tunnel->getDoors()[0]->getPosition());
    expectNear({921, 0, 40}, tunnel->getDoors()[1]->getPosition());
    expectNear({1030, 40, 40}, tunnel->getLights()[0]->position);
}

TEST_F(TunnelTest, StairsLiftAnObjectAtStraightPieceSixButNotOneJustBeforeIt)
{
    Tunnel* tunnel = makeTunnel(40, 0, 0);
    GameObject* atPieceSix = new GameObject(doorModel.get());
    GameObject* justBefore = new GameObject(doorModel.get());
    // After the stairs straight piece 6 starts at 40 + 189 + 13 + 13 + 23 = 278.
    tunnel->place(atPieceSix, 238, 0, 5);
    tunnel->place(justBefore, 237.9f, 0, 5);
    tunnel->addStairs(new Model("tunnel/reality", "dungeon_large_stairs24.obj"),
                      new Model("tunnel/glasses", "dungeon_large_stairs24.obj"));

    expectNear({276, 24, 5}, atPieceSix->getPosition());
    expectNear({277.9f, 0, 5}, justBefore->getPosition());
}

TEST_F(TunnelTest, FindDoorOnRayLooksOnlyAtTheAskedWall)
{
    Tunnel* tunnel = makeTunnel(490, 0, 0);
    for (int i = 0; i < 3; ++i)
        tunnel->addForward(makeTunnel(940, 0, 40.0f * i));
    std::vector<Door*> doors = tunnel->connect({makeTunnel(40, 0, 0), makeTunnel(40, 0, 40), makeTunnel(40, 0, 80)});

    // A line down the middle of the tunnel crosses the middle door of both walls.
    glm::vec3 eye(690, 10, 0);
    EXPECT_EQ(doors[1], tunnel->findDoorOnRay(eye, {30, 0, 0}, true));
    EXPECT_EQ(doors[4], tunnel->findDoorOnRay(eye, {30, 0, 0}, false));
    EXPECT_EQ(doors[4], tunnel->findDoorOnRay(eye, {-30, 0, 0}, false));
}

TEST_F(TunnelTest, FindDoorOnRayReturnsTheFirstDoorInTheListNotTheNearest)
{
    Tunnel* tunnel = tunnelWithForwardDoors(3);
    // Along the far wall from the +z side: the last door is nearest, the first is returned.
    glm::vec3 beside(419, 10, 30);
    EXPECT_EQ(tunnel->getDoors()[0], tunnel->findDoorOnRay(beside, {0, 0, -30}, true));
    // The near wall has no doors here.
    EXPECT_EQ(nullptr, tunnel->findDoorOnRay(beside, {0, 0, -30}, false));
    // A line high above every door misses.
    EXPECT_EQ(nullptr, tunnel->findDoorOnRay({200, 35, 0}, {30, 0, 0}, true));
}

TEST_F(TunnelTest, RemoveObjectTakesOutEveryOccurrenceAndKeepsTheRestInOrder)
{
    Tunnel* tunnel = makeTunnel(40, 0, 0);
    GameObject* first = new GameObject(doorModel.get());
    GameObject* twice = new GameObject(doorModel.get());
    GameObject* last = new GameObject(doorModel.get());
    GameObject* stranger = new GameObject(doorModel.get());
    tunnel->place(first, 1, 0, 0);
    tunnel->place(twice, 2, 0, 0);
    tunnel->place(last, 3, 0, 0);
    tunnel->place(twice, 4, 0, 0);

    tunnel->removeObject(stranger);
    EXPECT_EQ(4u, tunnel->getObjects().size());
    tunnel->removeObject(twice);
    EXPECT_EQ((std::vector<GameObject*>{first, last}), tunnel->getObjects());
    EXPECT_FALSE(tunnel->containsObject(twice));
}

TEST_F(TunnelTest, PlacingKeepsTheObjectsOwnTurn)
{
    Tunnel* tunnel = makeTunnel(1390, 0, 200);
    GameObject* sign = new GameObject(doorModel.get());
    sign->rotate(0, 90, 0);
    tunnel->place(sign, 350, 0, -20);
    expectNear({1740, 0, 180}, sign->getPosition());
    EXPECT_NEAR(0.0f, sign->getModelMatrix()[0][0], 1e-4f);
    EXPECT_EQ(sign, tunnel->getObjects().back());
}

TEST_F(TunnelTest, DestroyingATunnelTakesItsShellPortalsAndTrainOutOfTheWorld)
{
    int bodiesBefore = dynamicsWorld()->getNumCollisionObjects();
    Tunnel* tunnel = makeTunnel(40, 0, 0);
    Portal* linked = new Portal(doorModel.get(), doorModel.get(), tunnel);
    Portal* visible = new Portal(doorModel.get(), doorModel.get(), tunnel);
    visible->setLinkedPortal(linked);
    tunnel->addPortal(visible);
    tunnel->spawnTrain();
    // Shell 20, two portals with frames 4, train with twelve wheels 13.
    EXPECT_EQ(bodiesBefore + 37, dynamicsWorld()->getNumCollisionObjects());

    delete tunnel;
    EXPECT_EQ(bodiesBefore, dynamicsWorld()->getNumCollisionObjects());
}

} // namespace
