#include "game/PlayerState.h"
#include "level/Tunnel.h"
#include "physics/Camera.h"
#include "physics/CameraCollisionCallback.h"
#include "physics/PhysicsWorld.h"
#include "render/Model.h"
#include "support/HeadlessContext.h"
#include "world/Door.h"
#include "world/GameObject.h"

#include <BulletCollision/CollisionDispatch/btGhostObject.h>
#include <btBulletDynamicsCommon.h>
#include <glm/gtc/matrix_transform.hpp>
#include <gtest/gtest.h>

#include <array>
#include <cmath>
#include <memory>

namespace {

const glm::vec3 START(40, 10, 0); // where the level puts the player
const float HALF_WIDTH = 2.0f;
const float BOX_HALF_HEIGHT = START.y / 2 - 1;

void expectNear(const glm::vec3& expected, const glm::vec3& actual, float tolerance = 1e-4f)
{
    EXPECT_NEAR(expected.x, actual.x, tolerance);
    EXPECT_NEAR(expected.y, actual.y, tolerance);
    EXPECT_NEAR(expected.z, actual.z, tolerance);
}

bool isFinite(const glm::vec3& v)
{
    return std::isfinite(v.x) && std::isfinite(v.y) && std::isfinite(v.z);
}

glm::vec3 toGlm(const btVector3& v)
{
    return glm::vec3(v.x(), v.y(), v.z());
}

// The first point where a line from one point to another meets a body of the world.
glm::vec3 firstHit(const glm::vec3& from, const glm::vec3& to)
{
    btVector3 start(from.x, from.y, from.z);
    btVector3 end(to.x, to.y, to.z);
    btCollisionWorld::ClosestRayResultCallback result(start, end);
    // Bodies placed since the last step are found only once their boxes are refreshed.
    dynamicsWorld()->updateAabbs();
    dynamicsWorld()->rayTest(start, end, result);
    EXPECT_TRUE(result.hasHit());
    if (!result.hasHit())
        return to;
    return toGlm(result.m_hitPointWorld);
}

// The player alone in the physics world, with no level around; enough for looking and culling.
class CameraTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        initPhysics();
        player = std::make_unique<Camera>(START, &state);
        player->setProjection(60, 1.3333334f, 1.0f, 500.0f);
    }

    void TearDown() override
    {
        player.reset();
        destroyPhysics();
    }

    PlayerState state;
    std::unique_ptr<Camera> player;
};

TEST_F(CameraTest, PlayerStartsUprightLookingDownTheTunnel)
{
    expectNear(glm::vec3(1, 0, 0), player->getViewDirection());
    btPairCachingGhostObject* ghost = player->getGhostObject();
    expectNear(START, toGlm(ghost->getWorldTransform().getOrigin()));
    EXPECT_EQ(btMatrix3x3::getIdentity(), ghost->getWorldTransform().getBasis());
    auto* box = dynamic_cast<btBoxShape*>(ghost->getCollisionShape());
    ASSERT_NE(nullptr, box);
    expectNear(glm::vec3(HALF_WIDTH, BOX_HALF_HEIGHT, HALF_WIDTH), toGlm(box->getHalfExtentsWithMargin()));
    EXPECT_EQ(HALF_WIDTH, player->getHalfWidth());
}

TEST_F(CameraTest, PlayerIsACharacterThatMeetsOnlyLevelBodiesAndCubes)
{
    btPairCachingGhostObject* ghost = player->getGhostObject();
    EXPECT_EQ(btCollisionObject::CF_CHARACTER_OBJECT, ghost->getCollisionFlags());
    EXPECT_EQ(btBroadphaseProxy::CharacterFilter, ghost->getBroadphaseHandle()->m_collisionFilterGroup);
    EXPECT_EQ(btBroadphaseProxy::StaticFilter | btBroadphaseProxy::DefaultFilter,
              ghost->getBroadphaseHandle()->m_collisionFilterMask);
    EXPECT_EQ(1, dynamicsWorld()->getNumCollisionObjects());
}

