#pragma once

#include <cstdint>
#include <functional>
#include <ostream>

class Clock;

// Game time advances in fixed ticks of 40 ms; rendering runs as often as it can.
constexpr float TICKS_PER_SECOND = 25.0f;
constexpr float SKIP_TICKS = 1000.0f / TICKS_PER_SECOND;
// The same step in whole milliseconds: the loop's clock arithmetic stays exact on runs of any length.
constexpr std::uint64_t SKIP_TICKS_MS = static_cast<std::uint64_t>(SKIP_TICKS);
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
