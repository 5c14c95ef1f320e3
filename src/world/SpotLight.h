#pragma once

#include <glm/glm.hpp>

// A cone light of a tunnel.
class SpotLight {
public:
    SpotLight(glm::vec3 position, glm::vec3 intensity, glm::vec3 direction);

    // The light's projection x view for its shadow map.
    glm::mat4 viewProjection() const;
    // Whether a point of the world-space box may lie inside the cone: false only when the
    // whole box is surely outside, where the light adds nothing.
    bool mayReach(const glm::vec3& low, const glm::vec3& high) const;

    float angle = 60.0f; // cone half-angle in degrees
    glm::vec3 direction; // where the light points
    glm::vec3 intensity; // colour and strength
    glm::vec3 position;  // world position
};
