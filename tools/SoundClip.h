#pragma once

#include <cstdint>
#include <string>
#include <vector>

// A mono sound being synthesised at 22050 Hz from noise, tones, filters and envelopes. Every
// layer is drawn into its own clip and then mixed, so each step stays a simple rule. The same
// seed always makes the same noise.
class SoundClip {
public:
    static constexpr int SAMPLE_RATE = 22050;

    explicit SoundClip(float seconds);

    // White noise in [-amplitude, amplitude] from a seeded generator.
    SoundClip& noise(std::uint32_t seed, float amplitude);
    // A tone gliding from one frequency to another, with a few harmonics of falling strength
    // (0 harmonics gives a pure sine), between two times.
    SoundClip& tone(float fromHz, float toHz, float amplitude, int harmonics, float start, float end);
    // One-pole low-pass whose cutoff moves in a straight line from one frequency to another.
    SoundClip& lowPass(float fromHz, float toHz);
    SoundClip& lowPass(float hz) { return lowPass(hz, hz); }
    SoundClip& highPass(float hz);
    // Resonant band-pass (a biquad) around a centre frequency.
    SoundClip& bandPass(float centreHz, float q);
    // A rise over `attack` seconds from `start`, then an exponential fall with the time constant
    // `decay`; silence before `start`.
    SoundClip& envelope(float start, float attack, float decay);
    // Fades in and out over the given seconds at both ends.
    SoundClip& fadeEdges(float seconds);
    // Amplitude swings between (1 - depth) and 1, `hz` times a second.
    SoundClip& tremolo(float hz, float depth);
    // Adds another clip from a time on (what runs past the end is cut).
    SoundClip& mix(const SoundClip& other, float start = 0.0f);
    // Makes the end run into the start: the last `seconds` are crossfaded into the beginning
    // and cut off, so the clip can loop without a click.
    SoundClip& loopSeamlessly(float seconds);
    // Scales to the given peak.
    SoundClip& normalise(float peak);

    // 16-bit samples as a WAV file.
    bool write(const std::string& path) const;

private:
    int sampleAt(float seconds) const;

    std::vector<float> samples;
};
