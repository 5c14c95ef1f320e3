#pragma once

#include <cstdint>

// How a minified texture uses its mipmaps; F5 goes round them in this order.
enum class MipmapMode { Off, Nearest, Linear };

// The render toggles: how the renderer draws a frame it is given.
struct RenderSettings {
    bool transparency = true;        // the glass door is alpha-blended (F9)
    bool frustumCulling = true;      // objects outside the view frustum are skipped and counted (F8)
    bool nearestSampling = false;    // nearest instead of linear texture filtering (F4)
    MipmapMode mipmapMode = MipmapMode::Linear; // (F5)
    bool wireframe = false;          // polygons drawn as lines (F3)
    bool showStats = false;          // statistics line after every frame (F2)
    bool showControls = false;       // the controls panel over the game (F1)
};

