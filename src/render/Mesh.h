#pragma once

#include <GL/glew.h>
#include <glm/glm.hpp>

#include <utility>
#include <vector>

// One drawable piece of a model with one material, uploaded once to the GPU.
class Mesh {
public:
    Mesh(std::vector<glm::vec3> positions, std::vector<glm::vec2> texCoords, std::vector<glm::vec3> normals,
         std::vector<GLuint> indices, std::vector<GLuint> textures, glm::vec3 maxCorner, glm::vec3 minCorner);

    // Binds the diffuse textures to units 0.. with the filters of the current settings and draws.
    void draw() const;
    // Largest corner first, then the smallest, in model space.
    std::pair<glm::vec3, glm::vec3> bounds() const { return {maxCorner, minCorner}; }
    const std::vector<GLuint>& getTextures() const { return textures; }
    GLuint getIndexCount() const { return indexCount; }
    // Releases the GPU objects: vertex array, buffers, then every texture.
    void destroy();

private:
    GLuint vertexArray = 0;
    GLuint positionBuffer = 0;
    GLuint texCoordBuffer = 0;
    GLuint normalBuffer = 0;
    GLuint indexBuffer = 0;
    GLuint indexCount = 0;
    std::vector<GLuint> textures; // diffuse textures in material order; 0 where a load failed
    glm::vec3 maxCorner;          // largest x, y, z of the mesh's vertices
    glm::vec3 minCorner;          // smallest x, y, z of the mesh's vertices
};
