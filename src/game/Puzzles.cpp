#include "game/Puzzles.h"

#include "game/GameState.h"
#include "level/Tunnel.h"
#include "physics/Camera.h"
#include "world/Door.h"

#include <btBulletDynamicsCommon.h>

#include <algorithm>
#include <initializer_list>
#include <iostream>

namespace {

// Door k of tunnel n.
struct DoorIndex {
    int tunnel;
    int door;
};

// The first door walked through by click, and the doors its first use opens.
constexpr DoorIndex FIRST_DOOR{0, 2};
constexpr DoorIndex FIRST_DOOR_BONUS[] = {{1, 5}, {3, 4}, {2, 5}, {3, 3}};

// The doors each click on the key opens.
constexpr DoorIndex KEY_DOORS[] = {{2, 2}, {9, 5}};
constexpr DoorIndex KEY_DOOR_SHOWN_IN_GLASSES{0, 2};
constexpr DoorIndex KEY_LAST_DOOR{3, 5};

// The switches: one front per tunnel, standing at this offset from the tunnel's origin.
constexpr int SWITCH_TUNNELS[] = {5, 7, 9};
const glm::vec3 SWITCH_OFFSET(20.0f, 6.0f, 20.0f);
// Opened with their partners when every switch is on; the first six close again when one is off.
constexpr DoorIndex SWITCH_DOORS_THAT_CLOSE[] = {{10, 3}, {10, 4}, {10, 5}, {16, 0}, {16, 1}, {16, 2}};
constexpr DoorIndex SWITCH_DOORS_THAT_STAY[] = {{7, 1}, {7, 5}, {7, 6}, {9, 1}, {9, 2}, {10, 2}, {17, 1}, {17, 2}};

// Three view switches in tunnel 11 or 18 open two doors for two seconds, and once some more.
constexpr int MULTI_VIEW_TUNNELS[] = {11, 18};
constexpr int MULTI_VIEW_SWITCHES = 3;
constexpr std::uint32_t MULTI_VIEW_WINDOW_MS = 2000;
constexpr DoorIndex MULTI_VIEW_DOORS[] = {{11, 2}, {18, 2}};
constexpr DoorIndex MULTI_VIEW_BONUS[] = {{1, 1}, {4, 3}, {5, 2}, {5, 3}, {5, 4}, {7, 4}};

// The button, held for more than 15 seconds.
constexpr std::uint32_t PATIENCE_MS = 15000;

// The cubes: in line when cube 0 is within 5 in z of cubes 1 and 2.
constexpr float ALIGN_TOLERANCE = 5.0f;
// The glasses view parks the movable cubes behind the wall and shows the static ones in line.
const glm::vec3 HIDDEN_OFFSET(0.0f, 0.0f, 100.0f);
const glm::vec3 HINT_CUBE_POSITIONS[] = {{1600.0f, 1.0f, 200.0f}, {1590.0f, 1.0f, 200.0f}, {1580.0f, 1.0f, 200.0f}};
constexpr DoorIndex ALIGN_DOORS[] = {{5, 0}, {5, 1}, {15, 0}, {15, 1}, {15, 3}, {15, 4}};

Door* doorAt(const DoorIndex& index)
{
    return levelDoor(index.tunnel, index.door);
}

template <typename Doors> void setDoorsOpen(const Doors& doors, bool open, bool withPartner)
{
    for (const DoorIndex& index : doors)
        doorAt(index)->setOpen(open, withPartner);
}

bool inAnyTunnel(std::initializer_list<int> indexes)
{
    return std::any_of(indexes.begin(), indexes.end(), [](int index) { return gameState.inTunnel(index); });
}

// Swaps the key shown in the current tunnel for the other one, in its place in the list:
// solid -> see-through -> solid. Both keys stand on one spot.
void swapKey()
{
    Tunnel* tunnel = gameState.currentTunnel;
    const std::vector<GameObject*>& objects = tunnel->getObjects();
    auto shownKey = std::find_if(objects.begin(), objects.end(), [](const GameObject* object) {
        return object == gameState.key || object == gameState.transparentKey;
    });
    if (shownKey == objects.end())
        return;
    bool becomesSolid = *shownKey == gameState.transparentKey;
    tunnel->replaceObject(*shownKey, becomesSolid ? gameState.key : gameState.transparentKey);
    gameState.keySolid = becomesSolid;
}

GameObject* currentSwitchFront()
{
    glm::vec3 origin = gameState.currentTunnel->getPosition();
    for (const auto& [front, on] : gameState.switchStates) {
        if (front->getPosition() - SWITCH_OFFSET == origin)
            return front;
    }
    return nullptr;
}

// A cube parked or put back must not carry the speed of its fall or of a push.
void stopCube(GameObject* cube)
{
    btRigidBody* body = cube->getBody();
    body->setLinearVelocity(btVector3(0, 0, 0));
    body->setAngularVelocity(btVector3(0, 0, 0));
    body->activate(true);
}

void hideCubes()
{
    for (int i = 0; i < MOVABLE_CUBES; ++i) {
        GameObject* cube = gameState.cubes[i];
        gameState.cubeStartPositions[i] = cube->getPosition();
        cube->move(HIDDEN_OFFSET.x, HIDDEN_OFFSET.y, HIDDEN_OFFSET.z);
        stopCube(cube);
    }
    for (int i = 0; i < MOVABLE_CUBES; ++i)
        gameState.cubes[MOVABLE_CUBES + i]->setPosition(HINT_CUBE_POSITIONS[i]);
    gameState.cubesHidden = true;
}

void showCubes()
{
    for (int i = 0; i < MOVABLE_CUBES; ++i) {
        GameObject* cube = gameState.cubes[i];
        cube->setPosition(gameState.cubeStartPositions[i]);
        stopCube(cube);
    }
    for (int i = 0; i < MOVABLE_CUBES; ++i)
        gameState.cubes[MOVABLE_CUBES + i]->move(HIDDEN_OFFSET.x, HIDDEN_OFFSET.y, HIDDEN_OFFSET.z);
    gameState.cubesHidden = false;
}

// The movable cubes are shown in the reality view only. The cubes follow the view, not just its
// switches: a view switched outside tunnel 17 must not leave them hidden, or shown in the glasses
// view, when the player comes back. A switch to the reality view puts them back also when they
// were not hidden, as on the very first tick.
void followView()
{
    bool switchedToReality = gameState.realityView && !gameState.previousRealityView;
    if (!gameState.realityView && !gameState.cubesHidden)
        hideCubes();
    else if (gameState.realityView && (gameState.cubesHidden || switchedToReality))
        showCubes();
}

bool withinTolerance(float z, float other)
{
    return other - ALIGN_TOLERANCE <= z && z <= other + ALIGN_TOLERANCE;
}

void checkAlignment()
{
    float z0 = gameState.cubes[0]->getPosition().z;
    float z1 = gameState.cubes[1]->getPosition().z;
    float z2 = gameState.cubes[2]->getPosition().z;
    bool inLine = withinTolerance(z0, z1) && withinTolerance(z0, z2);
    if (!gameState.aligned && inLine) {
        gameState.aligned = true;
        setDoorsOpen(ALIGN_DOORS, true, true);
    }
    // Pushing the cubes apart again keeps the doors open.
    if (gameState.aligned && !inLine)
        gameState.aligned = false;
}

} // namespace

