#version 330 core

// Shows a shadow map (bound to unit 0) as grey levels of distance from the light: near is dark,
// far is bright. The texture compares instead of returning depth, so the distance is found by
// counting how many reference distances lie in front of the stored depth.

uniform sampler2DShadow depthMap;

in vec2 quadTexCoord;

out vec4 outColor;

// The lights' near and far planes.
const float NEAR = 1.0;
const float FAR = 70.0;
const int LEVELS = 32;

// Window depth in [0, 1] of a point this far in front of the light.
float depthAt(float distanceFromLight)
{
    float ndc = (FAR + NEAR) / (FAR - NEAR) - 2.0 * FAR * NEAR / ((FAR - NEAR) * distanceFromLight);
    return ndc * 0.5 + 0.5;
}

void main()
{
    float nearer = 0.0;
    for (int level = 1; level <= LEVELS; ++level) {
        float distanceFromLight = NEAR + (FAR - NEAR) * float(level) / float(LEVELS);
        // 1 when the recorded surface is at least this far away
        nearer += texture(depthMap, vec3(quadTexCoord, depthAt(distanceFromLight)));
    }
    outColor = vec4(vec3(nearer / float(LEVELS)), 1.0);
}
