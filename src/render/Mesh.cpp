#include "render/Mesh.h"

#include "render/Texture.h"

#include "world/ModelMesh.h"

namespace {

// Fills the bound buffer with the values of the array.
template <typename Value> void upload(GLenum target, const std::vector<Value>& values)
{
    glBufferData(target, static_cast<GLsizeiptr>(values.size() * sizeof(Value)), values.data(), GL_STATIC_DRAW);
}

} // namespace

Mesh::Mesh(const ModelMesh& shape, std::vector<GLuint> textures)
    : indexCount(static_cast<GLuint>(shape.indices.size())), textures(std::move(textures))
{
    glGenVertexArrays(1, &vertexArray);
    glGenBuffers(1, &positionBuffer);
    glGenBuffers(1, &texCoordBuffer);
    glGenBuffers(1, &normalBuffer);
    glGenBuffers(1, &indexBuffer);
    glBindVertexArray(vertexArray);

    glBindBuffer(GL_ARRAY_BUFFER, positionBuffer);
    upload(GL_ARRAY_BUFFER, shape.positions);
    glVertexAttribPointer(0, 3, GL_FLOAT, GL_FALSE, 0, nullptr);

    glBindBuffer(GL_ARRAY_BUFFER, texCoordBuffer);
    upload(GL_ARRAY_BUFFER, shape.texCoords);
    glVertexAttribPointer(1, 2, GL_FLOAT, GL_FALSE, 0, nullptr);

    glBindBuffer(GL_ARRAY_BUFFER, normalBuffer);
    upload(GL_ARRAY_BUFFER, shape.normals);
    glVertexAttribPointer(2, 3, GL_FLOAT, GL_FALSE, 0, nullptr);

    glBindBuffer(GL_ELEMENT_ARRAY_BUFFER, indexBuffer);
    upload(GL_ELEMENT_ARRAY_BUFFER, shape.indices);

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
        releaseTexture(texture);
    textures.clear();
    // A second destroy must not delete names that OpenGL has since handed to other objects.
    vertexArray = texCoordBuffer = positionBuffer = normalBuffer = indexBuffer = 0;
    indexCount = 0;
}
