#pragma once

#include <glm/glm.hpp>

#include <array>
#include <limits>

// Where boxes land on a render target (the window, a shadow map): their corners projected to
// normalized device coordinates, gathered into one rectangle, then turned into pixels.
class ProjectedArea {
public:
    // A rectangle of pixels, from (inclusive) to (exclusive).
    struct Pixels {
        glm::ivec2 from{0, 0};
        glm::ivec2 to{0, 0};
    };

    // Adds a box's corners, carried to clip space by the matrix; false when a corner lies at or
    // behind the eye plane, where the area says nothing.
    bool addBox(const std::array<glm::vec3, 8>& corners, const glm::mat4& toClip);
    // Whether the area overlaps the view (normalized device coordinates -1..1).
    bool overlapsView() const
    {
        return high.x >= -1.0f && low.x <= 1.0f && high.y >= -1.0f && low.y <= 1.0f;
    }
    // The pixels of the viewport that the area covers, widened by a margin all round and kept
    // inside the viewport (to is never below from).
    Pixels pixels(const glm::ivec2& origin, const glm::ivec2& size, int margin) const;

private:
    glm::vec2 low{std::numeric_limits<float>::max()};
    glm::vec2 high{std::numeric_limits<float>::lowest()};
};
