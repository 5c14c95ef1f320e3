#pragma once

#include "game/Clock.h"

// Game time: the time of the clock it reads, less every stretch spent paused, so that timers,
// trains and messages wait while the game is paused and go on from where they stood.
class PausableClock : public Clock {
public:
    void follow(const Clock& source);
    std::uint64_t ticks() const override;
    void setPaused(bool paused);
    bool isPaused() const { return paused; }

private:
    const Clock* source = nullptr;
    std::uint64_t pausedFor = 0; // milliseconds spent paused before the present pause
    std::uint64_t pausedAt = 0;  // the source's time when the present pause began
    bool paused = false;
};
