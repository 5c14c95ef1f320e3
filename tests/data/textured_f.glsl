#version 330 core
// Textured, as the player sees the models, without the lights.
in vec2 uv;
uniform sampler2D diffuseTexture;
out vec4 outColor;
void main() { outColor = texture(diffuseTexture, uv); }
