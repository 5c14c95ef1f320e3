#version 330 core

// The scene as the player sees it in the window: its colours raised to 1 / brightness (a gamma;
// above 1 the picture is brighter, below 1 darker), its alpha as drawn.

uniform sampler2D scene;
uniform float brightness;

in vec2 sceneCoord;

out vec4 outColor;

void main()
{
    vec4 drawn = texture(scene, sceneCoord);
    outColor = vec4(pow(drawn.rgb, vec3(1.0 / brightness)), drawn.a);
}
