#pragma once

#include <glm/glm.hpp>

class Door;
class GameObject;
class Tunnel;

// One game tick: input, walking, portal transit, trains, puzzles, train hit and touch transit,
// tunnel print and the final-door condition. True when the game is to stop now.
bool updateTick();
// The glasses on or off; a switch in a tunnel of the view-switch puzzle counts towards it.
void switchView();
// A left-button press: door pick and walk, the train start, key, switches and final doors.
void handleClick();
// Carries the player through a clicked door to the partner's side and opens its portals.
void walkThroughDoor(Door* door);
void updatePortalTransit();
void updateTrainSchedule();
// The tunnel that is current after a train test and a pending touch transit.
Tunnel* updatePlayerState(Tunnel* tunnel);
// Whether the glass door stands across the player's tunnel: the key's tunnel in the glasses view.
bool glassDoorBlocks();
// Whether a click reaches the object: the line from the player's eye along the view direction
// crosses its box in front of the eye, and the object stands in the current tunnel (a line
// does not reach through the walls into the tunnels beside).
bool isHitByViewLine(const GameObject* object);
// Sphere of the player against the object's box; raises hitByTrain for a train.
bool checkTrainHit(GameObject* object);
