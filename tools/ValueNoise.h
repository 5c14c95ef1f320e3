#pragma once

#include <cstdint>

// Smooth, tileable value noise from an integer hash: the same seed always paints the same texture.
class ValueNoise {
public:
    ValueNoise(std::uint32_t seed, int period);

    // Noise in [0, 1] at (x, y) in lattice cells; repeats every `period` cells on both axes.
    float at(float x, float y) const;
    // Sum of `octaves` layers, each twice as fine and half as strong, normalised to [0, 1].
    float fractal(float x, float y, int octaves) const;
    // A hash of one lattice point in [0, 1], for speckles and per-brick variation.
    float lattice(int x, int y) const;

private:
    std::uint32_t seed;
    int period;
};
