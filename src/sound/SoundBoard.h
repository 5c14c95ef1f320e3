#pragma once

#include "sound/SoundCues.h"

#include <array>

struct Mix_Chunk;

// The mixer and the game's sounds: opens SDL_mixer and loads every sound from "assets/sound/".
// When no audio device can be opened it says so once and stays silent; a sound that cannot be
// loaded is left out with the loader's message, the others play.
class SoundBoard {
public:
    SoundBoard();
    ~SoundBoard(); // frees the sounds and closes the mixer
    SoundBoard(const SoundBoard&) = delete;
    SoundBoard& operator=(const SoundBoard&) = delete;

    bool isOpen() const { return open; }
    // Starts, stops and places the sounds as the cues of a tick say.
    void perform(const SoundCues::Sheet& sheet);
    // Muted, everything plays on in silence, so unmuting picks up the loops where they are.
    void setMuted(bool muted);
    // The share of every sound's own loudness that is heard, 0 to 1, whatever plays or is muted.
    void setVolume(float share);
    // Holds every channel where it is, and lets them play on.
    void setPaused(bool paused);

    // The mixer's output: 22050 frames a second of two 16-bit channels, mixed 512 frames at a time.
    static constexpr int SAMPLE_RATE = 22050;
    static constexpr int OUTPUT_CHANNELS = 2;
    static constexpr int MIX_FRAMES = 512;

private:
    void setLoopPlaying(Sound sound, bool playing);
    void placeRumble(float volume, float pan);
    int channelVolume(int volume) const;

    std::array<Mix_Chunk*, SOUND_COUNT> chunks{};
    std::array<bool, SOUND_COUNT> looping{};
    bool open = false;
    bool muted = false;
    int rumbleVolume = 0;    // mixer volume of the rumble's channel, 0 to MIX_MAX_VOLUME
    int rumbleLeft = 255;    // loudness of the rumble on the left speaker, 0 to 255
    int rumbleRight = 255;
};
