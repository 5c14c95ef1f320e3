#version 330 core

// The shadow framebuffer has no colour buffer; the depth is written by the fixed pipeline.

out vec4 outColor;

void main()
{
    outColor = vec4(1.0);
}
