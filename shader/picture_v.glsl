#version 330 core

// The finished scene over the whole viewport: the screen quad's corners (-1..1) are the
// viewport's, and the scene's texture is read from its bottom left (0, 0) to its top right.

layout(location = 0) in vec2 corner;

out vec2 sceneCoord;

void main()
{
    sceneCoord = corner * 0.5 + 0.5;
    gl_Position = vec4(corner, 0.0, 1.0);
}
