#version 330 core

// The scene as drawn, scaled up into the window. The picture program does the same with a gamma,
// whose power costs a software rasteriser more than the filtered read itself.

uniform sampler2D scene;
uniform vec2 sceneShare;

in vec2 sceneCoord;

out vec4 outColor;

void main()
{
    // Not read beyond the part of the buffer the scene was drawn into.
    vec2 lastTexel = sceneShare - 0.5 / vec2(textureSize(scene, 0));
    outColor = texture(scene, min(sceneCoord, lastTexel));
}
