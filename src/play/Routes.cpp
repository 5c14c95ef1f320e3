#include "play/Routes.h"

#include "game/Clock.h"
#include "game/GameState.h"
#include "game/Rules.h"
#include "game/Level.h"
#include "level/LevelPlan.h"
#include "physics/Camera.h"
#include "world/Door.h"
#include "world/GameObject.h"

#include <utility>

namespace {

// Walks that cross a tunnel end to end take some 400 ticks; these limits leave room.
constexpr int TUNNEL_WALK_TICKS = 600;
constexpr int PUSH_TICKS = 400;
// The button of tunnel 20 must be held longer than its patience: its ticks and a few more.
constexpr int PATIENCE_HOLD_TICKS = static_cast<int>(plan::PATIENCE_MS / SKIP_TICKS_MS) + 5;
// The key is small: it is clicked from this close.
constexpr float KEY_DISTANCE = 30.0f;
// A point this far off along the tunnel is looked at to face straight down it.
constexpr float FAR_AHEAD = 100.0f;
// The switch of tunnels 5, 7 and 9 in turn is entry 0, 1 and 2 of the back plates.
constexpr int SWITCH_OF_TUNNEL_5 = 0;
constexpr int SWITCH_OF_TUNNEL_7 = 1;
constexpr int SWITCH_OF_TUNNEL_9 = 2;

Route::Target keyCentre()
{
    return objectCentre([] { return gameState.key; });
}

Route::Target switchCentre(int index)
{
    return objectCentre([index] { return gameState.switchBacks[index]; });
}

Route::Target finalDoorCentre(int index)
{
    return objectCentre([index] { return gameState.finalDoors[index]; });
}

// Straight across the tunnel towards +z.
Route::Target acrossTunnel()
{
    return [] { return gameState.camera->syncPosition() + glm::vec3(0.0f, 0.0f, FAR_AHEAD); };
}

Route::Condition doorClickable(int tunnel, int door)
{
    return [tunnel, door] {
        Door* target = levelDoor(tunnel, door);
        return target->clickableInReality || target->clickableInGlasses;
    };
}

float cubeX(int index)
{
    return gameState.cubes[index]->getPosition().x;
}

std::string tunnelName(int index)
{
    return "tunnel " + std::to_string(index);
}

// Clicks door k of tunnel n after looking at it, and checks where the player came out.
void clickThrough(Route& route, int tunnel, int door, int arrival, const std::string& view)
{
    std::string doorName = "door " + std::to_string(door) + " of " + tunnelName(tunnel);
    route.aim(doorCentre(tunnel, door), "look at " + doorName)
        .click("click " + doorName + " in the " + view + " view")
        .expect(inTunnel(arrival), "to be in " + tunnelName(arrival));
}

// Tunnel 0 to the key of tunnel 4, turned (once or twice), back to tunnel 0 through the portal
// the way back opened, and through the first door into tunnel 3.
Route fromStartToTunnel3(int keyClicks)
{
    Route route("start");
    route.press(SDLK_e, "put the glasses on");
    clickThrough(route, 0, 0, 1, "glasses");
    route.aim(alongTunnel(-1.0f), "turn round towards the start of tunnel 1")
        .strafeTo(-14.4f, "step sideways in line with the touch door 0 of tunnel 1")
        .walkUntil(SDL_SCANCODE_S, inTunnel(4), TUNNEL_WALK_TICKS, "walk backwards into the touch door 0 of tunnel 1")
        .press(SDLK_e, "take the glasses off")
        .then(upToTheKey());
    for (int i = 0; i < keyClicks; ++i)
        route.click("click the key").expect(doorClickable(0, 2), "door 2 of tunnel 0 to open");
    route.strafeTo(-14.4f, "step sideways in line with door 0 of tunnel 4");
    clickThrough(route, 4, 0, 1, "reality");
    route.walkUntil(SDL_SCANCODE_W, inTunnel(0), TUNNEL_WALK_TICKS, "walk into the portal at door 4 of tunnel 1");
    clickThrough(route, 0, 2, 3, "reality");
    return route;
}

// From tunnel 3 on: the view switches of tunnel 11, both switches that are off, and the cubes of
// tunnel 17 pushed into line.
Route fromTunnel3ToAlignedCubes()
{
    Route route("cubes");
    route.press(SDLK_e, "put the glasses on");
    clickThrough(route, 3, 2, 11, "glasses");
    route.press(SDLK_e, "switch the view in tunnel 11 (1)")
        .press(SDLK_e, "switch the view in tunnel 11 (2)")
        .press(SDLK_e, "switch the view in tunnel 11 (3)")
        .expect(doorClickable(1, 1), "door 1 of tunnel 1 to open")
        .walkUntil(SDL_SCANCODE_S, inTunnel(3), TUNNEL_WALK_TICKS, "walk backwards into the portal at door 5 of tunnel 11");
    clickThrough(route, 3, 4, 1, "reality");
    clickThrough(route, 1, 1, 5, "reality");
    route.aim(switchCentre(SWITCH_OF_TUNNEL_5), "look at the switch of tunnel 5").click("turn the switch on");
    clickThrough(route, 5, 4, 7, "reality");
    route.aim(switchCentre(SWITCH_OF_TUNNEL_7), "look at the switch of tunnel 7")
        .click("turn the switch on")
        .expect([] { return gameState.switchesSolved; }, "every switch to be on");
    clickThrough(route, 7, 1, 9, "reality");
    clickThrough(route, 9, 1, 11, "reality");
    clickThrough(route, 11, 1, 17, "reality");
    route.then(cubesIntoLine()).expect(doorClickable(5, 1), "door 1 of tunnel 5 to open");
    return route;
}

} // namespace

