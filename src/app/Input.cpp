#include "app/Input.h"

#include "app/Application.h"
#include "app/Gamepad.h"
#include "app/Options.h"
#include "app/OptionsPanel.h"
#include "app/RenderToggles.h"
#include "game/GameState.h"
#include "game/PlayerMessages.h"
#include "game/TickInput.h"
#include "render/Overlay.h"

#include <GL/glew.h>

#include <algorithm>
#include <iterator>
#include <string>
#include <utility>

namespace {

void toggleWireframe()
{
    renderSettings.wireframe = !renderSettings.wireframe;
    glPolygonMode(GL_FRONT_AND_BACK, renderSettings.wireframe ? GL_LINE : GL_FILL);
}

void toggleNearestSampling()
{
    renderSettings.nearestSampling = !renderSettings.nearestSampling;
    gameState.messages.say(renderSettings.nearestSampling ? "texturesampling nearest" : "texturesampling linear");
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
    gameState.messages.say(next.line);
}

void toggleFrustumCulling()
{
    renderSettings.frustumCulling = !renderSettings.frustumCulling;
    gameState.messages.say(renderSettings.frustumCulling ? "view frustum culling on" : "view frustum culling off");
}

void toggleTransparency()
{
    renderSettings.transparency = !renderSettings.transparency;
    gameState.messages.say(renderSettings.transparency ? "transparency on" : "transparency off");
}

// While paused only these keys work: ending the game, going on, the options, and the window and
// sound keys.
bool worksWhilePaused(SDL_Scancode key)
{
    return key == SDL_SCANCODE_ESCAPE || key == SDL_SCANCODE_Q || key == SDL_SCANCODE_P || key == SDL_SCANCODE_O ||
           key == SDL_SCANCODE_M || key == SDL_SCANCODE_F1 || key == SDL_SCANCODE_F11;
}

// Paused by hand (P), for the options panel, or because the window is away from the player
// (another window has the focus, or it is minimised); the game goes on when none holds.
bool pausedByHand = false;
bool windowAway = false;
// The first mouse motion after the window comes back carries the pointer's jump, not a look.
bool dropNextMotion = false;
Gamepad gamepad;
const Uint8* keyboard = nullptr; // the keys held, by scancode
TickInput pumped; // refilled by every pump, its room kept

void updatePause()
{
    setPaused(pausedByHand || optionsPanel.isOpen() || windowAway);
}

// The left mouse button, the gamepad's A or its right trigger pressed (true) or let go, for play;
// while paused a press does not click, but letting go still lets go.
void holdClick(bool down)
{
    if (!down || !isPaused())
        pumped.button(down);
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
// alike on every layout: the window's keys act at once, the others are play's.
void handleKey(SDL_Scancode key, SDL_Keycode label)
{
    if (optionsPanel.isOpen() && optionsPanel.handleKey(key)) {
        updatePause();
        return;
    }
    if (isPaused() && !worksWhilePaused(key))
        return;
    switch (key) {
    case SDL_SCANCODE_ESCAPE:
    case SDL_SCANCODE_Q:
        pumped.quit = true;
        break;
    case SDL_SCANCODE_P:
        pausedByHand = !pausedByHand;
        updatePause();
        break;
    case SDL_SCANCODE_O:
        optionsPanel.show();
        updatePause();
        break;
    case SDL_SCANCODE_F1:
        renderSettings.showControls = !renderSettings.showControls;
        break;
    case SDL_SCANCODE_M:
        changeSetting(Setting::Sound, 1);
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
        changeSetting(Setting::MouseSensitivity, -1);
        break;
    case SDL_SCANCODE_EQUALS:
    case SDL_SCANCODE_KP_PLUS:
        changeSetting(Setting::MouseSensitivity, 1);
        break;
    case SDL_SCANCODE_F11:
        changeSetting(Setting::Fullscreen, 1);
        break;
    default:
        pumped.press(key, label);
        break;
    }
}

// A gamepad's button as the key or the click it stands for.
void handleButton(const SDL_ControllerButtonEvent& event)
{
    if (Gamepad::clicks(event.button))
        holdClick(event.type == SDL_CONTROLLERBUTTONDOWN);
    const SDL_Scancode key = Gamepad::keyOf(event.button);
    if (event.type == SDL_CONTROLLERBUTTONDOWN && key != SDL_SCANCODE_UNKNOWN)
        handleKey(key, SDL_GetKeyFromScancode(key));
}

// The keys held this tick: the keyboard's, and the walking keys that the gamepad's stick holds.
void readHeldKeys()
{
    if (keyboard)
        std::copy_n(keyboard, SDL_NUM_SCANCODES, pumped.held.begin());
    else
        pumped.held.fill(0);
    gamepad.holdWalkingKeys(pumped.held.data());
}

void lookWithStick()
{
    const glm::vec2 look = gamepad.lookPerTick();
    // A turn by nothing would still round the look-at point.
    if (!isPaused() && look != glm::vec2(0.0f))
        pumped.look(look);
}

void handleEvent(const SDL_Event& event)
{
    switch (event.type) {
    case SDL_QUIT:
        pumped.quit = true;
        break;
    case SDL_WINDOWEVENT:
        handleWindowEvent(event.window.event);
        break;
    case SDL_MOUSEMOTION:
        if (!isPaused() && !std::exchange(dropNextMotion, false))
            pumped.look({static_cast<float>(event.motion.xrel), static_cast<float>(event.motion.yrel)});
        break;
    case SDL_MOUSEBUTTONDOWN:
    case SDL_MOUSEBUTTONUP:
        if (event.button.button == SDL_BUTTON_LEFT)
            holdClick(event.type == SDL_MOUSEBUTTONDOWN);
        break;
    case SDL_KEYDOWN:
        // Key repeats count as fresh presses: holding a toggle key toggles it again and again.
        handleKey(event.key.keysym.scancode, event.key.keysym.sym);
        break;
    case SDL_CONTROLLERDEVICEADDED:
        Gamepad::plugIn(event.cdevice.which);
        break;
    case SDL_CONTROLLERDEVICEREMOVED:
        gamepad.plugOut(event.cdevice.which);
        holdClick(false);
        break;
    case SDL_CONTROLLERBUTTONDOWN:
    case SDL_CONTROLLERBUTTONUP:
        handleButton(event.cbutton);
        break;
    case SDL_CONTROLLERAXISMOTION:
        if (gamepad.moveAxis(event.caxis.axis, event.caxis.value))
            holdClick(gamepad.triggerPressed());
        break;
    default:
        break;
    }
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
        {name(SDL_SCANCODE_O), "options: mouse, field of view, brightness, sound"},
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
        {"Gamepad sticks", "walk (left stick), look around (right stick)"},
        {"Gamepad buttons", "A, RT click; Y glasses; B jump; Start options; Back controls"},
    };
}

const TickInput& pumpInput()
{
    pumped.actions.clear();
    pumped.quit = false;
    SDL_Event event;
    while (!pumped.quit && SDL_PollEvent(&event))
        handleEvent(event);
    pumped.paused = isPaused();
    if (!pumped.quit) {
        readHeldKeys();
        lookWithStick();
    }
    return pumped;
}

void readHeldKeysFrom(const Uint8* keys)
{
    keyboard = keys;
}
