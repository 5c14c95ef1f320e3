#pragma once

class Camera;
class Door;

// What the player update reports to the rules during a tick.
struct PlayerState {
    bool hitByTrain = false;     // the player's sphere met a train's box
    bool transitPending = false; // a door transit by touch was requested
    Camera* camera = nullptr;    // the player's camera
    Door* transitDoor = nullptr; // the door of the pending transit
};

extern PlayerState* playerState;
