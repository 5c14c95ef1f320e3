#version 330 core
// Uses every uniform the setters write, by the game's names, so that none is optimised away.
uniform mat4 model, norm, view, proj, depthBias, depthVP0, depthVP2;
out vec4 shade;
void main() { shade = depthBias * depthVP0 * depthVP2 * norm[0];
gl_Position = proj * view * model[0]; }
