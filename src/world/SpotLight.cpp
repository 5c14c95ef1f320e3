#include "world/SpotLight.h"

#include <glm/gtc/matrix_transform.hpp>

#include <cmath>

namespace {
// Depth range of a light's shadow map, in world units.
constexpr float SHADOW_NEAR = 1.0f;
constexpr float SHADOW_FAR = 70.0f;
constexpr float RIGHT_ANGLE = 1.5707964f;
// Share of the distance by which the reach test widens the cone's edge: far more than the
// rounding of the shaders' single-precision cone test.
constexpr float REACH_MARGIN = 1e-3f;
} // namespace

SpotLight::SpotLight(glm::vec3 position, glm::vec3 intensity, glm::vec3 direction)
    : direction(direction), intensity(intensity), position(position)
{
}

glm::mat4 SpotLight::viewProjection() const
{
    float halfAngle = glm::radians(angle);
    glm::mat4 projection = glm::perspective(2.0f * halfAngle, halfAngle, SHADOW_NEAR, SHADOW_FAR);
    glm::mat4 view = glm::lookAt(position, position + direction, glm::vec3(0, 1, 0));
    return projection * view;
}

bool SpotLight::mayReach(const glm::vec3& low, const glm::vec3& high) const
{
    // The box's bounding sphere against the cone.
    const glm::vec3 toCentre = 0.5f * (low + high) - position;
    const float radius = 0.5f * glm::length(high - low);
    const float distance = glm::length(toCentre);
    const float margin = REACH_MARGIN * (distance + radius + 1.0f);
    const float halfAngle = glm::radians(angle);
    if (distance <= radius + margin || halfAngle >= RIGHT_ANGLE || glm::length(direction) == 0.0f)
        return true;
    const glm::vec3 axis = glm::normalize(direction);
    const float along = glm::dot(toCentre, axis);
    const float across = glm::length(toCentre - along * axis);
    // How far (as an angle seen from the light) the centre lies beyond the cone's edge.
    const float beyondEdge = std::atan2(across, along) - halfAngle;
    if (!(beyondEdge > 0.0f))
        return true; // inside the cone, or a box of no finite size
    // Beyond a right angle the nearest point of the cone is the light itself, already ruled out.
    return !(beyondEdge >= RIGHT_ANGLE || distance * std::sin(beyondEdge) > radius + margin);
}
