#include "render/Mesh.h"


Mesh::Mesh(std::vector<glm::vec3> positions, std::vector<glm::vec2> texCoords, std::vector<glm::vec3> normals,
           std::vector<GLuint> indices, std::vector<GLuint> textures, glm::vec3 maxCorner, glm::vec3 minCorner)
    : indexCount(static_cast<GLuint>(indices.size())), textures(std::move(textures)), maxCorner(maxCorner),
      minCorner(minCorner)
{
    glGenVertexArrays(1, &vertexArray);
    glGenBuffers(1, &positionBuffer);
    glGenBuffers(1, &texCoordBuffer);
    glGenBuffers(1, &normalBuffer);
    glGenBuffers(1, &indexBuffer);
    glBindVertexArray(vertexArray);

    glBindBuffer(GL_ARRAY_BUFFER, positionBuffer);
    glBufferData(GL_ARRAY_BUFFER, positions.size() * sizeof(glm::vec3), positions.data(), GL_STATIC_DRAW);
    glVertexAttribPointer(0, 3, GL_FLOAT, GL_FALSE, 0, nullptr);

    glBindBuffer(GL_ARRAY_BUFFER, texCoordBuffer);
    glBufferData(GL_ARRAY_BUFFER, texCoords.size() * sizeof(glm::vec2), texCoords.data(), GL_STATIC_DRAW);
    glVertexAttribPointer(1, 2, GL_FLOAT, GL_FALSE, 0, nullptr);

    glBindBuffer(GL_ARRAY_BUFFER, normalBuffer);
    glBufferData(GL_ARRAY_BUFFER, normals.size() * sizeof(glm::vec3), normals.data(), GL_STATIC_DRAW);
    glVertexAttribPointer(2, 3, GL_FLOAT, GL_FALSE, 0, nullptr);

    glBindBuffer(GL_ELEMENT_ARRAY_BUFFER, indexBuffer);
    glBufferData(GL_ELEMENT_ARRAY_BUFFER, indices.size() * sizeof(GLuint), indices.data(), GL_STATIC_DRAW);

    glBindVertexArray(0);
}

void Mesh::draw() const
{
    glBindVertexArray(vertexArray);
    glEnableVertexAttribArray(0);
    glEnableVertexAttribArray(1);
    glEnableVertexAttribArray(2);

    for (std::size_t unit = 0; unit < textures.size(); ++unit) {
        glActiveTexture(GL_TEXTURE0 + static_cast<GLenum>(unit));
        glBindTexture(GL_TEXTURE_2D, textures[unit]);
    }

    glDrawElements(GL_TRIANGLES, static_cast<GLsizei>(indexCount), GL_UNSIGNED_INT, nullptr);

    for (std::size_t unit = 0; unit < textures.size(); ++unit) {
        glActiveTexture(GL_TEXTURE0 + static_cast<GLenum>(unit));
        glBindTexture(GL_TEXTURE_2D, 0);
    }
    glDisableVertexAttribArray(0);
    glDisableVertexAttribArray(1);
    glDisableVertexAttribArray(2);
    glBindVertexArray(0);
}

void Mesh::destroy()
{
    glDeleteVertexArrays(1, &vertexArray);
    glDeleteBuffers(1, &texCoordBuffer);
    glDeleteBuffers(1, &positionBuffer);
    glDeleteBuffers(1, &normalBuffer);
    glDeleteBuffers(1, &indexBuffer);
    for (GLuint texture : textures)
        glDeleteTextures(1, &texture);
    textures.clear();
    // A second destroy must not delete names that OpenGL has since handed to other objects.
    vertexArray = texCoordBuffer = positionBuffer = normalBuffer = indexBuffer = 0;
    indexCount = 0;
}
