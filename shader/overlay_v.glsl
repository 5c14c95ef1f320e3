#version 330 core

// One rectangle of the overlay, placed in pixels from the top left of the picture. The screen
// quad's corners (-1..1) are stretched over the rectangle.

layout(location = 0) in vec2 corner;

uniform vec4 area;        // left, top, width, height in pixels
uniform vec2 pictureSize; // the viewport's width and height in pixels

out vec2 textCoord;

void main()
{
    // 0..1 from the rectangle's top left; a text texture's first row is its top row.
    vec2 fromTopLeft = vec2(corner.x * 0.5 + 0.5, 0.5 - corner.y * 0.5);
    textCoord = fromTopLeft;
    vec2 pixel = area.xy + fromTopLeft * area.zw;
    vec2 clip = pixel / pictureSize * 2.0 - 1.0;
    gl_Position = vec4(clip.x, -clip.y, 0.0, 1.0);
}
