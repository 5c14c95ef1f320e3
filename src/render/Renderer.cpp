#include "render/Renderer.h"

#include "render/FrameView.h"
#include "level/Tunnel.h"
#include "physics/BoxCorners.h"
#include "physics/Camera.h"
#include "render/FrameTarget.h"
#include "render/GpuModel.h"
#include "render/Mesh.h"
#include "render/PortalShadowMaps.h"
#include "render/ProjectedArea.h"
#include "render/ShaderProgram.h"
#include "render/ShadowMap.h"
#include "world/SpotLight.h"
#include "world/Door.h"
#include "world/GameObject.h"
#include "world/Portal.h"
#include "world/Train.h"

#include <GL/glew.h>

#include <algorithm>
#include <iostream>
#include <limits>
#include <vector>

namespace {

// Lights beyond the third of a tunnel cast no light: there are three shadow maps and uniforms.
constexpr std::size_t MAX_SHADOW_LIGHTS = 3;
// Every portal of a tunnel raises the stencil from 0 to this value over its screen area.
constexpr GLint PORTAL_MARK = 1;

// Pixels added round a portal's rectangle on the window.
constexpr int SCISSOR_MARGIN = 1;

// The end screen's lamp stands this far behind the eye and shines along the view.
constexpr float END_SCREEN_LAMP_BEHIND_EYE = 10.0f;

// Sets "model" and "norm" and draws the object's model, then its children.
void drawObject(const GameObject& object, ShaderProgram* program)
{
    const glm::mat4 matrix = object.getModelMatrix();
    program->setModel(matrix);
    program->setNorm(glm::inverse(matrix));
    GpuModel::of(*object.getModel()).draw();
    for (const GameObject* child : object.getChildren())
        drawObject(*child, program);
}

// True when the object may be drawn; an object culled by the camera's frustum is counted.
// Without a camera nothing is culled.
bool passesCulling(const GameObject* object, const Camera* camera, unsigned& culled)
{
    if (camera == nullptr)
        return true;
    const auto bounds = object->worldBounds();
    if (camera->isVisible(bounds.first, bounds.second))
        return true;
    ++culled;
    return false;
}

// Whether an entry of a tunnel's objects belongs to the picture of this view: doors have a
// flag per view, and the train runs only in reality.
bool shownInView(const GameObject* object, const Tunnel* tunnel, bool realityView)
{
    if (object == nullptr)
        return false;
    if (!realityView && object == tunnel->getTrain())
        return false;
    const auto* door = dynamic_cast<const Door*>(object);
    if (door != nullptr)
        return realityView ? door->isShownInReality() : door->isShownInGlasses();
    return true;
}

// The world-space box of a model-space box (largest corner first) as the matrix places it.
std::pair<glm::vec3, glm::vec3> placedBox(const std::pair<glm::vec3, glm::vec3>& box, const glm::mat4& matrix)
{
    glm::vec3 low(std::numeric_limits<float>::max());
    glm::vec3 high(std::numeric_limits<float>::lowest());
    for (const glm::vec3& corner : boxCorners(box.second, box.first)) {
        const glm::vec3 point(matrix * glm::vec4(corner, 1.0f));
        low = glm::min(low, point);
        high = glm::max(high, point);
    }
    return {low, high};
}

std::size_t shadowLightCount(const std::vector<SpotLight*>& lights)
{
    return std::min(MAX_SHADOW_LIGHTS, lights.size());
}

void addCasters(const GameObject* object, ShadowMapContents& contents)
{
    contents.casters.push_back({object, object->getModelMatrix(), object->getModel()->corners(), true});
    for (const GameObject* child : object->getChildren())
        addCasters(child, contents);
}

// Texture unit 0 stays free for the meshes' diffuse textures; light i uses unit i + 1.
void bindLights(const std::vector<SpotLight*>& lights, const std::vector<ShadowMap*>& maps, ShaderProgram* program)
{
    for (std::size_t i = 0; i < shadowLightCount(lights); ++i) {
        const auto slot = static_cast<std::uint16_t>(i + 1);
        glActiveTexture(GL_TEXTURE1 + static_cast<GLenum>(i));
        glBindTexture(GL_TEXTURE_2D, maps[i]->depthTexture());
        program->setShadowMap(slot);
        program->setDepthVP(lights[i]->viewProjection(), slot);
        program->setSpotLight(lights[i], slot);
    }
}

// Widens the window area to the points of an object (and its children) seen by the eye;
// false when a point lies at or behind the eye, where the area says nothing.
bool addWindowArea(const GameObject* object, const glm::mat4& toClip, ProjectedArea& area)
{
    if (!area.addBox(object->getModel()->corners(), toClip * object->getModelMatrix()))
        return false;
    for (const GameObject* child : object->getChildren()) {
        if (!addWindowArea(child, toClip, area))
            return false;
    }
    return true;
}

// Where the portal's surface lies on the window; false when it reaches behind the eye and may
// cover any pixel.
bool portalWindowArea(const Portal* portal, const FrameView& frame, ProjectedArea& area)
{
    return addWindowArea(portal, frame.projection * frame.view, area);
}

// The view through a portal can only show where the portal's surface lies on the window: the
// scissor keeps the rasteriser to that rectangle (a pixel wider all round), the stencil does the
// rest.
void limitToPortalArea(const ProjectedArea& area)
{
    GLint viewport[4] = {0, 0, 0, 0};
    glGetIntegerv(GL_VIEWPORT, viewport);
    const ProjectedArea::Pixels pixels =
        area.pixels(glm::ivec2(viewport[0], viewport[1]), glm::ivec2(viewport[2], viewport[3]), SCISSOR_MARGIN);
    glScissor(pixels.from.x, pixels.from.y, pixels.to.x - pixels.from.x, pixels.to.y - pixels.from.y);
    glEnable(GL_SCISSOR_TEST);
}

// Stencil steps of one portal: raise (or lower) the stencil under the portal's surface
// wherever it does not already hold the given value, drawing no colour and no depth.
void markPortalArea(Portal* portal, const FrameView& frame, ShaderProgram* program)
{
    glColorMask(GL_FALSE, GL_FALSE, GL_FALSE, GL_FALSE);
    glDepthMask(GL_FALSE);
    glDisable(GL_DEPTH_TEST);
    glEnable(GL_STENCIL_TEST);
    glStencilFunc(GL_NOTEQUAL, 0, 0xFF);
    glStencilOp(GL_INCR, GL_KEEP, GL_KEEP);
    glStencilMask(0xFF);
    program->setView(frame.view);
    drawObject(*portal, program);
}

void unmarkPortalArea(Portal* portal, const FrameView& frame, ShaderProgram* program)
{
    glColorMask(GL_FALSE, GL_FALSE, GL_FALSE, GL_FALSE);
    glDepthMask(GL_FALSE);
    glEnable(GL_STENCIL_TEST);
    glStencilMask(0xFF);
    glStencilFunc(GL_NOTEQUAL, PORTAL_MARK, 0xFF);
    glStencilOp(GL_DECR, GL_KEEP, GL_KEEP);
    program->setProj(frame.projection);
    program->setView(frame.view);
    drawObject(*portal, program);
}

// Leaves only the portal surfaces in the depth buffer, in front of whatever stood before them,
// so the main pass draws around the views and hides them only where something is nearer.
void writePortalDepths(const FrameView& frame, ShaderProgram* program)
{
    glDisable(GL_STENCIL_TEST);
    glStencilMask(0x00);
    glColorMask(GL_FALSE, GL_FALSE, GL_FALSE, GL_FALSE);
    glEnable(GL_DEPTH_TEST);
    glDepthMask(GL_TRUE);
    glDepthFunc(GL_ALWAYS);
    glClear(GL_DEPTH_BUFFER_BIT);
    program->setView(frame.view);
    for (Portal* portal : frame.tunnel->getPortals())
        drawObject(*portal, program);
}

// The state the main pass draws in: depth test with GL_LESS, colour and depth writes on,
// stencil test on but always passing and never written.
void restoreSceneState()
{
    glDepthFunc(GL_LESS);
    glEnable(GL_STENCIL_TEST);
    glStencilMask(0x00);
    glStencilFunc(GL_LEQUAL, 0, 0xFF);
    glColorMask(GL_TRUE, GL_TRUE, GL_TRUE, GL_TRUE);
    glDepthMask(GL_TRUE);
}

} // namespace