Door* levelDoor(int tunnel, int index)
{
    return gameState.tunnels[tunnel]->getDoors()[index];
}

bool isHitByViewLine(const GameObject* object)
{
    glm::vec3 eye = camera->syncPosition();
    return object->isHitByRay(eye, camera->getViewDirection());
}

void applyFirstDoorBonus(Door* clickedDoor)
{
    if (clickedDoor != doorAt(FIRST_DOOR) || gameState.firstDoorBonusDone)
        return;
    setDoorsOpen(FIRST_DOOR_BONUS, true, false);
    gameState.firstDoorBonusDone = true;
}

void applyKeyRule()
{
    if (!gameState.realityView || !gameState.inTunnel(KEY_TUNNEL))
        return;
    // Whichever key is shown, the click is tested against the solid one; both stand on one spot.
    if (!isHitByViewLine(gameState.key))
        return;
    setDoorsOpen(KEY_DOORS, true, false);
    swapKey();
    Door* shownInGlasses = doorAt(KEY_DOOR_SHOWN_IN_GLASSES);
    shownInGlasses->setOpen(true, false);
    shownInGlasses->clickableInGlasses = false;
    doorAt(KEY_LAST_DOOR)->setOpen(true, false);
}

void applySwitchToggle()
{
    if (!inAnyTunnel({SWITCH_TUNNELS[0], SWITCH_TUNNELS[1], SWITCH_TUNNELS[2]}))
        return;
    GameObject* front = currentSwitchFront();
    if (!front)
        return;
    // Every back plate counts, wherever it stands, and so does this tunnel's front.
    bool hit = false;
    for (GameObject* back : gameState.switchBacks)
        hit = isHitByViewLine(back) || hit;
    hit = isHitByViewLine(front) || hit;
    if (!hit)
        return;
    front->rotate(0.0f, 0.0f, 180.0f);
    bool& on = gameState.switchStates[front];
    on = !on;
    std::cout << (on ? 1 : 0) << std::endl;
}

