#include "app/Input.h"

#include "app/Application.h"
#include "app/RenderSettings.h"
#include "game/GameState.h"
#include "game/PlayerMessages.h"
#include "game/Rules.h"
#include "level/LevelPlan.h"
#include "level/Tunnel.h"
#include "physics/Camera.h"
#include "render/Overlay.h"
#include "sound/GameSound.h"

#include <GL/glew.h>

#include <iterator>
#include <sstream>

namespace {

// The debug jump puts the eye above the tunnel's origin, looking down the tunnel.
const glm::vec3 DEBUG_JUMP_EYE_OFFSET(0.0f, 10.0f, 0.0f);
const glm::vec3 DEBUG_JUMP_TARGET_OFFSET(10.0f, 0.0f, 0.0f);

void switchView()
{
    gameState.realityView = !gameState.realityView;
    for (int viewSwitchTunnel : plan::VIEW_SWITCH_TUNNELS) {
        if (gameState.inTunnel(viewSwitchTunnel))
            gameState.viewSwitchCount += 1;
    }
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
    playerMessages.say(renderSettings.nearestSampling ? "texturesampling nearest" : "texturesampling linear");
}

// F5 goes round the mipmap modes in this order and names the new one.
struct MipmapStep {
    MipmapMode mode;
    const char* line;
};
constexpr MipmapStep MIPMAP_STEPS[] = {{MipmapMode::Off, "mipmapping off"},
                                       {MipmapMode::Nearest, "mipmapping nearest"},
                                       {MipmapMode::Linear, "mipmapping linear"}};

void cycleMipmapMode()
{
    std::size_t step = 0;
    while (MIPMAP_STEPS[step].mode != renderSettings.mipmapMode)
        ++step;
    const MipmapStep& next = MIPMAP_STEPS[(step + 1) % std::size(MIPMAP_STEPS)];
    renderSettings.mipmapMode = next.mode;
    playerMessages.say(next.line);
}

void toggleFrustumCulling()
{
    renderSettings.frustumCulling = !renderSettings.frustumCulling;
    playerMessages.say(renderSettings.frustumCulling ? "view frustum culling on" : "view frustum culling off");
}

void toggleTransparency()
{
    renderSettings.transparency = !renderSettings.transparency;
    playerMessages.say(renderSettings.transparency ? "transparency on" : "transparency off");
}

// Halves (0.5) or doubles (2) the mouse's turn per pixel; the new value is told either way, also
// when it stays at its limit.
void changeMouseSensitivity(float factor)
{
    std::ostringstream line;
    line << "mouse sensitivity " << camera->scaleTurnPerPixel(factor);
    playerMessages.say(line.str());
}

void toggleSound()
{
    setSoundOn(!soundIsOn());
    playerMessages.say(soundIsOn() ? "sound on" : "sound off");
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
    case SDLK_F1:
        renderSettings.showControls = !renderSettings.showControls;
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
    case SDLK_MINUS:
    case SDLK_KP_MINUS:
        changeMouseSensitivity(0.5f);
        break;
    case SDLK_EQUALS:
    case SDLK_KP_PLUS:
        changeMouseSensitivity(2.0f);
        break;
    case SDLK_F11:
        toggleFullscreen();
        break;
    default:
        break;
    }
    return false;
}

} // namespace

const std::vector<ControlsRow>& controlsTable()
{
    static const std::vector<ControlsRow> rows = {
        {"Mouse", "look around"},
        {"Left button", "click a door, the key, a switch; hold to keep pressing"},
        {"W, S", "walk forward, walk backwards"},
        {"A, D", "step sideways"},
        {"C", "jump"},
        {"E", "glasses on or off (reality or glasses view)"},
        {"T", "show the number of the tunnel you are in"},
        {"-, =", "mouse slower, faster"},
        {"M", "sound off or on"},
        {"F1", "show or hide these controls"},
        {"F2", "frame statistics on the console"},
        {"F3", "wireframe on or off"},
        {"F4", "nearest or linear texture filtering"},
        {"F5", "mipmapping off, nearest, linear"},
        {"F8", "view frustum culling on or off"},
        {"F9", "transparency of the glass door on or off"},
        {"F11", "fullscreen or window"},
        {"Tab, Backspace", "jump to the next or previous tunnel (for developers)"},
        {"Esc, Q", "end the game"},
    };
    return rows;
}

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
