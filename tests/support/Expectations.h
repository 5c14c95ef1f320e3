#pragma once

#include <glm/glm.hpp>
#include <gtest/gtest.h>

// Positions of the world compare within this many world units.
constexpr float TOLERANCE = 1e-4f;

inline void expectNear(const glm::vec3& expected, const glm::vec3& actual, float tolerance = TOLERANCE)
{
    EXPECT_NEAR(expected.x, actual.x, tolerance);
    EXPECT_NEAR(expected.y, actual.y, tolerance);
    EXPECT_NEAR(expected.z, actual.z, tolerance);
}
