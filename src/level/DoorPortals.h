#pragma once

#include <vector>

class Camera;
class Door;
class Model;

// Lets the player through both doors of the door's pair and makes a portal pair each way, once:
// each tunnel then shows the other through a portal in front of its door.
void openPortals(Door& door, const std::vector<Model*>& portalModels, const Camera& camera);
