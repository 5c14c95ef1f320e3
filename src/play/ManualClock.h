#pragma once

#include "game/Clock.h"

// A clock that moves only when told to: tests and autoplay advance it by whole ticks.
class ManualClock : public Clock {
public:
    explicit ManualClock(std::uint64_t start = 0) : now(start) {}
    std::uint64_t ticks() const override { return now; }
    void advance(std::uint64_t milliseconds) { now += milliseconds; }
    void set(std::uint64_t milliseconds) { now = milliseconds; }

private:
    std::uint64_t now;
};
