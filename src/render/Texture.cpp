#include "render/Texture.h"

#include <SDL_image.h>

#include <algorithm>
#include <array>
#include <cstdint>
#include <cstring>
#include <fstream>
#include <iostream>
#include <unordered_map>
#include <utility>
#include <vector>

namespace {

// No texture of the game comes near this; a header claiming more is corrupt. SDL_image would
// allocate and clear the whole surface before finding the pixel data missing.
constexpr std::uint64_t MAX_TEXTURE_PIXELS = 8192ull * 8192ull;

// Width and height from a PNG file's header (its first chunk), or 0 x 0 for any other file.
std::pair<std::uint32_t, std::uint32_t> pngHeaderSize(const std::string& path)
{
    static const unsigned char PNG_SIGNATURE[8] = {0x89, 'P', 'N', 'G', '\r', '\n', 0x1a, '\n'};
    std::array<unsigned char, 24> header{};
    std::ifstream file(path, std::ios::binary);
    if (!file.read(reinterpret_cast<char*>(header.data()), header.size()) ||
        std::memcmp(header.data(), PNG_SIGNATURE, sizeof PNG_SIGNATURE) != 0 ||
        std::memcmp(header.data() + 12, "IHDR", 4) != 0)
        return {0, 0};
    auto bigEndian = [&header](int offset) {
        return std::uint32_t(header[offset]) << 24 | std::uint32_t(header[offset + 1]) << 16 |
               std::uint32_t(header[offset + 2]) << 8 | std::uint32_t(header[offset + 3]);
    };
    return {bigEndian(16), bigEndian(20)};
}

// Reads the image file into a new texture; 0 when it cannot be read.
GLuint readTexture(const std::string& path)
{
    const auto [claimedWidth, claimedHeight] = pngHeaderSize(path);
    if (std::uint64_t(claimedWidth) * claimedHeight > MAX_TEXTURE_PIXELS) {
        std::cerr << "IMG_Load error: " << path << " claims " << claimedWidth << " x " << claimedHeight
                  << " pixels, more than a texture may have" << std::endl;
        return 0;
    }

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
            std::memcpy(packed.data() + row * rowBytes,
                        static_cast<const std::uint8_t*>(surface->pixels) + row * surface->pitch, rowBytes);
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

// The textures read so far, by path, and how many holders each has: the level's meshes name the
// same few images many times over, and each copy would take its memory again.
struct SharedTexture {
    GLuint texture = 0;
    int holders = 0;
};
std::unordered_map<std::string, SharedTexture> texturesByPath;

} // namespace

GLuint loadTexture(const std::string& path)
{
    const auto known = texturesByPath.find(path);
    if (known != texturesByPath.end()) {
        ++known->second.holders;
        return known->second.texture;
    }
    const GLuint texture = readTexture(path);
    if (texture != 0)
        texturesByPath[path] = {texture, 1};
    return texture;
}

void releaseTexture(GLuint texture)
{
    const auto shared = std::find_if(texturesByPath.begin(), texturesByPath.end(),
                                     [texture](const auto& entry) { return entry.second.texture == texture; });
    if (shared == texturesByPath.end() || --shared->second.holders > 0)
        return;
    texturesByPath.erase(shared);
    glDeleteTextures(1, &texture);
}
