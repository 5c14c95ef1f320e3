#pragma once

#include <glm/glm.hpp>

// A plane of the view frustum, given by a point on it and a normal pointing inside.
struct FrustumPlane {
    glm::vec3 normal;
    glm::vec3 point;

    // Positive inside, negative outside.
    float signedDistance(const glm::vec3& x) const { return glm::dot(normal, x - point); }
};
