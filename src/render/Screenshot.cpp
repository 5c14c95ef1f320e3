#include "render/Screenshot.h"

#include "render/WindowSize.h"

#include <GL/glew.h>
#include <SDL_image.h>

#include <cstdint>
#include <cstring>
#include <vector>

namespace {

constexpr int WIDTH = WINDOW_WIDTH;
constexpr int HEIGHT = WINDOW_HEIGHT;

} // namespace

std::vector<std::uint8_t> readFrame()
{
    std::vector<std::uint8_t> rgba(WIDTH * HEIGHT * 4);
    glPixelStorei(GL_PACK_ALIGNMENT, 1);
    glReadPixels(0, 0, WIDTH, HEIGHT, GL_RGBA, GL_UNSIGNED_BYTE, rgba.data());
    return rgba;
}

bool saveScreenshot(const std::string& path)
{
    const std::vector<std::uint8_t> rgba = readFrame();
    SDL_Surface* surface = SDL_CreateRGBSurfaceWithFormat(0, WIDTH, HEIGHT, 32, SDL_PIXELFORMAT_ABGR8888);
    if (!surface)
        return false;
    // OpenGL counts rows from the bottom, images from the top.
    for (int row = 0; row < HEIGHT; ++row)
        std::memcpy(static_cast<std::uint8_t*>(surface->pixels) + row * surface->pitch,
                    rgba.data() + (HEIGHT - 1 - row) * WIDTH * 4, WIDTH * 4);
    bool saved = IMG_SavePNG(surface, path.c_str()) == 0;
    SDL_FreeSurface(surface);
    return saved;
}
