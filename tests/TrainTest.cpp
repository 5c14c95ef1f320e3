#include "world/Train.h"
#include "game/GameState.h"
#include "level/Tunnel.h"
#include "physics/Camera.h"
#include "physics/PhysicsWorld.h"
#include "render/ShaderProgram.h"
#include "support/Expectations.h"
#include "support/LevelFixture.h"
#include "support/WorldChecks.h"
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
    EXPECT_EQ(train, tunnel(12)->getObjects().back());
    glm::vec3 origin = tunnel(12)->getPosition();
    glm::vec3 farEnd = origin + glm::vec3(350, 1, 0);
    expectNear(origin + glm::vec3(55, 0, 0), train->getPosition());
    expectNear(farEnd, train->getCurrentTarget());
    // The wheels stand at their places under the train and roll 5 degrees a tick the way it goes.
    ASSERT_EQ(12u, train->getChildren().size());
    auto expectWheelsUnder = [&](float turn) {
        for (GameObject* wheel : train->getChildren()) {
            expectNear(train->getPosition() + wheel->getPosition(), worldOrigin(wheel));
            EXPECT_NEAR(turn, wheel->getRotationVector().z, TOLERANCE);
        }
    };
    expectWheelsUnder(0);
    glm::vec3 start = train->getPosition();
    train->update();
    expectNear(start + glm::vec3(1, 0, 0), train->getPosition());
    expectWheelsUnder(-5);

    // It turns on the update that begins with its box at the far end, not one earlier.
    float previousFront = frontOf(train);
    int tick = 1;
    for (; train->getDirection().x > 0 && tick < 1000; ++tick) {
        previousFront = frontOf(train);
        train->update();
    }
    EXPECT_GE(previousFront, farEnd.x);
    EXPECT_LT(previousFront - 1.0f, farEnd.x);
    expectNear(origin + glm::vec3(0, 1, 0), train->getCurrentTarget());
    glm::vec3 before = train->getPosition();
    float turnBefore = train->getChildren()[0]->getRotationVector().z;
    train->update();
    expectNear(before - glm::vec3(1, 0, 0), train->getPosition());
    expectWheelsUnder(turnBefore + 5);
    EXPECT_FALSE(train->hasHit() || gameState.quitRequested);
}

TEST_F(TrainTest, ATrainThatReachesThePlayerEndsTheGameWhicheverWayRoundTheTouchIsAsked)
{
    Train* train = startTrainIn(0);
    // The player stands ahead of the train, facing it; his body reaches 2 to either side.
    glm::vec3 player(150, 10, 0);
    camera->setPositionAndTarget(player, player - glm::vec3(10, 0, 0));
    float bodyRear = player.x - camera->getHalfWidth();
    for (int tick = 0; tick < 100 && !train->hasHit(); ++tick) {
        train->update();
        if (!train->hasHit()) {
            EXPECT_LT(frontOf(train), bodyRear + 0.5f) << "no hit although the train touched the player";
        }
    }
    ASSERT_TRUE(train->hasHit());
    EXPECT_GE(frontOf(train), bodyRear - 0.5f);
    EXPECT_TRUE(gameState.quitRequested);

    btCollisionObject* ghost = camera->getGhostObject();
    btCollisionObject* body = train->getBody();
    for (auto [one, other] : {std::pair(ghost, body), std::pair(body, ghost)})
        EXPECT_GT(contactsCounted(TrainCollisionCallback(ghost, body), one, other), 0) << "either way round";
    EXPECT_EQ(0, contactsCounted(TrainCollisionCallback(ghost, door(0, 0)->getBody()), ghost, body))
        << "a touch by anything else is not the train's";
}

TEST_F(TrainTest, OnlyTheNewestTrainOfTheCurrentTunnelMovesAndAnOlderOneStaysStanding)
{
    Train* older = startTrainIn(0);
    Train* here = startTrainIn(0);
    Train* elsewhere = startTrainIn(3);
    EXPECT_NE(older, here);
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

TEST_F(TrainTest, DrawAheadShowsTheTrainFurtherOnAndLeavesItWhereItWas)
{
    Train* train = startTrainIn(0);
    glm::vec3 at = train->getPosition();
    auto [high, low] = train->worldBounds();
    float middleHeight = (high.y + low.y) / 2;
    // Seen from the side, level with its middle; depth tells where the train covers the window.
    glm::vec3 middle((low.x + high.x) / 2, middleHeight, at.z);
    glm::mat4 view = glm::lookAt(middle + glm::vec3(0, 0, 80), middle, glm::vec3(0, 1, 0));
    glm::mat4 projection = glm::perspective(glm::radians(60.0f), 800.0f / 600.0f, 1.0f, 500.0f);
    auto coveredAt = [&](float x) {
        glm::vec4 clip = projection * view * glm::vec4(x, middleHeight, at.z + 5, 1);
        float depth = 1;
        glReadPixels(static_cast<int>((clip.x / clip.w + 1) * 400), 300, 1, 1, GL_DEPTH_COMPONENT, GL_FLOAT, &depth);
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
    EXPECT_TRUE(coveredAt(low.x + 5));
    EXPECT_FALSE(coveredAt(high.x + 5));
    glClear(GL_COLOR_BUFFER_BIT | GL_DEPTH_BUFFER_BIT);
    train->drawAhead(defaultProgram, 10);
    EXPECT_FALSE(coveredAt(low.x + 5));
    EXPECT_TRUE(coveredAt(high.x + 5));
    expectNear(at, train->getPosition());
}

} // namespace
