#include "physics/PhysicsWorld.h"
#include "render/Mesh.h"
#include "render/Model.h"
#include "support/Expectations.h"
#include "support/HeadlessContext.h"
#include "world/GameObject.h"

#include <btBulletDynamicsCommon.h>
#include <glm/gtc/matrix_transform.hpp>
#include <gtest/gtest.h>

#include <memory>

namespace {

glm::vec3 toGlm(const btVector3& v)
{
    return glm::vec3(v.x(), v.y(), v.z());
}

glm::vec3 transformPoint(const glm::mat4& matrix, const glm::vec3& point)
{
    return glm::vec3(matrix * glm::vec4(point, 1.0f));
}

glm::vec3 boxCentre(const std::pair<glm::vec3, glm::vec3>& corners)
{
    return (corners.first + corners.second) / 2.0f;
}

// Generated models need a GL context for their meshes; objects need the physics world.
class GameObjectTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        context = std::make_unique<HeadlessContext>();
        ASSERT_TRUE(context->ok()) << SDL_GetError();
        initPhysics();
        cubeModel = std::make_unique<Model>("tunnel", "cube.obj");
        hallwayModel = std::make_unique<Model>("tunnel/reality", "dungeon_large_hallway3.obj");
        ASSERT_FALSE(cubeModel->getMeshes().empty());
        ASSERT_GE(hallwayModel->getMeshes().size(), 2u);
    }

    void TearDown() override
    {
        cubeModel.reset();
        hallwayModel.reset();
        destroyPhysics();
        context.reset();
    }

    std::unique_ptr<HeadlessContext> context;
    std::unique_ptr<Model> cubeModel;
    std::unique_ptr<Model> hallwayModel;
};

TEST_F(GameObjectTest, FreshObjectStandsAtTheWorldOriginUntilPlaced)
{
    GameObject cube(cubeModel.get());
    EXPECT_EQ(glm::mat4(1.0f), cube.getModelMatrix());
    expectNear(glm::vec3(0.0f), cube.getPosition());
}

TEST_F(GameObjectTest, PlacedObjectHasAPureTranslation)
{
    GameObject cube(cubeModel.get());
    cube.setPosition(1, 2, 3);
    expectNear(glm::vec3(1, 2, 3), cube.getPosition());
    glm::mat4 matrix = cube.getModelMatrix();
    expectNear(glm::vec3(1, 2, 3), glm::vec3(matrix[3]));
    expectNear(glm::vec3(1, 0, 0), glm::vec3(matrix[0]));
    expectNear(glm::vec3(0, 1, 0), glm::vec3(matrix[1]));
    expectNear(glm::vec3(0, 0, 1), glm::vec3(matrix[2]));
    expectNear(glm::vec3(1, 2, 3), toGlm(cube.getBody()->getWorldTransform().getOrigin()));
}

TEST_F(GameObjectTest, RotationAnglesAreDegrees)
{
    GameObject cube(cubeModel.get());
    cube.setPosition(5, 0, 0);
    cube.setRotation(90, 0, 0);
    // A quarter turn about x carries y onto z and z onto -y.
    glm::mat4 matrix = cube.getModelMatrix();
    expectNear(glm::vec3(5, 0, 1), transformPoint(matrix, glm::vec3(0, 1, 0)));
    expectNear(glm::vec3(5, -1, 0), transformPoint(matrix, glm::vec3(0, 0, 1)));
}

TEST_F(GameObjectTest, ModelMatrixScalesThenTurnsAboutZYXThenTranslates)
{
    GameObject cube(cubeModel.get());
    cube.addScale(1, 0, 0);    // scale (2, 1, 1)
    cube.rotate(90, 90, 0);    // x then y, so y acts on the point first
    cube.move(5, 0, 0);
    // (1, 0, 0) scaled is (2, 0, 0); a quarter turn about y gives (0, 0, -2); about x, (0, 2, 0).
    expectNear(glm::vec3(5, 2, 0), transformPoint(cube.getModelMatrix(), glm::vec3(1, 0, 0)));
}

TEST_F(GameObjectTest, RootReportsItsRotationAsQuaternionParts)
{
    GameObject cube(cubeModel.get());
    cube.setRotation(0, 90, 0);
    float halfTurnSine = std::sin(glm::radians(45.0f));
    expectNear(glm::vec3(0, halfTurnSine, 0), cube.getRotationVector());
}

