#pragma once

class Door;
class GameObject;

// Click rules.
void applyFirstDoorBonus(Door* clickedDoor);
void applyKeyRule();
void applySwitchToggle();

// Per-tick puzzle steps, in the order the tick runs them.
void updateMultiViewPuzzle();
void updateSwitchPuzzle();
void updatePatiencePuzzle();
void updateAlignPuzzle();

// Door k of tunnel n, as the level builds them.
Door* levelDoor(int tunnel, int index);
// Whether a click reaches the object: the line from the player's eye along the view direction
// crosses its box in front of the eye, and the object stands in the current tunnel (a line
// does not reach through the walls into the tunnels beside).
bool isHitByViewLine(const GameObject* object);
