#version 330 core

// Depth from the light: only the position is transformed.

layout(location = 0) in vec3 position;

uniform mat4 model;
uniform mat4 depthVP0;

void main()
{
    gl_Position = depthVP0 * model * vec4(position, 1.0);
}
