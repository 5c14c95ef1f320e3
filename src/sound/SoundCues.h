#pragma once

#include "sound/Sound.h"

#include <glm/glm.hpp>

#include <array>
#include <cstddef>

class Tunnel;

// What the player hears, read from the game after every tick: the game state now is compared
// with the game state after the previous tick, so the rules need not know about sound and sound
// follows the game's clock. Needs no audio device.
class SoundCues {
public:
    // What the mixer is to do after one tick.
    struct Sheet {
        std::array<bool, SOUND_COUNT> start{}; // sounds that begin now (played once)
        std::array<bool, SOUND_COUNT> held{};  // loops that sound now
        float rumbleVolume = 0.0f;             // the train's loudness, 0 to 1
        float rumblePan = 0.0f;                // where it is: -1 left of the view, 0 ahead or behind, 1 right
    };

    // The cues of the tick that has just run; the first call only takes note of the game.
    const Sheet& afterTick();

    // Steps follow one another this many ticks apart while the player walks.
    static constexpr int TICKS_PER_STEP = 9;
    // The train is heard up to this far away along its tunnel, in world units.
    static constexpr float RUMBLE_REACH = 400.0f;
    static constexpr std::size_t MAX_DOORS = 16;

private:
    // What the cues compare from one tick to the next.
    struct Snapshot {
        Tunnel* tunnel = nullptr;
        std::array<glm::vec3, MAX_DOORS> doorPositions{}; // the tunnel's doors, in list order
        bool realityView = true;
        std::array<bool, 3> switchesOn{};                  // in the order of switchStates
        bool solidKeyShown = false;
        bool patienceDone = false;
        std::size_t trainsStarted = 0;
        bool won = false;
        bool lost = false;
        std::array<glm::vec3, 3> cubePositions{};
        bool cubesHidden = false;
    };

    Snapshot takeSnapshot() const;
    void cueTransit(const Snapshot& now);
    void cueClicks(const Snapshot& now);
    void cueButton(const Snapshot& now);
    void cueCubes(const Snapshot& now);
    void cueFootsteps();
    void cueTrains(const Snapshot& now);
    void cueEnding(const Snapshot& now);
    void startSound(Sound sound) { sheet.start[soundIndex(sound)] = true; }
    void holdSound(Sound sound, bool held) { sheet.held[soundIndex(sound)] = held; }

    Sheet sheet;
    Snapshot previous;
    bool noted = false;   // the first tick has been taken note of
    int ticksToStep = 0;  // ticks until the next footstep while walking
};