TEST_F(GameObjectTest, WheelFollowsItsTrainButKeepsItsLocalPlace)
{
    auto* train = new GameObject(cubeModel.get());
    auto* wheel = new GameObject(cubeModel.get());
    wheel->setPosition(30, 2, 4.5f);
    wheel->setRotation(0, 0, 45);
    train->setChildren({wheel});
    train->setPosition(100, 0, 0);
    expectNear(glm::vec3(130, 2, 4.5f), glm::vec3(wheel->getModelMatrix()[3]));
    expectNear(glm::vec3(30, 2, 4.5f), wheel->getPosition());
    expectNear(glm::vec3(0, 0, 45), wheel->getRotationVector());

    train->move(0, 0, 10);
    expectNear(glm::vec3(130, 2, 14.5f), glm::vec3(wheel->getModelMatrix()[3]));
    delete train;
}

TEST_F(GameObjectTest, WorldBoundsAreTheModelCornersCarriedAlongNotResorted)
{
    GameObject cube(cubeModel.get());
    cube.setPosition(10, 0, 0);
    cube.setRotation(0, 180, 0);
    auto [maxCorner, minCorner] = cubeModel->bounds();
    glm::mat4 matrix = cube.getModelMatrix();
    auto [first, second] = cube.worldBounds();
    expectNear(transformPoint(matrix, maxCorner), first);
    expectNear(transformPoint(matrix, minCorner), second);
    // The half turn swaps the x order of the two corners.
    EXPECT_LT(first.x, second.x);
}

TEST_F(GameObjectTest, PlainBoxBodyMatchesTheModelBoxWithoutMargin)
{
    GameObject cube(cubeModel.get(), 0.0f, false);
    auto* box = dynamic_cast<btBoxShape*>(cube.getBody()->getCollisionShape());
    ASSERT_NE(nullptr, box);
    EXPECT_EQ(0.0f, box->getMargin());
    auto [maxCorner, minCorner] = cubeModel->bounds();
    expectNear((maxCorner - minCorner) / 2.0f, toGlm(box->getHalfExtentsWithMargin()));
}

TEST_F(GameObjectTest, CompoundBodyHasOneBoxCentredOnEachMesh)
{
    GameObject piece(hallwayModel.get());
    auto* compound = dynamic_cast<btCompoundShape*>(piece.getBody()->getCollisionShape());
    ASSERT_NE(nullptr, compound);
    std::vector<Mesh*> meshes = hallwayModel->getMeshes();
    ASSERT_EQ(static_cast<int>(meshes.size()), compound->getNumChildShapes());
    for (int i = 0; i < compound->getNumChildShapes(); ++i) {
        auto corners = meshes[i]->bounds();
        auto* box = dynamic_cast<btBoxShape*>(compound->getChildShape(i));
        ASSERT_NE(nullptr, box);
        expectNear(boxCentre(corners), toGlm(compound->getChildTransform(i).getOrigin()));
        expectNear((corners.first - corners.second) / 2.0f, toGlm(box->getHalfExtentsWithMargin()));
    }
}

TEST_F(GameObjectTest, ScaledObjectCollidesWithItsScaledBoxAroundItsOrigin)
{
    GameObject cube(cubeModel.get(), 0.0f, false);
    cube.addScale(1, 1, 1);
    cube.setPosition(10, 0, 0);
    btVector3 low, high;
    cube.getBody()->getAabb(low, high);
    auto [maxCorner, minCorner] = cubeModel->bounds();
    glm::vec3 scaledHalf = (maxCorner - minCorner) / 2.0f * 2.0f;
    expectNear(glm::vec3(10, 0, 0) + scaledHalf, toGlm(high));
    expectNear(glm::vec3(10, 0, 0) - scaledHalf, toGlm(low));
}

TEST_F(GameObjectTest, StaticPiecesAndDynamicCubesJoinTheWorldWithBulletsDefaultFilters)
{
    GameObject piece(hallwayModel.get());
    GameObject cube(cubeModel.get(), 0.4f, true);
    EXPECT_EQ(2, dynamicsWorld()->getNumCollisionObjects());
    EXPECT_TRUE(piece.getBody()->isStaticObject());
    EXPECT_EQ(btBroadphaseProxy::StaticFilter, piece.getBody()->getBroadphaseHandle()->m_collisionFilterGroup);
    EXPECT_FALSE(cube.getBody()->isStaticOrKinematicObject());
    EXPECT_EQ(btBroadphaseProxy::DefaultFilter, cube.getBody()->getBroadphaseHandle()->m_collisionFilterGroup);
    EXPECT_EQ(btBroadphaseProxy::AllFilter, cube.getBody()->getBroadphaseHandle()->m_collisionFilterMask);
}

