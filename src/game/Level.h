#pragma once

#include <vector>

class Door;
class GameObject;
class Model;
struct DoorIndex;

// Builds the whole level once at start: the player, the 24 models, 21 tunnels, 98 doors and
// the puzzle objects; fills gameState, playerState, camera, glassDoor and levelModels.
void buildLevel();

// Door k of the tunnel with index n, as the level builds them.
Door* levelDoor(int tunnel, int index);
Door* levelDoor(const DoorIndex& index);

extern GameObject* glassDoor;           // the glass door of the key's tunnel, in no tunnel list
extern std::vector<Model*> levelModels; // the shared models released at shutdown
