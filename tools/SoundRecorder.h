#pragma once

#include <SDL.h>

#include <atomic>
#include <cstdint>
#include <string>
#include <vector>

// Hears what the player would hear: a post-mix tap on the open mixer keeps every sample it
// mixes and counts the frames. The game's ticks are tied to what was heard by pacing them with
// the sound: a tick waits until its 40 ms have been mixed. A sound a tick starts is heard from
// the first buffer mixed after the tick, however busy the machine is.
class SoundRecorder {
public:
    SoundRecorder(); // taps the mixer opened by the game's sound
    ~SoundRecorder();
    SoundRecorder(const SoundRecorder&) = delete;
    SoundRecorder& operator=(const SoundRecorder&) = delete;

    bool isListening() const { return listening; }
    int getSampleRate() const { return sampleRate; }
    int getChannels() const { return channels; }
    // Frames (one sample per channel) mixed so far.
    std::uint64_t framesHeard() const { return frames.load(); }
    // The frames one game tick lasts.
    std::uint64_t framesPerTick() const;
    // Waits until the mixer has played the frames; false when it has stopped playing.
    bool waitUntilHeard(std::uint64_t frame) const;
    // Keeps ticks to the pace of the sound: each call waits for one more tick's worth of sound
    // after the previous one. A game that falls behind catches up without waiting, as the main
    // loop does, by at most a few ticks.
    bool keepPace();
    // Stops listening; everything heard, interleaved by channel.
    const std::vector<std::int16_t>& stop();
    // Stops listening and writes everything heard as a WAV file.
    bool writeWav(const std::string& path);

private:
    static void tap(void* recorder, Uint8* stream, int length);

    bool listening = false;
    int sampleRate = 0;
    int channels = 0;
    std::vector<std::int16_t> heard;
    std::atomic<std::uint64_t> frames{0};
    std::uint64_t paceFrame = 0; // the frame the last tick waited for
};
