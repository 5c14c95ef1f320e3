#include "render/ShadowMap.h"

#include <iostream>
#include <limits>
#include <map>

std::vector<ShadowMap*> shadowMaps;

ShadowMap::ShadowMap(std::uint16_t width, std::uint16_t height) : width(width), height(height)
{
    glGenFramebuffers(1, &framebuffer);
    glBindFramebuffer(GL_FRAMEBUFFER, framebuffer);
    // Only depth is rendered from the light; there is no colour to write or read.
    glDrawBuffer(GL_NONE);
    glReadBuffer(GL_NONE);

    glGenTextures(1, &depthTextureName);
    glBindTexture(GL_TEXTURE_2D, depthTextureName);
    glTexImage2D(GL_TEXTURE_2D, 0, GL_DEPTH_COMPONENT24, width, height, 0, GL_DEPTH_COMPONENT, GL_FLOAT, nullptr);
    glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MAG_FILTER, GL_NEAREST);
    glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MIN_FILTER, GL_NEAREST);
    // The scene shader samples it as a shadow sampler: the lookup answers "lit or not".
    glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_COMPARE_MODE, GL_COMPARE_REF_TO_TEXTURE);
    glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_COMPARE_FUNC, GL_LEQUAL);
    glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_WRAP_S, GL_CLAMP_TO_EDGE);
    glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_WRAP_T, GL_CLAMP_TO_EDGE);

    glFramebufferTexture(GL_FRAMEBUFFER, GL_DEPTH_ATTACHMENT, depthTextureName, 0);
    if (glCheckFramebufferStatus(GL_FRAMEBUFFER) != GL_FRAMEBUFFER_COMPLETE)
        std::cerr << "ShadowMap: Framebuffer error" << std::endl;
    glBindFramebuffer(GL_FRAMEBUFFER, 0);
}

void ShadowMap::bind() const
{
    glBindFramebuffer(GL_FRAMEBUFFER, framebuffer);
    glViewport(0, 0, width, height);
}

void ShadowMap::destroy()
{
    glDeleteFramebuffers(1, &framebuffer);
    glDeleteTextures(1, &depthTextureName);
    framebuffer = 0;
    depthTextureName = 0;
    forget();
}

bool ShadowCaster::operator==(const ShadowCaster& other) const
{
    return object == other.object && model == other.model && corners == other.corners &&
           placedByModel == other.placedByModel;
}

namespace {

using CasterPlacements = std::map<const GameObject*, ShadowCaster>;

// Each caster once, at its placement; false when a caster is listed twice.
bool placementsOf(const ShadowMapContents& contents, CasterPlacements& placements)
{
    for (const ShadowCaster& caster : contents.casters)
        placements.emplace(caster.object, caster);
    return placements.size() == contents.casters.size();
}

// Points this near the light's eye plane (or behind it) have no place on the map.
constexpr float SMALLEST_LIGHT_DISTANCE = 1e-3f;
// Texels added round a caster's rectangle: rasterisation rounds to texel centres, and a
// wireframe line may reach half a texel beyond its end points.
constexpr int TEXEL_MARGIN = 2;

} // namespace

void ShadowMapArea::add(const ShadowMapArea& other)
{
    if (other.empty())
        return;
    if (empty()) {
        *this = other;
        return;
    }
    from = glm::min(from, other.from);
    to = glm::max(to, other.to);
}

ShadowMapArea ShadowMap::wholeMap() const
{
    return {glm::ivec2(0), glm::ivec2(width, height)};
}

bool ShadowMap::addCasterArea(const ShadowCaster& caster, const glm::mat4& lightViewProjection,
                              ShadowMapArea& area) const
{
    if (!caster.placedByModel)
        return false;
    const glm::mat4 modelToClip = lightViewProjection * caster.model;
    glm::vec2 low(std::numeric_limits<float>::max());
    glm::vec2 high(std::numeric_limits<float>::lowest());
    for (const glm::vec3& corner : caster.corners) {
        const glm::vec4 clip = modelToClip * glm::vec4(corner, 1.0f);
        if (clip.w <= SMALLEST_LIGHT_DISTANCE)
            return false;
        low = glm::min(low, glm::vec2(clip) / clip.w);
        high = glm::max(high, glm::vec2(clip) / clip.w);
    }
    const glm::vec2 size(width, height);
    const glm::vec2 first = glm::floor((low * 0.5f + 0.5f) * size) - static_cast<float>(TEXEL_MARGIN);
    const glm::vec2 last = glm::ceil((high * 0.5f + 0.5f) * size) + static_cast<float>(TEXEL_MARGIN);
    const glm::vec2 from = glm::clamp(first, glm::vec2(0.0f), size);
    const glm::vec2 to = glm::clamp(last, glm::vec2(0.0f), size);
    area.add({glm::ivec2(from), glm::ivec2(to)});
    return true;
}

ShadowMapArea ShadowMap::staleArea(const ShadowMapContents& contents) const
{
    if (!drawnContents || drawnContents->lightViewProjection != contents.lightViewProjection ||
        drawnContents->wireframe != contents.wireframe)
        return wholeMap();
    CasterPlacements before;
    CasterPlacements after;
    if (!placementsOf(*drawnContents, before) || !placementsOf(contents, after))
        return wholeMap();
    // The map keeps the nearest depth of each texel, whatever the drawing order: only texels
    // under a caster that left, came or moved can change.
    ShadowMapArea area;
    auto addChangedCasters = [&](const CasterPlacements& these, const CasterPlacements& others) {
        for (const auto& [object, caster] : these) {
            const auto other = others.find(object);
            if (other != others.end() && other->second == caster)
                continue;
            if (!addCasterArea(caster, contents.lightViewProjection, area))
                return false;
        }
        return true;
    };
    if (!addChangedCasters(before, after) || !addChangedCasters(after, before))
        return wholeMap();
    return area;
}

void ShadowMap::remember(ShadowMapContents contents)
{
    drawnContents = std::move(contents);
}

void ShadowMap::forget()
{
    drawnContents.reset();
}
