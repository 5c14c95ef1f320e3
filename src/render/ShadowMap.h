#pragma once

#include <GL/glew.h>
#include <glm/glm.hpp>

#include <cstdint>
#include <optional>
#include <utility>
#include <vector>

class GameObject;

// What a shadow map was drawn from: the light's matrix, the polygon mode and every object drawn
// with its model matrix, in drawing order. The same contents drawn again give the same depths.
struct ShadowMapContents {
    glm::mat4 lightViewProjection{1.0f};
    bool wireframe = false;
    std::vector<std::pair<const GameObject*, glm::mat4>> casters;

    bool operator==(const ShadowMapContents& other) const;
};

// An off-screen depth-only render target that one spot light fills in the shadow pass.
class ShadowMap {
public:
    ShadowMap(std::uint16_t width, std::uint16_t height, std::uint16_t screenWidth, std::uint16_t screenHeight);
    void bind() const;
    void unbind() const;
    GLuint depthTexture() const { return depthTextureName; }
    void destroy();

    // Whether the map's depths are those of these contents, so drawing them again is not needed.
    bool holds(const ShadowMapContents& contents) const;
    // Recorded after the map was drawn from these contents.
    void remember(ShadowMapContents contents);
    // After the depths were changed some other way (cleared for a lamp of its own).
    void forget();

private:
    std::uint16_t width;
    std::uint16_t height;
    std::uint16_t screenWidth;
    std::uint16_t screenHeight;
    GLuint framebuffer = 0;
    GLuint depthTextureName = 0;
    std::optional<ShadowMapContents> drawnContents; // none until drawn, and after forget
};

extern std::vector<ShadowMap*> shadowMaps;