TEST_F(CameraTest, LeavingTheGameTakesThePlayerOutOfTheWorld)
{
    player.reset();
    EXPECT_EQ(0, dynamicsWorld()->getNumCollisionObjects());
    // The controller's action is gone too: stepping the world no longer touches the ghost.
    stepPhysics();
}

TEST_F(CameraTest, MouseRightTurnsRightAndMouseDownLooksDown)
{
    player->look(90, 0);
    expectNear(glm::vec3(0, 0, 1), player->getViewDirection());
    player->look(0, 10);
    float tilt = glm::radians(10.0f);
    expectNear(glm::vec3(0, -std::sin(tilt), std::cos(tilt)), player->getViewDirection());
    expectNear(START, player->getPosition());
}

TEST_F(CameraTest, PitchHasNoLimit)
{
    player->look(0, 100);
    // Past straight down: the player looks down and slightly backwards.
    float tilt = glm::radians(100.0f);
    expectNear(glm::vec3(std::cos(tilt), -std::sin(tilt), 0), player->getViewDirection());
}

TEST_F(CameraTest, LookingStraightUpSkipsThePitch)
{
    player->setPositionAndTarget(START, START + glm::vec3(0, 10, 0));
    player->look(0, 25);
    expectNear(glm::vec3(0, 1, 0), player->getViewDirection());
    player->look(45, 0);
    expectNear(glm::vec3(0, 1, 0), player->getViewDirection());
}

TEST_F(CameraTest, SetPositionAndTargetMovesTheGhost)
{
    player->setPositionAndTarget(glm::vec3(500, 30, 8), glm::vec3(500, 30, -2));
    expectNear(glm::vec3(500, 30, 8), toGlm(player->getGhostObject()->getWorldTransform().getOrigin()));
    expectNear(glm::vec3(0, 0, -1), player->getViewDirection());
    expectNear(glm::lookAt(glm::vec3(500, 30, 8), glm::vec3(500, 30, -2), glm::vec3(0, 1, 0))[3],
               player->getViewMatrix()[3]);
}

TEST_F(CameraTest, ProjectionIsThePerspectiveOfTheFieldOfView)
{
    glm::mat4 expected = glm::perspective(glm::radians(60.0f), 1.3333334f, 1.0f, 500.0f);
    glm::mat4 projection = player->getProjectionMatrix();
    for (int column = 0; column < 4; ++column)
        for (int row = 0; row < 4; ++row)
            EXPECT_NEAR(expected[column][row], projection[column][row], 1e-5f);
}

// Culling: the player at (40, 10, 0) looks along +x with a 60° field of view, aspect 4:3.
class FrustumTest : public CameraTest {
protected:
    void SetUp() override
    {
        CameraTest::SetUp();
        player->updateFrustum();
    }

    // A box of the given half size around a centre.
    bool seesBoxAround(const glm::vec3& centre, float halfSize) const
    {
        glm::vec3 half(halfSize);
        return player->isVisible(centre + half, centre - half);
    }

    // Distance ahead of the eye, and the half width and height of the view there.
    static float halfWidthAt(float distance) { return halfHeightAt(distance) * 1.3333334f; }
    static float halfHeightAt(float distance) { return distance * std::tan(glm::radians(30.0f)); }
};

TEST_F(FrustumTest, PlanesComeFarNearLeftRightTopBottom)
{
    const std::vector<FrustumPlane>& planes = player->getFrustumPlanes();
    ASSERT_EQ(6u, planes.size());
    expectNear(glm::vec3(-1, 0, 0), planes[0].normal);
    expectNear(START + glm::vec3(500, 0, 0), planes[0].point, 1e-3f);
    expectNear(glm::vec3(1, 0, 0), planes[1].normal);
    expectNear(START + glm::vec3(1, 0, 0), planes[1].point);
    EXPECT_LT(planes[2].point.z, 0.0f); // left of the view is -z
    EXPECT_GT(planes[3].point.z, 0.0f);
    EXPECT_GT(planes[4].point.y, START.y);
    EXPECT_LT(planes[5].point.y, START.y);
    for (const FrustumPlane& plane : planes)
        EXPECT_GT(plane.signedDistance(START + glm::vec3(100, 0, 0)), 0.0f) << "the line of sight is inside";
}

