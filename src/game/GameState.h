#pragma once

#include "game/PlayerMessages.h"
#include "game/PlayerState.h"

#include <glm/glm.hpp>

#include <SDL.h>

#include <array>
#include <cstdint>
#include <map>
#include <vector>

class Camera;
class Clock;
class GameObject;
class Model;
class Tunnel;

// Number of tunnels in the level.
constexpr int TUNNEL_COUNT = 21;
// A rule timer holds this while it is not running.
constexpr std::uint32_t TIMER_STOPPED = 0xFFFFFFFFu;
// The waiting train's tunnel while no scheduled train waits.
constexpr int NO_WAITING_TRAIN = -1;

// The one record of the game in progress.
struct GameState {
    bool quitRequested = false;           // ends the main loop
    bool won = false;                     // a final door was used
    bool lost = false;                    // a train hit the player
    bool realityView = true;              // true = reality view, false = glasses view (key E)
    Tunnel* currentTunnel = nullptr;      // the tunnel the player is in
    Tunnel* tunnels[TUNNEL_COUNT] = {};   // the level's tunnels, 0..20 (Tunnel 1..21)
    // The keys held this tick, as the tick's input holds them.
    std::array<Uint8, SDL_NUM_SCANCODES> heldKeys{};
    const Clock* clock = nullptr;         // game time in milliseconds
    bool leftButtonHeld = false;          // the left mouse button is down
    int debugTunnelIndex = 0;             // next tunnel of the debug jump (TAB / BACKSPACE)
    bool printTunnelRequested = false;    // print "Tunnel N" at the end of the next tick (key T)

    // Trains.
    bool trainsStarted = false;           // the train schedule runs
    std::uint32_t lastTrainTicks = 0;     // ms of the last scheduled train; 0 = not yet set
    std::vector<int> trainTunnels;        // tunnels in which the schedule starts no new train
    int waitingTrainTunnel = NO_WAITING_TRAIN; // scheduled, not yet started: the player is on its track

    // Final doors.
    std::vector<GameObject*> finalDoors;  // in the order of plan::FINAL_DOOR_TUNNELS
    bool finalDoorUsable = false;         // the second final door can be used
    std::vector<Model*> portalModels;     // portal surface, then portal frame
    std::vector<Model*> levelModels;      // every model the level loaded, released at shutdown
    GameObject* glassDoor = nullptr;      // the glass door of the key's tunnel, in no tunnel list
    Camera* camera = nullptr;             // the player: his body and his eye
    PlayerState player;                   // what the rules note of the player during a tick
    PlayerMessages messages;              // what the game tells the player

    // Key puzzle.
    GameObject* key = nullptr;            // the solid key in the key's tunnel
    GameObject* transparentKey = nullptr; // the see-through key at the same spot
    bool keySolid = false;                // the key was turned back from see-through to solid
    bool firstDoorBonusDone = false;      // the first-door bonus was given

    // Switch puzzle.
    std::map<GameObject*, bool> switchStates; // switch front -> on
    std::vector<GameObject*> switchBacks;     // the three back plates
    bool switchesSolved = false;              // all switches were on at the last check

    // Multi-view puzzle.
    int viewSwitchCount = 0;                      // view switches made in a view-switch tunnel
    std::uint32_t multiViewStartTicks = TIMER_STOPPED;
    bool multiViewBonusDone = false;

    // Patience puzzle.
    GameObject* button = nullptr;                 // the button in the button tunnel
    bool patienceDone = false;                    // the button was held long enough
    std::uint32_t patienceStartTicks = TIMER_STOPPED;

    // Align puzzle.
    std::vector<GameObject*> cubes;               // 0..2 movable cubes, 3..5 static hint cubes
    std::vector<glm::vec3> cubeStartPositions;    // last reality-view positions of cubes 0..2
    bool aligned = false;                         // cubes 0..2 are in line
    bool previousRealityView = false;             // realityView at the end of the previous tick
    bool cubesHidden = false;                     // cubes 0..2 are parked out of the tunnel

    // Milliseconds now, from the game's clock.
    std::uint32_t now() const;
    // Whether the player is in tunnel n (entry n of tunnels).
    bool inTunnel(int index) const { return currentTunnel == tunnels[index]; }
};

extern GameState gameState;
