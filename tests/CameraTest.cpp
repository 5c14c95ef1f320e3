#include "physics/Camera.h"
#include "game/Rules.h"
#include "level/Tunnel.h"
#include "physics/PhysicsWorld.h"
#include "world/Model.h"
#include "support/Expectations.h"
#include "support/WorldFixture.h"
#include "world/Door.h"

#include <BulletCollision/CollisionDispatch/btGhostObject.h>
#include <btBulletDynamicsCommon.h>

#include <array>
#include <cmath>

namespace {

const glm::vec3 START(40, 10, 0); // where the level puts the player
const float HALF_WIDTH = 2.0f;
const float BOX_HALF_HEIGHT = START.y / 2 - 1; // the body's box is centred on the eye
const SDL_Scancode FORWARD = SDL_SCANCODE_W, BACK = SDL_SCANCODE_S, LEFT = SDL_SCANCODE_A, RIGHT = SDL_SCANCODE_D;

glm::vec3 toGlm(const btVector3& v)
{
    return glm::vec3(v.x(), v.y(), v.z());
}

// Where the line from one point to another first meets a body of the world.
glm::vec3 firstHit(const glm::vec3& from, const glm::vec3& to)
{
    const btVector3 start(from.x, from.y, from.z), end(to.x, to.y, to.z);
    btCollisionWorld::ClosestRayResultCallback result(start, end);
    dynamicsWorld()->rayTest(start, end, result);
    EXPECT_TRUE(result.hasHit());
    return toGlm(result.m_hitPointWorld);
}

// The player at the start, alone in the world until a test builds a tunnel around him.
class CameraTest : public WorldFixture {
protected:
    void SetUp() override
    {
        WorldFixture::SetUp();
        player = std::make_unique<Camera>(START);
    }

    glm::vec3 ghostOrigin() const { return toGlm(player->getGhostObject()->getWorldTransform().getOrigin()); }

    std::unique_ptr<Camera> player;
};

TEST_F(CameraTest, MouseTurnsAndTiltsUpToADegreeShortOfStraightUpOrDownAndBackWithoutFlippingRound)
{
    player->look(90, 0);
    expectNear({0, 0, 1}, player->syncViewDirection());
    player->look(0, 10);
    const float tilt = glm::radians(10.0f);
    expectNear({0, -std::sin(tilt), std::cos(tilt)}, player->syncViewDirection());
    // Straight on down stops a degree short, still facing the way the player faced; back up
    // again by as much levels the view.
    player->setPositionAndTarget(START, START + glm::vec3(0, 0, 10));
    player->look(0, 100);
    const float limit = glm::radians(89.0f);
    expectNear({0, -std::sin(limit), std::cos(limit)}, player->syncViewDirection());
    player->look(0, -89);
    expectNear({0, 0, 1}, player->syncViewDirection());
    player->look(0, -500);
    expectNear({0, std::sin(limit), std::cos(limit)}, player->syncViewDirection());
    expectNear(START, player->getPosition());

    const glm::vec3 eye(500, 30, 8);
    player->setPositionAndTarget(eye, eye + glm::vec3(0, 0, -10));
    expectNear(eye, ghostOrigin());
    expectNear({0, 0, -10}, glm::vec3(player->syncViewMatrix() * glm::vec4(player->getTarget(), 1)));
    // A view placed straight up has no axis to tilt about.
    player->setPositionAndTarget(eye, eye + glm::vec3(0, 10, 0));
    player->look(45, 25);
    expectNear({0, 1, 0}, player->syncViewDirection());
}

// The player in a tunnel at the origin, over the floor of its first straight piece.
class PlayerInTunnelTest : public CameraTest {
protected:
    void SetUp() override
    {
        CameraTest::SetUp();
        tunnel = makeTunnel(0, 0, 0);
        floorY = firstHit(START, START - glm::vec3(0, 30, 0)).y;
    }

    // The player's part of a game tick: walking, then the physics step.
    void walk() { stride = player->updateMovement(keys.data()); }
    void ticks(int count)
    {
        for (int i = 0; i < count; ++i) {
            walk();
            stepPhysics();
        }
    }

    // A closed door in the tunnel, passed by walking backwards into it, at a place relative to its origin.
    Door* placeDoor(const glm::vec3& where)
    {
        auto* door = new Door(doorModel.get(), nullptr);
        door->passOnTouch = true;
        tunnel->place(door, where.x, where.y, where.z);
        return door;
    }

    float eyeHeightAboveFloor() { return player->syncPosition().y - floorY; }
    Door* backedInto() { return doorBackedInto(*player, *tunnel, stride); }

