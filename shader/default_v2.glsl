#version 330 core

// Lit scene: world-space position and normal for the spot lights, and the position in each
// light's shadow-map space.

layout(location = 0) in vec3 position;
layout(location = 1) in vec2 texCoord;
layout(location = 2) in vec3 normal;

uniform mat4 model;
uniform mat4 norm; // inverse of the model matrix
uniform mat4 view;
uniform mat4 proj;
uniform mat4 depthBias;
uniform mat4 depthVP1;
uniform mat4 depthVP2;
uniform mat4 depthVP3;

struct SpotLight {
    vec3 position;
    vec3 direction;
    vec3 intensity;
    float angle; // cone half-angle in degrees
};

uniform SpotLight spotLight1;
uniform SpotLight spotLight2;
uniform SpotLight spotLight3;

out vec3 worldPosition;
out vec3 worldNormal;
out vec2 surfaceTexCoord;
out vec4 shadowCoord1;
out vec4 shadowCoord2;
out vec4 shadowCoord3;
flat out vec2 coneCosines1;
flat out vec2 coneCosines2;
flat out vec2 coneCosines3;
flat out vec3 coneAxis1;
flat out vec3 coneAxis2;
flat out vec3 coneAxis3;

// A light's pool is brightest under it and fades out towards this share of the cone angle.
const float CORE_SHARE = 0.25;

// Cosines of the cone's edge and of its bright core.
vec2 coneCosines(SpotLight light)
{
    return vec2(cos(radians(light.angle)), cos(radians(light.angle * CORE_SHARE)));
}

void main()
{
    vec4 world = model * vec4(position, 1.0);
    worldPosition = world.xyz;
    worldNormal = mat3(transpose(norm)) * normal;
    surfaceTexCoord = texCoord;
    shadowCoord1 = depthBias * depthVP1 * world;
    shadowCoord2 = depthBias * depthVP2 * world;
    shadowCoord3 = depthBias * depthVP3 * world;
    gl_Position = proj * view * world;
    coneCosines1 = coneCosines(spotLight1);
    coneCosines2 = coneCosines(spotLight2);
    coneCosines3 = coneCosines(spotLight3);
    coneAxis1 = normalize(spotLight1.direction);
    coneAxis2 = normalize(spotLight2.direction);
    coneAxis3 = normalize(spotLight3.direction);
}
