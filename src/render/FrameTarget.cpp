#include "render/FrameTarget.h"

#include "render/DrawingState.h"
#include "render/ScreenQuad.h"
#include "render/ShaderProgram.h"

#include <algorithm>
#include <iostream>

namespace {

// The area's size at the scale, keeping its shape.
glm::ivec2 sceneSizeFor(const PictureArea& area, float scale)
{
    return glm::max(glm::ivec2(glm::round(glm::vec2(area.width, area.height) * scale)), glm::ivec2(1));
}

} // namespace

const PictureArea& FrameTarget::fit(int drawableWidth, int drawableHeight)
{
    const glm::ivec2 newDrawable(drawableWidth, drawableHeight);
    const PictureArea newArea = PictureArea::centredIn(drawableWidth, drawableHeight);
    if (newDrawable == drawable && newArea == area)
        return area;
    drawable = newDrawable;
    area = newArea;
    scene = sceneSizeFor(area, sceneScale);
    makeSceneBuffer();
    return area;
}

void FrameTarget::setSceneScale(float scale)
{
    const bool hadSceneBuffer = needsSceneBuffer();
    sceneScale = scale;
    scene = sceneSizeFor(area, sceneScale);
    // The buffer has the area's full size: a smaller scene only takes less of it.
    if (needsSceneBuffer() != hadSceneBuffer)
        makeSceneBuffer();
}

void FrameTarget::setBrightness(float gamma)
{
    const bool hadSceneBuffer = needsSceneBuffer();
    brightness = gamma;
    if (needsSceneBuffer() != hadSceneBuffer)
        makeSceneBuffer();
}

void FrameTarget::usePicturePrograms(ShaderProgram* brightened, ShaderProgram* shownAsDrawn, const ScreenQuad* quad)
{
    withBrightness = pictureOf(brightened);
    asDrawn = pictureOf(shownAsDrawn);
    screenQuad = quad;
}

FrameTarget::Picture FrameTarget::pictureOf(ShaderProgram* program)
{
    if (program == nullptr || !program->isLinked())
        return {};
    return {program, glGetUniformLocation(program->getProgram(), "sceneShare"),
            glGetUniformLocation(program->getProgram(), "brightness")};
}

void FrameTarget::makeSceneBuffer()
{
    destroy();
    if (!needsSceneBuffer())
        return;
    // A texture, for the picture program to read; scaled up, it is read between its texels.
    glGenTextures(1, &colour);
    glBindTexture(GL_TEXTURE_2D, colour);
    glTexImage2D(GL_TEXTURE_2D, 0, GL_RGBA8, area.width, area.height, 0, GL_RGBA, GL_UNSIGNED_BYTE, nullptr);
    glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MIN_FILTER, GL_LINEAR);
    glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MAG_FILTER, GL_LINEAR);
    glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_WRAP_S, GL_CLAMP_TO_EDGE);
    glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_WRAP_T, GL_CLAMP_TO_EDGE);
    glBindTexture(GL_TEXTURE_2D, 0);
    glGenFramebuffers(1, &framebuffer);
    glBindFramebuffer(GL_FRAMEBUFFER, framebuffer);
    glFramebufferTexture2D(GL_FRAMEBUFFER, GL_COLOR_ATTACHMENT0, GL_TEXTURE_2D, colour, 0);
    if (glCheckFramebufferStatus(GL_FRAMEBUFFER) != GL_FRAMEBUFFER_COMPLETE) {
        // The scene is then drawn at the picture area's own size, straight into the window.
        std::cerr << "FrameTarget: Framebuffer error" << std::endl;
        destroy();
        scene = glm::ivec2(area.width, area.height);
    }
    glBindFramebuffer(GL_FRAMEBUFFER, 0);
}

glm::ivec2 FrameTarget::copiedSize() const
{
    return glm::min(scene + 1, glm::ivec2(area.width, area.height));
}

