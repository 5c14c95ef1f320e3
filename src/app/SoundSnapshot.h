#pragma once

#include "sound/SoundCues.h"

// What the player may hear of the game as it stands after a tick.
SoundCues::Snapshot soundSnapshot();
