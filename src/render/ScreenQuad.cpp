#include "render/ScreenQuad.h"

namespace {
// The clip square's corners as two triangles sharing the diagonal.
const GLfloat QUAD_CORNERS[] = {-1.0f, 1.0f, -1.0f, -1.0f, 1.0f, 1.0f, 1.0f, -1.0f};
const GLuint QUAD_INDICES[] = {0, 1, 2, 1, 2, 3};
constexpr GLsizei QUAD_INDEX_COUNT = 6;
} // namespace

void ScreenQuad::create()
{
    glGenVertexArrays(1, &vertexArray);
    glBindVertexArray(vertexArray);

    glGenBuffers(1, &vertexBuffer);
    glBindBuffer(GL_ARRAY_BUFFER, vertexBuffer);
    glBufferData(GL_ARRAY_BUFFER, sizeof(QUAD_CORNERS), QUAD_CORNERS, GL_STATIC_DRAW);
    glVertexAttribPointer(0, 2, GL_FLOAT, GL_FALSE, 0, nullptr);

    glGenBuffers(1, &indexBuffer);
    glBindBuffer(GL_ELEMENT_ARRAY_BUFFER, indexBuffer);
    glBufferData(GL_ELEMENT_ARRAY_BUFFER, sizeof(QUAD_INDICES), QUAD_INDICES, GL_STATIC_DRAW);

    glBindVertexArray(0);
}

// The attribute array stays disabled between draws, as the meshes leave theirs.
void ScreenQuad::draw() const
{
    glBindVertexArray(vertexArray);
    glEnableVertexAttribArray(0);
    glDrawElements(GL_TRIANGLES, QUAD_INDEX_COUNT, GL_UNSIGNED_INT, nullptr);
    glDisableVertexAttribArray(0);
    glBindVertexArray(0);
}

void ScreenQuad::destroy()
{
    glDeleteVertexArrays(1, &vertexArray);
    glDeleteBuffers(1, &vertexBuffer);
    glDeleteBuffers(1, &indexBuffer);
    vertexArray = 0;
    vertexBuffer = 0;
    indexBuffer = 0;
}
