#include "SoundClip.h"

#include "WavFile.h"

#include <algorithm>
#include <cmath>

namespace {

constexpr float TWO_PI = 6.28318531f;

float onePoleFactor(float hz)
{
    return 1.0f - std::exp(-TWO_PI * hz / SoundClip::SAMPLE_RATE);
}

} // namespace

SoundClip::SoundClip(float seconds) : samples(static_cast<std::size_t>(seconds * SAMPLE_RATE), 0.0f) {}

int SoundClip::sampleAt(float seconds) const
{
    return std::clamp(static_cast<int>(seconds * SAMPLE_RATE), 0, static_cast<int>(samples.size()));
}

SoundClip& SoundClip::noise(std::uint32_t seed, float amplitude)
{
    std::uint32_t state = seed * 2654435761u + 1u;
    for (float& sample : samples) {
        // xorshift32: small, fast and the same everywhere.
        state ^= state << 13;
        state ^= state >> 17;
        state ^= state << 5;
        sample += amplitude * (static_cast<float>(state) / 2147483648.0f - 1.0f);
    }
    return *this;
}

SoundClip& SoundClip::tone(float fromHz, float toHz, float amplitude, int harmonics, float start, float end)
{
    const int first = sampleAt(start);
    const int last = sampleAt(end);
    float phase = 0.0f;
    for (int i = first; i < last; ++i) {
        const float along = static_cast<float>(i - first) / static_cast<float>(std::max(1, last - first));
        phase += TWO_PI * (fromHz + (toHz - fromHz) * along) / SAMPLE_RATE;
        float value = 0.0f;
        for (int harmonic = 1; harmonic <= harmonics + 1; ++harmonic)
            value += std::sin(phase * static_cast<float>(harmonic)) / static_cast<float>(harmonic * harmonic);
        samples[i] += amplitude * value;
    }
    return *this;
}

SoundClip& SoundClip::lowPass(float fromHz, float toHz)
{
    float state = 0.0f;
    const float count = static_cast<float>(samples.size());
    for (std::size_t i = 0; i < samples.size(); ++i) {
        const float hz = fromHz + (toHz - fromHz) * static_cast<float>(i) / count;
        state += onePoleFactor(hz) * (samples[i] - state);
        samples[i] = state;
    }
    return *this;
}

SoundClip& SoundClip::highPass(float hz)
{
    float low = 0.0f;
    const float factor = onePoleFactor(hz);
    for (float& sample : samples) {
        low += factor * (sample - low);
        sample -= low;
    }
    return *this;
}

SoundClip& SoundClip::bandPass(float centreHz, float q)
{
    // The band-pass of the audio EQ cookbook, 0 dB at the centre.
    const float omega = TWO_PI * centreHz / SAMPLE_RATE;
    const float alpha = std::sin(omega) / (2.0f * q);
    const float a0 = 1.0f + alpha;
    const float b0 = alpha / a0;
    const float b2 = -alpha / a0;
    const float a1 = -2.0f * std::cos(omega) / a0;
    const float a2 = (1.0f - alpha) / a0;
    float x1 = 0.0f, x2 = 0.0f, y1 = 0.0f, y2 = 0.0f;
    for (float& sample : samples) {
        const float y = b0 * sample + b2 * x2 - a1 * y1 - a2 * y2;
        x2 = x1;
        x1 = sample;
        y2 = y1;
        y1 = y;
        sample = y;
    }
    return *this;
}

SoundClip& SoundClip::envelope(float start, float attack, float decay)
{
    for (std::size_t i = 0; i < samples.size(); ++i) {
        const float t = static_cast<float>(i) / SAMPLE_RATE - start;
        float gain = 0.0f;
        if (t >= 0.0f && t < attack)
            gain = t / attack;
        else if (t >= attack)
            gain = std::exp(-(t - attack) / decay);
        samples[i] *= gain;
    }
    return *this;
}

SoundClip& SoundClip::fadeEdges(float seconds)
{
    const int length = std::max(1, sampleAt(seconds));
    const int count = static_cast<int>(samples.size());
    for (int i = 0; i < std::min(length, count); ++i) {
        const float gain = static_cast<float>(i) / static_cast<float>(length);
        samples[i] *= gain;
        samples[count - 1 - i] *= gain;
    }
    return *this;
}

SoundClip& SoundClip::tremolo(float hz, float depth)
{
    for (std::size_t i = 0; i < samples.size(); ++i) {
        const float swing = 0.5f + 0.5f * std::sin(TWO_PI * hz * static_cast<float>(i) / SAMPLE_RATE);
        samples[i] *= 1.0f - depth * swing;
    }
    return *this;
}

SoundClip& SoundClip::mix(const SoundClip& other, float start)
{
    const std::size_t first = static_cast<std::size_t>(sampleAt(start));
    for (std::size_t i = 0; i < other.samples.size() && first + i < samples.size(); ++i)
        samples[first + i] += other.samples[i];
    return *this;
}

SoundClip& SoundClip::loopSeamlessly(float seconds)
{
    const std::size_t overlap = std::min(static_cast<std::size_t>(sampleAt(seconds)), samples.size() / 2);
    const std::size_t kept = samples.size() - overlap;
    for (std::size_t i = 0; i < overlap; ++i) {
        const float fadeIn = static_cast<float>(i) / static_cast<float>(overlap);
        samples[i] = samples[i] * fadeIn + samples[kept + i] * (1.0f - fadeIn);
    }
    samples.resize(kept);
    return *this;
}

SoundClip& SoundClip::normalise(float peak)
{
    float largest = 0.0f;
    for (float sample : samples)
        largest = std::max(largest, std::abs(sample));
    if (largest > 0.0f) {
        for (float& sample : samples)
            sample *= peak / largest;
    }
    return *this;
}

bool SoundClip::write(const std::string& path) const
{
    std::vector<std::int16_t> pcm(samples.size());
    std::transform(samples.begin(), samples.end(), pcm.begin(), [](float sample) {
        return static_cast<std::int16_t>(std::lround(std::clamp(sample, -1.0f, 1.0f) * 32767.0f));
    });
    return writeWav(path, pcm, SAMPLE_RATE, 1);
}