Renderer::Renderer(const glm::mat4& projection)
    : ownSceneProgram("shader/default_v2.glsl", "shader/default_f2.glsl", true),
      shadowProgram("shader/shadowMap_v.glsl", "shader/shadowMap_f.glsl"),
      pictureProgram("shader/picture_v.glsl", "shader/picture_f.glsl"),
      scaleUpProgram("shader/picture_v.glsl", "shader/scaleUp_f.glsl")
{
    ownSceneProgram.use(true);
    ownSceneProgram.setProj(projection);
    ownSceneProgram.setModel(glm::mat4(1.0f));
    ownSceneProgram.setNorm(glm::mat4(1.0f));
    ownSceneProgram.setDepthBias();
    ownSceneProgram.use(false);
    for (std::size_t i = 0; i < SHADOW_MAP_COUNT; ++i)
        shadowMaps.push_back(new ShadowMap(SHADOW_MAP_WIDTH, SHADOW_MAP_HEIGHT));
    quad.create();
    target.usePicturePrograms(&pictureProgram, &scaleUpProgram, &quad);
    glGenSamplers(1, &diffuseSampler);
    glSamplerParameteri(diffuseSampler, GL_TEXTURE_WRAP_S, GL_REPEAT);
    glSamplerParameteri(diffuseSampler, GL_TEXTURE_WRAP_T, GL_REPEAT);
}

