#pragma once

#include <vector>

class GameObject;
class Model;

// Builds the whole level once at start: the player, the 24 models, 21 tunnels, 98 doors and
// the puzzle objects; fills gameState, playerState, camera, glassDoor and levelModels.
void buildLevel();

extern GameObject* glassDoor;           // the glass door of the fifth tunnel, in no tunnel list
extern std::vector<Model*> levelModels; // the shared models released at shutdown
