#version 330 core

// The screen quad: its 2D corners already cover the clip square.

layout(location = 0) in vec3 position;

uniform mat4 model;

out vec2 quadTexCoord;

void main()
{
    quadTexCoord = position.xy * 0.5 + 0.5;
    gl_Position = model * vec4(position.xy, 0.0, 1.0);
}
