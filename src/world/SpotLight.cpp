#include "world/SpotLight.h"

#include <glm/gtc/matrix_transform.hpp>

#include <algorithm>
#include <cmath>
#include <limits>

namespace {
// Depth range of a light's shadow map, in world units.
constexpr float SHADOW_NEAR = 1.0f;
constexpr float SHADOW_FAR = 70.0f;
constexpr float RIGHT_ANGLE = 1.5707964f;
// The reach test widens the cone by this angle and the box by this distance: far more than the
// rounding of the shaders' single-precision cone test and of the positions they interpolate.
constexpr float REACH_ANGLE_MARGIN = 1e-3f;
constexpr float REACH_DISTANCE_MARGIN = 0.05f;

// The box's corner picked by the three low-or-high bits.
glm::vec3 corner(const glm::vec3& low, const glm::vec3& high, int bits)
{
    return {bits & 1 ? high.x : low.x, bits & 2 ? high.y : low.y, bits & 4 ? high.z : low.z};
}

// Whether the ray from the origin along the direction meets the box (slab by slab).
bool rayMeetsBox(const glm::vec3& origin, const glm::vec3& direction, const glm::vec3& low, const glm::vec3& high)
{
    float enter = 0.0f;
    float leave = std::numeric_limits<float>::max();
    for (int axis = 0; axis < 3; ++axis) {
        if (direction[axis] == 0.0f) {
            if (origin[axis] < low[axis] || origin[axis] > high[axis])
                return false;
            continue;
        }
        const float first = (low[axis] - origin[axis]) / direction[axis];
        const float second = (high[axis] - origin[axis]) / direction[axis];
        enter = std::max(enter, std::min(first, second));
        leave = std::min(leave, std::max(first, second));
    }
    return enter <= leave;
}

// The largest cosine between the unit axis and a point of the edge from + t along (t in [0, 1]),
// as seen from the light (the edge given relative to it). The cosine along an edge has at most
// one turning point, where its derivative's numerator, linear in t, is zero.
float nearestCosineOnEdge(const glm::vec3& axis, const glm::vec3& from, const glm::vec3& along)
{
    const float alpha = glm::dot(axis, from);
    const float beta = glm::dot(axis, along);
    const float gamma = glm::dot(from, from);
    const float delta = glm::dot(from, along);
    const float epsilon = glm::dot(along, along);
    const auto cosineAt = [&](float t) {
        const float squared = gamma + 2.0f * delta * t + epsilon * t * t;
        return squared > 0.0f ? (alpha + beta * t) / std::sqrt(squared) : 1.0f;
    };
    float nearest = std::max(cosineAt(0.0f), cosineAt(1.0f));
    const float slope = beta * delta - alpha * epsilon;
    if (slope != 0.0f) {
        const float turn = (alpha * delta - beta * gamma) / slope;
        if (turn > 0.0f && turn < 1.0f)
            nearest = std::max(nearest, cosineAt(turn));
    }
    return nearest;
}
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

bool SpotLight::mayReach(const glm::vec3& boxLow, const glm::vec3& boxHigh) const
{
    const float halfAngle = glm::radians(angle) + REACH_ANGLE_MARGIN;
    if (halfAngle >= RIGHT_ANGLE || glm::length(direction) == 0.0f)
        return true;
    const glm::vec3 low = boxLow - REACH_DISTANCE_MARGIN;
    const glm::vec3 high = boxHigh + REACH_DISTANCE_MARGIN;
    const glm::vec3 axis = glm::normalize(direction);
    if (!(glm::all(glm::lessThanEqual(low, high))) || rayMeetsBox(position, axis, low, high))
        return true; // a box of no finite size, or the axis itself enters it
    // Otherwise the point of the box nearest the axis in angle lies on one of its twelve edges:
    // on a face that the axis misses the angle has no minimum inside.
    float nearest = -1.0f;
    for (int bits = 0; bits < 8; ++bits) {
        const glm::vec3 from = corner(low, high, bits) - position;
        for (int axisBit = 1; axisBit < 8; axisBit <<= 1) {
            if ((bits & axisBit) != 0)
                continue;
            const glm::vec3 along = corner(low, high, bits | axisBit) - corner(low, high, bits);
            nearest = std::max(nearest, nearestCosineOnEdge(axis, from, along));
        }
    }
    return nearest >= std::cos(halfAngle);
}
