#pragma once

class Door;

// Click rules.
void applyFirstDoorBonus(Door* clickedDoor);
void applyKeyRule();
void applySwitchToggle();

// Per-tick puzzle steps, in the order the tick runs them.
void updateMultiViewPuzzle();
void updateSwitchPuzzle();
void updatePatiencePuzzle();
void updateAlignPuzzle();
