#pragma once

#include "render/PictureArea.h"

#include <GL/glew.h>
#include <glm/glm.hpp>

class ShaderProgram;
struct ScreenQuad;

// Where a frame is drawn: always into the window, in the picture area of its drawable. At full
// scale the scene fills the area at the area's own size. At a smaller scale it is drawn into the
// area's lower-left part, copied into a texture of the area's size and drawn from there over the
// whole area at the end of the frame, filtered; a new scale only changes the part, the texture
// stays. A brightness other than 1 also copies the scene and draws it back with the brightness as
// a gamma; at 1 the picture is the scene as drawn. The scene always uses the window's depth and
// stencil, so a copied scene costs a colour texture and no second depth buffer (7.7 MB at
// 1600 x 1200).
class FrameTarget {
public:
    // Follows the window's drawable; the scene's copy is made anew only when the picture area's
    // size changes. Returns the picture area.
    const PictureArea& fit(int drawableWidth, int drawableHeight);
    // The share of the area's width and height the scene is drawn at (1: the area's own size).
    void setSceneScale(float scale);
    // The gamma of the picture: above 1 brighter, below 1 darker.
    void setBrightness(float gamma);
    // The programs that draw a copied scene into the area over the quad: with the brightness
    // (picture_v, picture_f) and as drawn (picture_v, scaleUp_f). Without them (null, or not
    // linked) the scene is shown as drawn, scaled up by a blit.
    void usePicturePrograms(ShaderProgram* withBrightness, ShaderProgram* asDrawn, const ScreenQuad* quad);

    const PictureArea& picture() const { return area; }
    glm::ivec2 drawableSize() const { return drawable; }
    glm::ivec2 sceneSize() const { return scene; }

    // Clears the bars and binds the scene's target, cleared.
    void beginScene() const;
    // Binds the scene's target again (after drawing into a shadow map): the window's framebuffer
    // and a viewport of the scene's size.
    void bindScene() const;
    // Scales a copied scene up into the picture area, with the brightness. Leaves the window's
    // framebuffer bound with the viewport at the picture area, at full size, for whatever is
    // drawn next.
    void finishScene() const;
    // Deletes the scene's copy, if there is one.
    void destroy();

private:
    // Clears colour, depth and stencil where the scene is drawn.
    void clearScene() const;
    // Makes the scene's copy, of the area's size, when the scene is smaller than the area or the
    // brightness is not 1, else none.
    void makeSceneBuffer();
    bool needsSceneBuffer() const { return sceneScale < 1.0f || brightness != 1.0f; }
    bool copied() const { return framebuffer != 0; }
    // The scene and the texel beyond its edges, which stays cleared, as the linear filter of a
    // blit that scales it up may reach it.
    glm::ivec2 copiedSize() const;
    // A program that draws the copied scene, with its uniforms' locations.
    struct Picture {
        ShaderProgram* program = nullptr;
        GLint sceneShare = -1;
        GLint brightness = -1;
    };
    static Picture pictureOf(ShaderProgram* program);
    // Which picture draws the copied scene; one without a program stands for the blit.
    const Picture& pictureToDraw() const;
    // The copied scene drawn into the area through the picture's program.
    void drawPicture(const Picture& picture) const;

    glm::ivec2 drawable{800, 600};
    PictureArea area;
    float sceneScale = 1.0f;
    glm::ivec2 scene{800, 600};
    float brightness = 1.0f;
    Picture withBrightness;
    Picture asDrawn;
    const ScreenQuad* screenQuad = nullptr;
    GLuint colour = 0;      // the texture the scene is copied into, 0 while it is not copied...
    GLuint framebuffer = 0; // ...and the framebuffer that reads it when scaling it up
};
