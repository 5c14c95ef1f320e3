#version 330 core

// A filled rectangle in one colour, or text: the glyphs' coverage (texture unit 0) in that colour.

uniform vec4 colour;
uniform bool textured;
uniform sampler2D glyphs;

in vec2 textCoord;

out vec4 outColor;

void main()
{
    float coverage = textured ? texture(glyphs, textCoord).a : 1.0;
    outColor = vec4(colour.rgb, colour.a * coverage);
}
