#pragma once

#include <array>

// Every sound of the game; each has a mixer channel of its own, numbered as listed.
enum class Sound {
    ViewSwitch,    // the glasses going on or off
    DoorWhoosh,    // walking through a door
    PortalTransit, // stepping through a portal
    SwitchOn,      // a switch thrown on
    SwitchOff,     // a switch thrown off
    KeyTurn,       // the key turning
    ButtonHeld,    // a low hum while the button is held (loops)
    ButtonGiven,   // the button gives way
    CubeScrape,    // a cube pushed along the floor (loops)
    Footstep,      // one step on the floor
    TrainRumble,   // the train of the player's tunnel (loops)
    TrainHorn,     // a new train starts
    Won,           // jingle under the won screen
    Lost,          // jingle under the lost screen
};
constexpr int SOUND_COUNT = 14;

// Files below "assets/sound/", in the order of Sound.
constexpr std::array<const char*, SOUND_COUNT> SOUND_FILES = {
    "viewSwitch.wav", "doorWhoosh.wav", "portalTransit.wav", "switchOn.wav",    "switchOff.wav",
    "keyTurn.wav",    "buttonHeld.wav", "buttonGiven.wav",   "cubeScrape.wav",  "footstep.wav",
    "trainRumble.wav", "trainHorn.wav", "won.wav",           "lost.wav",
};

constexpr int soundIndex(Sound sound)
{
    return static_cast<int>(sound);
}

// The sounds that run as long as what makes them lasts.
constexpr bool isLoop(Sound sound)
{
    return sound == Sound::ButtonHeld || sound == Sound::CubeScrape || sound == Sound::TrainRumble;
}
