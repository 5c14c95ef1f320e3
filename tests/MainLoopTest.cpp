#include "app/MainLoop.h"
#include "play/ManualClock.h"
#include "app/RenderToggles.h"
#include "game/GameState.h"

#include <gtest/gtest.h>

#include <sstream>
#include <string>

namespace {

// What the loop asks for during n ticks.
std::string ticks(int n)
{
    std::string steps;
    for (int i = 0; i < n; ++i)
        steps += "tick ";
    return steps;
}

// A started loop whose steps write what it asked for into calls. Each frame takes
// frameMilliseconds of the clock; the tick numbered quitOnTick asks to quit.
class MainLoopTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        gameState = GameState();
        renderSettings = RenderSettings();
        loop.start();
    }

    ManualClock clock{1000};
    std::string calls;
    int ticksRun = 0;
    int quitOnTick = -1;
    std::uint32_t frameMilliseconds = 0;
    std::uint32_t trianglesDrawn = 0;
    std::ostringstream stats;
    MainLoop loop{clock,
                  {[this] {
                       calls += "tick ";
                       return ++ticksRun == quitOnTick;
                   },
                   [this] {
                       calls += "frame ";
                       clock.advance(frameMilliseconds);
                       return trianglesDrawn;
                   }},
                  stats};
};

TEST_F(MainLoopTest, TicksRunOnceTheClockHasPassedThemAtMostFiveAFrameBeforeTheFrameIsDrawn)
{
    loop.runFrame();
    clock.advance(1);
    loop.runFrame();
    clock.advance(80); // at 1081 ms the ticks of 1040 and 1080 ms are due
    loop.runFrame();
    EXPECT_EQ(calls, "frame " + ticks(1) + "frame " + ticks(2) + "frame ");

    calls.clear();
    clock.advance(250); // at 1331 ms six ticks are due, from 1120 to 1320 ms
    loop.runFrame();
    EXPECT_EQ(loop.ticksLastFrame(), 5);
    loop.runFrame();
    EXPECT_EQ(calls, ticks(5) + "frame " + ticks(1) + "frame ");
}

// A game left open for days: one second of 10 ms frames still runs 25 ticks after 40 hours,
// after 13 days and across the wrap of 32-bit milliseconds (at about 49.7 days).
TEST_F(MainLoopTest, ASecondStillRuns25TicksAfterDaysOfPlayAndAcrossTheWrapOf32BitMilliseconds)
{
    frameMilliseconds = 10;
    for (std::uint64_t start : {40ull * 3600 * 1000, 13ull * 24 * 3600 * 1000, (1ull << 32) - 500}) {
        clock.set(start);
        loop.start();
        ticksRun = 0;
        for (int frame = 0; frame < 100; ++frame)
            loop.runFrame();
        EXPECT_EQ(ticksRun, 25) << start << " ms";
    }
}

TEST_F(MainLoopTest, TheLoopEndsAfterTheFrameOfAQuitTickOrOfAWonOrLostGame)
{
    quitOnTick = 7;
    frameMilliseconds = 200; // five ticks are due at each frame after the first
    loop.run();
    // The ticks due after the quit tick wait.
    EXPECT_EQ(calls, "frame " + ticks(5) + "frame " + ticks(2) + "frame ");

    for (bool GameState::*ending : {&GameState::won, &GameState::lost}) {
        gameState = GameState();
        gameState.*ending = true;
        EXPECT_FALSE(loop.runFrame());
    }
}

TEST_F(MainLoopTest, AStatisticsLineInTheGameFormatFollowsEachFrameWhileSwitchedOn)
{
    frameMilliseconds = 3;
    trianglesDrawn = 42;
    loop.runFrame();
    EXPECT_EQ(stats.str(), "");
    renderSettings.showStats = true;
    loop.runFrame();
    loop.runFrame();

    // The first line measures from the start of time (no earlier statistics line): 1006 ms.
    EXPECT_EQ(stats.str(), "1006ms / 0.994036 FPS, triangles rendered: 42\n"
                           "3ms / 333.333 FPS, triangles rendered: 42\n");
}

} // namespace