    Tunnel* tunnel = nullptr;
    float floorY = 0; // top of the floor under the start
    Stride stride;    // of the last walk
    std::array<Uint8, SDL_NUM_SCANCODES> keys{};
};

TEST_F(PlayerInTunnelTest, PlayerStandsOnTheFloorWalksOneUnitPerKeyAndTickAndJumps)
{
    ticks(50);
    EXPECT_NEAR(BOX_HALF_HEIGHT, eyeHeightAboveFloor(), 0.1f);
    expectNear({START.x, 0, START.z}, glm::vec3(player->getPosition().x, 0, player->getPosition().z));
    // Keys held together add up without normalising; forward and backward cancel.
    const std::pair<std::vector<SDL_Scancode>, glm::vec3> steps[] = {
        {{FORWARD}, {1, 0, 0}}, {{BACK}, {-1, 0, 0}},          {{LEFT}, {0, 0, -1}},
        {{RIGHT}, {0, 0, 1}},   {{FORWARD, RIGHT}, {1, 0, 1}}, {{FORWARD, BACK}, {0, 0, 0}}};
    for (const auto& [held, step] : steps) {
        const glm::vec3 before = player->syncPosition();
        const glm::vec3 targetBefore = player->getTarget();
        for (SDL_Scancode key : held)
            keys[key] = 1;
        walk();
        keys.fill(0);
        expectNear(before + step, player->getPosition());
        expectNear(targetBefore + step, player->getTarget());
        expectNear(before + step, ghostOrigin()); // at once, for the touch test
        stepPhysics();
    }
    glm::vec3 before = player->syncPosition();
    keys[FORWARD] = 1;
    ticks(20);
    expectNear(before + glm::vec3(20, 0, 0), player->syncPosition(), 0.1f);
    // Looking straight up leaves no way to walk, and nothing turns into NaN.
    before = player->syncPosition();
    keys[LEFT] = 1;
    player->setPositionAndTarget(before, before + glm::vec3(0, 10, 0));
    ticks(3);
    expectNear(before, player->syncPosition(), 0.05f);
    expectNear(before + glm::vec3(0, 10, 0), player->getTarget());

    player->jump();
    float highest = 0;
    for (int i = 0; i < 40; ++i) {
        ticks(1);
        highest = std::max(highest, eyeHeightAboveFloor());
    }
    EXPECT_GT(highest, BOX_HALF_HEIGHT + 2);
    EXPECT_NEAR(BOX_HALF_HEIGHT, eyeHeightAboveFloor(), 0.1f);
}

// Beyond the stairs the floor stands 24 higher; the player walks up by the steps alone.
TEST_F(PlayerInTunnelTest, ThePlayerWalksUpTheStairsOntoTheRaisedFloor)
{
    auto* stairs = new Model("tunnel/reality", "dungeon_large_stairs24.obj"); // kept by the tunnel
    tunnel->addStairs(stairs, stairs);
    ticks(50);
    keys[FORWARD] = 1;
    ticks(240); // from the start to beyond the top of the stairs
    EXPECT_GT(player->syncPosition().x, START.x + 230);
    EXPECT_NEAR(BOX_HALF_HEIGHT + 24, eyeHeightAboveFloor(), 0.1f);
}

TEST_F(PlayerInTunnelTest, WallPushesThePlayerBackAndHisContactTestFindsIt)
{
    const float wallZ = firstHit({START.x, floorY + 4, 0}, {START.x, floorY + 4, 40}).z; // on his right
    ticks(50);
    keys[RIGHT] = 1;
    for (int i = 0; i < 30; ++i) {
        ticks(1);
        ASSERT_LT(player->syncPosition().z + HALF_WIDTH, wallZ + 1.0f) << "tick " << i;
    }
    keys[RIGHT] = 0;
    ticks(10);
    EXPECT_LE(player->syncPosition().z + HALF_WIDTH, wallZ + 0.05f);
    EXPECT_GT(player->syncPosition().z + HALF_WIDTH, wallZ - 0.5f);
    EXPECT_TRUE(player->contactTest(tunnel->getRealityPieces()[1]->getBody())); // the piece at his start
    EXPECT_FALSE(player->contactTest(tunnel->getRealityPieces().back()->getBody()));
}

TEST_F(PlayerInTunnelTest, OnlyBackingIntoTouchDoorsTakesThePlayerThroughTheLastOneTouched)
{
    Door* firstDoor = placeDoor({START.x + 8, 0, 0});
    Door* farDoor = placeDoor({START.x + 100, 0, 0});
    ticks(50);
    EXPECT_FALSE(player->contactTest(firstDoor->getBody()));
    keys[FORWARD] = 1;
    ticks(10);
    EXPECT_TRUE(player->contactTest(firstDoor->getBody()) && !player->contactTest(farDoor->getBody()));
    EXPECT_EQ(backedInto(), nullptr) << "walking forward into a touch door only bumps";
    EXPECT_LT(player->syncPosition().x, START.x + 8);

    Door* secondDoor = placeDoor({START.x + 8, 0, 0});
    secondDoor->passOnTouch = false;
    keys = {};
    keys[BACK] = 1;
    player->look(180, 0); // facing the near end, walking backwards goes into the doors
    ticks(1);
    EXPECT_EQ(firstDoor, backedInto()) << "a click door only bumps";
    secondDoor->passOnTouch = true;
    ticks(1);
    EXPECT_EQ(secondDoor, backedInto());
    secondDoor->setIgnoreCollisionWith(player->getGhostObject(), true); // as when its portals open
    ticks(1);
    EXPECT_EQ(firstDoor, backedInto()) << "a door he may walk through is no touch";
}

} // namespace
