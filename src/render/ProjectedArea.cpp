#include "render/ProjectedArea.h"

namespace {

// Points nearer the eye plane than this (or behind it) do not project onto the target.
constexpr float SMALLEST_EYE_DISTANCE = 1e-3f;

} // namespace

bool ProjectedArea::addBox(const std::array<glm::vec3, 8>& corners, const glm::mat4& toClip)
{
    for (const glm::vec3& corner : corners) {
        const glm::vec4 clip = toClip * glm::vec4(corner, 1.0f);
        if (clip.w <= SMALLEST_EYE_DISTANCE)
            return false;
        low = glm::min(low, glm::vec2(clip) / clip.w);
        high = glm::max(high, glm::vec2(clip) / clip.w);
    }
    return true;
}

// Clamped before the conversion to integers: a corner just in front of the eye lands far
// outside any target.
ProjectedArea::Pixels ProjectedArea::pixels(const glm::ivec2& origin, const glm::ivec2& size, int margin) const
{
    const glm::vec2 start(origin);
    const glm::vec2 end(origin + size);
    const glm::vec2 first = glm::floor(start + (low * 0.5f + 0.5f) * glm::vec2(size)) - static_cast<float>(margin);
    const glm::vec2 last = glm::ceil(start + (high * 0.5f + 0.5f) * glm::vec2(size)) + static_cast<float>(margin);
    const glm::vec2 from = glm::clamp(first, start, end);
    return {glm::ivec2(from), glm::ivec2(glm::clamp(last, from, end))};
}