TEST_F(GameObjectTest, DestroyingATrainTakesItsWheelsOutOfTheWorld)
{
    auto* train = new GameObject(cubeModel.get());
    train->setChildren({new GameObject(cubeModel.get()), new GameObject(cubeModel.get())});
    GameObject bystander(cubeModel.get());
    ASSERT_EQ(4, dynamicsWorld()->getNumCollisionObjects());
    delete train;
    EXPECT_EQ(1, dynamicsWorld()->getNumCollisionObjects());
    EXPECT_EQ(bystander.getBody(), dynamicsWorld()->getCollisionObjectArray()[0]);
}

TEST_F(GameObjectTest, OpenedDoorStopsBlockingOneObject)
{
    GameObject door(cubeModel.get());
    GameObject player(cubeModel.get(), 0.4f, true);
    GameObject other(cubeModel.get(), 0.4f, true);
    door.setIgnoreCollisionWith(player.getBody(), true);
    EXPECT_FALSE(door.getBody()->checkCollideWith(player.getBody()));
    EXPECT_TRUE(door.getBody()->checkCollideWith(other.getBody()));
    door.setIgnoreCollisionWith(player.getBody(), false);
    EXPECT_TRUE(door.getBody()->checkCollideWith(player.getBody()));
}

// The cube's world box, placed at (100, 10, 0), is the target of the line tests below.
class LineTest : public GameObjectTest {
protected:
    void SetUp() override
    {
        GameObjectTest::SetUp();
        cube = std::make_unique<GameObject>(cubeModel.get());
        cube->setPosition(100, 10, 0);
        auto bounds = cube->worldBounds();
        centre = boxCentre(bounds);
        halfSize = (bounds.first - bounds.second) / 2.0f;
    }

    void TearDown() override
    {
        cube.reset();
        GameObjectTest::TearDown();
    }

    std::unique_ptr<GameObject> cube;
    glm::vec3 centre;
    glm::vec3 halfSize;
};

TEST_F(LineTest, LookingAtTheCentreHits)
{
    EXPECT_TRUE(cube->isHitByRay(glm::vec3(40, 4, 0), centre - glm::vec3(40, 4, 0)));
    EXPECT_TRUE(cube->isHitByRay(glm::vec3(100, 40, 0), glm::vec3(0, -1, 0)));
}

TEST_F(LineTest, LineAlongAnAxisSkipsTheFacesParallelToIt)
{
    // Four faces are parallel to an x line; only the two ends can be crossed.
    EXPECT_TRUE(cube->isHitByRay(glm::vec3(0, centre.y, centre.z), glm::vec3(1, 0, 0)));
    EXPECT_FALSE(cube->isHitByRay(glm::vec3(0, centre.y + halfSize.y + 1, centre.z), glm::vec3(1, 0, 0)));
}

TEST_F(LineTest, LinePassingBesideTheBoxMisses)
{
    glm::vec3 beside = centre + glm::vec3(0, 0, halfSize.z + 0.5f);
    EXPECT_FALSE(cube->isHitByRay(glm::vec3(40, beside.y, beside.z), glm::vec3(1, 0, 0.001f)));
    EXPECT_FALSE(cube->isHitByRay(glm::vec3(40, 4, 0), glm::vec3(1, 1, 1)));
}

TEST_F(LineTest, ABoxBehindTheEyeStillCountsAsHit)
{
    EXPECT_TRUE(cube->isHitByRay(glm::vec3(200, centre.y, centre.z), glm::vec3(1, 0, 0)));
}

TEST_F(LineTest, EdgeOfAFaceCountsAsInside)
{
    glm::vec3 onEdge = centre + glm::vec3(0, halfSize.y, halfSize.z);
    EXPECT_TRUE(cube->isHitByRay(glm::vec3(0, onEdge.y, onEdge.z), glm::vec3(1, 0, 0)));
}

} // namespace
