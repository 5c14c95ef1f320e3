#pragma once

#include <cstdint>

// Game time advances in fixed ticks of 40 ms.
constexpr float TICKS_PER_SECOND = 25.0f;
constexpr float SKIP_TICKS = 1000.0f / TICKS_PER_SECOND;
// The same step in whole milliseconds: the loop's clock arithmetic stays exact on runs of any length.
constexpr std::uint64_t SKIP_TICKS_MS = static_cast<std::uint64_t>(SKIP_TICKS);

// Where the game reads time from: SDL's milliseconds in a real run, a hand-set clock in tests
// and in autoplay, so that every rule with a timer can be driven without sleeping.
class Clock {
public:
    virtual ~Clock() = default;
    // Milliseconds since start, in 64 bits: they do not wrap in any run.
    virtual std::uint64_t ticks() const = 0;
};
