#include "sound/SoundBoard.h"

#include <SDL.h>
#include <SDL_mixer.h>

#include <algorithm>
#include <cmath>
#include <iostream>
#include <string>

namespace {

const std::string SOUND_FOLDER = "assets/sound/";
constexpr int FULL_PAN = 255;

int channelOf(Sound sound)
{
    return soundIndex(sound);
}

} // namespace

SoundBoard::SoundBoard()
{
    if (SDL_InitSubSystem(SDL_INIT_AUDIO) < 0) {
        std::cerr << "Sound could not be started: " << SDL_GetError() << std::endl;
        return;
    }
    if (Mix_OpenAudio(SAMPLE_RATE, AUDIO_S16SYS, OUTPUT_CHANNELS, MIX_FRAMES) < 0) {
        std::cerr << "Sound could not be started: " << Mix_GetError() << std::endl;
        SDL_QuitSubSystem(SDL_INIT_AUDIO);
        return;
    }
    open = true;
    Mix_AllocateChannels(SOUND_COUNT);
    Mix_Volume(channelOf(Sound::TrainRumble), rumbleVolume);
    for (int i = 0; i < SOUND_COUNT; ++i) {
        const std::string path = SOUND_FOLDER + SOUND_FILES[i];
        // Opened here so that a missing file is told as such, not as a null source.
        SDL_RWops* file = SDL_RWFromFile(path.c_str(), "rb");
        chunks[i] = file ? Mix_LoadWAV_RW(file, 1) : nullptr;
        if (!chunks[i])
            std::cerr << "Mix_LoadWAV error: " << path << ": " << Mix_GetError() << std::endl;
    }
}

SoundBoard::~SoundBoard()
{
    if (!open)
        return;
    Mix_HaltChannel(-1);
    for (Mix_Chunk* chunk : chunks) {
        if (chunk)
            Mix_FreeChunk(chunk);
    }
    Mix_CloseAudio();
    SDL_QuitSubSystem(SDL_INIT_AUDIO);
}

void SoundBoard::perform(const SoundCues::Sheet& sheet)
{
    if (!open)
        return;
    for (int i = 0; i < SOUND_COUNT; ++i) {
        Sound sound = static_cast<Sound>(i);
        if (isLoop(sound))
            setLoopPlaying(sound, sheet.held[i]);
        else if (sheet.start[i] && chunks[i])
            Mix_PlayChannel(channelOf(sound), chunks[i], 0);
    }
    placeRumble(sheet.rumbleVolume, sheet.rumblePan);
}

void SoundBoard::setMuted(bool mute)
{
    muted = mute;
    if (!open)
        return;
    Mix_Volume(-1, channelVolume(MIX_MAX_VOLUME));
    Mix_Volume(channelOf(Sound::TrainRumble), channelVolume(rumbleVolume));
}

void SoundBoard::setVolume(float share)
{
    if (open)
        Mix_MasterVolume(static_cast<int>(std::lround(std::clamp(share, 0.0f, 1.0f) * MIX_MAX_VOLUME)));
}

void SoundBoard::setPaused(bool paused)
{
    if (!open)
        return;
    if (paused)
        Mix_Pause(-1);
    else
        Mix_Resume(-1);
}

void SoundBoard::setLoopPlaying(Sound sound, bool playing)
{
    int index = soundIndex(sound);
    if (playing == looping[index] || !chunks[index])
        return;
    if (playing)
        Mix_PlayChannel(channelOf(sound), chunks[index], -1);
    else
        Mix_HaltChannel(channelOf(sound));
    looping[index] = playing;
}

// The mixer is told only of changes: setting the panning registers an effect on the channel.
void SoundBoard::placeRumble(float volume, float pan)
{
    int newVolume = static_cast<int>(std::lround(std::clamp(volume, 0.0f, 1.0f) * MIX_MAX_VOLUME));
    if (newVolume != rumbleVolume) {
        rumbleVolume = newVolume;
        Mix_Volume(channelOf(Sound::TrainRumble), channelVolume(rumbleVolume));
    }
    float side = std::clamp(pan, -1.0f, 1.0f);
    int left = static_cast<int>(std::lround(FULL_PAN * std::min(1.0f, 1.0f - side)));
    int right = static_cast<int>(std::lround(FULL_PAN * std::min(1.0f, 1.0f + side)));
    if (left != rumbleLeft || right != rumbleRight) {
        rumbleLeft = left;
        rumbleRight = right;
        Mix_SetPanning(channelOf(Sound::TrainRumble), static_cast<Uint8>(left), static_cast<Uint8>(right));
    }
}

int SoundBoard::channelVolume(int volume) const
{
    return muted ? 0 : volume;
}
