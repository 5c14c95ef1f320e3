#include "support/LevelFixture.h"

#include "game/GameState.h"
#include "game/Routes.h"

#include <iostream>

namespace {

// The whole game, played from the start by input alone: mouse motion, clicks and keys.
class WinnabilityTest : public LevelFixture {
protected:
    Route::Outcome playRoute(const Route& route)
    {
        Route::Controls controls;
        controls.keyboard = keys.data();
        controls.tick = [this] { return tick(); };
        controls.report = &std::cout;
        return route.play(controls);
    }
};

TEST_F(WinnabilityTest, TheFinalDoorOfTunnel13WinsAfterTheButtonWasHeld)
{
    Route::Outcome outcome = playRoute(door1Route());

    EXPECT_EQ(outcome.failure, "");
    EXPECT_TRUE(outcome.gameEnded);
    EXPECT_EQ(outcome.stepsPlayed, outcome.stepCount);
    EXPECT_TRUE(gameState.won);
    EXPECT_FALSE(gameState.lost);
    EXPECT_TRUE(gameState.patienceDone);
}

TEST_F(WinnabilityTest, TheFinalDoorOfTunnel19WinsWithTheKeySolidAndTheOtherPuzzlesUndone)
{
    Route::Outcome outcome = playRoute(door2Route());

    EXPECT_EQ(outcome.failure, "");
    EXPECT_TRUE(outcome.gameEnded);
    EXPECT_EQ(outcome.stepsPlayed, outcome.stepCount);
    EXPECT_TRUE(gameState.won);
    EXPECT_TRUE(gameState.keySolid);
    EXPECT_FALSE(gameState.switchesSolved);
    EXPECT_FALSE(gameState.aligned);
}

TEST_F(WinnabilityTest, WalkingIntoTheFirstTrainLosesTheGame)
{
    Route::Outcome outcome = playRoute(trainRoute());

    EXPECT_EQ(outcome.failure, "");
    EXPECT_TRUE(outcome.gameEnded);
    EXPECT_EQ(outcome.stepsPlayed, outcome.stepCount);
    EXPECT_TRUE(gameState.lost);
    EXPECT_FALSE(gameState.won);
}

} // namespace
