#pragma once

#include <cstddef>
#include <vector>

class ShadowMap;
class Tunnel;

// Shadow maps of the tunnels seen through portals: a set of three for each tunnel that a portal
// on screen shows. A set stays with its tunnel from frame to frame, so that, like the current
// tunnel's maps, it is redrawn only where a caster changed; it goes to another tunnel only when
// no portal showed its own in the frame. Sets are made when more tunnels are seen at once than
// ever before, and live until shutdown.
class PortalShadowMaps {
public:
    // A frame's portal pass begins: every set is free to go to another tunnel.
    void newFrame();
    // The tunnel's set for this frame; what it holds may belong to another tunnel.
    const std::vector<ShadowMap*>& mapsFor(const Tunnel* tunnel);
    void destroy();

private:
    struct Set {
        const Tunnel* tunnel = nullptr; // whose depths the maps hold
        std::vector<ShadowMap*> maps;   // one per light
        unsigned frame = 0;             // the last frame that used the set
    };

    std::vector<Set> sets;
    unsigned frame = 0;
};
