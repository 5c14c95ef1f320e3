#include "ValueNoise.h"

#include <cmath>

ValueNoise::ValueNoise(std::uint32_t seed, int period) : seed(seed), period(period) {}

float ValueNoise::lattice(int x, int y) const
{
    std::uint32_t h = seed;
    h ^= static_cast<std::uint32_t>(x) * 0x27d4eb2du;
    h = (h ^ (h >> 15)) * 0x85ebca6bu;
    h ^= static_cast<std::uint32_t>(y) * 0x165667b1u;
    h = (h ^ (h >> 13)) * 0xc2b2ae35u;
    h ^= h >> 16;
    return static_cast<float>(h & 0xffffffu) / static_cast<float>(0xffffff);
}

float ValueNoise::at(float x, float y) const
{
    const float cellX = std::floor(x);
    const float cellY = std::floor(y);
    const float fractionX = x - cellX;
    const float fractionY = y - cellY;
    auto wrap = [this](int value) { return ((value % period) + period) % period; };
    const int x0 = wrap(static_cast<int>(cellX));
    const int y0 = wrap(static_cast<int>(cellY));
    const int x1 = wrap(x0 + 1);
    const int y1 = wrap(y0 + 1);
    // Smoothstep weights hide the lattice.
    const float weightX = fractionX * fractionX * (3.0f - 2.0f * fractionX);
    const float weightY = fractionY * fractionY * (3.0f - 2.0f * fractionY);
    const float top = lattice(x0, y0) + (lattice(x1, y0) - lattice(x0, y0)) * weightX;
    const float bottom = lattice(x0, y1) + (lattice(x1, y1) - lattice(x0, y1)) * weightX;
    return top + (bottom - top) * weightY;
}

float ValueNoise::fractal(float x, float y, int octaves) const
{
    float sum = 0.0f;
    float strength = 1.0f;
    float total = 0.0f;
    float scale = 1.0f;
    for (int octave = 0; octave < octaves; ++octave) {
        const ValueNoise layer(seed + static_cast<std::uint32_t>(octave) * 7919u, period * static_cast<int>(scale));
        sum += layer.at(x * scale, y * scale) * strength;
        total += strength;
        strength *= 0.5f;
        scale *= 2.0f;
    }
    return sum / total;
}
