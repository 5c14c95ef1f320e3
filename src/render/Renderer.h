#pragma once

#include "render/FrameTarget.h"
#include "render/PortalShadowMaps.h"
#include "render/ScreenQuad.h"
#include "render/ShaderProgram.h"
#include "render/ShadowMap.h"

#include <GL/glew.h>
#include <glm/glm.hpp>

#include <array>
#include <cstdint>
#include <utility>
#include <vector>

class Camera;
struct FrameView;
class GameObject;
class Portal;
struct RenderSettings;
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

// Draws the frames of the game with what it owns: the scene, shadow and picture programs, the
// current tunnel's shadow maps and those of the tunnels seen through portals, the frame target
// and the screen quad. Made once the GL context exists, and gone before it goes.
class Renderer {
public:
    // The scene program is set up for the eye's projection.
    explicit Renderer(const glm::mat4& projection);
    ~Renderer();
    Renderer(const Renderer&) = delete;
    Renderer& operator=(const Renderer&) = delete;

    // Null (the default) times nothing.
    void setPassTimer(PassTimer* timer) { passTimer = timer; }

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

    FrameTarget& frameTarget() { return target; }
    const ScreenQuad& screenQuad() const { return quad; }
    // The program the scene is drawn by: the renderer's own, unless another was given.
    ShaderProgram& sceneProgram() { return *scene; }
    // The scene is drawn by this program from the next frame on, so that programs can be compared.
    void drawSceneWith(ShaderProgram& program) { scene = &program; }
    // The current tunnel's maps, a light each.
    const std::vector<ShadowMap*>& tunnelShadowMaps() const { return shadowMaps; }

private:
    // What one pass draws of a tunnel, in drawing order, once the frustum has culled the rest.
    struct VisibleSet {
        std::vector<Portal*> portals;           // their frames are drawn
        std::vector<const GameObject*> objects; // the shell of the view, then the tunnel's objects
        unsigned culled = 0;
    };

    // Runs one pass of the frame between the timer's marks.
    template <typename Pass> void timedPass(FramePass pass, Pass draw);
    VisibleSet& cullTunnel(const Tunnel* tunnel, const Camera* cullingCamera, bool realityView);
    void sortNearestFirst(VisibleSet& visible, const glm::vec3& eye);
    void countLitMesh(unsigned lightMask);
    void drawByReach(const GameObject* object, ShaderProgram* program);
    void drawVisible(const VisibleSet& visible, ShaderProgram* program);
    void reportPass(const VisibleSet& visible, bool culled);
    const ShadowMapContents& shadowContents(const VisibleSet& visible, const SpotLight* light, bool wireframe);
    void drawShadowMap(const VisibleSet& casters, const SpotLight* light, ShadowMap* map, bool wireframe);
    void renderShadowMaps(const FrameView& frame);
    const std::vector<ShadowMap*>& renderSeenTunnelShadowMaps(const Tunnel* seen, const FrameView& frame);
    void drawViewThroughPortal(Portal* portal, const FrameView& frame, ShaderProgram* program,
                               const std::vector<ShadowMap*>& seenShadowMaps);
    void drawGlassDoor(const FrameView& frame);
    void drawPortalViews(const FrameView& frame, ShaderProgram* program);
    void bindDiffuseSampler(const RenderSettings& settings);
    void drawScene(const FrameView& frame);

    ShaderProgram ownSceneProgram;
    ShaderProgram shadowProgram;
    ShaderProgram pictureProgram; // the scene into the window with the brightness...
    ShaderProgram scaleUpProgram; // ...and as drawn, scaled up
    ShaderProgram* scene = &ownSceneProgram;
    std::vector<ShadowMap*> shadowMaps;
    PortalShadowMaps portalShadowMaps;
    ScreenQuad quad;
    FrameTarget target;
    GLuint diffuseSampler = 0; // the diffuse textures (unit 0) with the settings' filters
    PassTimer* passTimer = nullptr;
    FrameStats frameStats; // of the frame being drawn

    // The passes run one after the other: one set serves them all. It and the lists below keep
    // their storage from frame to frame.
    VisibleSet visibleSet;
    std::vector<std::pair<float, std::size_t>> objectsByDistance; // with their places in the set
    std::vector<const GameObject*> sortedObjects;
    ShadowMapContents shadowMapContents;
};
