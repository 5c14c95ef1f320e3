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

} // namespace
