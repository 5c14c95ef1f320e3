#include "render/PortalShadowMaps.h"

#include "render/ShadowMap.h"

namespace {

// A portal shows its tunnel in part of the picture, so its maps have three eighths of the width
// and height of the current tunnel's: two open portals hold 6.75 MB of maps instead of 48.
constexpr std::uint16_t PORTAL_SHADOW_MAP_WIDTH = SHADOW_MAP_WIDTH * 3 / 8;
constexpr std::uint16_t PORTAL_SHADOW_MAP_HEIGHT = SHADOW_MAP_HEIGHT * 3 / 8;

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
