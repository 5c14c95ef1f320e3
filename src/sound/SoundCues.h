#pragma once

#include "sound/Sound.h"

#include <glm/glm.hpp>

#include <array>
#include <cstddef>

class Door;
class Train;
class Tunnel;

// What the player hears, told what the game looks like after every tick: the game now is compared
// with the game after the previous tick, so the rules need not know about sound and sound
// follows the game's clock. Needs no audio device.
class SoundCues {
public:
    static constexpr std::size_t MAX_DOORS = 16;

    // What the cues compare from one tick to the next.
    struct Snapshot {
        Tunnel* tunnel = nullptr;
        std::array<glm::vec3, MAX_DOORS> doorPositions{}; // the tunnel's doors, in list order
        const Door* doorBackedInto = nullptr;             // a touch door the player walks backwards into
        bool realityView = true;
        std::array<bool, 3> switchesOn{};                  // in the order of the switches
        bool solidKeyShown = false;
        bool buttonHeld = false;                           // held in its tunnel, its patience not yet given
        bool patienceDone = false;
        bool inCubeTunnel = false;
        std::array<glm::vec3, 3> cubePositions{};
        bool cubesHidden = false;
        bool stepping = false;                             // walking on the ground
        std::size_t trainsStarted = 0;
        const Train* train = nullptr;                      // the train of the player's tunnel, if one runs
        glm::vec3 eye{0.0f};
        glm::vec3 lookAt{0.0f};
        bool won = false;
        bool lost = false;
    };

    // What the mixer is to do after one tick.
    struct Sheet {
        std::array<bool, SOUND_COUNT> start{}; // sounds that begin now (played once)
        std::array<bool, SOUND_COUNT> held{};  // loops that sound now
        float rumbleVolume = 0.0f;             // the train's loudness, 0 to 1
        float rumblePan = 0.0f;                // where it is: -1 left of the view, 0 ahead or behind, 1 right
    };

    // The cues of the tick that has just run; the first call only takes note of the game.
    const Sheet& afterTick(const Snapshot& now);

    // Steps follow one another this many ticks apart while the player walks.
    static constexpr int TICKS_PER_STEP = 9;
    // The train is heard up to this far away along its tunnel, in world units.
    static constexpr float RUMBLE_REACH = 400.0f;

private:
    void cueTransit(const Snapshot& now);
    void cueClicks(const Snapshot& now);
    void cueButton(const Snapshot& now);
    void cueCubes(const Snapshot& now);
    void cueFootsteps(const Snapshot& now);
    void cueTrains(const Snapshot& now);
    void cueEnding(const Snapshot& now);
    void startSound(Sound sound) { sheet.start[soundIndex(sound)] = true; }
    void holdSound(Sound sound, bool held) { sheet.held[soundIndex(sound)] = held; }

    Sheet sheet;
    Snapshot previous;
    bool noted = false;   // the first tick has been taken note of
    int ticksToStep = 0;  // ticks until the next footstep while walking
};
