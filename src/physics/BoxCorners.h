#pragma once

#include <glm/glm.hpp>

#include <array>

// The eight corners of the box spanned by two opposite corners: bit 0 of a corner's index takes
// its x from `high`, bit 1 its y, bit 2 its z; the other coordinates come from `low`.
inline std::array<glm::vec3, 8> boxCorners(const glm::vec3& low, const glm::vec3& high)
{
    std::array<glm::vec3, 8> corners;
    for (std::size_t corner = 0; corner < corners.size(); ++corner)
        corners[corner] = glm::vec3((corner & 1) ? high.x : low.x, (corner & 2) ? high.y : low.y,
                                    (corner & 4) ? high.z : low.z);
    return corners;
}
