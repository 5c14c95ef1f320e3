#pragma once

#include <GL/glew.h>

// Two triangles covering the clip square, for showing a shadow map with the debug program and
// the off-screen scene with its brightness; the overlay stretches them over its rectangles.
struct ScreenQuad {
    GLuint vertexArray = 0;
    GLuint vertexBuffer = 0;
    GLuint indexBuffer = 0;

    void create();
    void draw() const;
    void destroy();
};
