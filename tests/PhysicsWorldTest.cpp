#include "physics/PhysicsWorld.h"
#include "support/WorldFixture.h"
#include "world/GameObject.h"

#include <btBulletDynamicsCommon.h>

namespace {

constexpr float TICK_SECONDS = 0.04f; // one physics step per game tick
constexpr float GRAVITY = -10.0f;     // along y

using BodiesInTheWorldTest = WorldFixture;

TEST_F(BodiesInTheWorldTest, ALightCubeFallsOneFortyMillisecondStepPerTickAndIsDrawnWhereItIs)
{
    GameObject lightCube(cubeModel.get(), 0.4f, true);
    GameObject fixedCube(cubeModel.get(), 0.0f, true);
    lightCube.setPosition(0, 20, 0);
    fixedCube.setPosition(50, 20, 0);
    for (int tick = 1; tick <= 2; ++tick) {
        stepPhysics();
        EXPECT_NEAR(tick * GRAVITY * TICK_SECONDS, lightCube.getBody()->getLinearVelocity().y(), 1e-5f);
    }
    EXPECT_LT(lightCube.getModelMatrix()[3].y, 20.0f);
    EXPECT_FLOAT_EQ(lightCube.getBody()->getWorldTransform().getOrigin().y(), lightCube.getModelMatrix()[3].y);
    EXPECT_EQ(glm::vec3(50, 20, 0), fixedCube.getPosition());
    EXPECT_EQ(0.0f, fixedCube.getBody()->getLinearVelocity().y());
}

// A step refreshes the bounds of moving bodies only: the world must still find a static body
// (a door, a tunnel piece) at the place it was moved to, and no longer at the old one.
TEST_F(BodiesInTheWorldTest, AStaticBodyMovedBetweenStepsIsFoundWhereItNowStands)
{
    GameObject cube(cubeModel.get());
    auto rayDownMeetsTheCube = [&](float x, float z) {
        return firstHit({x, 100, z}, {x, -100, z}).body == cube.getBody();
    };
    cube.setPosition(10.0f, 0.0f, 0.0f);
    stepPhysics();
    ASSERT_TRUE(rayDownMeetsTheCube(10.0f, 0.0f));
    cube.setPosition(60.0f, 0.0f, 30.0f);
    stepPhysics();
    EXPECT_TRUE(rayDownMeetsTheCube(60.0f, 30.0f));
    EXPECT_FALSE(rayDownMeetsTheCube(10.0f, 0.0f));
}

} // namespace
