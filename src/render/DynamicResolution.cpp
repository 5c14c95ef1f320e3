#include "render/DynamicResolution.h"

#include <algorithm>
#include <cmath>

namespace {

constexpr int MOST_STEPS_DOWN = static_cast<int>((1.0f - DynamicResolution::LOWEST) / DynamicResolution::STEP + 0.5f);

float scaleAt(int stepsDown)
{
    return 1.0f - DynamicResolution::STEP * static_cast<float>(stepsDown);
}

} // namespace

float DynamicResolution::afterFrame(double frameMilliseconds)
{
    if (locked)
        return scale();
    if (frameMilliseconds > TARGET_MS) {
        stepsDown = std::min(MOST_STEPS_DOWN, stepsDown + 1);
        underFor = 0.0;
        return scale();
    }
    underFor += frameMilliseconds;
    // A frame costs about what its pixels do: the next step up must fit the target as well.
    const double growth = stepsDown > 0 ? std::pow(scaleAt(stepsDown - 1) / scale(), 2.0f) : 1.0;
    if (stepsDown > 0 && underFor >= SETTLE_MS && frameMilliseconds * growth <= TARGET_MS) {
        --stepsDown;
        underFor = 0.0;
    }
    return scale();
}

float DynamicResolution::scale() const
{
    return scaleAt(stepsDown);
}

void DynamicResolution::lockFullResolution(bool lock)
{
    locked = lock;
    underFor = 0.0;
    if (locked)
        stepsDown = 0;
}
