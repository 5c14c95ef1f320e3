#include "support/PlayingFixture.h"

#include <sstream>

namespace {

// The whole game, played from the start by input alone: mouse motion, clicks and keys.
class WinnabilityTest : public PlayingFixture {
protected:
    // Plays the route to its last step, where the game must end won or lost as told.
    void playToTheEnd(const Route& route, bool won)
    {
        std::ostringstream report;
        const Route::Outcome outcome = playRoute(route, report);
        EXPECT_EQ(outcome.failure, "") << report.str();
        EXPECT_TRUE(outcome.gameEnded);
        EXPECT_EQ(outcome.stepsPlayed, outcome.stepCount);
        EXPECT_EQ(gameState.won, won);
        EXPECT_EQ(gameState.lost, !won);
    }
};

TEST_F(WinnabilityTest, TheFinalDoorOfTunnel13WinsAfterTheButtonWasHeld)
{
    playToTheEnd(door1Route(), true);
    EXPECT_TRUE(gameState.patienceDone);
}

TEST_F(WinnabilityTest, TheFinalDoorOfTunnel19WinsWithTheKeySolidAndTheOtherPuzzlesUndone)
{
    playToTheEnd(door2Route(), true);
    EXPECT_TRUE(gameState.keySolid);
    EXPECT_FALSE(gameState.switchesSolved || gameState.aligned);
}

TEST_F(WinnabilityTest, WalkingIntoTheFirstTrainLosesTheGame)
{
    playToTheEnd(trainRoute(), false);
}

} // namespace
