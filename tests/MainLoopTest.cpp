#include "app/MainLoop.h"
#include "app/ManualClock.h"
#include "app/RenderSettings.h"
#include "game/GameState.h"

#include <gtest/gtest.h>

#include <sstream>
#include <string>
#include <vector>

namespace {

// Records what the loop asked for, in order: "tick", "physics", "frame".
class LoopRecorder {
public:
    explicit LoopRecorder(ManualClock& clock) : clock(clock) {}

    MainLoop::Steps steps()
    {
        return {[this] {
                    calls.push_back("tick");
                    return quitOnTick == ++ticks;
                },
                [this] { calls.push_back("physics"); },
                [this] {
                    calls.push_back("frame");
                    clock.advance(frameMilliseconds);
                }};
    }

    int count(const std::string& what) const
    {
        int n = 0;
        for (const std::string& call : calls)
            n += call == what;
        return n;
    }

    ManualClock& clock;
    std::vector<std::string> calls;
    int ticks = 0;
    int quitOnTick = -1;
    std::uint32_t frameMilliseconds = 0;
};

class MainLoopTest : public ::testing::Test {
protected:
    void SetUp() override { gameState = GameState(); renderSettings = RenderSettings(); }

    ManualClock clock{1000};
    LoopRecorder recorder{clock};
    std::ostringstream stats;
};

} // namespace

TEST_F(MainLoopTest, NoTickIsDueUntilTheClockHasPassedTheNextTick)
{
    MainLoop loop(clock, recorder.steps(), stats);
    loop.start();
    loop.runFrame();
    EXPECT_EQ(recorder.count("tick"), 0);
    clock.advance(1);
    loop.runFrame();
    EXPECT_EQ(recorder.count("tick"), 1);
    EXPECT_EQ(recorder.count("physics"), 1);
    EXPECT_EQ(recorder.count("frame"), 2);
}

TEST_F(MainLoopTest, ASlowFrameRunsAtMostFiveTicksAndCatchesUpLater)
{
    MainLoop loop(clock, recorder.steps(), stats);
    loop.start();
    clock.advance(250); // a frame that took 250 ms: 7 ticks are due
    loop.runFrame();
    EXPECT_EQ(loop.ticksLastFrame(), MAX_FRAMESKIP);
    loop.runFrame();
    EXPECT_EQ(recorder.count("tick"), 7); // 1000 + 7 * 40 = 1280 > 1250 stops the catch-up
    EXPECT_EQ(recorder.count("physics"), recorder.count("tick"));
}

TEST_F(MainLoopTest, EveryTickIsFollowedByOnePhysicsStepAndFramesComeAfterTheTicks)
{
    MainLoop loop(clock, recorder.steps(), stats);
    loop.start();
    clock.advance(81);
    loop.runFrame();
    std::vector<std::string> expected{"tick", "physics", "tick", "physics", "tick", "physics", "frame"};
    EXPECT_EQ(recorder.calls, expected);
}

TEST_F(MainLoopTest, TheQuitTickStillStepsPhysicsAndStopsFurtherTicks)
{
    recorder.quitOnTick = 2;
    MainLoop loop(clock, recorder.steps(), stats);
    loop.start();
    clock.advance(200);
    EXPECT_FALSE(loop.runFrame());
    EXPECT_EQ(recorder.count("tick"), 2);
    EXPECT_EQ(recorder.count("physics"), 2);
    EXPECT_EQ(recorder.count("frame"), 1);
    EXPECT_TRUE(gameState.quitRequested);
}

TEST_F(MainLoopTest, AWonOrLostGameEndsTheLoopAfterTheFrame)
{
    MainLoop loop(clock, recorder.steps(), stats);
    loop.start();
    gameState.lost = true;
    EXPECT_FALSE(loop.runFrame());
    EXPECT_EQ(recorder.count("frame"), 1);
}

TEST_F(MainLoopTest, RunKeepsGoingUntilATickAsksToQuit)
{
    recorder.quitOnTick = 30;
    recorder.frameMilliseconds = 16;
    MainLoop loop(clock, recorder.steps(), stats);
    loop.start();
    loop.run();
    EXPECT_EQ(recorder.ticks, 30);
    // 30 ticks of 40 ms at one frame per 16 ms: the game time is paced by the clock.
    EXPECT_GE(clock.ticks() - 1000, 29u * 40u);
}

TEST_F(MainLoopTest, StatisticsLineHasTheGameFormat)
{
    std::ostringstream out;
    MainLoop::writeStatsLine(out, 16, 53210);
    EXPECT_EQ(out.str(), "16ms / 62.5 FPS, triangles rendered: 53210\n");
    out.str("");
    MainLoop::writeStatsLine(out, 3, 7);
    EXPECT_EQ(out.str(), "3ms / 333.333 FPS, triangles rendered: 7\n");
}

TEST_F(MainLoopTest, StatisticsAreWrittenOncePerFrameOnlyWhileSwitchedOn)
{
    recorder.frameMilliseconds = 20;
    MainLoop loop(clock, recorder.steps(), stats);
    loop.start();
    loop.runFrame();
    EXPECT_TRUE(stats.str().empty());
    renderSettings.showStats = true;
    renderSettings.trianglesRendered = 42;
    loop.runFrame();
    loop.runFrame();
    std::istringstream lines(stats.str());
    std::string first, second, third;
    std::getline(lines, first);
    std::getline(lines, second);
    EXPECT_FALSE(std::getline(lines, third));
    // The first line measures from the start of time (no earlier statistics line).
    EXPECT_EQ(first.substr(0, first.find("ms")), std::to_string(clock.ticks() - 20));
    EXPECT_EQ(second.substr(0, second.find("ms")), "20");
    EXPECT_NE(second.find("triangles rendered: 42"), std::string::npos);
}
