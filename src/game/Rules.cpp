#include "game/Rules.h"

#include "game/GameState.h"
#include "game/PlayerMessages.h"
#include "game/PlayerState.h"
#include "game/Puzzles.h"
#include "game/Level.h"
#include "game/TickInput.h"
#include "level/DoorPortals.h"
#include "level/LevelPlan.h"
#include "level/Tunnel.h"
#include "physics/Camera.h"
#include "physics/PhysicsWorld.h"
#include "world/Door.h"
#include "world/Portal.h"
#include "world/Train.h"

#include <btBulletDynamicsCommon.h>
#include <glm/gtc/matrix_transform.hpp>

#include <algorithm>
#include <cmath>
#include <cstdint>
#include <cstdlib>
#include <string>

namespace {

// A click looks for a door along the view direction stretched to this length.
constexpr float CLICK_REACH = 30.0f;

// One more train starts every time more than a minute has passed.
constexpr std::int32_t TRAIN_INTERVAL_MS = 60000;

// Where a click walk puts the player: beside the partner door, looking into its tunnel.
const glm::vec3 FAR_END_ARRIVAL(-5.0f, 1.0f, 0.0f);
const glm::vec3 NEAR_END_ARRIVAL(5.0f, 1.0f, 0.0f);
// Where a touch transit puts the player: beside the partner door, looking at it.
const glm::vec3 TOUCH_ARRIVAL(3.0f, 10.0f, 0.0f);
// The look-at point stays this far ahead of the eye.
constexpr float LOOK_AHEAD = 10.0f;
// A door that has been walked through by click is moved out of the way by this much.
const glm::vec3 WALKED_DOOR_OFFSET(500.0f, 500.0f, 500.0f);
// The debug jump puts the eye above the tunnel's origin, looking down the tunnel.
const glm::vec3 DEBUG_JUMP_EYE_OFFSET(0.0f, 10.0f, 0.0f);
const glm::vec3 DEBUG_JUMP_TARGET_OFFSET(10.0f, 0.0f, 0.0f);

// A door can take the player through only while it still stands in its tunnel (the walk through
// its partner's side removes it) and only if it has a partner to arrive at.
bool leadsSomewhere(Door* door)
{
    return door->getPartner() && gameState.currentTunnel->containsObject(door);
}

// Carries the player through a clicked door to the partner's side and opens its portals.
void walkThroughDoor(Door* door)
{
    Tunnel* destination = door->getDestination();
    glm::vec3 partnerPosition = door->getPartnerPosition();
    bool arrivesAtFarEnd = destination->hasForward(gameState.currentTunnel);
    glm::vec3 eye = partnerPosition + (arrivesAtFarEnd ? FAR_END_ARRIVAL : NEAR_END_ARRIVAL);
    glm::vec3 ahead(arrivesAtFarEnd ? -LOOK_AHEAD : LOOK_AHEAD, 0.0f, 0.0f);
    gameState.camera->setPositionAndTarget(eye, eye + ahead);
    gameState.currentTunnel = destination;
    openPortals(*door, gameState.portalModels, *gameState.camera);
    destination->removeObject(door->getPartner());
    door->move(WALKED_DOOR_OFFSET.x, WALKED_DOOR_OFFSET.y, WALKED_DOOR_OFFSET.z);
}

void startTrains()
{
    gameState.trainsStarted = true;
    gameState.tunnels[plan::FIRST_TRAIN_TUNNEL]->spawnTrain();
    gameState.trainTunnels.push_back(plan::FIRST_TRAIN_TUNNEL);
}

void clickDoor(Door* door)
{
    if (!gameState.realityView) {
        if (door->clickableInGlasses && leadsSomewhere(door))
            walkThroughDoor(door);
        return;
    }
    if (door == levelDoor(plan::TRAIN_START_DOOR))
        startTrains();
    if (door->clickableInReality && leadsSomewhere(door)) {
        applyFirstDoorBonus(door);
        walkThroughDoor(door);
    }
}

void useFinalDoors()
{
    if (gameState.inTunnel(plan::FINAL_DOOR_TUNNELS[0]) && gameState.patienceDone &&
        isHitByViewLine(gameState.finalDoors[0]))
        gameState.won = true;
    if (gameState.inTunnel(plan::FINAL_DOOR_TUNNELS[1]) && gameState.finalDoorUsable &&
        isHitByViewLine(gameState.finalDoors[1]))
        gameState.won = true;
}

bool isTrainTunnel(int index)
{
    const std::vector<int>& taken = gameState.trainTunnels;
    return std::find(taken.begin(), taken.end(), index) != taken.end();
}

bool allTunnelsHaveTrains()
{
    for (int index = 0; index < TUNNEL_COUNT; ++index) {
        if (!isTrainTunnel(index))
            return false;
    }
    return true;
}

// The schedule draws tunnels from the C library's generator, never seeded, so every run sees
// the same trains. Once every tunnel has had its train no further one starts.
void scheduleTrain()
{
    if (allTunnelsHaveTrains())
        return;
    int index;
    do {
        index = std::rand() % TUNNEL_COUNT;
    } while (isTrainTunnel(index));
    gameState.trainTunnels.push_back(index);
    gameState.waitingTrainTunnel = index;
    gameState.messages.say("Attention, a new train has started.");
}

// A train born on the player would end the game with no warning: in the player's own tunnel the
// scheduled train waits, unseen, until the player stands off its track; elsewhere it starts at once.
void startWaitingTrain()
{
    if (gameState.waitingTrainTunnel == NO_WAITING_TRAIN)
        return;
    Tunnel* tunnel = gameState.tunnels[gameState.waitingTrainTunnel];
    if (tunnel == gameState.currentTunnel && tunnel->isOnTrainTrack(gameState.camera->syncPosition(), gameState.camera->getHalfWidth()))
        return;
    tunnel->spawnTrain();
    gameState.waitingTrainTunnel = NO_WAITING_TRAIN;
}

// The glass door stands across the key's tunnel in the glasses view and beyond its far end
// wall in the reality view, placed before the physics step so that it blocks on every tick.
void placeGlassDoor()
{
    if (!gameState.inTunnel(plan::GLASS_DOOR_TUNNEL))
        return;
    gameState.glassDoor->setPosition(gameState.currentTunnel->getPosition() +
                           (glassDoorBlocks() ? plan::GLASS_DOOR_GLASSES_SPOT : plan::GLASS_DOOR_REALITY_SPOT));
}

void printCurrentTunnel()
{
    for (int index = 0; index < TUNNEL_COUNT; ++index) {
        if (gameState.inTunnel(index))
            gameState.messages.say("Tunnel " + std::to_string(index + 1));
    }
    gameState.printTunnelRequested = false;
}

// The glasses on or off; a switch in a tunnel of the view-switch puzzle counts towards it.
void switchView()
{
    gameState.realityView = !gameState.realityView;
    for (int viewSwitchTunnel : plan::VIEW_SWITCH_TUNNELS) {
        if (gameState.inTunnel(viewSwitchTunnel))
            gameState.viewSwitchCount += 1;
    }
}

// A left-button press: door pick and walk, the train start, key, switches and final doors.
void handleClick()
{
    glm::vec3 direction = gameState.camera->syncViewDirection();
    bool facingFarEnd = direction.x > 0.0f;
    Door* door = gameState.currentTunnel->findDoorOnRay(gameState.camera->syncPosition(), direction * CLICK_REACH, facingFarEnd);
    if (door)
        clickDoor(door);
    applyKeyRule();
    applySwitchToggle();
    useFinalDoors();
}

void updatePortalTransit()
{
    // The old tunnel's portals are all tested, also after a transit has changed the tunnel.
    for (Portal* portal : gameState.currentTunnel->getPortals()) {
        if (!gameState.camera->contactTest(portal->getBody()))
            continue;
        Portal* linked = portal->getLinkedPortal();
        glm::mat4 viewThroughPortal = portal->portalView(gameState.camera->syncViewMatrix());
        glm::vec3 eye(glm::inverse(viewThroughPortal)[3]);
        // For these root objects the rotation vector holds the quaternion's x, y, z: its y is 0
        // for an unturned portal and +-1 for one turned half round.
        float a = portal->getRotationVector().y;
        float b = linked->getRotationVector().y;
        float turnDegrees = 180.0f - (a * 180.0f + b * 180.0f);
        glm::mat4 turn = glm::rotate(glm::mat4(1.0f), glm::radians(turnDegrees), glm::vec3(0.0f, 1.0f, 0.0f));
        glm::vec3 direction(turn * glm::vec4(gameState.camera->syncViewDirection(), 0.0f));
        gameState.camera->setPositionAndTarget(eye, eye + LOOK_AHEAD * direction);
        gameState.currentTunnel = linked->getTunnel();
    }
}

void updateTrainSchedule()
{
    if (!gameState.trainsStarted)
        return;
    std::uint32_t now = gameState.now();
    if (gameState.lastTrainTicks == 0) {
        gameState.lastTrainTicks = now;
    } else if (static_cast<std::int32_t>(now - gameState.lastTrainTicks) > TRAIN_INTERVAL_MS) {
        scheduleTrain();
        gameState.lastTrainTicks = now;
    }
    startWaitingTrain();
    // Only the train of the player's tunnel runs; the others wait where they stand. One that
    // runs into the player's body has hit him.
    if (Train* train = gameState.currentTunnel->getTrain()) {
        train->update();
        gameState.player.hitByTrain = gameState.player.hitByTrain || train->hasHit();
    }
}

// The tunnel that is current after a train test and a pending touch transit.
Tunnel* updatePlayerState(Tunnel* tunnel)
{
    if (Train* train = tunnel->getTrain())
        checkTrainHit(train);
    if (!gameState.player.transitPending)
        return tunnel;
    Door* door = gameState.player.transitDoor;
    glm::vec3 eye = door->getPartnerPosition() + TOUCH_ARRIVAL;
    gameState.camera->setPositionAndTarget(eye, glm::vec3(eye.x - LOOK_AHEAD, eye.y, eye.z));
    gameState.player.transitPending = false;
    return door->getDestination();
}

// A door of the tunnel that passes on touch takes the player through when he backs into it, at
// the end of the tick.
void noteDoorBackedInto(const Stride& stride)
{
    if (Door* door = doorBackedInto(*gameState.camera, *gameState.currentTunnel, stride)) {
        gameState.player.transitPending = true;
        gameState.player.transitDoor = door;
    }
}

void jumpToTunnel(int index)
{
    gameState.currentTunnel = gameState.tunnels[index];
    glm::vec3 origin = gameState.currentTunnel->getPosition();
    gameState.camera->setPositionAndTarget(origin + DEBUG_JUMP_EYE_OFFSET, origin + DEBUG_JUMP_TARGET_OFFSET);
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

// The keys of play, by their places on the keyboard (as W, A, S, D walk), so that the game plays
// alike on every layout.
void pressKey(SDL_Scancode place)
{
    switch (place) {
    case SDL_SCANCODE_E:
        switchView();
        break;
    case SDL_SCANCODE_C:
        gameState.camera->jump();
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
    default:
        break;
    }
}

// A press of the button clicks, and holding it keeps pressing.
void act(const TickInput::Action& action)
{
    switch (action.kind) {
    case TickInput::Action::Kind::Key:
        pressKey(action.place);
        break;
    case TickInput::Action::Kind::Look:
        gameState.camera->look(action.look.x, action.look.y);
        break;
    case TickInput::Action::Kind::ButtonDown:
        gameState.leftButtonHeld = true;
        handleClick();
        break;
    case TickInput::Action::Kind::ButtonUp:
        gameState.leftButtonHeld = false;
        break;
    }
}

// The rules of one tick; true when the game is to stop now.
bool playTick(const TickInput& input)
{
    for (const TickInput::Action& action : input.actions)
        act(action);
    if (input.quit)
        return true;
    gameState.heldKeys = input.held;
    if (input.paused)
        return false;
    noteDoorBackedInto(gameState.camera->updateMovement(input.held.data()));
    updatePortalTransit();
    updateTrainSchedule();
    updateMultiViewPuzzle();
    updateSwitchPuzzle();
    updatePatiencePuzzle();
    updateAlignPuzzle();
    gameState.currentTunnel = updatePlayerState(gameState.currentTunnel);
    placeGlassDoor();
    if (gameState.player.hitByTrain) {
        gameState.lost = true;
        return true;
    }
    if (gameState.printTunnelRequested)
        printCurrentTunnel();
    gameState.finalDoorUsable = !gameState.aligned && !gameState.switchesSolved && gameState.keySolid;
    return false;
}

} // namespace

bool runTick(const TickInput& input, const std::function<void()>& afterRules)
{
    const bool stop = playTick(input);
    if (afterRules)
        afterRules();
    if (!input.paused)
        stepPhysics();
    return stop;
}

Door* doorBackedInto(Camera& body, const Tunnel& tunnel, const Stride& stride)
{
    if (!stride.backwards)
        return nullptr;
    Door* touched = nullptr;
    for (GameObject* object : tunnel.getObjects()) {
        auto* door = dynamic_cast<Door*>(object);
        if (door && door->passOnTouch && body.touchesAt(stride.backSpot, door->getBody()))
            touched = door;
    }
    return touched;
}





bool glassDoorBlocks()
{
    return gameState.inTunnel(plan::GLASS_DOOR_TUNNEL) && !gameState.realityView;
}

bool isHitByViewLine(const GameObject* object)
{
    glm::vec3 eye = gameState.camera->syncPosition();
    return gameState.currentTunnel->holds(object) && object->isHitByRay(eye, gameState.camera->syncViewDirection());
}

bool checkTrainHit(GameObject* object)
{
    auto [high, low] = object->worldBounds();
    float radius = gameState.camera->getHalfWidth();
    float d = static_cast<float>(std::pow(radius, 2));
    glm::vec3 eye = gameState.camera->syncPosition();
    for (int axis = 0; axis < 3; ++axis) {
        if (low[axis] > eye[axis])
            d -= (eye[axis] - low[axis]) * (eye[axis] - low[axis]);
        else if (eye[axis] > high[axis])
            d -= (eye[axis] - high[axis]) * (eye[axis] - high[axis]);
    }
    bool hit = d > 0.0f;
    if (hit && dynamic_cast<Train*>(object))
        gameState.player.hitByTrain = true;
    return hit;
}
