#include "render/SpotLight.h"

#include <glm/gtc/matrix_transform.hpp>

namespace {
// The game's own degree-to-radian factor.
constexpr float RADIANS_PER_DEGREE = 0.017453292f;
// Depth range of a light's shadow map, in world units.
constexpr float SHADOW_NEAR = 1.0f;
constexpr float SHADOW_FAR = 70.0f;
} // namespace

SpotLight::SpotLight(glm::vec3 position, glm::vec3 intensity, glm::vec3 direction)
    : direction(direction), intensity(intensity), position(position)
{
}

glm::mat4 SpotLight::viewProjection() const
{
    float halfAngle = angle * RADIANS_PER_DEGREE;
    glm::mat4 projection = glm::perspective(2.0f * halfAngle, halfAngle, SHADOW_NEAR, SHADOW_FAR);
    glm::mat4 view = glm::lookAt(position, position + direction, glm::vec3(0, 1, 0));
    return projection * view;
}