Route::Condition inTunnel(int index)
{
    return [index] { return gameState.inTunnel(index); };
}

glm::vec3 centreOf(const GameObject* object)
{
    return object->worldCentre();
}

Route::Target doorCentre(int tunnel, int door)
{
    return objectCentre([tunnel, door] { return levelDoor(tunnel, door); });
}

Route::Target objectCentre(std::function<const GameObject*()> object)
{
    return [object] { return centreOf(object()); };
}

// Straight down the tunnel, towards its far end (+1) or its near end (-1), at eye height.
Route::Target alongTunnel(float towards)
{
    return [towards] { return gameState.camera->syncPosition() + glm::vec3(towards * FAR_AHEAD, 0.0f, 0.0f); };
}

Route upToTheKey()
{
    Route route("up to the key");
    route.aim(alongTunnel(1.0f), "look down tunnel 4")
        .strafeTo(0.0f, "step sideways in line with the key")
        .walkUntil(SDL_SCANCODE_W, [] { return gameState.camera->syncPosition().x >= centreOf(gameState.key).x - KEY_DISTANCE; },
                   TUNNEL_WALK_TICKS, "walk up to the key")
        .aim(keyCentre(), "look at the key");
    return route;
}

Route cubesIntoLine()
{
    Route route("cubes into line");
    route.aim(alongTunnel(1.0f), "look down tunnel 17")
        .walkUntil(SDL_SCANCODE_W, [] { return cubeX(1) >= cubeX(0) + 10.0f; }, PUSH_TICKS,
                   "push the middle cube down the tunnel")
        .walk(SDL_SCANCODE_S, 16, "step back from the cubes");
    return route.then(firstCubePushedAcross([] { return gameState.aligned; }, "into line with the others"));
}

Route firstCubePushedAcross(Route::Condition until, const std::string& where)
{
    Route route("first cube across");
    route.strafeTo(186.0f, "step sideways past the first cube")
        .walkUntil(SDL_SCANCODE_W, [] { return gameState.camera->syncPosition().x >= cubeX(0); }, PUSH_TICKS,
                   "walk up beside the first cube")
        .aim(acrossTunnel(), "face the first cube across the tunnel")
        .walkUntil(SDL_SCANCODE_W, std::move(until), PUSH_TICKS, "push the first cube " + where);
    return route;
}

