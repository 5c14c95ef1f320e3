#include "app/SoundSnapshot.h"

#include "game/GameState.h"
#include "level/LevelPlan.h"
#include "level/Tunnel.h"
#include "physics/Camera.h"
#include "world/Door.h"

#include <algorithm>
#include <tuple>

namespace {

static_assert(std::tuple_size<decltype(SoundCues::Snapshot::cubePositions)>::value == plan::MOVABLE_CUBES,
              "every movable cube is heard");

bool keyHeld(SDL_Scancode key)
{
    return gameState.heldKeys[key] != 0;
}

bool walking()
{
    return keyHeld(SDL_SCANCODE_W) || keyHeld(SDL_SCANCODE_S) || keyHeld(SDL_SCANCODE_A) || keyHeld(SDL_SCANCODE_D);
}

} // namespace

SoundCues::Snapshot soundSnapshot()
{
    SoundCues::Snapshot now;
    now.tunnel = gameState.currentTunnel;
    const std::vector<Door*>& doors = now.tunnel->getDoors();
    for (std::size_t i = 0; i < std::min(doors.size(), SoundCues::MAX_DOORS); ++i)
        now.doorPositions[i] = doors[i]->getPosition();
    now.doorBackedInto = keyHeld(SDL_SCANCODE_S) ? gameState.player.transitDoor : nullptr;
    now.realityView = gameState.realityView;
    std::size_t switchNumber = 0;
    for (const auto& [front, on] : gameState.switchStates) {
        if (switchNumber < now.switchesOn.size())
            now.switchesOn[switchNumber++] = on;
    }
    now.solidKeyShown = gameState.tunnels[plan::KEY_TUNNEL]->containsObject(gameState.key);
    now.buttonHeld = gameState.inTunnel(plan::BUTTON_TUNNEL) && !gameState.patienceDone &&
                     gameState.patienceStartTicks != TIMER_STOPPED;
    now.patienceDone = gameState.patienceDone;
    now.inCubeTunnel = gameState.inTunnel(plan::CUBE_TUNNEL);
    for (std::size_t i = 0; i < now.cubePositions.size(); ++i)
        now.cubePositions[i] = gameState.cubes[i]->getPosition();
    now.cubesHidden = gameState.cubesHidden;
    now.stepping = walking() && gameState.camera->isOnGround();
    now.trainsStarted = gameState.trainTunnels.size();
    now.train = gameState.currentTunnel->getTrain();
    now.eye = gameState.camera->getPosition();
    now.lookAt = gameState.camera->getTarget();
    now.won = gameState.won;
    now.lost = gameState.lost;
    return now;
}
