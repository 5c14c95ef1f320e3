#pragma once

#include <cstdint>

// Where the game reads time from: SDL's milliseconds in a real run, a hand-set clock in tests
// and in autoplay, so that every rule with a timer can be driven without sleeping.
class Clock {
public:
    virtual ~Clock() = default;
    // Milliseconds since start, in 64 bits: they do not wrap in any run.
    virtual std::uint64_t ticks() const = 0;
};
