#pragma once

#include <glm/glm.hpp>

// What one tick of walking did, for the rules to judge: whether the player stepped backwards (S)
// and where that step took the eye, before any step sideways.
struct Stride {
    bool backwards = false;
    glm::vec3 backSpot{0.0f};
};
