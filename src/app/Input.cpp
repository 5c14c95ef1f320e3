#include "app/Input.h"

#include "app/RenderSettings.h"
#include "game/GameState.h"
#include "game/Rules.h"
#include "level/Tunnel.h"
#include "physics/Camera.h"
#include "sound/GameSound.h"

#include <GL/glew.h>

#include <iostream>

namespace {

// The two tunnels whose view switches count for the multi-view puzzle.
constexpr int FIRST_MULTI_VIEW_TUNNEL = 11;
constexpr int SECOND_MULTI_VIEW_TUNNEL = 18;
// The debug jump puts the eye above the tunnel's origin, looking down the tunnel.
const glm::vec3 DEBUG_JUMP_EYE_OFFSET(0.0f, 10.0f, 0.0f);
const glm::vec3 DEBUG_JUMP_TARGET_OFFSET(10.0f, 0.0f, 0.0f);

bool inTunnel(int index)
{
    return gameState.currentTunnel == gameState.tunnels[index];
}

void switchView()
{
    gameState.realityView = !gameState.realityView;
    if (inTunnel(FIRST_MULTI_VIEW_TUNNEL) || inTunnel(SECOND_MULTI_VIEW_TUNNEL))
        gameState.viewSwitchCount += 1;
}

void jumpToTunnel(int index)
{
    gameState.currentTunnel = gameState.tunnels[index];
    glm::vec3 origin = gameState.currentTunnel->getPosition();
    camera->setPositionAndTarget(origin + DEBUG_JUMP_EYE_OFFSET, origin + DEBUG_JUMP_TARGET_OFFSET);
}

void debugJumpForward()
{
    jumpToTunnel(gameState.debugTunnelIndex);
    gameState.debugTunnelIndex = (gameState.debugTunnelIndex + 1) % TUNNEL_COUNT;
}

void debugJumpBackward()
{
    gameState.debugTunnelIndex = (gameState.debugTunnelIndex + TUNNEL_COUNT - 1) % TUNNEL_COUNT;
    jumpToTunnel(gameState.debugTunnelIndex);
}

void toggleWireframe()
{
    renderSettings.wireframe = !renderSettings.wireframe;
    glPolygonMode(GL_FRONT_AND_BACK, renderSettings.wireframe ? GL_LINE : GL_FILL);
}

void toggleNearestSampling()
{
    renderSettings.nearestSampling = !renderSettings.nearestSampling;
    std::cout << (renderSettings.nearestSampling ? "texturesampling nearest" : "texturesampling linear") << std::endl;
}

void cycleMipmapMode()
{
    static const char* const MODE_LINES[] = {"mipmapping off", "mipmapping nearest", "mipmapping linear"};
    renderSettings.mipmapMode = (renderSettings.mipmapMode + 1) % 3;
    std::cout << MODE_LINES[renderSettings.mipmapMode] << std::endl;
}

void toggleFrustumCulling()
{
    renderSettings.frustumCulling = !renderSettings.frustumCulling;
    std::cout << (renderSettings.frustumCulling ? "view frustum culling on" : "view frustum culling off") << std::endl;
}

void toggleTransparency()
{
    renderSettings.transparency = !renderSettings.transparency;
    std::cout << (renderSettings.transparency ? "transparency on" : "transparency off") << std::endl;
}

void toggleSound()
{
    setSoundOn(!soundIsOn());
    std::cout << (soundIsOn() ? "sound on" : "sound off") << std::endl;
}

// The key table; true when the key quits the game.
bool handleKey(SDL_Keycode key)
{
    switch (key) {
    case SDLK_ESCAPE:
    case SDLK_q:
        return true;
    case SDLK_e:
        switchView();
        break;
    case SDLK_c:
        camera->jump();
        break;
    case SDLK_t:
        gameState.printTunnelRequested = !gameState.printTunnelRequested;
        break;
    case SDLK_TAB:
        debugJumpForward();
        break;
    case SDLK_BACKSPACE:
        debugJumpBackward();
        break;
    case SDLK_m:
        toggleSound();
        break;
    case SDLK_F2:
        renderSettings.showStats = !renderSettings.showStats;
        break;
    case SDLK_F3:
        toggleWireframe();
        break;
    case SDLK_F4:
        toggleNearestSampling();
        break;
    case SDLK_F5:
        cycleMipmapMode();
        break;
    case SDLK_F8:
        toggleFrustumCulling();
        break;
    case SDLK_F9:
        toggleTransparency();
        break;
    default:
        break;
    }
    return false;
}

} // namespace

bool handleEvents()
{
    SDL_Event event;
    while (SDL_PollEvent(&event)) {
        switch (event.type) {
        case SDL_QUIT:
            return true;
        case SDL_MOUSEMOTION:
            camera->look(static_cast<float>(event.motion.xrel), static_cast<float>(event.motion.yrel));
            break;
        case SDL_MOUSEBUTTONDOWN:
            if (event.button.button == SDL_BUTTON_LEFT) {
                gameState.leftButtonHeld = true;
                handleClick();
            }
            break;
        case SDL_MOUSEBUTTONUP:
            if (event.button.button == SDL_BUTTON_LEFT)
                gameState.leftButtonHeld = false;
            break;
        case SDL_KEYDOWN:
            // Key repeats count as fresh presses: holding a toggle key toggles it again and again.
            if (handleKey(event.key.keysym.sym))
                return true;
            break;
        default:
            break;
        }
    }
    return false;
}