Renderer::~Renderer()
{
    glDeleteSamplers(1, &diffuseSampler);
    ownSceneProgram.destroy();
    shadowProgram.destroy();
    pictureProgram.destroy();
    scaleUpProgram.destroy();
    for (ShadowMap* map : shadowMaps) {
        map->destroy();
        delete map;
    }
    portalShadowMaps.destroy();
    target.destroy();
    quad.destroy();
}

template <typename Pass> void Renderer::timedPass(FramePass pass, Pass draw)
{
    if (passTimer)
        passTimer->begin(pass);
    draw();
    if (passTimer)
        passTimer->end(pass);
}

Renderer::VisibleSet& Renderer::cullTunnel(const Tunnel* tunnel, const Camera* cullingCamera, bool realityView)
{
    VisibleSet& visible = visibleSet;
    visible.portals.clear();
    visible.objects.clear();
    visible.culled = 0;
    for (Portal* portal : tunnel->getPortals()) {
        if (passesCulling(portal, cullingCamera, visible.culled))
            visible.portals.push_back(portal);
    }
    const auto& shell = realityView ? tunnel->getRealityPieces() : tunnel->getGlassesPieces();
    for (const GameObject* piece : shell) {
        if (passesCulling(piece, cullingCamera, visible.culled))
            visible.objects.push_back(piece);
    }
    for (const GameObject* object : tunnel->getObjects()) {
        if (shownInView(object, tunnel, realityView) && passesCulling(object, cullingCamera, visible.culled))
            visible.objects.push_back(object);
    }
    return visible;
}

// Orders the set's objects nearest first (ties as they were), so that what stands behind them
// fails the depth test before it is shaded.
void Renderer::sortNearestFirst(VisibleSet& visible, const glm::vec3& eye)
{
    objectsByDistance.clear();
    for (std::size_t i = 0; i < visible.objects.size(); ++i) {
        const auto [first, second] = visible.objects[i]->worldBounds();
        const glm::vec3 toCentre = (first + second) * 0.5f - eye;
        objectsByDistance.emplace_back(glm::dot(toCentre, toCentre), i);
    }
    std::sort(objectsByDistance.begin(), objectsByDistance.end());
    sortedObjects.clear();
    for (const auto& [distance, place] : objectsByDistance)
        sortedObjects.push_back(visible.objects[place]);
    visible.objects.swap(sortedObjects);
}

