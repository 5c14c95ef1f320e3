#pragma once

class Door;
class GameObject;

// Where the puzzles stand: the key, the button held for patience, the cubes to push into line
// (the first three of them movable).
constexpr int KEY_TUNNEL = 4;
constexpr int PATIENCE_TUNNEL = 20;
constexpr int ALIGN_TUNNEL = 17;
constexpr int MOVABLE_CUBES = 3;

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
// Whether the line from the player's eye along the view direction crosses the object's box.
bool isHitByViewLine(const GameObject* object);
