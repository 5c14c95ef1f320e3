#include "physics/PhysicsWorld.h"
#include "render/Model.h"
#include "support/HeadlessContext.h"
#include "world/GameObject.h"

#include <btBulletDynamicsCommon.h>
#include <gtest/gtest.h>

#include <memory>

namespace {

// Whether a vertical ray from high above down through the point meets this body.
bool rayDownMeets(const btRigidBody* body, float x, float z)
{
    const btVector3 from(x, 100.0f, z);
    const btVector3 to(x, -100.0f, z);
    btCollisionWorld::ClosestRayResultCallback result(from, to);
    dynamicsWorld()->rayTest(from, to, result);
    return result.hasHit() && result.m_collisionObject == body;
}

} // namespace

// A step refreshes the bounds of moving bodies only: the world must still find a static body
// (a door, a tunnel piece) at the place it was moved to, and no longer at the old one.
class StaticBoundsTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        context = std::make_unique<HeadlessContext>();
        ASSERT_TRUE(context->ok()) << SDL_GetError();
        initPhysics();
        cubeModel = std::make_unique<Model>("tunnel", "cube.obj");
    }

    void TearDown() override
    {
        cube.reset();
        cubeModel.reset();
        destroyPhysics();
        context.reset();
    }

    std::unique_ptr<HeadlessContext> context;
    std::unique_ptr<Model> cubeModel;
    std::unique_ptr<GameObject> cube;
};

TEST_F(StaticBoundsTest, AStaticBodyMovedBetweenStepsIsFoundWhereItNowStands)
{
    cube = std::make_unique<GameObject>(cubeModel.get());
    cube->setPosition(10.0f, 0.0f, 0.0f);
    stepPhysics();
    ASSERT_TRUE(rayDownMeets(cube->getBody(), 10.0f, 0.0f));

    cube->setPosition(60.0f, 0.0f, 30.0f);
    stepPhysics();
    EXPECT_TRUE(rayDownMeets(cube->getBody(), 60.0f, 30.0f));
    EXPECT_FALSE(rayDownMeets(cube->getBody(), 10.0f, 0.0f));
}