void Renderer::countLitMesh(unsigned lightMask)
{
    for (std::size_t light = 0; light < SCENE_LIGHTS; ++light)
        frameStats.meshesLitBy[light] += (lightMask >> light) & 1u;
}

// Draws the object and its children as drawObject does, but mesh by mesh, each by the
// program's subset for the lights that may reach the mesh: a tunnel piece's ceiling hangs above
// every lamp, and its floor and walls are reached by fewer lamps than the piece as a whole.
void Renderer::drawByReach(const GameObject* object, ShaderProgram* program)
{
    const glm::mat4 matrix = object->getModelMatrix();
    program->setModel(matrix);
    program->setNorm(glm::inverse(matrix));
    const std::vector<ModelMesh>& shapes = object->getModel()->getMeshes();
    const std::vector<Mesh*>& meshes = GpuModel::of(*object->getModel()).getMeshes();
    for (std::size_t i = 0; i < meshes.size(); ++i) {
        const auto [low, high] = placedBox(shapes[i].bounds(), matrix);
        countLitMesh(program->useForBox(low, high));
        meshes[i]->draw();
    }
    for (const GameObject* child : object->getChildren())
        drawByReach(child, program);
}

// Portal frames and whatever follows the pass get the whole program.
void Renderer::drawVisible(const VisibleSet& visible, ShaderProgram* program)
{
    program->use(true);
    for (Portal* portal : visible.portals)
        if (const GameObject* frame = portal->getFrame())
            drawObject(*frame, program);
    for (const GameObject* object : visible.objects) {
        if (program == &shadowProgram)
            drawObject(*object, program);
        else
            drawByReach(object, program);
    }
    program->use(true);
}

// The pass's statistics: its triangles, and how many objects the frustum culled when it culled.
void Renderer::reportPass(const VisibleSet& visible, bool culled)
{
    frameStats.trianglesRendered = 0;
    for (const Portal* portal : visible.portals)
        frameStats.trianglesRendered += portal->triangleCount();
    for (const GameObject* object : visible.objects)
        frameStats.trianglesRendered += object->triangleCount();
    if (culled)
        std::cout << visible.culled << " objects culled\n";
}

const ShadowMapContents& Renderer::shadowContents(const VisibleSet& visible, const SpotLight* light, bool wireframe)
{
    ShadowMapContents& contents = shadowMapContents;
    contents.casters.clear();
    contents.lightViewProjection = light->viewProjection();
    contents.wireframe = wireframe;
    // A portal's frame is placed on the portal when drawn: the portal's matrix stands for it.
    for (const Portal* portal : visible.portals)
        contents.casters.push_back({portal, portal->getModelMatrix(), portal->getModel()->corners(), false});
    for (const GameObject* object : visible.objects)
        addCasters(object, contents);
    contents.sortCasters();
    return contents;
}

// A map keeps the depths it holds where its light and casters have not changed since it was
// drawn: only the stale area is cleared and drawn again (all of the map when the light moved).
// Face culling stays disabled here, so the front-face selection has no effect: enabling it
// changed the train's shadow edges. The shadow program must be current.
void Renderer::drawShadowMap(const VisibleSet& casters, const SpotLight* light, ShadowMap* map, bool wireframe)
{
    const ShadowMapContents& contents = shadowContents(casters, light, wireframe);
    const glm::mat4 lightViewProjection = contents.lightViewProjection;
    const ShadowMapArea stale = map->staleArea(contents);
    map->remember(contents);
    if (stale.empty())
        return;
    frameStats.shadowTexelsRedrawn +=
        static_cast<std::uint64_t>(stale.to.x - stale.from.x) * static_cast<std::uint64_t>(stale.to.y - stale.from.y);
    // Between two portals' views depth writes are off.
    glEnable(GL_DEPTH_TEST);
    glDepthMask(GL_TRUE);
    map->bind();
    glScissor(stale.from.x, stale.from.y, stale.to.x - stale.from.x, stale.to.y - stale.from.y);
    glEnable(GL_SCISSOR_TEST);
    glClear(GL_DEPTH_BUFFER_BIT);
    shadowProgram.setDepthVP(lightViewProjection, 0);
    glCullFace(GL_FRONT);
    drawVisible(casters, &shadowProgram);
    glCullFace(GL_BACK);
    glDisable(GL_SCISSOR_TEST);
}