TEST_F(FrustumTest, ObjectBehindThePlayerIsCulled)
{
    EXPECT_FALSE(seesBoxAround(START - glm::vec3(20, 0, 0), 5));
}

TEST_F(FrustumTest, ObjectStraddlingASideIsDrawn)
{
    float edge = halfWidthAt(100);
    EXPECT_TRUE(seesBoxAround(START + glm::vec3(100, 0, edge), 3));
    EXPECT_FALSE(seesBoxAround(START + glm::vec3(100, 0, edge + 10), 3));
    EXPECT_TRUE(seesBoxAround(START + glm::vec3(100, 0, -edge), 3));
    EXPECT_FALSE(seesBoxAround(START + glm::vec3(100, 0, -edge - 10), 3));
}

TEST_F(FrustumTest, ViewReachesAsHighAndWideAsTheFieldOfView)
{
    float ahead = 499.0f;
    EXPECT_TRUE(seesBoxAround(START + glm::vec3(ahead, halfHeightAt(ahead) - 1, 0), 0.25f));
    EXPECT_FALSE(seesBoxAround(START + glm::vec3(ahead, halfHeightAt(ahead) + 1, 0), 0.25f));
    EXPECT_FALSE(seesBoxAround(START + glm::vec3(ahead, -halfHeightAt(ahead) - 1, 0), 0.25f));
    EXPECT_TRUE(seesBoxAround(START + glm::vec3(ahead, 0, halfWidthAt(ahead) - 1), 0.25f));
    EXPECT_FALSE(seesBoxAround(START + glm::vec3(ahead, 0, halfWidthAt(ahead) + 1), 0.25f));
}

TEST_F(FrustumTest, ObjectBeyondFiveHundredIsCulled)
{
    EXPECT_FALSE(seesBoxAround(START + glm::vec3(510, 0, 0), 5));
    EXPECT_TRUE(seesBoxAround(START + glm::vec3(497, 0, 0), 5));
}

TEST_F(FrustumTest, CornerExactlyOnTheNearPlaneCountsAsInside)
{
    glm::vec3 onNearPlane = START + glm::vec3(1, 1, 1);
    EXPECT_TRUE(player->isVisible(onNearPlane, START - glm::vec3(10, 1, 1)));
    EXPECT_FALSE(player->isVisible(onNearPlane - glm::vec3(0.01f, 0, 0), START - glm::vec3(10, 1, 1)));
}

TEST_F(FrustumTest, PlanesFollowTheLastUpdateNotTheMouse)
{
    glm::vec3 ahead = START + glm::vec3(100, 0, 0);
    player->look(180, 0);
    EXPECT_TRUE(seesBoxAround(ahead, 3));
    player->updateFrustum();
    EXPECT_FALSE(seesBoxAround(ahead, 3));
}

TEST(CameraWithoutPlanesTest, EveryObjectIsVisibleBeforeTheFirstUpdate)
{
    initPhysics();
    PlayerState state;
    {
        Camera player(START, &state);
        EXPECT_TRUE(player.isVisible(START - glm::vec3(100), START - glm::vec3(110)));
    }
    destroyPhysics();
}

// The player in a real generated tunnel at the origin, standing on its first straight piece.
class PlayerInTunnelTest : public ::testing::Test {
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
        cubeModel = std::make_unique<Model>("tunnel", "cube.obj");
        ASSERT_FALSE(hallwayReality->getMeshes().empty());

