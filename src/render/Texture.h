#pragma once

#include <GL/glew.h>

#include <string>

// Loads an image file as a mipmapped, repeating 2D texture; 0 when it cannot be loaded.
GLuint loadTexture(const std::string& path);
