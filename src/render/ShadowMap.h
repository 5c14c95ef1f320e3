#pragma once

#include <GL/glew.h>
#include <glm/glm.hpp>

#include <array>
#include <cstdint>
#include <optional>
#include <utility>
#include <vector>

class GameObject;

// The size in texels of the current tunnel's shadow maps, one for each of its three lights.
constexpr std::uint16_t SHADOW_MAP_WIDTH = 2048;
constexpr std::uint16_t SHADOW_MAP_HEIGHT = 1024;
constexpr std::size_t SHADOW_MAP_COUNT = 3;

// One object drawn into a shadow map, as it was placed then. The object is only named, never
// followed: it may be gone by the next frame.
struct ShadowCaster {
    const GameObject* object = nullptr;
    glm::mat4 model{1.0f};
    std::array<glm::vec3, 8> corners{}; // of its model's box
    bool placedByModel = true;          // false when it draws at a placement of its own (a portal's frame)

    bool operator==(const ShadowCaster& other) const;
};

// What a shadow map was drawn from: the light's matrix, the polygon mode and every object drawn.
// The same contents drawn again give the same depths, whatever the drawing order.
struct ShadowMapContents {
    glm::mat4 lightViewProjection{1.0f};
    bool wireframe = false;
    std::vector<ShadowCaster> casters; // sorted by object when compared (sortCasters)

    // Puts the casters in the order that lets two contents be compared side by side.
    void sortCasters();
};

// A rectangle of shadow-map texels, from (inclusive) to (exclusive); empty when to <= from.
struct ShadowMapArea {
    glm::ivec2 from{0, 0};
    glm::ivec2 to{0, 0};

    bool empty() const { return to.x <= from.x || to.y <= from.y; }
    // Grows to cover the other area as well.
    void add(const ShadowMapArea& other);
};

// An off-screen depth-only render target that one spot light fills in the shadow pass.
class ShadowMap {
public:
    ShadowMap(std::uint16_t width, std::uint16_t height);
    // Binds the map's framebuffer with a viewport of its size; the frame binds its own target
    // again afterwards.
    void bind() const;
    GLuint depthTexture() const { return depthTextureName; }
    void destroy();

    // The texels whose depths may differ between the drawn contents and these: where a caster
    // stood or stands now. Empty when nothing changed, the whole map when the light changed
    // or nothing has been drawn.
    ShadowMapArea staleArea(const ShadowMapContents& contents) const;
    // Recorded after the map was drawn from these contents (a copy into the storage of the last).
    void remember(const ShadowMapContents& contents);
    // After the depths were changed some other way (cleared for a lamp of its own).
    void forget();

private:
    ShadowMapArea wholeMap() const;
    // Adds the texels a caster covers when drawn with this light; false when that cannot be
    // bounded (part of it lies behind the light, or it draws at a placement of its own).
    bool addCasterArea(const ShadowCaster& caster, const glm::mat4& lightViewProjection, ShadowMapArea& area) const;

    std::uint16_t width;
    std::uint16_t height;
    GLuint framebuffer = 0;
    GLuint depthTextureName = 0;
    std::optional<ShadowMapContents> drawnContents; // none until drawn, and after forget
};
