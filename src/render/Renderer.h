#pragma once

#include "render/ShaderProgram.h"

#include <glm/glm.hpp>

#include <array>
#include <cstdint>

class Camera;
struct FrameView;
class GameObject;
class ShaderProgram;
class Tunnel;

// The passes of a frame, for measuring them.
enum class FramePass { Shadow, Portal, Main, GlassDoor };
constexpr int FRAME_PASS_COUNT = 4;

// Told when each pass of a frame begins and ends (the benchmark times them on the GPU).
class PassTimer {
public:
    virtual ~PassTimer() = default;
    virtual void begin(FramePass pass) = 0;
    virtual void end(FramePass pass) = 0;
};

// What a frame cost beyond its time, for the benchmark: work that a shortcut should spare shows here.
struct FrameStats {
    std::uint64_t shadowTexelsRedrawn = 0;                 // shadow-map texels cleared and drawn again
    std::array<unsigned, SCENE_LIGHTS> meshesLitBy{};      // meshes drawn with each lamp's light code
    std::uint32_t trianglesRendered = 0;                   // triangles of the frame's last pass, the main one
};

// Null (the default) times nothing.
void setPassTimer(PassTimer* timer);

// Draws one frame of what the view shows into the frame target's picture area: shadow passes,
// portal pass, lit main pass, glass door. Ends with the window's framebuffer bound and the
// viewport at the whole picture area.
const FrameStats& renderFrame(const FrameView& frame);
// The frame, then the won or lost screen in front of the eye, lit by a lamp of its own: the
// screen hangs far from every tunnel light.
void renderEndScreen(const FrameView& frame, const GameObject* screen);
// Draws a tunnel's portals' frames, then its shell of the view and its objects nearest the eye
// first, skipping (and counting) what lies outside the frustum of the camera it is culled by;
// null draws it whole.
void drawCulled(const Tunnel* tunnel, const Camera* culledBy, ShaderProgram* program, bool realityView,
                const glm::vec3& eye);
// Releases what the renderer made for itself.
void releaseRenderer();
