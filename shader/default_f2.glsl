#version 330 core
// Where the driver can gather a 2 x 2 block of shadow comparisons at once, one lookup replaces four.
#extension GL_ARB_gpu_shader5 : enable

// Three spot lights with soft shadows over the diffuse texture, plus a little ambient light
// so that the corners between the light pools stay readable.

struct SpotLight {
    vec3 position;
    vec3 direction;
    vec3 intensity;
    float angle; // cone half-angle in degrees
};

uniform SpotLight spotLight1;
uniform SpotLight spotLight2;
uniform SpotLight spotLight3;
uniform sampler2DShadow shadowMap1;
uniform sampler2DShadow shadowMap2;
uniform sampler2DShadow shadowMap3;
uniform sampler2D diffuseTexture; // texture unit 0

in vec3 worldPosition;
in vec3 worldNormal;
in vec2 surfaceTexCoord;
in vec4 shadowCoord1;
in vec4 shadowCoord2;
in vec4 shadowCoord3;
// Per light: the cosines of the cone's edge and core, and the unit cone axis (the same for
// every fragment, so worked out per vertex).
flat in vec2 coneCosines1;
flat in vec2 coneCosines2;
flat in vec2 coneCosines3;
flat in vec3 coneAxis1;
flat in vec3 coneAxis2;
flat in vec3 coneAxis3;

out vec4 outColor;

// The lights this program runs, a bit each (1, 2, 4). The game also links it for each subset
// and draws an object with only the lights that can reach it: one outside a light's cone gets
// nothing from that light.
#ifndef LIT_BY
#define LIT_BY 7
#endif

const vec3 AMBIENT = vec3(0.19, 0.19, 0.22);
// Old tunnel lamps: a warm white.
const vec3 LAMP_TINT = vec3(1.0, 0.9, 0.75);
// Distance fall-off, scaled so that a floor 40 below a light gets its full intensity.
const float FALLOFF = 1.0 / 1600.0;
const float LIGHT_GAIN = 2.6;
// The depth bias that keeps lit surfaces from shadowing themselves; it grows where the light
// grazes the surface.
const float MIN_BIAS = 0.00002;
const float SLOPE_BIAS = 0.00008;
const float MAX_BIAS = 0.0008;

// Share of the light that reaches the point, from four comparisons around it (2 x 2 PCF).
float lightVisibility(sampler2DShadow shadowMap, vec4 shadowCoord, float cosIncidence)
{
    vec3 coord = shadowCoord.xyz / shadowCoord.w;
    if (coord.z >= 1.0)
        return 1.0; // beyond the light's far plane nothing was recorded
    float slope = sqrt(max(1.0 - cosIncidence * cosIncidence, 0.0)) / max(cosIncidence, 0.05);
    float reference = coord.z - min(MIN_BIAS + SLOPE_BIAS * slope, MAX_BIAS);
#ifdef GL_ARB_gpu_shader5
    // The four texels around the point are the ones the four half-texel taps below would pick.
    vec4 gathered = textureGather(shadowMap, coord.xy, reference);
    float lit = gathered.x + gathered.y + gathered.z + gathered.w;
#else
    // Maps come in more than one size: the tunnel's own and the smaller ones of portal views.
    vec2 texel = 1.0 / vec2(textureSize(shadowMap, 0));
    float lit = texture(shadowMap, vec3(coord.xy + vec2(-0.5, -0.5) * texel, reference));
    lit += texture(shadowMap, vec3(coord.xy + vec2(0.5, -0.5) * texel, reference));
    lit += texture(shadowMap, vec3(coord.xy + vec2(-0.5, 0.5) * texel, reference));
    lit += texture(shadowMap, vec3(coord.xy + vec2(0.5, 0.5) * texel, reference));
#endif
    return lit * 0.25;
}

vec3 spotLighting(SpotLight light, vec2 coneCosines, vec3 coneAxis, sampler2DShadow shadowMap, vec4 shadowCoord,
                  vec3 normal)
{
    vec3 toLight = light.position - worldPosition;
    float distanceSquared = dot(toLight, toLight);
    vec3 lightDirection = toLight * inversesqrt(max(distanceSquared, 0.0001));
    float cosToAxis = dot(-lightDirection, coneAxis);
    float cosEdge = coneCosines.x;
    float cosIncidence = dot(normal, lightDirection);
    if (cosToAxis <= cosEdge || cosIncidence <= 0.0)
        return vec3(0.0);
    float cone = smoothstep(cosEdge, coneCosines.y, cosToAxis);
    cone *= cone;
    float attenuation = 1.0 / (1.0 + distanceSquared * FALLOFF);
    float visibility = lightVisibility(shadowMap, shadowCoord, cosIncidence);
    return light.intensity * LAMP_TINT * (LIGHT_GAIN * cone * attenuation * cosIncidence * visibility);
}

void main()
{
    vec4 texel = texture(diffuseTexture, surfaceTexCoord);
    vec3 normal = normalize(worldNormal);
    vec3 light = AMBIENT;
#if (LIT_BY & 1) != 0
    light += spotLighting(spotLight1, coneCosines1, coneAxis1, shadowMap1, shadowCoord1, normal);
#endif
#if (LIT_BY & 2) != 0
    light += spotLighting(spotLight2, coneCosines2, coneAxis2, shadowMap2, shadowCoord2, normal);
#endif
#if (LIT_BY & 4) != 0
    light += spotLighting(spotLight3, coneCosines3, coneAxis3, shadowMap3, shadowCoord3, normal);
#endif
    outColor = vec4(texel.rgb * light, texel.a);
}
