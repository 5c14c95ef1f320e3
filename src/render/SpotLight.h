#pragma once

#include <glm/glm.hpp>

// A cone light of a tunnel.
class SpotLight {
public:
    SpotLight(glm::vec3 position, glm::vec3 intensity, glm::vec3 direction);

    // The light's projection x view for its shadow map.
    glm::mat4 viewProjection() const;

    float angle = 60.0f;   // cone half-angle in degrees
    glm::vec3 direction;   // where the light points
    glm::vec3 intensity;   // colour and strength
    glm::vec3 position;    // world position
};
