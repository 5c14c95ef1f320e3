#version 330 core
// Draws a mesh straight in clip space, coloured by its texture coordinates and the length of its normal.
layout(location = 0) in vec3 position;
layout(location = 1) in vec2 texCoord;
layout(location = 2) in vec3 normal;
out vec3 probe;
void main() { probe = vec3(texCoord, length(normal)); gl_Position = vec4(position, 1.0); }
