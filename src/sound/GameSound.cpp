#include "sound/GameSound.h"

#include "sound/SoundBoard.h"
#include "sound/SoundCues.h"

namespace {

SoundBoard* soundBoard = nullptr; // null until started and after it is stopped
SoundCues* soundCues = nullptr;   // null while no sound can be heard
bool soundOn = true;

} // namespace

void startSound()
{
    soundBoard = new SoundBoard();
    soundBoard->setMuted(!soundOn);
    if (soundBoard->isOpen())
        soundCues = new SoundCues();
}

void updateSound()
{
    if (soundCues)
        soundBoard->perform(soundCues->afterTick());
}

void stopSound()
{
    delete soundCues;
    soundCues = nullptr;
    delete soundBoard;
    soundBoard = nullptr;
}

bool soundIsOn()
{
    return soundOn;
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
