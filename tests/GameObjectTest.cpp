#include "world/GameObject.h"
#include "physics/PhysicsWorld.h"
#include "support/Expectations.h"
#include "support/WorldFixture.h"

#include <btBulletDynamicsCommon.h>

namespace {

// Objects made of the generated cube and tunnel piece, in the physics world.
using GameObjectTest = WorldFixture;

TEST_F(GameObjectTest, ModelMatrixScalesThenTurnsInDegreesAboutZYXThenTranslatesAndMovesTheBody)
{
    GameObject cube(cubeModel.get());
    EXPECT_EQ(glm::mat4(1.0f), cube.getModelMatrix());
    cube.setPosition(1, 2, 3);
    expectNear({1, 2, 3}, cube.getPosition());
    expectNear({1, 2, 3}, toGlm(cube.getBody()->getWorldTransform().getOrigin()));
    expectNear({1, 1, 1}, transformPoint(cube.getModelMatrix(), {0, -1, -2}));

    cube.setRotation(0, 90, 0);
    float halfTurnSine = std::sin(glm::radians(45.0f));
    expectNear({0, halfTurnSine, 0}, cube.getRotationVector()); // a root reports quaternion parts
    cube.setRotation(0, 0, 0);
    cube.addScale(1, 0, 0); // scale (2, 1, 1)
    cube.rotate(90, 90, 0); // x then y, so y acts on the point first
    cube.move(4, -2, -3);
    // (1, 0, 0) scaled is (2, 0, 0); a quarter turn about y gives (0, 0, -2); about x, (0, 2, 0).
    expectNear({5, 2, 0}, transformPoint(cube.getModelMatrix(), {1, 0, 0}));
}

TEST_F(GameObjectTest, WorldBoundsAreTheModelCornersCarriedAlongNotResorted)
{
    GameObject cube(cubeModel.get());
    cube.setPosition(10, 0, 0);
    cube.setRotation(0, 180, 0);
    auto [maxCorner, minCorner] = cubeModel->bounds();
    auto [first, second] = cube.worldBounds();
    expectNear(transformPoint(cube.getModelMatrix(), maxCorner), first);
    expectNear(transformPoint(cube.getModelMatrix(), minCorner), second);
    EXPECT_LT(first.x, second.x) << "the half turn swaps the x order of the two corners";
}

// The line a player looks along, from the eye onwards, tested against the world box of a cube at (100, 10, 0).
TEST_F(GameObjectTest, ALineHitsTheBoxWhenItCrossesAFaceInFrontOfTheEyeAndItsEdgesCount)
{
    GameObject cube(cubeModel.get());
    cube.setPosition(100, 10, 0);
    auto bounds = cube.worldBounds();
    glm::vec3 centre = (bounds.first + bounds.second) / 2.0f;
    glm::vec3 halfSize = (bounds.first - bounds.second) / 2.0f;
    const glm::vec3 alongX(1, 0, 0);
    EXPECT_TRUE(cube.isHitByRay({40, 4, 0}, centre - glm::vec3(40, 4, 0)));
    EXPECT_TRUE(cube.isHitByRay({100, 40, 0}, {0, -1, 0}));
    EXPECT_FALSE(cube.isHitByRay({200, centre.y, centre.z}, alongX)) << "a box behind the eye";
    // Four faces are parallel to an x line; only the two ends can be crossed.
    EXPECT_TRUE(cube.isHitByRay({0, centre.y, centre.z}, alongX));
    EXPECT_FALSE(cube.isHitByRay({0, centre.y + halfSize.y + 1, centre.z}, alongX));
    EXPECT_FALSE(cube.isHitByRay({40, centre.y, centre.z + halfSize.z + 0.5f}, {1, 0, 0.001f}));
    EXPECT_FALSE(cube.isHitByRay({40, 4, 0}, {1, 1, 1}));
    glm::vec3 onEdge = centre + glm::vec3(0, halfSize.y, halfSize.z);
    EXPECT_TRUE(cube.isHitByRay({0, onEdge.y, onEdge.z}, alongX));
}

} // namespace
