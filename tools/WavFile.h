#pragma once

#include <cstdint>
#include <string>
#include <vector>

// Writes 16-bit PCM samples as a WAV file (interleaved when there is more than one channel).
// SDL reads WAV files but does not write them. False when the file cannot be written.
bool writeWav(const std::string& path, const std::vector<std::int16_t>& samples, int sampleRate, int channels);
