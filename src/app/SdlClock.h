#pragma once

#include "game/Clock.h"

// The wall clock of a real run.
class SdlClock : public Clock {
public:
    std::uint64_t ticks() const override;
};
