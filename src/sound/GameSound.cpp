#include "sound/GameSound.h"

#include "sound/SoundBoard.h"
#include "sound/SoundCues.h"

namespace {

SoundBoard* soundBoard = nullptr; // null until started and after it is stopped
SoundCues* soundCues = nullptr;   // null while no sound can be heard
bool soundOn = true;
float volume = 1.0f;

} // namespace

void startSound()
{
    soundBoard = new SoundBoard();
    soundBoard->setMuted(!soundOn);
    soundBoard->setVolume(volume);
    if (soundBoard->isOpen())
        soundCues = new SoundCues();
}

void updateSound(const SoundCues::Snapshot& now)
{
    if (soundCues)
        soundBoard->perform(soundCues->afterTick(now));
}

void stopSound()
{
    delete soundCues;
    soundCues = nullptr;
    delete soundBoard;
    soundBoard = nullptr;
}

void setSoundPaused(bool paused)
{
    if (soundBoard)
        soundBoard->setPaused(paused);
}

void setSoundOn(bool on)
{
    soundOn = on;
    if (soundBoard)
        soundBoard->setMuted(!on);
}

void setSoundVolume(float share)
{
    volume = share;
    if (soundBoard)
        soundBoard->setVolume(share);
}
