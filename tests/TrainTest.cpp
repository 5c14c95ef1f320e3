#include "world/Train.h"
#include "game/GameState.h"
#include "level/Tunnel.h"
#include "physics/Camera.h"
#include "physics/PhysicsWorld.h"
#include "render/ShaderProgram.h"
#include "support/Expectations.h"
#include "support/LevelFixture.h"
#include "world/Door.h"
#include "world/TrainCollisionCallback.h"

#include <BulletCollision/CollisionDispatch/btGhostObject.h>
#include <btBulletDynamicsCommon.h>
#include <glm/gtc/matrix_transform.hpp>

namespace {

glm::vec3 worldOrigin(const GameObject* object)
{
    return glm::vec3(object->getModelMatrix()[3]);
}

// The local places of the twelve wheels under a train, front right to rear left.
const glm::vec3 WHEEL_PLACES[12] = {{30, 2, 4.5f},      {24.5f, 2, 4.5f},  {19, 2, 4.5f},      {30, 2, -4.5f},
                                    {24.5f, 2, -4.5f},  {19, 2, -4.5f},    {-28.5f, 2, -4.5f}, {-23, 2, -4.5f},
                                    {-17.5f, 2, -4.5f}, {-28.5f, 2, 4.5f}, {-23, 2, 4.5f},     {-17.5f, 2, 4.5f}};

class TrainTest : public LevelFixture {
protected:
    Train* startTrainIn(int tunnelIndex)
    {
        tunnel(tunnelIndex)->spawnTrain();
        return tunnel(tunnelIndex)->getTrain();
    }

