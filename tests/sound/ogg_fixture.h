// Test helpers for the sound tests: encode float PCM to an Ogg Vorbis file in memory (the
// library under test only reads Vorbis) and measure rendered signals.
#pragma once

#include <cstddef>
#include <cstdint>
#include <vector>

namespace ravelin::test {

// Interleaved float samples in -1..1, channels 1 or 2. Files of different serial numbers
// joined one after the other make a chained file.
std::vector<uint8_t> encodeOgg(const std::vector<float>& samples, int channels, int rate, float quality = 0.5f,
                               int serial = 1);
// Decodes a whole Ogg Vorbis file to interleaved floats; false when it cannot.
bool decodeOgg(const std::vector<uint8_t>& file, std::vector<float>& samples, int& channels, int& rate);

std::vector<float> sine(float frequency, int frames, int rate, float amplitude);

// One channel (0 left, 1 right) of interleaved stereo, from frame begin to end.
double rms(const std::vector<float>& stereo, int channel, size_t begin, size_t end);
// Frequency estimated from upward zero crossings of one channel.
double zeroCrossingFrequency(const std::vector<float>& stereo, int channel, size_t begin, size_t end, int rate);

}  // namespace ravelin::test
