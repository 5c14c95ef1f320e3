#pragma once

#include <GL/glew.h>

#include <string>

// Loads an image file as a mipmapped, repeating 2D texture; 0 when it cannot be loaded. A path
// loaded before gives the same texture again while that texture has not been deleted: meshes
// that name one image share it (and deleting it takes it from all of them).
GLuint loadTexture(const std::string& path);
