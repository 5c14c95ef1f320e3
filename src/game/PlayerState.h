#pragma once

class Door;

// What the rules note of the player during a tick.
struct PlayerState {
    bool hitByTrain = false;     // the player's sphere met a train's box
    bool transitPending = false; // he backed into a touch door: through it at the end of the tick
    Door* transitDoor = nullptr; // the door of the pending (or last) touch transit
};
