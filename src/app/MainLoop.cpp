#include "app/MainLoop.h"

#include "app/RenderToggles.h"
#include "game/Clock.h"
#include "game/GameState.h"

MainLoop::MainLoop(const Clock& clock, Steps steps, std::ostream& statsOut)
    : clock(clock), steps(std::move(steps)), statsOut(statsOut)
{
}

void MainLoop::start()
{
    nextTick = clock.ticks();
    lastStatsTicks = 0;
}

bool MainLoop::runFrame()
{
    loops = 0;
    while (clock.ticks() > nextTick && loops < MAX_FRAMESKIP && !gameState.quitRequested) {
        if (steps.tick())
            gameState.quitRequested = true;
        nextTick += SKIP_TICKS_MS;
        ++loops;
    }
    const std::uint32_t triangles = steps.drawFrame();
    if (renderSettings.showStats) {
        std::uint64_t now = clock.ticks();
        writeStatsLine(statsOut, static_cast<int>(now - lastStatsTicks), triangles);
        lastStatsTicks = now;
    }
    if (gameState.won || gameState.lost)
        gameState.quitRequested = true;
    return !gameState.quitRequested;
}

void MainLoop::run()
{
    while (!gameState.quitRequested)
        runFrame();
}

void MainLoop::writeStatsLine(std::ostream& out, int milliseconds, std::uint32_t triangles)
{
    out << milliseconds << "ms / " << 1000.0f / static_cast<float>(milliseconds) << " FPS, triangles rendered: "
        << triangles << std::endl;
}
