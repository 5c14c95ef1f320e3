#pragma once

#include "app/Clock.h"

// A clock that moves only when told to: tests and autoplay advance it by whole ticks.
class ManualClock : public Clock {
public:
    explicit ManualClock(std::uint32_t start = 0) : now(start) {}
    std::uint32_t ticks() const override { return now; }
    void advance(std::uint32_t milliseconds) { now += milliseconds; }
    void set(std::uint32_t milliseconds) { now = milliseconds; }

private:
    std::uint32_t now;
};
