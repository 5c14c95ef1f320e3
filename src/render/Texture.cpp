#include "render/Texture.h"

#include <SDL_image.h>

#include <cstdint>
#include <cstring>
#include <iostream>
#include <vector>

GLuint loadTexture(const std::string& path)
{
    SDL_Surface* surface = IMG_Load(path.c_str());
    if (!surface) {
        std::cerr << "IMG_Load error: " << SDL_GetError() << std::endl;
        return 0;
    }

    GLuint texture = 0;
    glGenTextures(1, &texture);
    glBindTexture(GL_TEXTURE_2D, texture);
    glPixelStorei(GL_UNPACK_ALIGNMENT, 1);

    if (surface->format->BytesPerPixel != 3 && surface->format->BytesPerPixel != 4) {
        std::cerr << "Error, image is not truecolor." << std::endl;
        // Palette and grey images are widened to RGBA so the texture is still usable.
        SDL_Surface* converted = SDL_ConvertSurfaceFormat(surface, SDL_PIXELFORMAT_ABGR8888, 0);
        if (converted) {
            SDL_FreeSurface(surface);
            surface = converted;
        }
    }

    const int bytesPerPixel = surface->format->BytesPerPixel;
    if (bytesPerPixel == 3 || bytesPerPixel == 4) {
        const bool redFirst = surface->format->Rmask == 0xff;
        const GLenum pixelFormat = bytesPerPixel == 4 ? (redFirst ? GL_RGBA : GL_BGRA) : (redFirst ? GL_RGB : GL_BGR);
        const GLint internalFormat = bytesPerPixel == 4 ? GL_RGBA : GL_RGB;
        // SDL may pad rows to four bytes; the upload reads them packed byte by byte.
        const std::size_t rowBytes = static_cast<std::size_t>(surface->w) * bytesPerPixel;
        std::vector<std::uint8_t> packed(rowBytes * surface->h);
        for (int row = 0; row < surface->h; ++row)
            std::memcpy(packed.data() + row * rowBytes, static_cast<const std::uint8_t*>(surface->pixels) + row * surface->pitch,
                        rowBytes);
        glTexImage2D(GL_TEXTURE_2D, 0, internalFormat, surface->w, surface->h, 0, pixelFormat, GL_UNSIGNED_BYTE,
                     packed.data());
    }

    glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_WRAP_S, GL_REPEAT);
    glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_WRAP_T, GL_REPEAT);
    glGenerateMipmap(GL_TEXTURE_2D);
    glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MIN_FILTER, GL_LINEAR_MIPMAP_LINEAR);
    glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MAG_FILTER, GL_LINEAR);

    SDL_FreeSurface(surface);
    return texture;
}
