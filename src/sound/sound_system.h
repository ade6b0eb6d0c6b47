// SoundSystem: the binding to the audio library — its fifteen entry points in one table, filled
// at bind and cleared at unbind. A run's sound (sound/run_sound.h) owns one, binds it at start-up
// and unbinds it at shutdown; engine sounds and music call through the table. Tests may fill the
// table with their own functions to watch the calls.
//
// Where the library comes from: when the platform carries it as a loadable resource ("AUDIO"
// 128, the Windows build) it is loaded from there and every entry point is looked up by name;
// otherwise the table takes the library linked into the executable (audioLibraryEntryPoints,
// the Linux build). Without either the run goes on silently.
#pragma once

#include <cstdint>
#include <string_view>

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
    // Not among the fifteen: the loopback device of the offline mix and the tests.
    bool (*initLoopback)(uint32_t) = nullptr;
    bool (*renderLoopback)(float*, uint32_t) = nullptr;
    bool (*sampleFree)(AudioHandle) = nullptr;
};

// The library linked into the executable, or an empty table where none is (the Windows build,
// whose library is a DLL resource). Defined by linked_audio.cpp or no_linked_audio.cpp: each
// executable links one of the two.
AudioEntryPoints audioLibraryEntryPoints();

// Every entry point looked up by its exported name, in the order of the fifteen, then the
// loopback calls; a name the lookup does not find leaves its entry null.
using AudioSymbolLookup = void* (*)(void* context, const char* name);
AudioEntryPoints audioEntryPointsByName(AudioSymbolLookup lookUp, void* context);

constexpr std::string_view kAudioResourceType = "AUDIO";
constexpr uint16_t kAudioResourceId = 128;

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
    // Without a library at all the table stays empty, which is as harmless. Returns whether the
    // device opened.
    bool bind(WindowHandle mainWindow);
    // Same, on the in-memory loopback device (tests, offline mix).
    bool bindLoopback();
    // Stops and frees the library, clears the table, and unloads a library the platform loaded.
    void unbind();

    bool bound() const { return bound_; }
    bool deviceOpen() const { return deviceOpen_; }
    // Whether the table came from a library the platform loaded from its resources.
    bool loadedFromResource() const { return library_ != 0; }

    AudioEntryPoints entries;

private:
    void loadLibrary();
    void afterInit(bool initialised);
    bool bound_ = false;
    bool deviceOpen_ = false;
    LibraryHandle library_ = 0;
};

}  // namespace ravelin
