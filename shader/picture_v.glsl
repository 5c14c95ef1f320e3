#version 330 core

// The finished scene over the whole viewport: the screen quad's corners (-1..1) are the
// viewport's, and the scene is read from its buffer's bottom left (0, 0) to the share of the
// buffer it was drawn into.

layout(location = 0) in vec2 corner;

uniform vec2 sceneShare;

out vec2 sceneCoord;

void main()
{
    sceneCoord = (corner * 0.5 + 0.5) * sceneShare;
    gl_Position = vec4(corner, 0.0, 1.0);
}