void updateMultiViewPuzzle()
{
    if (!inAnyTunnel({MULTI_VIEW_TUNNELS[0], MULTI_VIEW_TUNNELS[1]}))
        return;
    if (gameState.viewSwitchCount < MULTI_VIEW_SWITCHES)
        return;
    std::uint32_t now = gameState.now();
    if (gameState.multiViewStartTicks == TIMER_STOPPED)
        gameState.multiViewStartTicks = now;
    if (now - gameState.multiViewStartTicks >= MULTI_VIEW_WINDOW_MS) {
        gameState.viewSwitchCount = 0;
        gameState.multiViewStartTicks = TIMER_STOPPED;
        setDoorsOpen(MULTI_VIEW_DOORS, false, false);
        return;
    }
    setDoorsOpen(MULTI_VIEW_DOORS, true, false);
    if (!gameState.multiViewBonusDone) {
        setDoorsOpen(MULTI_VIEW_BONUS, true, false);
        gameState.multiViewBonusDone = true;
    }
}

void updateSwitchPuzzle()
{
    bool allOn = std::all_of(gameState.switchStates.begin(), gameState.switchStates.end(),
                             [](const auto& entry) { return entry.second; });
    if (allOn && !gameState.switchesSolved) {
        setDoorsOpen(SWITCH_DOORS_THAT_CLOSE, true, true);
        setDoorsOpen(SWITCH_DOORS_THAT_STAY, true, true);
        gameState.switchesSolved = true;
    } else if (!allOn && gameState.switchesSolved) {
        setDoorsOpen(SWITCH_DOORS_THAT_CLOSE, false, true);
        gameState.switchesSolved = false;
    }
}

void updatePatiencePuzzle()
{
    if (!gameState.inTunnel(PATIENCE_TUNNEL) || gameState.patienceDone)
        return;
    if (!gameState.leftButtonHeld) {
        gameState.patienceStartTicks = TIMER_STOPPED;
        return;
    }
    std::uint32_t now = gameState.now();
    if (gameState.patienceStartTicks == TIMER_STOPPED)
        gameState.patienceStartTicks = now;
    if (now - gameState.patienceStartTicks > PATIENCE_MS) {
        gameState.patienceDone = true;
        gameState.currentTunnel->removeObject(gameState.button);
    }
}

void updateAlignPuzzle()
{
    if (gameState.inTunnel(ALIGN_TUNNEL)) {
        followView();
        checkAlignment();
    }
    gameState.previousRealityView = gameState.realityView;
}
