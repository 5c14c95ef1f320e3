#include "game/Puzzles.h"

#include "game/GameState.h"
#include "game/PlayerMessages.h"
#include "game/Rules.h"
#include "game/Level.h"
#include "level/LevelPlan.h"
#include "level/Tunnel.h"
#include "world/Door.h"

#include <btBulletDynamicsCommon.h>

#include <algorithm>
#include <iterator>

namespace {

using namespace plan;

// Three view switches open the multi-view doors for two seconds.
constexpr int MULTI_VIEW_SWITCHES = 3;
constexpr std::uint32_t MULTI_VIEW_WINDOW_MS = 2000;

// The cubes are in line when cube 0 is within 5 in z of cubes 1 and 2.
constexpr float ALIGN_TOLERANCE = 5.0f;

template <typename Doors> void setDoorsOpen(const Doors& doors, bool open, bool withPartner)
{
    for (const DoorIndex& index : doors)
        levelDoor(index)->setOpen(open, withPartner);
}

template <typename Tunnels> bool inAnyTunnel(const Tunnels& indexes)
{
    return std::any_of(std::begin(indexes), std::end(indexes), [](int index) { return gameState.inTunnel(index); });
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
    for (const auto& [front, on] : gameState.switchStates) {
        if (gameState.currentTunnel->containsObject(front))
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
    for (int i = 0; i < HINT_CUBES; ++i)
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
    for (int i = 0; i < HINT_CUBES; ++i)
        gameState.cubes[MOVABLE_CUBES + i]->move(HIDDEN_OFFSET.x, HIDDEN_OFFSET.y, HIDDEN_OFFSET.z);
    gameState.cubesHidden = false;
}

// The movable cubes are shown in the reality view only. The cubes follow the view, not just its
// switches: a view switched outside the cube tunnel must not leave them hidden, or shown in the glasses
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

// Where a movable cube stands as the player last saw it in the reality view: parked cubes count
// where they were put away, not where they drift out of sight.
float seenZ(int cube)
{
    return gameState.cubesHidden ? gameState.cubeStartPositions[cube].z : gameState.cubes[cube]->getPosition().z;
}

void checkAlignment()
{
    float z0 = seenZ(0);
    float z1 = seenZ(1);
    float z2 = seenZ(2);
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

void applyFirstDoorBonus(Door* clickedDoor)
{
    if (clickedDoor != levelDoor(FIRST_DOOR) || gameState.firstDoorBonusDone)
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
    Door* shownInGlasses = levelDoor(KEY_DOOR_SHOWN_IN_GLASSES);
    shownInGlasses->setOpen(true, false);
    shownInGlasses->clickableInGlasses = false;
    levelDoor(KEY_LAST_DOOR)->setOpen(true, false);
}

void applySwitchToggle()
{
    if (!inAnyTunnel(SWITCH_TUNNELS))
        return;
    GameObject* front = currentSwitchFront();
    if (!front)
        return;
    // Every back plate counts that stands in this tunnel, and so does this tunnel's front.
    bool hit = false;
    for (GameObject* back : gameState.switchBacks)
        hit = isHitByViewLine(back) || hit;
    hit = isHitByViewLine(front) || hit;
    if (!hit)
        return;
    front->rotate(0.0f, 0.0f, 180.0f);
    bool& on = gameState.switchStates[front];
    on = !on;
    // The console keeps the terse state; the screen says it in words.
    gameState.messages.say(on ? "1" : "0", on ? "Switch on" : "Switch off");
}

void updateMultiViewPuzzle()
{
    if (!inAnyTunnel(VIEW_SWITCH_TUNNELS))
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
    if (!gameState.inTunnel(BUTTON_TUNNEL) || gameState.patienceDone)
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
    if (gameState.inTunnel(CUBE_TUNNEL)) {
        followView();
        checkAlignment();
    }
    gameState.previousRealityView = gameState.realityView;
}
