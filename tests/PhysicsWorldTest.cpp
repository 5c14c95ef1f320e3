#include "physics/PhysicsWorld.h"
#include "render/Model.h"
#include "support/HeadlessContext.h"
#include "world/GameObject.h"

#include <BulletCollision/CollisionDispatch/btGhostObject.h>
#include <btBulletDynamicsCommon.h>
#include <gtest/gtest.h>

#include <memory>

namespace {

// Seconds of game time in one physics step: one 40 ms tick.
constexpr float TICK_SECONDS = 0.04f;
constexpr float GRAVITY = -10.0f;

TEST(PhysicsWorldTest, WorldExistsOnlyBetweenStartAndShutdown)
{
    EXPECT_EQ(nullptr, dynamicsWorld());
    initPhysics();
    EXPECT_NE(nullptr, dynamicsWorld());
    destroyPhysics();
    EXPECT_EQ(nullptr, dynamicsWorld());
}

TEST(PhysicsWorldTest, GravityPullsDownTheYAxis)
{
    initPhysics();
    btVector3 gravity = dynamicsWorld()->getGravity();
    EXPECT_EQ(0.0f, gravity.x());
    EXPECT_EQ(GRAVITY, gravity.y());
    EXPECT_EQ(0.0f, gravity.z());
    destroyPhysics();
}

TEST(PhysicsWorldTest, GhostObjectKeepsTrackOfWhatItOverlaps)
{
    initPhysics();
    btBoxShape box(btVector3(1, 1, 1));
    btCollisionObject wall;
    wall.setCollisionShape(&box);
    dynamicsWorld()->addCollisionObject(&wall);
    btPairCachingGhostObject ghost;
    ghost.setCollisionShape(&box);
    ghost.setWorldTransform(btTransform(btQuaternion(0, 0, 0, 1), btVector3(0.5f, 0, 0)));
    dynamicsWorld()->addCollisionObject(&ghost, btBroadphaseProxy::CharacterFilter,
                                        btBroadphaseProxy::StaticFilter | btBroadphaseProxy::DefaultFilter);
    stepPhysics();
    ASSERT_EQ(1, ghost.getNumOverlappingObjects());
    EXPECT_EQ(&wall, ghost.getOverlappingObject(0));
    dynamicsWorld()->removeCollisionObject(&ghost);
    dynamicsWorld()->removeCollisionObject(&wall);
    destroyPhysics();
}

// A cube as the level makes it: generated model, physics world.
class FallingCubeTest : public ::testing::Test {
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
        cubeModel.reset();
        destroyPhysics();
        context.reset();
    }

    float fallSpeed(const GameObject& object) const { return object.getBody()->getLinearVelocity().y(); }

    std::unique_ptr<HeadlessContext> context;
    std::unique_ptr<Model> cubeModel;
};

TEST_F(FallingCubeTest, LightCubeFallsWhileAStaticOneStays)
{
    GameObject lightCube(cubeModel.get(), 0.4f, true);
    GameObject fixedCube(cubeModel.get(), 0.0f, true);
    lightCube.setPosition(0, 20, 0);
    fixedCube.setPosition(50, 20, 0);
    for (int tick = 0; tick < 10; ++tick)
        stepPhysics();
    // Ten steps are 0.4 s; stepping velocity first, Bullet falls at least as far as free fall does.
    float freeFallDrop = -0.5f * GRAVITY * 0.4f * 0.4f;
    EXPECT_LT(lightCube.getPosition().y, 20.0f - freeFallDrop);
    EXPECT_EQ(glm::vec3(50, 20, 0), fixedCube.getPosition());
    EXPECT_EQ(0.0f, fallSpeed(fixedCube));
}

TEST_F(FallingCubeTest, EachTickIsExactlyOneStepOfFortyMilliseconds)
{
    GameObject lightCube(cubeModel.get(), 0.4f, true);
    lightCube.setPosition(0, 20, 0);
    stepPhysics();
    EXPECT_NEAR(GRAVITY * TICK_SECONDS, fallSpeed(lightCube), 1e-5f);
    stepPhysics();
    EXPECT_NEAR(2 * GRAVITY * TICK_SECONDS, fallSpeed(lightCube), 1e-5f);
}

TEST_F(FallingCubeTest, DrawnPlaceFollowsTheSimulation)
{
    GameObject lightCube(cubeModel.get(), 0.4f, true);
    lightCube.setPosition(0, 20, 0);
    for (int tick = 0; tick < 5; ++tick)
        stepPhysics();
    const btVector3& simulated = lightCube.getBody()->getWorldTransform().getOrigin();
    EXPECT_LT(lightCube.getModelMatrix()[3].y, 20.0f);
    EXPECT_FLOAT_EQ(simulated.y(), lightCube.getModelMatrix()[3].y);
}

} // namespace
