#include "render/ShadowMap.h"

#include "render/ProjectedArea.h"

#include <algorithm>
#include <functional>
#include <iostream>

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

// The order of casters by object: any order in which each object has one place will do.
bool comesBefore(const ShadowCaster& first, const ShadowCaster& second)
{
    return std::less<const GameObject*>()(first.object, second.object);
}

// Each caster once; false when a caster is listed twice (next to itself, once sorted).
bool listsEachCasterOnce(const ShadowMapContents& contents)
{
    const auto sameObject = [](const ShadowCaster& first, const ShadowCaster& second) {
        return first.object == second.object;
    };
    return std::adjacent_find(contents.casters.begin(), contents.casters.end(), sameObject) == contents.casters.end();
}

// Texels added round a caster's rectangle: rasterisation rounds to texel centres, and a
// wireframe line may reach half a texel beyond its end points.
constexpr int TEXEL_MARGIN = 2;

} // namespace

void ShadowMapContents::sortCasters()
{
    std::sort(casters.begin(), casters.end(), comesBefore);
}

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
    ProjectedArea projected;
    if (!caster.placedByModel || !projected.addBox(caster.corners, lightViewProjection * caster.model))
        return false;
    const ProjectedArea::Pixels texels = projected.pixels(glm::ivec2(0), glm::ivec2(width, height), TEXEL_MARGIN);
    area.add({texels.from, texels.to});
    return true;
}

ShadowMapArea ShadowMap::staleArea(const ShadowMapContents& contents) const
{
    if (!drawnContents || drawnContents->lightViewProjection != contents.lightViewProjection ||
        drawnContents->wireframe != contents.wireframe)
        return wholeMap();
    if (!listsEachCasterOnce(*drawnContents) || !listsEachCasterOnce(contents))
        return wholeMap();
    // The map keeps the nearest depth of each texel, whatever the drawing order: only texels
    // under a caster that left, came or moved can change. Both lists are sorted by object, so
    // one walk along both meets each object once.
    ShadowMapArea area;
    const std::vector<ShadowCaster>& before = drawnContents->casters;
    const std::vector<ShadowCaster>& after = contents.casters;
    auto was = before.begin();
    auto is = after.begin();
    while (was != before.end() || is != after.end()) {
        const bool left = is == after.end() || (was != before.end() && comesBefore(*was, *is));
        const bool came = was == before.end() || (is != after.end() && comesBefore(*is, *was));
        const bool moved = !left && !came && !(*was == *is);
        if ((left || moved) && !addCasterArea(*was, contents.lightViewProjection, area))
            return wholeMap();
        if ((came || moved) && !addCasterArea(*is, contents.lightViewProjection, area))
            return wholeMap();
        if (!came)
            ++was;
        if (!left)
            ++is;
    }
    return area;
}

void ShadowMap::remember(const ShadowMapContents& contents)
{
    drawnContents = contents;
}

void ShadowMap::forget()
{
    drawnContents.reset();
}
