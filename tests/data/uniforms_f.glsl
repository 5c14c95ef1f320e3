#version 330 core
// The light and shadow-map uniforms of the game, all used.
struct SpotLight { vec3 position; vec3 direction; vec3 intensity; float angle; };
uniform SpotLight spotLight3;
uniform sampler2DShadow shadowMap2;
in vec4 shade;
out vec4 outColor;
void main() { outColor = shade + texture(shadowMap2, vec3(0.5)) * vec4(spotLight3.position + spotLight3.direction + spotLight3.intensity, spotLight3.angle); }
