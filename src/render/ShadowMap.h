#pragma once

#include <GL/glew.h>

#include <cstdint>
#include <vector>

// An off-screen depth-only render target that one spot light fills in the shadow pass.
class ShadowMap {
public:
    ShadowMap(std::uint16_t width, std::uint16_t height, std::uint16_t screenWidth, std::uint16_t screenHeight);
    void bind() const;
    void unbind() const;
    GLuint depthTexture() const { return depthTextureName; }
    void destroy();

private:
    std::uint16_t width;
    std::uint16_t height;
    std::uint16_t screenWidth;
    std::uint16_t screenHeight;
    GLuint framebuffer = 0;
    GLuint depthTextureName = 0;
};

extern std::vector<ShadowMap*> shadowMaps;
