#include "app/Input.h"

#include "app/Application.h"
#include "app/RenderToggles.h"
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
#include <string>
#include <utility>

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

// While paused only these keys work: ending the game, going on, and the window and sound keys.
bool worksWhilePaused(SDL_Scancode key)
{
    return key == SDL_SCANCODE_ESCAPE || key == SDL_SCANCODE_Q || key == SDL_SCANCODE_P || key == SDL_SCANCODE_M ||
           key == SDL_SCANCODE_F1 || key == SDL_SCANCODE_F11;
}

// Paused by hand (P), or because the window is away from the player (another window has the
// focus, or it is minimised); the game goes on when neither holds.
bool pausedByHand = false;
bool windowAway = false;
// The first mouse motion after the window comes back carries the pointer's jump, not a look.
bool dropNextMotion = false;

void updatePause()
{
    setPaused(pausedByHand || windowAway);
}

void handleWindowEvent(Uint8 what)
{
    if (what == SDL_WINDOWEVENT_FOCUS_LOST || what == SDL_WINDOWEVENT_MINIMIZED)
        windowAway = true;
    else if (what == SDL_WINDOWEVENT_FOCUS_GAINED || what == SDL_WINDOWEVENT_RESTORED) {
        dropNextMotion = dropNextMotion || windowAway;
        windowAway = false;
    } else
        return;
    updatePause();
}

// The key table, by the keys' places on the keyboard (as W, A, S, D walk), so that the game plays
// alike on every layout; true when the key quits the game.
bool handleKey(SDL_Scancode key)
{
    if (isPaused() && !worksWhilePaused(key))
        return false;
    switch (key) {
    case SDL_SCANCODE_ESCAPE:
    case SDL_SCANCODE_Q:
        return true;
    case SDL_SCANCODE_P:
        pausedByHand = !pausedByHand;
        updatePause();
        break;
    case SDL_SCANCODE_E:
        switchView();
        break;
    case SDL_SCANCODE_C:
        camera->jump();
        break;
    case SDL_SCANCODE_T:
        gameState.printTunnelRequested = !gameState.printTunnelRequested;
        break;
    case SDL_SCANCODE_TAB:
        debugJumpForward();
        break;
    case SDL_SCANCODE_BACKSPACE:
        debugJumpBackward();
        break;
    case SDL_SCANCODE_F1:
        renderSettings.showControls = !renderSettings.showControls;
        break;
    case SDL_SCANCODE_M:
        toggleSound();
        break;
    case SDL_SCANCODE_F2:
        renderSettings.showStats = !renderSettings.showStats;
        break;
    case SDL_SCANCODE_F3:
        toggleWireframe();
        break;
    case SDL_SCANCODE_F4:
        toggleNearestSampling();
        break;
    case SDL_SCANCODE_F5:
        cycleMipmapMode();
        break;
    case SDL_SCANCODE_F8:
        toggleFrustumCulling();
        break;
    case SDL_SCANCODE_F9:
        toggleTransparency();
        break;
    case SDL_SCANCODE_MINUS:
    case SDL_SCANCODE_KP_MINUS:
        changeMouseSensitivity(0.5f);
        break;
    case SDL_SCANCODE_EQUALS:
    case SDL_SCANCODE_KP_PLUS:
        changeMouseSensitivity(2.0f);
        break;
    case SDL_SCANCODE_F11:
        toggleFullscreen();
        break;
    default:
        break;
    }
    return false;
}

} // namespace

std::vector<ControlsRow> controlsTable(KeyAtPlace keyAt)
{
    // The names the player's own keyboard shows at the keys' places.
    auto name = [keyAt](SDL_Scancode place) {
        const std::string shown = SDL_GetKeyName(keyAt(place));
        return shown.empty() ? std::string(SDL_GetScancodeName(place)) : shown;
    };
    auto names = [&name](SDL_Scancode first, SDL_Scancode second) { return name(first) + ", " + name(second); };
    return {
        {"Mouse", "look around"},
        {"Left button", "click a door, the key, a switch; hold to keep pressing"},
        {names(SDL_SCANCODE_W, SDL_SCANCODE_S), "walk forward, walk backwards"},
        {names(SDL_SCANCODE_A, SDL_SCANCODE_D), "step sideways"},
        {name(SDL_SCANCODE_C), "jump"},
        {name(SDL_SCANCODE_E), "glasses on or off (reality or glasses view)"},
        {name(SDL_SCANCODE_T), "show the number of the tunnel you are in"},
        {names(SDL_SCANCODE_MINUS, SDL_SCANCODE_EQUALS), "mouse slower, faster"},
        {name(SDL_SCANCODE_M), "sound off or on"},
        {name(SDL_SCANCODE_P), "pause or go on (also when you leave the window)"},
        {"F1", "show or hide these controls"},
        {"F2", "frame statistics on the console"},
        {"F3", "wireframe on or off"},
        {"F4", "nearest or linear texture filtering"},
        {"F5", "mipmapping off, nearest, linear"},
        {"F8", "view frustum culling on or off"},
        {"F9", "transparency of the glass door on or off"},
        {"F11", "fullscreen or window"},
        {"Tab, Backspace", "jump to the next or previous tunnel (for developers)"},
        {"Esc, " + name(SDL_SCANCODE_Q), "end the game"},
    };
}

bool handleEvents()
{
    SDL_Event event;
    while (SDL_PollEvent(&event)) {
        switch (event.type) {
        case SDL_QUIT:
            return true;
        case SDL_WINDOWEVENT:
            handleWindowEvent(event.window.event);
            break;
        case SDL_MOUSEMOTION:
            if (!isPaused() && !std::exchange(dropNextMotion, false))
                camera->look(static_cast<float>(event.motion.xrel), static_cast<float>(event.motion.yrel));
            break;
        case SDL_MOUSEBUTTONDOWN:
            if (event.button.button == SDL_BUTTON_LEFT && !isPaused()) {
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
            if (handleKey(event.key.keysym.scancode))
                return true;
            break;
        default:
            break;
        }
    }
    return false;
}
