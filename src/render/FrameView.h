#pragma once

#include "render/RenderSettings.h"

#include <glm/glm.hpp>

class Camera;
class GameObject;
class Tunnel;

// What one frame shows, handed to the renderer: it reads nothing else of the game and changes
// nothing in play.
struct FrameView {
    Tunnel* tunnel = nullptr;               // the tunnel the eye stands in
    glm::mat4 view{1.0f};                   // the eye's view, worked out once for the frame
    glm::mat4 projection{1.0f};
    glm::vec3 eye{0.0f};
    glm::vec3 viewDirection{1.0f, 0.0f, 0.0f}; // unit
    const Camera* culledBy = nullptr;       // whose frustum culls the current tunnel; null draws it whole
    bool realityView = true;
    const GameObject* glassDoor = nullptr;  // drawn last, blended, where the rules placed it; null when not seen
    RenderSettings settings;
};
