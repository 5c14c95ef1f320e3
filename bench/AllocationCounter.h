#pragma once

#include <cstdint>

// Counts the heap allocations (operator new and the malloc family) that the whole process makes
// while counting is on, split by who asked for them: the game (the bench binary with the game
// library linked in, the C++ library, Bullet) or the graphics driver and window system (Mesa,
// X, SDL and everything else). The split goes by the code address that called the allocator.
class AllocationCounter {
public:
    struct Counts {
        std::uint64_t game = 0;
        std::uint64_t driver = 0;
    };

    // Reads where the game's code lies; made after the window, once the driver is loaded.
    AllocationCounter();
    void start();
    void stop();
    // Allocations since start, up to stop.
    Counts counted() const;
};