    float frontOf(const Train* train) const { return train->worldBounds().first.x; }
};

TEST_F(TrainTest, ANewTrainStartsFiftyFiveIntoItsTunnelHeadingForTheFarEnd)
{
    Train* train = startTrainIn(0);
    ASSERT_NE(nullptr, train);
    glm::vec3 origin = tunnel(0)->getPosition();
    expectNear(origin + glm::vec3(55, 0, 0), train->getPosition());
    expectNear({1, 0, 0}, train->getDirection());
    expectNear({origin.x + 350, 1, origin.z}, train->getCurrentTarget());
    EXPECT_EQ(train, tunnel(0)->getObjects().back());
    EXPECT_EQ(12u, train->getChildren().size());
}

TEST_F(TrainTest, WheelsTakeTheirPlaceUnderATrainStartedFarFromTheFirstTunnel)
{
    Train* train = startTrainIn(12);
    glm::vec3 trainAt = tunnel(12)->getPosition() + glm::vec3(55, 0, 0);
    ASSERT_EQ(12u, train->getChildren().size());
    for (int i = 0; i < 12; ++i) {
        expectNear(trainAt + WHEEL_PLACES[i], worldOrigin(train->getChildren()[i]));
        expectNear(WHEEL_PLACES[i], train->getChildren()[i]->getPosition());
    }
}

TEST_F(TrainTest, EachTickMovesTheTrainOneUnitAndRollsTheWheelsForward)
{
    Train* train = startTrainIn(0);
    glm::vec3 start = train->getPosition();
    train->update();
    expectNear(start + glm::vec3(1, 0, 0), train->getPosition());
    for (GameObject* wheel : train->getChildren()) {
        EXPECT_NEAR(-5.0f, wheel->getRotationVector().z, TOLERANCE);
        expectNear(start + glm::vec3(1, 0, 0) + wheel->getPosition(), worldOrigin(wheel));
    }
    train->update();
    expectNear(start + glm::vec3(2, 0, 0), train->getPosition());
    EXPECT_NEAR(-10.0f, train->getChildren()[0]->getRotationVector().z, TOLERANCE);
    EXPECT_FALSE(train->hasHit());
    EXPECT_FALSE(gameState.quitRequested);
}

TEST_F(TrainTest, TheTrainTurnsBackOnTheTickAfterItsBoxReachesTheFarEnd)
{
    Train* train = startTrainIn(0);
    glm::vec3 farEnd = train->getCurrentTarget();
    glm::vec3 nearEnd = tunnel(0)->getPosition() + glm::vec3(0, 1, 0);
    float previousFront = frontOf(train);
    int tick = 0;
    while (train->getDirection().x > 0 && tick < 1000) {
        previousFront = frontOf(train);
        train->update();
        ++tick;
    }
    ASSERT_LT(tick, 1000) << "the train never turned back";
    // It turned on the update that began with its box at the far end, not one earlier.
    EXPECT_GE(previousFront, farEnd.x);
    EXPECT_LT(previousFront - 1.0f, farEnd.x);
    expectNear(nearEnd, train->getCurrentTarget());
    expectNear({-1, 0, 0}, train->getDirection());

    float wheelTurnBefore = train->getChildren()[0]->getRotationVector().z;
    glm::vec3 before = train->getPosition();
    train->update();
    expectNear(before - glm::vec3(1, 0, 0), train->getPosition());
    EXPECT_NEAR(wheelTurnBefore + 5.0f, train->getChildren()[0]->getRotationVector().z, TOLERANCE);
}

TEST_F(TrainTest, ATrainThatReachesThePlayerEndsTheGame)
{
    Train* train = startTrainIn(0);
    // The player stands ahead of the train, facing it; its body reaches 2 to either side.
    glm::vec3 player(150, 10, 0);
    camera->setPositionAndTarget(player, player - glm::vec3(10, 0, 0));
    float bodyRear = player.x - camera->getHalfWidth();
    int tick = 0;
    while (!train->hasHit() && tick < 100) {
        train->update();
        ++tick;
        if (!train->hasHit()) {
            EXPECT_LT(frontOf(train), bodyRear + 0.5f) << "no hit although the train touched the player";
        }
    }
    ASSERT_TRUE(train->hasHit());
    EXPECT_GE(frontOf(train), bodyRear - 0.5f);
    EXPECT_TRUE(gameState.quitRequested);
}

TEST_F(TrainTest, TheTouchCountsWhicheverWayRoundThePairIsAsked)
{
    Train* train = startTrainIn(0);
    btCollisionObject* ghost = camera->getGhostObject();
    camera->setPositionAndTarget(train->getPosition() + glm::vec3(0, 8, 0), train->getPosition());

    TrainCollisionCallback victimFirst(ghost, train->getBody());
    dynamicsWorld()->contactPairTest(ghost, train->getBody(), victimFirst);
    TrainCollisionCallback trainFirst(ghost, train->getBody());
    dynamicsWorld()->contactPairTest(train->getBody(), ghost, trainFirst);
    EXPECT_GT(victimFirst.getContactCount(), 0);
    EXPECT_GT(trainFirst.getContactCount(), 0);

    // A touch of the player by anything else is not the train's.
    TrainCollisionCallback otherBody(ghost, door(0, 0)->getBody());
    dynamicsWorld()->contactPairTest(ghost, train->getBody(), otherBody);
    EXPECT_EQ(0, otherBody.getContactCount());
}

TEST_F(TrainTest, OnlyTheTrainOfTheCurrentTunnelMoves)
{
    Train* here = startTrainIn(0);
    Train* elsewhere = startTrainIn(3);
    glm::vec3 hereStart = here->getPosition();
    glm::vec3 elsewhereStart = elsewhere->getPosition();
    gameState.trainsStarted = true;
    ticks(5);
    expectNear(hereStart + glm::vec3(5, 0, 0), here->getPosition());
    expectNear(elsewhereStart, elsewhere->getPosition());
}

TEST_F(TrainTest, ASecondStartLeavesTheOldTrainStandingInTheTunnel)
{
    Train* first = startTrainIn(0);
    Train* second = startTrainIn(0);
    EXPECT_NE(first, second);
    EXPECT_EQ(second, tunnel(0)->getTrain());
    EXPECT_TRUE(tunnel(0)->containsObject(first));
    EXPECT_TRUE(tunnel(0)->containsObject(second));
}

TEST_F(TrainTest, DrawAheadShowsTheTrainFurtherOnAndLeavesItWhereItWas)
{
    Train* train = startTrainIn(0);
    glm::vec3 at = train->getPosition();
    auto bounds = train->worldBounds();
    float rear = bounds.second.x;
    float front = bounds.first.x;
    float middleHeight = (bounds.first.y + bounds.second.y) / 2;

    // Look at the train from the side, at its middle.
    glm::vec3 middle((rear + front) / 2, middleHeight, at.z);
    glm::mat4 view = glm::lookAt(middle + glm::vec3(0, 0, 80), middle, glm::vec3(0, 1, 0));
    glm::mat4 projection = glm::perspective(glm::radians(60.0f), 800.0f / 600.0f, 1.0f, 500.0f);
    auto column = [&](float x) {
        glm::vec4 clip = projection * view * glm::vec4(x, middleHeight, at.z + 5, 1);
        return static_cast<int>((clip.x / clip.w + 1) * 400);
    };
    auto covered = [&](int x) {
        float depth = 1;
        glReadPixels(x, 300, 1, 1, GL_DEPTH_COMPONENT, GL_FLOAT, &depth);
        return depth < 1.0f;
    };
    defaultProgram->use(true);
    defaultProgram->setView(view);
    defaultProgram->setProj(projection);
    glEnable(GL_DEPTH_TEST);
    glDepthMask(GL_TRUE);
    glDepthFunc(GL_LESS);
    glDisable(GL_STENCIL_TEST);

    glClear(GL_COLOR_BUFFER_BIT | GL_DEPTH_BUFFER_BIT);
    train->draw(defaultProgram);
    EXPECT_TRUE(covered(column(rear + 5)));
    EXPECT_FALSE(covered(column(front + 5)));

    glClear(GL_COLOR_BUFFER_BIT | GL_DEPTH_BUFFER_BIT);
    train->drawAhead(defaultProgram, 10);
    EXPECT_FALSE(covered(column(rear + 5)));
    EXPECT_TRUE(covered(column(front + 5)));
    expectNear(at, train->getPosition());
}

} // namespace
