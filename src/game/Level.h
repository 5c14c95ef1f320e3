#pragma once

#include <vector>

class Door;
class GameObject;
class Model;
struct DoorIndex;

// Builds the whole level once at start: the player, the 24 models, 21 tunnels, 98 doors and
// the puzzle objects; fills gameState and makes the camera.
void buildLevel();
// Releases the camera, then every model the level loaded, then the physics world; the tunnels
// and their objects live until the process ends.
void releaseLevel();

// Door k of the tunnel with index n, as the level builds them.
Door* levelDoor(int tunnel, int index);
Door* levelDoor(const DoorIndex& index);
