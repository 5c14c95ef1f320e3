#include "world/Train.h"
#include "physics/Camera.h"
#include "physics/PhysicsWorld.h"
#include "support/Expectations.h"
#include "support/LevelFixture.h"

#include <BulletCollision/CollisionDispatch/btGhostObject.h>
#include <btBulletDynamicsCommon.h>

namespace {

glm::vec3 worldOrigin(const GameObject* object)
{
    return glm::vec3(object->getModelMatrix()[3]);
}

// Trains started in tunnels of the built level.
class TrainTest : public LevelFixture {
protected:
    Train* startTrainIn(int tunnelIndex)
    {
        tunnel(tunnelIndex)->spawnTrain();
        return tunnel(tunnelIndex)->getTrain();
    }

    static float frontOf(const Train* train) { return train->worldBounds().first.x; }
};

TEST_F(TrainTest, ANewTrainRunsOneUnitPerTickOnTwelveRollingWheelsToTheFarEndAndBack)
{
    // Far from the first tunnel, so that wheels placed about the world origin would show.
    Train* train = startTrainIn(12);
    const glm::vec3 origin = tunnel(12)->getPosition();
    const glm::vec3 farEnd = origin + glm::vec3(350, 1, 0);
    expectNear(origin + glm::vec3(55, 0, 0), train->getPosition());
    expectNear(farEnd, train->getCurrentTarget());
    ASSERT_EQ(12u, train->getChildren().size());
    // The wheels stand under the train from the start, before its first update.
    for (GameObject* wheel : train->getChildren())
        expectNear(train->getPosition() + wheel->getPosition(), worldOrigin(wheel));
    // An update moves the train one unit along x and rolls each wheel, at its place under the
    // train, 5 degrees the way it goes.
    auto expectStep = [&](float along) {
        const glm::vec3 before = train->getPosition();
        const float turnBefore = train->getChildren()[0]->getRotationVector().z;
        train->update();
        expectNear(before + glm::vec3(along, 0, 0), train->getPosition());
        for (GameObject* wheel : train->getChildren()) {
            expectNear(train->getPosition() + wheel->getPosition(), worldOrigin(wheel));
            EXPECT_NEAR(turnBefore - 5 * along, wheel->getRotationVector().z, TOLERANCE);
        }
    };
    expectStep(1);

    // It turns on the update that begins with its box at the far end, not one earlier.
    float frontBefore = frontOf(train);
    for (int tick = 0; train->getDirection().x > 0 && tick < 1000; ++tick) {
        frontBefore = frontOf(train);
        train->update();
    }
    EXPECT_GE(frontBefore, farEnd.x);
    EXPECT_LT(frontBefore - 1.0f, farEnd.x);
    expectNear(origin + glm::vec3(0, 1, 0), train->getCurrentTarget());
    expectStep(-1);
    EXPECT_FALSE(train->hasHit() || gameState.quitRequested);
}

TEST_F(TrainTest, ATrainThatReachesThePlayerEndsTheGameWhicheverWayRoundTheTouchIsAsked)
{
    Train* train = startTrainIn(0);
    // The player stands ahead of the train, facing it; his body reaches 2 to either side.
    glm::vec3 player(150, 10, 0);
    gameState.camera->setPositionAndTarget(player, player - glm::vec3(10, 0, 0));
    float bodyRear = player.x - gameState.camera->getHalfWidth();
    const int manifolds = dynamicsWorld()->getDispatcher()->getNumManifolds();
    for (int tick = 0; tick < 100 && !train->hasHit(); ++tick) {
        train->update();
        EXPECT_TRUE(train->hasHit() || frontOf(train) < bodyRear + 0.5f) << "no hit although the train touched";
    }
    ASSERT_TRUE(train->hasHit());
    EXPECT_GE(frontOf(train), bodyRear - 0.5f);
    EXPECT_TRUE(objectsTouch(train->getBody(), gameState.camera->getGhostObject())) << "either way round";
    EXPECT_EQ(manifolds, dynamicsWorld()->getDispatcher()->getNumManifolds()) << "no touch for the solver to solve";

    gameState.trainsStarted = true;
    EXPECT_TRUE(tick()) << "the tick ends the game";
    EXPECT_TRUE(gameState.lost);
}

TEST_F(TrainTest, OnlyTheNewestTrainOfTheCurrentTunnelMovesAndAnOlderOneStaysStanding)
{
    Train* older = startTrainIn(0);
    Train* here = startTrainIn(0);
    Train* elsewhere = startTrainIn(3);
    EXPECT_EQ(here, tunnel(0)->getTrain());
    EXPECT_TRUE(tunnel(0)->containsObject(older) && tunnel(0)->containsObject(here));
    glm::vec3 start = here->getPosition();
    glm::vec3 elsewhereStart = elsewhere->getPosition();
    gameState.trainsStarted = true;
    ticks(5);
    expectNear(start + glm::vec3(5, 0, 0), here->getPosition());
    expectNear(start, older->getPosition());
    expectNear(elsewhereStart, elsewhere->getPosition());
}

} // namespace