// The current tunnel's maps. Every light's pass culls against the camera alike: the tunnel is
// culled once, and each pass reports it (its line printed once a light).
void Renderer::renderShadowMaps(const FrameView& frame)
{
    shadowProgram.use(true);
    const VisibleSet& casters = cullTunnel(frame.tunnel, frame.culledBy, frame.realityView);
    const std::vector<SpotLight*>& lights = frame.tunnel->getLights();
    for (std::size_t i = 0; i < shadowLightCount(lights); ++i) {
        reportPass(casters, frame.culledBy != nullptr);
        drawShadowMap(casters, lights[i], shadowMaps[i], frame.settings.wireframe);
    }
    target.bindScene();
}

// The maps of a tunnel seen through a portal, brought up to date. Everything the view shows
// casts shadows: the view draws the tunnel whole. No line is printed, nothing is counted.
const std::vector<ShadowMap*>& Renderer::renderSeenTunnelShadowMaps(const Tunnel* seen, const FrameView& frame)
{
    if (seen == frame.tunnel)
        return shadowMaps;
    const std::vector<ShadowMap*>& maps = portalShadowMaps.mapsFor(seen);
    const VisibleSet& casters = cullTunnel(seen, nullptr, frame.realityView);
    shadowProgram.use(true);
    for (std::size_t i = 0; i < shadowLightCount(seen->getLights()); ++i)
        drawShadowMap(casters, seen->getLights()[i], maps[i], frame.settings.wireframe);
    return maps;
}

// The tunnel seen through the portal is lit by its own lamps, with its own shadows.
void Renderer::drawViewThroughPortal(Portal* portal, const FrameView& frame, ShaderProgram* program,
                                     const std::vector<ShadowMap*>& seenShadowMaps)
{
    Tunnel* seen = portal->getLinkedPortal()->getTunnel();
    glColorMask(GL_TRUE, GL_TRUE, GL_TRUE, GL_TRUE);
    glDepthMask(GL_TRUE);
    glClear(GL_DEPTH_BUFFER_BIT);
    glEnable(GL_DEPTH_TEST);
    glEnable(GL_STENCIL_TEST);
    glStencilMask(0x00);
    glStencilFunc(GL_EQUAL, PORTAL_MARK, 0xFF);

    bindLights(seen->getLights(), seenShadowMaps, program);
    const glm::mat4 view = portal->portalView(frame.view);
    program->setView(view);
    program->setProj(portal->clippedProjection(view, frame.projection));

    // The far side is drawn whole: the camera's frustum says nothing about what the portal shows.
    drawCulled(seen, nullptr, program, frame.realityView, glm::vec3(glm::inverse(view)[3]));
}

// Lit by the current tunnel's lamps, which the main pass left bound.
void Renderer::drawGlassDoor(const FrameView& frame)
{
    if (frame.glassDoor == nullptr)
        return;
    if (!frame.settings.transparency) {
        drawByReach(frame.glassDoor, scene);
        return;
    }
    glEnable(GL_BLEND);
    glBlendFunc(GL_SRC_ALPHA, GL_ONE_MINUS_SRC_ALPHA);
    drawByReach(frame.glassDoor, scene);
    glDisable(GL_BLEND);
}

// The views through the current tunnel's portals, stencil-masked; leaves the portal surfaces' depth.
void Renderer::drawPortalViews(const FrameView& frame, ShaderProgram* program)
{
    portalShadowMaps.newFrame();
    for (Portal* portal : frame.tunnel->getPortals()) {
        // A portal without its other side has nothing to show; its area stays as the frame
        // left it. Nor does a portal wholly off the window.
        if (portal->getLinkedPortal() == nullptr)
            continue;
        ProjectedArea area;
        const bool areaKnown = portalWindowArea(portal, frame, area);
        if (areaKnown && !area.overlapsView())
            continue;
        const auto& seenShadowMaps = renderSeenTunnelShadowMaps(portal->getLinkedPortal()->getTunnel(), frame);
        target.bindScene();
        program->use(true);
        if (areaKnown)
            limitToPortalArea(area);
        markPortalArea(portal, frame, program);
        drawViewThroughPortal(portal, frame, program, seenShadowMaps);
        unmarkPortalArea(portal, frame, program);
        glDisable(GL_SCISSOR_TEST);
    }
    writePortalDepths(frame, program);
    restoreSceneState();
}

