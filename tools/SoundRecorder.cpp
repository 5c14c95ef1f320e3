#include "SoundRecorder.h"

#include "WavFile.h"

#include <SDL_mixer.h>

#include <algorithm>

namespace {

constexpr std::uint64_t TICK_MS = 40;
// The longest a tick waits for the mixer before the mixer counts as stopped.
constexpr std::uint32_t PACE_TIMEOUT_MS = 5000;
// Room for this many seconds of sound before the tap has to grow its buffer.
constexpr std::size_t SECONDS_RESERVED = 60;
// A game further behind its sound than this many ticks gives up the ticks it owes.
constexpr std::uint64_t MOST_TICKS_BEHIND = 5;

} // namespace

SoundRecorder::SoundRecorder()
{
    Uint16 format = 0;
    if (!Mix_QuerySpec(&sampleRate, &format, &channels) || format != AUDIO_S16SYS)
        return;
    heard.reserve(static_cast<std::size_t>(sampleRate) * channels * SECONDS_RESERVED);
    Mix_SetPostMix(tap, this);
    listening = true;
}

SoundRecorder::~SoundRecorder()
{
    stop();
}

std::uint64_t SoundRecorder::framesPerTick() const
{
    return static_cast<std::uint64_t>(sampleRate) * TICK_MS / 1000;
}

bool SoundRecorder::waitUntilHeard(std::uint64_t frame) const
{
    if (!listening)
        return false;
    std::uint32_t waitStart = SDL_GetTicks();
    while (framesHeard() < frame) {
        if (SDL_GetTicks() - waitStart > PACE_TIMEOUT_MS)
            return false;
        SDL_Delay(1);
    }
    return true;
}

bool SoundRecorder::keepPace()
{
    const std::uint64_t owed = MOST_TICKS_BEHIND * framesPerTick();
    const std::uint64_t heardNow = framesHeard();
    paceFrame = std::max(paceFrame, heardNow > owed ? heardNow - owed : 0) + framesPerTick();
    return waitUntilHeard(paceFrame);
}

const std::vector<std::int16_t>& SoundRecorder::stop()
{
    if (listening) {
        // Once this returns the tap is not running and never runs again.
        Mix_SetPostMix(nullptr, nullptr);
        listening = false;
    }
    return heard;
}

bool SoundRecorder::writeWav(const std::string& path)
{
    stop();
    return ::writeWav(path, heard, sampleRate, channels);
}

void SoundRecorder::tap(void* recorder, Uint8* stream, int length)
{
    auto* self = static_cast<SoundRecorder*>(recorder);
    const auto* samples = reinterpret_cast<const std::int16_t*>(stream);
    const std::size_t count = static_cast<std::size_t>(length) / sizeof(std::int16_t);
    self->heard.insert(self->heard.end(), samples, samples + count);
    self->frames += count / static_cast<std::size_t>(self->channels);
}
