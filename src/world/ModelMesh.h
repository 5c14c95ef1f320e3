#pragma once

#include <glm/glm.hpp>

#include <cstdint>
#include <string>
#include <utility>
#include <vector>

// One piece of a model with one material, as read from its file: what bodies are built from and
// what a renderer uploads.
struct ModelMesh {
    std::vector<glm::vec3> positions;
    std::vector<glm::vec2> texCoords;    // (0, 0) where the file has none
    std::vector<glm::vec3> normals;      // zeros where the file has none: unlit-looking
    std::vector<std::uint32_t> indices;  // three per triangle
    std::vector<std::string> textureFiles; // diffuse images in material order; "" for a refused path
    glm::vec3 maxCorner{0.0f};           // largest x, y, z of the vertices
    glm::vec3 minCorner{0.0f};           // smallest x, y, z of the vertices

    // Largest corner first, then the smallest, in model space.
    std::pair<glm::vec3, glm::vec3> bounds() const { return {maxCorner, minCorner}; }
};