// The diffuse textures are sampled with the settings' filters for the whole frame.
void Renderer::bindDiffuseSampler(const RenderSettings& settings)
{
    const GLint magnifyFilter = settings.nearestSampling ? GL_NEAREST : GL_LINEAR;
    GLint minifyFilter = GL_LINEAR_MIPMAP_LINEAR;
    if (settings.mipmapMode == MipmapMode::Off)
        minifyFilter = magnifyFilter;
    else if (settings.mipmapMode == MipmapMode::Nearest)
        minifyFilter = GL_NEAREST_MIPMAP_LINEAR;
    glSamplerParameteri(diffuseSampler, GL_TEXTURE_MAG_FILTER, magnifyFilter);
    glSamplerParameteri(diffuseSampler, GL_TEXTURE_MIN_FILTER, minifyFilter);
    glBindSampler(0, diffuseSampler);
}

// The passes of a frame into the frame's target, bound and cleared.
void Renderer::drawScene(const FrameView& frame)
{
    bindDiffuseSampler(frame.settings);
    timedPass(FramePass::Shadow, [&] { renderShadowMaps(frame); });
    shadowProgram.use(false);
    scene->use(true);

    timedPass(FramePass::Portal, [&] { drawPortalViews(frame, scene); });

    timedPass(FramePass::Main, [&] {
        glEnable(GL_DEPTH_TEST);
        bindLights(frame.tunnel->getLights(), shadowMaps, scene);
        scene->setProj(frame.projection);
        scene->setView(frame.view);
        drawCulled(frame.tunnel, frame.culledBy, scene, frame.realityView, frame.eye);
    });
    timedPass(FramePass::GlassDoor, [&] { drawGlassDoor(frame); });
    scene->use(false);
}

const FrameStats& Renderer::renderFrame(const FrameView& frame)
{
    frameStats = FrameStats{};
    target.beginScene();
    drawScene(frame);
    glBindSampler(0, 0);
    target.finishScene();
    return frameStats;
}

void Renderer::renderEndScreen(const FrameView& frame, const GameObject* screen)
{
    target.beginScene();
    drawScene(frame);
    // An empty first shadow map (cleared to the far depth) lets the lamp reach every point.
    shadowMaps[0]->bind();
    glClear(GL_DEPTH_BUFFER_BIT);
    target.bindScene();
    shadowMaps[0]->forget();

    const glm::vec3 along = frame.viewDirection;
    const SpotLight lamp(frame.eye - along * END_SCREEN_LAMP_BEHIND_EYE, glm::vec3(1.0f), along);
    const SpotLight unlit(lamp.position, glm::vec3(0.0f), along);
    scene->use(true);
    glActiveTexture(GL_TEXTURE1);
    glBindTexture(GL_TEXTURE_2D, shadowMaps[0]->depthTexture());
    scene->setShadowMap(1);
    scene->setDepthVP(lamp.viewProjection(), 1);
    scene->setSpotLight(&lamp, 1);
    scene->setSpotLight(&unlit, 2);
    scene->setSpotLight(&unlit, 3);
    drawObject(*screen, scene);
    scene->use(false);
    glBindSampler(0, 0);
    target.finishScene();
}

void Renderer::drawCulled(const Tunnel* tunnel, const Camera* culledBy, ShaderProgram* program, bool realityView,
                          const glm::vec3& eye)
{
    VisibleSet& visible = cullTunnel(tunnel, culledBy, realityView);
    sortNearestFirst(visible, eye);
    drawVisible(visible, program);
    reportPass(visible, culledBy != nullptr);
}
