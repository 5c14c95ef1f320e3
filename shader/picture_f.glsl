#version 330 core

// The scene as the player sees it in the window: its colours raised to 1 / brightness (a gamma;
// above 1 the picture is brighter, below 1 darker), its alpha as drawn.

uniform sampler2D scene;
uniform float brightness;
uniform vec2 sceneShare;

in vec2 sceneCoord;

out vec4 outColor;

void main()
{
    // Not read beyond the part of the buffer the scene was drawn into.
    vec2 lastTexel = sceneShare - 0.5 / vec2(textureSize(scene, 0));
    vec4 drawn = texture(scene, min(sceneCoord, lastTexel));
    outColor = vec4(pow(drawn.rgb, vec3(1.0 / brightness)), drawn.a);
}