        tunnel = std::make_unique<Tunnel>(0.0f, 0.0f, 0.0f, hallwayReality.get(), deadEndReality.get(),
                                          hallwayGlasses.get(), deadEndGlasses.get(), trainModel.get(),
                                          doorModel.get(), wheelModel.get(), nullptr);
        floorY = firstHit(START, START - glm::vec3(0, 30, 0)).y;
        rightWallZ = firstHit(glm::vec3(START.x, floorY + 4, 0), glm::vec3(START.x, floorY + 4, 40)).z;
        player = std::make_unique<Camera>(START, &state);
        player->setProjection(60, 1.3333334f, 1.0f, 500.0f);
        keys.fill(0);
    }

    void TearDown() override
    {
        player.reset();
        for (GameObject* object : placed)
            delete object;
        tunnel.reset();
        for (auto* model : {&hallwayReality, &deadEndReality, &hallwayGlasses, &deadEndGlasses, &trainModel,
                            &wheelModel, &doorModel, &cubeModel})
            model->reset();
        destroyPhysics();
        context.reset();
    }

    // One game tick of the player: walking, then the physics step.
    void tick()
    {
        player->updateMovement(keys.data(), tunnel.get());
        stepPhysics();
    }

    void ticks(int count)
    {
        for (int i = 0; i < count; ++i)
            tick();
    }

    void hold(SDL_Scancode key, bool down = true) { keys[key] = down ? 1 : 0; }

    // Puts an object into the tunnel at a place relative to its origin; the test owns it.
    template <typename Object>
    Object* place(Object* object, const glm::vec3& where)
    {
        tunnel->place(object, where.x, where.y, where.z);
        placed.push_back(object);
        return object;
    }

    float eyeHeightAboveFloor() { return player->syncPosition().y - floorY; }

    std::unique_ptr<HeadlessContext> context;
    std::unique_ptr<Model> hallwayReality, deadEndReality, hallwayGlasses, deadEndGlasses;
    std::unique_ptr<Model> trainModel, wheelModel, doorModel, cubeModel;
    std::unique_ptr<Tunnel> tunnel;
    std::vector<GameObject*> placed;
    PlayerState state;
    std::unique_ptr<Camera> player;
    std::array<Uint8, SDL_NUM_SCANCODES> keys{};
    float floorY = 0;     // top of the floor under the start
    float rightWallZ = 0; // inner face of the wall on the player's right (+z)
};

TEST_F(PlayerInTunnelTest, PlayerDropsOntoTheFloorAndStandsUpright)
{
    ticks(50);
    EXPECT_NEAR(BOX_HALF_HEIGHT, eyeHeightAboveFloor(), 0.1f);
    expectNear(glm::vec3(START.x, 0, START.z), glm::vec3(player->getPosition().x, 0, player->getPosition().z));
}

TEST_F(PlayerInTunnelTest, EachWalkingKeyMovesOneUnitPerTick)
{
    ticks(50);
    const std::array<std::pair<SDL_Scancode, glm::vec3>, 4> steps = {{
        {SDL_SCANCODE_W, glm::vec3(1, 0, 0)},
        {SDL_SCANCODE_S, glm::vec3(-1, 0, 0)},
        {SDL_SCANCODE_A, glm::vec3(0, 0, -1)},
        {SDL_SCANCODE_D, glm::vec3(0, 0, 1)},
    }};
    for (const auto& [key, step] : steps) {
        glm::vec3 before = player->syncPosition();
        glm::vec3 targetBefore = player->getTarget();
        hold(key);
        player->updateMovement(keys.data(), tunnel.get());
        hold(key, false);
        expectNear(before + step, player->getPosition());
        expectNear(targetBefore + step, player->getTarget());
        expectNear(before + step, toGlm(player->getGhostObject()->getWorldTransform().getOrigin()));
        stepPhysics();
    }
}

