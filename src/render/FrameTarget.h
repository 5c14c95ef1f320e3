#pragma once

#include "render/PictureArea.h"

#include <GL/glew.h>
#include <glm/glm.hpp>

class ShaderProgram;
struct ScreenQuad;

// Where a frame is drawn. At full scale the scene fills the picture area of the window's
// drawable at the area's own size. At a smaller scale it is drawn into part of an off-screen
// framebuffer of the area's size and scaled up into the area at the end of the frame; a new
// scale only changes the part, the buffer stays. A brightness other than 1 also draws the scene
// off screen and then into the area with the brightness as a gamma; at 1 the picture is the
// scene as drawn.
class FrameTarget {
public:
    // Follows the window's drawable; the off-screen framebuffer is made anew only when the
    // picture area's size changes. Returns the picture area.
    const PictureArea& fit(int drawableWidth, int drawableHeight);
    // The share of the area's width and height the scene is drawn at (1: the area's own size).
    void setSceneScale(float scale);
    // The gamma of the picture: above 1 brighter, below 1 darker.
    void setBrightness(float gamma);
    // The program that draws the scene into the area with the brightness (picture_v, picture_f),
    // over the quad; without them (null) the scene is shown as drawn.
    void usePictureProgram(ShaderProgram* program, const ScreenQuad* quad);

    const PictureArea& picture() const { return area; }
    glm::ivec2 drawableSize() const { return drawable; }
    glm::ivec2 sceneSize() const { return scene; }

    // Clears the bars and binds the scene's target, cleared.
    void beginScene() const;
    // Binds the scene's target again (after drawing into a shadow map): its framebuffer and a
    // viewport of the scene's size.
    void bindScene() const;
    // Scales an off-screen scene up into the picture area, with the brightness. Leaves the
    // window's framebuffer bound with the viewport at the picture area, at full size, for
    // whatever is drawn next.
    void finishScene() const;
    // Deletes the off-screen framebuffer, if there is one.
    void destroy();

private:
    // Clears colour, depth and stencil of the bound target where the scene is drawn.
    void clearScene() const;
    // Makes the off-screen framebuffer, of the area's size, when the scene is smaller than the
    // area or the brightness is not 1, else none.
    void makeSceneBuffer();
    bool needsSceneBuffer() const { return sceneScale < 1.0f || brightness != 1.0f; }
    bool offScreen() const { return framebuffer != 0; }
    // The off-screen scene drawn into the area through the picture program.
    void drawWithBrightness() const;

    glm::ivec2 drawable{800, 600};
    PictureArea area;
    float sceneScale = 1.0f;
    glm::ivec2 scene{800, 600};
    float brightness = 1.0f;
    ShaderProgram* pictureProgram = nullptr;
    const ScreenQuad* screenQuad = nullptr;
    GLint brightnessLocation = -1;
    GLint sceneShareLocation = -1;
    GLuint framebuffer = 0;  // 0 while the scene is drawn straight into the window
    GLuint colour = 0;       // the off-screen framebuffer's colour texture...
    GLuint depthStencil = 0; // ...and its depth and stencil renderbuffer
};
