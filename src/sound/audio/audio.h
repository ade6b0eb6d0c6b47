// The audio library: fifteen C entry points (device, output volume, samples loaded from Ogg
// Vorbis in memory, plain and 3D channels) over OpenAL Soft, plus a loopback device for tests
// and the offline mix. The sound binding fills its entry table with these; the library owns
// every device, buffer and source it creates and releases them all in Audio_Free.
#pragma once

#include <cstdint>

namespace ravelin {

// The three-float vector the 3D calls take: x right, y down, z ahead of the listener.
struct SoundVector {
    float x = 0.0f, y = 0.0f, z = 0.0f;
};

using AudioHandle = uint32_t;  // sample or channel; 0 = none

constexpr uint32_t kAudioDevice3D = 4;     // Audio_Init flag
constexpr uint32_t kAudioSampleLoop = 4;   // Audio_SampleLoad flags
constexpr uint32_t kAudioSample3D = 8;
constexpr int32_t kAudioPanUnchanged = -101;
constexpr int32_t kAudioUnchanged = -1;    // frequency or volume left as it is

// Error codes reported by Audio_ErrorGetCode.
enum AudioError : int32_t {
    kAudioOk = 0,
    kAudioErrorMemory = 1,
    kAudioErrorFileFormat = 2,
    kAudioErrorHandle = 5,
    kAudioErrorNotInitialised = 8,
    kAudioErrorAlready = 14,
    kAudioErrorNoChannel = 18,
    kAudioErrorParameter = 20,
    kAudioErrorNo3D = 21,
    kAudioErrorDevice = 23,
};

// Speed of sound in velocity units per second. Velocities are given in the world's units
// (one about 6 m), so sound travels about 343 / 6 units a second.
constexpr float kAudioSpeedOfSound = 343.3f / 6.0f;

extern "C" {
int32_t Audio_ErrorGetCode();
// device: -1 or 1 open the default output; others fail. Output runs once this succeeds.
bool Audio_Init(int32_t device, uint32_t frequency, uint32_t flags, uintptr_t window, const void* guid);
bool Audio_Free();
bool Audio_SetVolume(int32_t volume);  // 0..100, clamped; the listener (master) gain
bool Audio_Start();
bool Audio_Stop();
int32_t Audio_GetVolume();  // -1 without a device
// A whole Ogg Vorbis file (mono or stereo) in memory; max = simultaneous playbacks (>= 1).
AudioHandle Audio_SampleLoad(bool fromMemory, const void* file, uint32_t offset, uint32_t length,
                             uint32_t max, uint32_t flags);
AudioHandle Audio_SamplePlay3D(AudioHandle sample, const SoundVector* position,
                               const SoundVector* orientation, const SoundVector* velocity);
AudioHandle Audio_SamplePlay(AudioHandle sample);
bool Audio_ChannelGetAttributes(AudioHandle channel, int32_t* frequency, int32_t* volume, int32_t* pan);
// frequency in Hz (<= 0 leaves it), volume 0..100 (-1 leaves it, above 100 clamps),
// pan -100..100 (-101 leaves it).
bool Audio_ChannelSetAttributes(AudioHandle channel, int32_t frequency, int32_t volume, int32_t pan);
// Pending until Audio_Apply3D. Null or non-finite vectors leave that value unchanged.
bool Audio_ChannelSet3DPosition(AudioHandle channel, const SoundVector* position,
                                const SoundVector* orientation, const SoundVector* velocity);
void Audio_Apply3D();
// Distance factor: metres per position unit; roll-off: 1 = inverse distance; Doppler factor.
// Values < 0 or not finite leave that factor unchanged.
bool Audio_Set3DFactors(float distance, float rolloff, float doppler);
}

// Not among the fifteen, but exported under these names too (a program that loads the library
// finds them as it finds the others).
extern "C" {
// A device that renders on demand into memory (stereo float frames, interleaved left/right)
// instead of a sound card. Tests and the offline mix use it.
bool audioInitLoopback(uint32_t frequency);
// Releases a sample and stops every channel playing it (the run never needs this: everything
// goes at Audio_Free; long-lived users such as a fuzzer do).
bool audioSampleFree(AudioHandle sample);
// Renders frames stereo frames into out (2 * frames floats). Without a loopback device it
// fills silence and returns false.
bool audioRenderLoopback(float* out, uint32_t frames);
}

}  // namespace ravelin
