// SoundSystem: the binding to the audio library — its fifteen entry points in one table, filled
// at bind and cleared at unbind. A run's sound (sound/run_sound.h) owns one, binds it at start-up
// and unbinds it at shutdown; engine sounds and music call through the table. Tests may fill the
// table with their own functions to watch the calls.
#pragma once

#include <cstdint>

#include "platform/platform.h"
#include "sound/audio/audio.h"

namespace ravelin {

struct AudioEntryPoints {
    int32_t (*errorGetCode)() = nullptr;
    bool (*init)(int32_t, uint32_t, uint32_t, uintptr_t, const void*) = nullptr;
    bool (*free)() = nullptr;
    bool (*setVolume)(int32_t) = nullptr;
    bool (*start)() = nullptr;
    bool (*stop)() = nullptr;
    int32_t (*getVolume)() = nullptr;
    AudioHandle (*sampleLoad)(bool, const void*, uint32_t, uint32_t, uint32_t, uint32_t) = nullptr;
    AudioHandle (*samplePlay3D)(AudioHandle, const SoundVector*, const SoundVector*, const SoundVector*) = nullptr;
    AudioHandle (*samplePlay)(AudioHandle) = nullptr;
    bool (*channelGetAttributes)(AudioHandle, int32_t*, int32_t*, int32_t*) = nullptr;
    bool (*channelSetAttributes)(AudioHandle, int32_t, int32_t, int32_t) = nullptr;
    bool (*channelSet3DPosition)(AudioHandle, const SoundVector*, const SoundVector*, const SoundVector*) = nullptr;
    void (*apply3D)() = nullptr;
    bool (*set3DFactors)(float, float, float) = nullptr;
};

// The library's own table (what bind installs).
AudioEntryPoints audioLibraryEntryPoints();

constexpr uint32_t kSoundInitFrequency = 44100;
constexpr float kSoundDistanceFactor = 0.0035f;
constexpr float kSoundRolloffFactor = 1.0f;
constexpr float kSoundDopplerFactor = 1.0f;

class SoundSystem {
public:
    SoundSystem() = default;
    SoundSystem(const SoundSystem&) = delete;
    SoundSystem& operator=(const SoundSystem&) = delete;
    // A binding still open when its owner goes is stopped and freed like at shutdown.
    ~SoundSystem() { unbind(); }

    // Fills the table and initialises the default output device (3D, 44,100 Hz). Without a
    // usable device the run goes on silently: the table stays filled and every call is harmless.
    // Returns whether the device opened.
    bool bind(WindowHandle mainWindow);
    // Same, on the in-memory loopback device (tests, offline mix).
    bool bindLoopback();
    // Stops and frees the library and clears the table.
    void unbind();

    bool bound() const { return bound_; }
    bool deviceOpen() const { return deviceOpen_; }

    AudioEntryPoints entries;

private:
    void afterInit(bool initialised);
    bool bound_ = false;
    bool deviceOpen_ = false;
};

}  // namespace ravelin
