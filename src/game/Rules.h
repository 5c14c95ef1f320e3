#pragma once

#include "physics/Stride.h"

#include <functional>

class Camera;
class Door;
class GameObject;
class Tunnel;
struct TickInput;

// One tick of the game over what the player did in it: his actions in their order (keys, looks,
// clicks), walking, portal transit, trains, puzzles, train hit and touch transit, tunnel print and
// the final-door condition; then what is to follow the rules before the world moves (the sound);
// then one physics step, also on a tick that ends the game. Paused, the world stands still and
// only his actions are played. True when the game is to stop now.
bool runTick(const TickInput& input, const std::function<void()>& afterRules = {});
// Of the tunnel's doors that pass on touch, the last one the body touched where the stride's step
// backwards took it; null when it stepped back into none, or did not step back.
Door* doorBackedInto(Camera& body, const Tunnel& tunnel, const Stride& stride);
// Whether the glass door stands across the player's tunnel: the key's tunnel in the glasses view.
bool glassDoorBlocks();
// Whether a click reaches the object: the line from the player's eye along the view direction
// crosses its box in front of the eye, and the object stands in the current tunnel (a line
// does not reach through the walls into the tunnels beside).
bool isHitByViewLine(const GameObject* object);
// Sphere of the player against the object's box; raises hitByTrain for a train.
bool checkTrainHit(GameObject* object);
