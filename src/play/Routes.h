#pragma once

#include "play/Route.h"

class GameObject;

#include <functional>
#include <string>

// The ways through the level from the start, played by input only. Tunnels are named by their
// index in the tunnel table, from 0, as in the steps' descriptions (the console counts from 1).
// Wins through the final door of tunnel 13, after holding the button of tunnel 20.
Route door1Route();
// Wins through the final door of tunnel 19: key solid, switches and cubes undone again.
Route door2Route();
// Starts the trains and walks into the first one: the game is lost.
Route trainRoute();

// Where to look: the middle of an object's box, of door k of tunnel n, of an object found late.
glm::vec3 centreOf(const GameObject* object);
Route::Target doorCentre(int tunnel, int door);
Route::Target objectCentre(std::function<const GameObject*()> object);
// Whether the player is in the tunnel with this index, as a step's condition.
Route::Condition inTunnel(int index);
// Straight down the tunnel from the eye, towards its far end (+1) or its near end (-1).
Route::Target alongTunnel(float towards);

// In tunnel 4, in line with the key and close enough to click it, looking at it.
Route upToTheKey();
// From the near end of tunnel 17, in the reality view: the middle cube pushed down the tunnel
// and the first one pushed across until the three are in line.
Route cubesIntoLine();
// From tunnel 17's near end side, in the reality view: the first cube pushed across the tunnel
// until the condition holds.
Route firstCubePushedAcross(Route::Condition until, const std::string& where);

// The routes by name ("door1", "door2", "train"); an empty route for an unknown name.
Route routeNamed(const std::string& name);