Route door1Route()
{
    Route route("door1");
    route.then(fromStartToTunnel3(1)).then(fromTunnel3ToAlignedCubes());
    clickThrough(route, 17, 0, 16, "reality");
    clickThrough(route, 16, 3, 15, "reality");
    route.strafeTo(128.0f, "step sideways in line with door 1 of tunnel 15");
    clickThrough(route, 15, 1, 20, "reality");
    route.holdButton(PATIENCE_HOLD_TICKS, "hold the mouse button down in tunnel 20")
        .expect([] { return gameState.patienceDone; }, "the button to give way")
        .aim(alongTunnel(1.0f), "look down tunnel 20")
        .walkUntil(SDL_SCANCODE_S, inTunnel(15), TUNNEL_WALK_TICKS, "walk backwards into the portal at door 1 of tunnel 20")
        .aim(alongTunnel(-1.0f), "turn round towards the start of tunnel 15")
        .strafeTo(120.0f, "step sideways in line with door 3 of tunnel 15");
    clickThrough(route, 15, 3, 10, "reality");
    clickThrough(route, 10, 4, 3, "reality");
    route.aim(alongTunnel(-1.0f), "look down tunnel 3 towards its start")
        .walkUntil(SDL_SCANCODE_W, inTunnel(1), TUNNEL_WALK_TICKS, "walk into the portal at door 4 of tunnel 3")
        .aim(alongTunnel(1.0f), "look down tunnel 1")
        .strafeTo(-4.8f, "step sideways in line with the portal at door 1 of tunnel 1")
        .walkUntil(SDL_SCANCODE_W, inTunnel(5), TUNNEL_WALK_TICKS, "walk into the portal at door 1 of tunnel 1")
        .aim(alongTunnel(1.0f), "look down tunnel 5")
        .strafeTo(48.0f, "step sideways in line with door 1 of tunnel 5");
    clickThrough(route, 5, 1, 13, "reality");
    route.strafeTo(40.0f, "step sideways in line with the final door of tunnel 13")
        .aim(finalDoorCentre(0), "look at the final door of tunnel 13")
        .click("click the final door of tunnel 13");
    return route;
}

Route door2Route()
{
    Route route("door2");
    route.then(fromStartToTunnel3(2)).then(fromTunnel3ToAlignedCubes());
    route.walkUntil(SDL_SCANCODE_W, [] { return !gameState.aligned; }, PUSH_TICKS,
                    "push the cubes on until they are out of line");
    clickThrough(route, 17, 0, 16, "reality");
    clickThrough(route, 16, 3, 15, "reality");
    clickThrough(route, 15, 3, 10, "reality");
    clickThrough(route, 10, 3, 9, "reality");
    route.aim(switchCentre(SWITCH_OF_TUNNEL_9), "look at the switch of tunnel 9")
        .click("turn the switch off")
        .expect([] { return !gameState.switchesSolved; }, "the switches to be undone")
        .aim(alongTunnel(-1.0f), "look down tunnel 9 towards its start")
        .walkUntil(SDL_SCANCODE_S, inTunnel(10), TUNNEL_WALK_TICKS, "walk backwards into the portal at door 0 of tunnel 9")
        .aim(alongTunnel(-1.0f), "look down tunnel 10 towards its start")
        .strafeTo(240.0f, "step sideways in line with the portal at door 1 of tunnel 10")
        .walkUntil(SDL_SCANCODE_S, inTunnel(15), TUNNEL_WALK_TICKS, "walk backwards into the portal at door 1 of tunnel 10")
        .aim(alongTunnel(-1.0f), "look down tunnel 15 towards its start")
        .strafeTo(112.0f, "step sideways in line with door 0 of tunnel 15");
    clickThrough(route, 15, 0, 19, "reality");
    route.expect([] { return gameState.finalDoorUsable; }, "the final door of tunnel 19 to be usable")
        .strafeTo(0.0f, "step sideways in line with the final door of tunnel 19")
        .aim(finalDoorCentre(1), "look at the final door of tunnel 19")
        .click("click the final door of tunnel 19");
    return route;
}

Route trainRoute()
{
    Route route("train");
    route.then(fromStartToTunnel3(1));
    clickThrough(route, 3, 2, 11, "reality");
    route.expect([] { return gameState.trainsStarted; }, "the trains to have started")
        .aim(alongTunnel(1.0f), "look down tunnel 11")
        .strafeTo(280.0f, "step sideways onto the track")
        .walkUntil(SDL_SCANCODE_W, [] { return gameState.lost; }, TUNNEL_WALK_TICKS, "walk along the track into the train");
    return route;
}

Route routeNamed(const std::string& name)
{
    if (name == "door1")
        return door1Route();
    if (name == "door2")
        return door2Route();
    if (name == "train")
        return trainRoute();
    return Route(name);
}
