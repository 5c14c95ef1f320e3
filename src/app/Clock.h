#pragma once

#include <cstdint>

// Where the game reads time from: SDL's milliseconds in a real run, a hand-set clock in tests
// and in autoplay, so that every rule with a timer can be driven without sleeping.
class Clock {
public:
    virtual ~Clock() = default;
    // Milliseconds since start, wrapping like SDL_GetTicks.
    virtual std::uint32_t ticks() const = 0;
};
