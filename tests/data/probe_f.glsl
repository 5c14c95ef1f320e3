#version 330 core
// The colour the probe vertex stage worked out.
in vec3 probe;
out vec4 outColor;
void main() { outColor = vec4(probe, 1.0); }
