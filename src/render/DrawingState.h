#pragma once

#include <GL/glew.h>

// The drawing state that a pass over the finished picture (the overlay, the brightness) changes,
// as it found it: polygon mode, depth and stencil tests, blending, the program and the texture of
// unit 0. Such a pass keeps it first and puts it back when it is done.
class DrawingState {
public:
    void keep();
    void putBack() const;

private:
    GLint polygonMode = GL_FILL;
    GLboolean depthTest = GL_FALSE;
    GLboolean stencilTest = GL_FALSE;
    GLboolean blend = GL_FALSE;
    GLint blendSourceRgb = GL_ONE, blendDestinationRgb = GL_ZERO;
    GLint blendSourceAlpha = GL_ONE, blendDestinationAlpha = GL_ZERO;
    GLint program = 0;
    GLint activeTexture = GL_TEXTURE0;
    GLint texture = 0; // bound to unit 0
};
