#version 330 core
// The scene shaders as they were before the cone cosines moved to the vertex stage and the
// shadow taps were gathered: the reference the game's frames are compared with.

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

out vec3 worldPosition;
out vec3 worldNormal;
out vec2 surfaceTexCoord;
out vec4 shadowCoord1;
out vec4 shadowCoord2;
out vec4 shadowCoord3;

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
}
