#pragma once

#include <GL/glew.h>

#include <string>

// Loads an image file as a mipmapped, repeating 2D texture; 0 when it cannot be loaded. Meshes
// that name one image share its texture: each load is one more holder of it, releaseTexture
// lets one go, and the texture is deleted with its last holder.
GLuint loadTexture(const std::string& path);
void releaseTexture(GLuint texture);
