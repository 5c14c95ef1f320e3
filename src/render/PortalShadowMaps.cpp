#include "render/PortalShadowMaps.h"

#include "render/ShadowMap.h"

namespace {

// A portal shows its tunnel in part of the picture, so its maps have a quarter of the texels of
// the current tunnel's: six more full-size maps would hold 48 MB for two open portals.
constexpr std::uint16_t PORTAL_SHADOW_MAP_WIDTH = SHADOW_MAP_WIDTH / 2;
constexpr std::uint16_t PORTAL_SHADOW_MAP_HEIGHT = SHADOW_MAP_HEIGHT / 2;

} // namespace

void PortalShadowMaps::newFrame()
{
    ++frame;
}

const std::vector<ShadowMap*>& PortalShadowMaps::mapsFor(const Tunnel* tunnel)
{
    Set* chosen = nullptr;
    for (Set& set : sets) {
        if (set.tunnel == tunnel) {
            chosen = &set;
            break;
        }
        if (!chosen && set.frame != frame)
            chosen = &set;
    }
    if (!chosen) {
        sets.emplace_back();
        chosen = &sets.back();
        for (std::size_t i = 0; i < SHADOW_MAP_COUNT; ++i)
            chosen->maps.push_back(new ShadowMap(PORTAL_SHADOW_MAP_WIDTH, PORTAL_SHADOW_MAP_HEIGHT));
    }
    chosen->tunnel = tunnel;
    chosen->frame = frame;
    return chosen->maps;
}

void PortalShadowMaps::destroy()
{
    for (Set& set : sets) {
        for (ShadowMap* map : set.maps) {
            map->destroy();
            delete map;
        }
    }
    sets.clear();
}
