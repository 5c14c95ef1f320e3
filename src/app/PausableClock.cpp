#include "app/PausableClock.h"

void PausableClock::follow(const Clock& clock)
{
    source = &clock;
    pausedFor = 0;
    paused = false;
}

std::uint64_t PausableClock::ticks() const
{
    return (paused ? pausedAt : source->ticks()) - pausedFor;
}

void PausableClock::setPaused(bool pause)
{
    if (pause == paused)
        return;
    if (pause)
        pausedAt = source->ticks();
    else
        pausedFor += source->ticks() - pausedAt;
    paused = pause;
}