TEST_F(PlayerInTunnelTest, WalkingForwardKeepsGoingOnTheFloor)
{
    ticks(50);
    hold(SDL_SCANCODE_W);
    ticks(20);
    EXPECT_NEAR(START.x + 20, player->syncPosition().x, 0.1f);
    EXPECT_NEAR(BOX_HALF_HEIGHT, eyeHeightAboveFloor(), 0.1f);
}

TEST_F(PlayerInTunnelTest, ForwardAndSidewaysAddUpWithoutNormalising)
{
    ticks(50);
    glm::vec3 before = player->syncPosition();
    hold(SDL_SCANCODE_W);
    hold(SDL_SCANCODE_D);
    player->updateMovement(keys.data(), tunnel.get());
    expectNear(before + glm::vec3(1, 0, 1), player->getPosition());
}

TEST_F(PlayerInTunnelTest, ForwardAndBackwardTogetherCancel)
{
    ticks(50);
    glm::vec3 before = player->syncPosition();
    hold(SDL_SCANCODE_W);
    hold(SDL_SCANCODE_S);
    ticks(5);
    expectNear(before, player->syncPosition(), 0.05f);
}

TEST_F(PlayerInTunnelTest, WallPushesThePlayerBack)
{
    ticks(50);
    hold(SDL_SCANCODE_D);
    for (int i = 0; i < 30; ++i) {
        tick();
        ASSERT_LT(player->syncPosition().z + HALF_WIDTH, rightWallZ + 1.0f) << "tick " << i;
    }
    hold(SDL_SCANCODE_D, false);
    ticks(10);
    EXPECT_LE(player->syncPosition().z + HALF_WIDTH, rightWallZ + 0.05f);
    EXPECT_GT(player->syncPosition().z + HALF_WIDTH, rightWallZ - 0.5f);
}

TEST_F(PlayerInTunnelTest, ContactTestFindsTheWallThePlayerLeansOn)
{
    GameObject* piece = tunnel->getRealityPieces()[1]; // floor and walls under the start
    GameObject* farPiece = tunnel->getRealityPieces().back();
    ticks(50);
    hold(SDL_SCANCODE_D);
    ticks(30);
    EXPECT_TRUE(player->contactTest(piece->getBody()));
    EXPECT_FALSE(player->contactTest(farPiece->getBody()));
}

TEST_F(PlayerInTunnelTest, ContactTestFindsADoorThePlayerWalksInto)
{
    Door* door = place(new Door(doorModel.get(), nullptr), glm::vec3(START.x + 8, 0, 0));
    Door* otherDoor = place(new Door(doorModel.get(), nullptr), glm::vec3(START.x + 100, 0, 0));
    ticks(50);
    EXPECT_FALSE(player->contactTest(door->getBody()));
    hold(SDL_SCANCODE_W);
    ticks(10);
    EXPECT_TRUE(player->contactTest(door->getBody()));
    EXPECT_FALSE(player->contactTest(otherDoor->getBody()));
}

TEST_F(PlayerInTunnelTest, DoorTouchCountsWhicheverWayRoundBulletReportsThePair)
{
    Door* door = place(new Door(doorModel.get(), nullptr), glm::vec3(START.x + 8, 0, 0));
    ticks(50);
    hold(SDL_SCANCODE_W);
    ticks(10);
    btCollisionObject* ghost = player->getGhostObject();
    CameraCollisionCallback doorFirst(door->getBody(), ghost);
    dynamicsWorld()->contactPairTest(door->getBody(), ghost, doorFirst);
    CameraCollisionCallback playerFirst(door->getBody(), ghost);
    dynamicsWorld()->contactPairTest(ghost, door->getBody(), playerFirst);
    EXPECT_GT(doorFirst.getContactCount(), 0);
    EXPECT_GT(playerFirst.getContactCount(), 0);
    // The floor touches the player too, but it is not the door.
    CameraCollisionCallback floorForDoor(door->getBody(), ghost);
    dynamicsWorld()->contactPairTest(tunnel->getRealityPieces()[1]->getBody(), ghost, floorForDoor);
    EXPECT_EQ(0, floorForDoor.getContactCount());
}

