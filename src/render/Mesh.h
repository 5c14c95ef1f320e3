#pragma once

#include <GL/glew.h>
#include <glm/glm.hpp>

#include <vector>

struct ModelMesh;

// One piece of a model with one material, uploaded once to the GPU with its diffuse textures.
class Mesh {
public:
    Mesh(const ModelMesh& shape, std::vector<GLuint> textures);

    // Binds the diffuse textures to units 0.. with the filters of the current settings and draws.
    void draw() const;
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
};
