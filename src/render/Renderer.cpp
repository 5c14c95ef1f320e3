#include "render/Renderer.h"

#include "app/RenderSettings.h"
#include "game/GameState.h"
#include "level/Level.h"
#include "level/Tunnel.h"
#include "physics/Camera.h"
#include "render/ShaderProgram.h"
#include "render/ShadowMap.h"
#include "render/SpotLight.h"
#include "world/Door.h"
#include "world/GameObject.h"
#include "world/Portal.h"
#include "world/Train.h"

#include <GL/glew.h>

#include <algorithm>
#include <iostream>
#include <vector>

namespace {

// Lights beyond the third of a tunnel cast no light: there are three shadow maps and uniforms.
constexpr std::size_t MAX_SHADOW_LIGHTS = 3;
// The glass door belongs to the fifth tunnel; in the reality view it stands out of the way
// (beyond the far end wall), in the glasses view it blocks the tunnel near its far end.
constexpr int GLASS_DOOR_TUNNEL = 4;
const glm::vec3 GLASS_DOOR_REALITY_OFFSET(450.0f, 0.0f, 0.0f);
const glm::vec3 GLASS_DOOR_GLASSES_OFFSET(350.0f, 0.0f, 0.0f);
// Every portal of a tunnel raises the stencil from 0 to this value over its screen area.
constexpr GLint PORTAL_MARK = 1;

PassTimer* passTimer = nullptr;

// Runs one pass of the frame between the timer's marks.
template <typename Pass> void timedPass(FramePass pass, Pass draw)
{
    if (passTimer)
        passTimer->begin(pass);
    draw();
    if (passTimer)
        passTimer->end(pass);
}

// The end screen's lamp stands this far behind the eye and shines along the view.
constexpr float END_SCREEN_LAMP_BEHIND_EYE = 10.0f;

// True when the object may be drawn; an object culled by the frustum is counted.
bool passesCulling(const GameObject* object, const Camera* camera, unsigned& culled)
{
    if (!renderSettings.frustumCulling)
        return true;
    const auto bounds = object->worldBounds();
    if (camera->isVisible(bounds.first, bounds.second))
        return true;
    ++culled;
    return false;
}

void drawCounted(const GameObject* object, const Camera* camera, ShaderProgram* program, unsigned& culled)
{
    if (!passesCulling(object, camera, culled))
        return;
    object->draw(program);
    renderSettings.trianglesRendered += object->triangleCount();
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

void drawPortalFrames(Tunnel* tunnel, const Camera* camera, ShaderProgram* program, unsigned& culled)
{
    for (Portal* portal : tunnel->getPortals()) {
        if (!passesCulling(portal, camera, culled))
            continue;
        portal->drawFrame(program);
        renderSettings.trianglesRendered += portal->triangleCount();
    }
}

// Stencil steps of one portal: raise (or lower) the stencil under the portal's surface
// wherever it does not already hold the given value, drawing no colour and no depth.
void markPortalArea(Portal* portal, Camera* camera, ShaderProgram* program)
{
    glColorMask(GL_FALSE, GL_FALSE, GL_FALSE, GL_FALSE);
    glDepthMask(GL_FALSE);
    glDisable(GL_DEPTH_TEST);
    glEnable(GL_STENCIL_TEST);
    glStencilFunc(GL_NOTEQUAL, 0, 0xFF);
    glStencilOp(GL_INCR, GL_KEEP, GL_KEEP);
    glStencilMask(0xFF);
    program->setView(camera->getViewMatrix());
    portal->drawSurface(program);
}

void drawViewThroughPortal(Portal* portal, Camera* camera, ShaderProgram* program, bool realityView)
{
    // A portal without its other side has nothing to show; its area stays as the frame left it.
    const Portal* linkedPortal = portal->getLinkedPortal();
    if (linkedPortal == nullptr)
        return;
    glColorMask(GL_TRUE, GL_TRUE, GL_TRUE, GL_TRUE);
    glDepthMask(GL_TRUE);
    glClear(GL_DEPTH_BUFFER_BIT);
    glEnable(GL_DEPTH_TEST);
    glEnable(GL_STENCIL_TEST);
    glStencilMask(0x00);
    glStencilFunc(GL_EQUAL, PORTAL_MARK, 0xFF);

    const glm::mat4 view = portal->portalView(camera->getViewMatrix());
    program->setView(view);
    program->setProj(portal->clippedProjection(view, camera->getProjectionMatrix()));

    // The far side is drawn whole: the camera's frustum says nothing about what the portal shows.
    const bool frustumCulling = renderSettings.frustumCulling;
    renderSettings.frustumCulling = false;
    drawCulled(linkedPortal->getTunnel(), camera, program, realityView);
    renderSettings.frustumCulling = frustumCulling;
}

void unmarkPortalArea(Portal* portal, Camera* camera, ShaderProgram* program)
{
    glColorMask(GL_FALSE, GL_FALSE, GL_FALSE, GL_FALSE);
    glDepthMask(GL_FALSE);
    glEnable(GL_STENCIL_TEST);
    glStencilMask(0xFF);
    glStencilFunc(GL_NOTEQUAL, PORTAL_MARK, 0xFF);
    glStencilOp(GL_DECR, GL_KEEP, GL_KEEP);
    program->setProj(camera->getProjectionMatrix());
    program->setView(camera->getViewMatrix());
    portal->drawSurface(program);
}

// Leaves only the portal surfaces in the depth buffer, in front of whatever stood before them,
// so the main pass draws around the views and hides them only where something is nearer.
void writePortalDepths(Tunnel* tunnel, Camera* camera, ShaderProgram* program)
{
    glDisable(GL_STENCIL_TEST);
    glStencilMask(0x00);
    glColorMask(GL_FALSE, GL_FALSE, GL_FALSE, GL_FALSE);
    glEnable(GL_DEPTH_TEST);
    glDepthMask(GL_TRUE);
    glDepthFunc(GL_ALWAYS);
    glClear(GL_DEPTH_BUFFER_BIT);
    for (Portal* portal : tunnel->getPortals()) {
        program->setView(camera->getViewMatrix());
        portal->drawSurface(program);
    }
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

std::size_t shadowLightCount(const std::vector<SpotLight*>& lights)
{
    return std::min(MAX_SHADOW_LIGHTS, lights.size());
}

// Face culling stays disabled here, so the front-face selection has no effect: enabling it
// changed the train's shadow edges and made no measurable difference to the frame time.
void renderShadowMaps(const std::vector<SpotLight*>& lights)
{
    shadowProgram->use(true);
    for (std::size_t i = 0; i < shadowLightCount(lights); ++i) {
        glEnable(GL_DEPTH_TEST);
        shadowMaps[i]->bind();
        glClear(GL_DEPTH_BUFFER_BIT);
        shadowProgram->setDepthVP(lights[i]->viewProjection(), 0);
        glCullFace(GL_FRONT);
        drawCulled(gameState.currentTunnel, camera, shadowProgram, gameState.realityView);
        glCullFace(GL_BACK);
        shadowMaps[i]->unbind();
    }
}

// Texture unit 0 stays free for the meshes' diffuse textures; light i uses unit i + 1.
void bindLights(const std::vector<SpotLight*>& lights)
{
    for (std::size_t i = 0; i < shadowLightCount(lights); ++i) {
        const auto slot = static_cast<std::uint16_t>(i + 1);
        glActiveTexture(GL_TEXTURE1 + static_cast<GLenum>(i));
        glBindTexture(GL_TEXTURE_2D, shadowMaps[i]->depthTexture());
        defaultProgram->setShadowMap(slot);
        defaultProgram->setDepthVP(lights[i]->viewProjection(), slot);
        defaultProgram->setSpotLight(lights[i], slot);
    }
}

void drawGlassDoor()
{
    Tunnel* glassDoorTunnel = gameState.tunnels[GLASS_DOOR_TUNNEL];
    if (gameState.currentTunnel != glassDoorTunnel)
        return;
    if (gameState.realityView) {
        glassDoor->setPosition(glassDoorTunnel->getPosition() + GLASS_DOOR_REALITY_OFFSET);
        return;
    }
    glassDoor->setPosition(glassDoorTunnel->getPosition() + GLASS_DOOR_GLASSES_OFFSET);
    if (!renderSettings.transparency) {
        glassDoor->draw(defaultProgram);
        return;
    }
    glEnable(GL_BLEND);
    glBlendFunc(GL_SRC_ALPHA, GL_ONE_MINUS_SRC_ALPHA);
    glassDoor->draw(defaultProgram);
    glDisable(GL_BLEND);
}

} // namespace

void setPassTimer(PassTimer* timer)
{
    passTimer = timer;
}

void renderFrame()
{
    glClear(GL_COLOR_BUFFER_BIT | GL_DEPTH_BUFFER_BIT);
    const std::vector<SpotLight*> lights = gameState.currentTunnel->getLights();

    timedPass(FramePass::Shadow, [&] { renderShadowMaps(lights); });
    shadowProgram->use(false);
    defaultProgram->use(true);

    timedPass(FramePass::Portal,
              [] { drawPortals(gameState.currentTunnel, camera, defaultProgram, gameState.realityView); });

    timedPass(FramePass::Main, [&] {
        glEnable(GL_DEPTH_TEST);
        bindLights(lights);
        defaultProgram->setView(camera->getViewMatrix());
        drawCulled(gameState.currentTunnel, camera, defaultProgram, gameState.realityView);
    });
    timedPass(FramePass::GlassDoor, drawGlassDoor);
    defaultProgram->use(false);
}

void renderEndScreen(GameObject* screen)
{
    renderFrame();
    // An empty first shadow map (cleared to the far depth) lets the lamp reach every point.
    shadowMaps[0]->bind();
    glClear(GL_DEPTH_BUFFER_BIT);
    shadowMaps[0]->unbind();

    const glm::vec3 along = camera->getViewDirection();
    const SpotLight lamp(camera->syncPosition() - along * END_SCREEN_LAMP_BEHIND_EYE, glm::vec3(1.0f), along);
    const SpotLight unlit(lamp.position, glm::vec3(0.0f), along);
    defaultProgram->use(true);
    glActiveTexture(GL_TEXTURE1);
    glBindTexture(GL_TEXTURE_2D, shadowMaps[0]->depthTexture());
    defaultProgram->setShadowMap(1);
    defaultProgram->setDepthVP(lamp.viewProjection(), 1);
    defaultProgram->setSpotLight(&lamp, 1);
    defaultProgram->setSpotLight(&unlit, 2);
    defaultProgram->setSpotLight(&unlit, 3);
    screen->draw(defaultProgram);
    defaultProgram->use(false);
}

void drawCulled(Tunnel* tunnel, Camera* camera, ShaderProgram* program, bool realityView)
{
    renderSettings.trianglesRendered = 0;
    unsigned culled = 0;

    drawPortalFrames(tunnel, camera, program, culled);
    const auto& shell = realityView ? tunnel->getRealityPieces() : tunnel->getGlassesPieces();
    for (const GameObject* piece : shell)
        drawCounted(piece, camera, program, culled);
    for (const GameObject* object : tunnel->getObjects()) {
        if (shownInView(object, tunnel, realityView))
            drawCounted(object, camera, program, culled);
    }

    if (renderSettings.frustumCulling)
        std::cout << culled << " objects culled\n";
}

void drawPortals(Tunnel* tunnel, Camera* camera, ShaderProgram* program, bool realityView)
{
    for (Portal* portal : tunnel->getPortals()) {
        markPortalArea(portal, camera, program);
        drawViewThroughPortal(portal, camera, program, realityView);
        unmarkPortalArea(portal, camera, program);
    }
    writePortalDepths(tunnel, camera, program);
    restoreSceneState();
}