void FrameTarget::beginScene() const
{
    glBindFramebuffer(GL_FRAMEBUFFER, 0);
    // A copied scene covers only part of the area, the scaled copy the rest: the bars are
    // cleared on their own. Uncopied, the scene's clear clears them too: a clear is not confined
    // to the viewport.
    if (copied() && (area.width < drawable.x || area.height < drawable.y))
        glClear(GL_COLOR_BUFFER_BIT);
    bindScene();
    clearScene();
}

void FrameTarget::clearScene() const
{
    // The stencil as well: a buffer just made, or resized by the window system, holds anything,
    // and the portal pass needs 0 outside its own steps. Depth and stencil share their buffer,
    // so clearing both costs no more than depth alone.
    glStencilMask(0xFF);
    // A copied scene need not clear the whole area: the scaled copy covers it.
    if (copied()) {
        const glm::ivec2 size = copiedSize();
        glScissor(area.x, area.y, size.x, size.y);
        glEnable(GL_SCISSOR_TEST);
    }
    glClear(GL_COLOR_BUFFER_BIT | GL_DEPTH_BUFFER_BIT | GL_STENCIL_BUFFER_BIT);
    glDisable(GL_SCISSOR_TEST);
}

void FrameTarget::bindScene() const
{
    glBindFramebuffer(GL_FRAMEBUFFER, 0);
    if (copied())
        glViewport(area.x, area.y, scene.x, scene.y);
    else
        glViewport(area.x, area.y, area.width, area.height);
}

void FrameTarget::finishScene() const
{
    if (copied()) {
        const glm::ivec2 size = copiedSize();
        glBindFramebuffer(GL_READ_FRAMEBUFFER, 0);
        glBindFramebuffer(GL_DRAW_FRAMEBUFFER, framebuffer);
        glBlitFramebuffer(area.x, area.y, area.x + size.x, area.y + size.y, 0, 0, size.x, size.y,
                          GL_COLOR_BUFFER_BIT, GL_NEAREST);
        const Picture& shown = pictureToDraw();
        if (shown.program != nullptr) {
            drawPicture(shown);
        } else {
            glBindFramebuffer(GL_READ_FRAMEBUFFER, framebuffer);
            glBindFramebuffer(GL_DRAW_FRAMEBUFFER, 0);
            glBlitFramebuffer(0, 0, scene.x, scene.y, area.x, area.y, area.x + area.width, area.y + area.height,
                              GL_COLOR_BUFFER_BIT, GL_LINEAR);
        }
        glBindFramebuffer(GL_FRAMEBUFFER, 0);
    }
    glViewport(area.x, area.y, area.width, area.height);
}

const FrameTarget::Picture& FrameTarget::pictureToDraw() const
{
    return brightness != 1.0f ? withBrightness : asDrawn;
}

// A quad through the program reads the copy filtered for less than a linear blit costs a
// software rasteriser.
void FrameTarget::drawPicture(const Picture& shown) const
{
    DrawingState kept;
    kept.keep();
    glBindFramebuffer(GL_FRAMEBUFFER, 0);
    glViewport(area.x, area.y, area.width, area.height);
    glPolygonMode(GL_FRONT_AND_BACK, GL_FILL);
    glDisable(GL_DEPTH_TEST);
    glDisable(GL_STENCIL_TEST);
    glDisable(GL_BLEND);
    shown.program->use(true);
    glUniform1f(shown.brightness, brightness);
    glUniform2f(shown.sceneShare, static_cast<float>(scene.x) / static_cast<float>(area.width),
                static_cast<float>(scene.y) / static_cast<float>(area.height));
    glBindTexture(GL_TEXTURE_2D, colour);
    screenQuad->draw();
    kept.putBack();
}

void FrameTarget::destroy()
{
    if (!copied())
        return;
    glDeleteFramebuffers(1, &framebuffer);
    glDeleteTextures(1, &colour);
    framebuffer = 0;
    colour = 0;
}