TEST_F(PlayerInTunnelTest, BackingIntoTouchDoorsAsksForATransitThroughTheLastOfThem)
{
    player->look(180, 0); // facing the near end, so walking backwards goes along +x
    Door* firstDoor = place(new Door(doorModel.get(), nullptr), glm::vec3(START.x + 8, 0, -2));
    Door* secondDoor = place(new Door(doorModel.get(), nullptr), glm::vec3(START.x + 8, 0, 2));
    firstDoor->passOnTouch = true;
    secondDoor->passOnTouch = true;
    ticks(50);
    hold(SDL_SCANCODE_S);
    for (int i = 0; i < 10 && !state.transitPending; ++i)
        tick();
    EXPECT_TRUE(state.transitPending);
    EXPECT_EQ(secondDoor, state.transitDoor);
}

TEST_F(PlayerInTunnelTest, BackingIntoAClickDoorOnlyBumps)
{
    player->look(180, 0);
    Door* clickDoor = place(new Door(doorModel.get(), nullptr), glm::vec3(START.x + 8, 0, 0));
    ticks(50);
    hold(SDL_SCANCODE_S);
    ticks(10);
    ASSERT_TRUE(player->contactTest(clickDoor->getBody()));
    EXPECT_FALSE(state.transitPending);
    EXPECT_LT(player->syncPosition().x, START.x + 8);
}

TEST_F(PlayerInTunnelTest, WalkingForwardIntoATouchDoorDoesNotPass)
{
    Door* touchDoor = place(new Door(doorModel.get(), nullptr), glm::vec3(START.x + 8, 0, 0));
    touchDoor->passOnTouch = true;
    ticks(50);
    hold(SDL_SCANCODE_W);
    ticks(10);
    ASSERT_TRUE(player->contactTest(touchDoor->getBody()));
    EXPECT_FALSE(state.transitPending);
    EXPECT_EQ(nullptr, state.transitDoor);
}

TEST_F(PlayerInTunnelTest, JumpLiftsThePlayerAndGravityBringsHimBack)
{
    ticks(50);
    player->jump();
    float highest = 0;
    for (int i = 0; i < 40; ++i) {
        tick();
        highest = std::max(highest, eyeHeightAboveFloor());
    }
    EXPECT_GT(highest, BOX_HALF_HEIGHT + 2);
    EXPECT_NEAR(BOX_HALF_HEIGHT, eyeHeightAboveFloor(), 0.1f);
}

TEST_F(PlayerInTunnelTest, WalkingPushesALightCube)
{
    auto* cube = place(new GameObject(cubeModel.get(), 0.4f, true), glm::vec3(START.x + 10, floorY + 1, 0));
    ticks(50);
    float cubeStart = cube->getPosition().x;
    hold(SDL_SCANCODE_W);
    ticks(20);
    // The cube slides on the floor more slowly than the player walks, but it gives way.
    EXPECT_GT(cube->getPosition().x, cubeStart + 2);
    EXPECT_GT(cube->getPosition().x, player->syncPosition().x);
}

TEST_F(PlayerInTunnelTest, LookingStraightUpAndWalkingGoesNowhere)
{
    ticks(50);
    glm::vec3 eye = player->syncPosition();
    player->setPositionAndTarget(eye, eye + glm::vec3(0, 10, 0));
    hold(SDL_SCANCODE_W);
    hold(SDL_SCANCODE_A);
    ticks(3);
    EXPECT_TRUE(isFinite(player->getPosition()));
    EXPECT_TRUE(isFinite(player->getTarget()));
    expectNear(eye, player->syncPosition(), 0.05f);
}

} // namespace
