#pragma once

#include "game/Clock.h"

#include <cstdint>
#include <functional>
#include <ostream>

class Clock;

// Rendering runs as often as it can between the game's ticks.
constexpr int MAX_FRAMESKIP = 5;

// The fixed-step loop: catch up due ticks (at most five per frame), then draw one frame.
class MainLoop {
public:
    struct Steps {
        std::function<bool()> tick;               // one game tick with its physics step; true = quit now
        std::function<std::uint32_t()> drawFrame; // render and swap; the triangles the frame drew
    };

    MainLoop(const Clock& clock, Steps steps, std::ostream& statsOut);

    void start();
    // One pass of the loop; false once the game is to end.
    bool runFrame();
    void run();
    int ticksLastFrame() const { return loops; }

    // "16ms / 62.5 FPS, triangles rendered: 53210"
    static void writeStatsLine(std::ostream& out, int milliseconds, std::uint32_t triangles);

private:
    const Clock& clock;
    Steps steps;
    std::ostream& statsOut;
    std::uint64_t nextTick = 0;
    std::uint64_t lastStatsTicks = 0;
    int loops = 0;
};
