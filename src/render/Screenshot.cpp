#include "render/Screenshot.h"

#include "render/FrameTarget.h"

#include <GL/glew.h>
#include <SDL_image.h>

#include <cstdint>
#include <cstring>
#include <vector>

std::vector<std::uint8_t> readFrame(const FrameTarget& target)
{
    const glm::ivec2 size = target.drawableSize();
    const std::size_t rowBytes = static_cast<std::size_t>(size.x) * 4;
    std::vector<std::uint8_t> rgba(rowBytes * static_cast<std::size_t>(size.y));
    glBindFramebuffer(GL_FRAMEBUFFER, 0);
    glPixelStorei(GL_PACK_ALIGNMENT, 1);
    glReadPixels(0, 0, size.x, size.y, GL_RGBA, GL_UNSIGNED_BYTE, rgba.data());
    return rgba;
}

bool saveScreenshot(const FrameTarget& target, const std::string& path)
{
    const glm::ivec2 size = target.drawableSize();
    const std::size_t rowBytes = static_cast<std::size_t>(size.x) * 4;
    const std::vector<std::uint8_t> rgba = readFrame(target);
    SDL_Surface* surface = SDL_CreateRGBSurfaceWithFormat(0, size.x, size.y, 32, SDL_PIXELFORMAT_ABGR8888);
    if (!surface)
        return false;
    // OpenGL counts rows from the bottom, images from the top.
    for (int row = 0; row < size.y; ++row)
        std::memcpy(static_cast<std::uint8_t*>(surface->pixels) + row * surface->pitch,
                    rgba.data() + static_cast<std::size_t>(size.y - 1 - row) * rowBytes, rowBytes);
    bool saved = IMG_SavePNG(surface, path.c_str()) == 0;
    SDL_FreeSurface(surface);
    return saved;
}
