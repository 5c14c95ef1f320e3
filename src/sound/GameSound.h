#pragma once

#include "sound/SoundCues.h"

// The game's sound: opened after the window, told what happened after every tick, closed
// before the window goes. Without an audio device the game runs on silent.

// Opens the mixer and loads the sounds (one line on standard error when sound cannot start).
void startSound();
// The sounds of the tick that has just run, from what the game looks like after it.
void updateSound(const SoundCues::Snapshot& now);
// Stops every sound and closes the mixer.
void stopSound();

// Sound on or off (the sound setting); off keeps everything silent, also what starts later.
void setSoundOn(bool on);
// The share of every sound's own loudness that is heard, 0 to 1 (the volume setting).
void setSoundVolume(float share);
// Every sound waits while the game is paused.
void setSoundPaused(bool paused);
