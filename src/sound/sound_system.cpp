// The binding: a library the platform loads from its resources is bound by name, entry point by
// entry point; otherwise the library linked into the executable is bound directly.
#include "sound/sound_system.h"

namespace ravelin {
namespace {

// Assigns the looked-up address to one entry of the table (the function type comes from it).
template <typename Function>
void lookUpInto(Function*& entry, AudioSymbolLookup lookUp, void* context, const char* name) {
    entry = reinterpret_cast<Function*>(lookUp(context, name));
}

void* platformSymbol(void* library, const char* name) {
    return platform().librarySymbol(reinterpret_cast<LibraryHandle>(library), name);
}

}  // namespace

AudioEntryPoints audioEntryPointsByName(AudioSymbolLookup lookUp, void* context) {
    AudioEntryPoints e;
    lookUpInto(e.errorGetCode, lookUp, context, "Audio_ErrorGetCode");
    lookUpInto(e.init, lookUp, context, "Audio_Init");
    lookUpInto(e.free, lookUp, context, "Audio_Free");
    lookUpInto(e.setVolume, lookUp, context, "Audio_SetVolume");
    lookUpInto(e.start, lookUp, context, "Audio_Start");
    lookUpInto(e.stop, lookUp, context, "Audio_Stop");
    lookUpInto(e.getVolume, lookUp, context, "Audio_GetVolume");
    lookUpInto(e.sampleLoad, lookUp, context, "Audio_SampleLoad");
    lookUpInto(e.samplePlay3D, lookUp, context, "Audio_SamplePlay3D");
    lookUpInto(e.samplePlay, lookUp, context, "Audio_SamplePlay");
    lookUpInto(e.channelGetAttributes, lookUp, context, "Audio_ChannelGetAttributes");
    lookUpInto(e.channelSetAttributes, lookUp, context, "Audio_ChannelSetAttributes");
    lookUpInto(e.channelSet3DPosition, lookUp, context, "Audio_ChannelSet3DPosition");
    lookUpInto(e.apply3D, lookUp, context, "Audio_Apply3D");
    lookUpInto(e.set3DFactors, lookUp, context, "Audio_Set3DFactors");
    lookUpInto(e.initLoopback, lookUp, context, "audioInitLoopback");
    lookUpInto(e.renderLoopback, lookUp, context, "audioRenderLoopback");
    lookUpInto(e.sampleFree, lookUp, context, "audioSampleFree");
    return e;
}

void SoundSystem::loadLibrary() {
    library_ = platform().loadResourceLibrary(kAudioResourceType, kAudioResourceId);
    if (library_)
        entries = audioEntryPointsByName(platformSymbol, reinterpret_cast<void*>(library_));
    else
        entries = audioLibraryEntryPoints();
}

void SoundSystem::afterInit(bool initialised) {
    bound_ = true;
    deviceOpen_ = initialised;
    if (initialised) {
        entries.start();
        entries.set3DFactors(kSoundDistanceFactor, kSoundRolloffFactor, kSoundDopplerFactor);
    }
}

bool SoundSystem::bind(WindowHandle mainWindow) {
    if (bound_) unbind();
    loadLibrary();
    afterInit(entries.init && entries.start && entries.set3DFactors &&
              entries.init(1, kSoundInitFrequency, kAudioDevice3D, mainWindow, nullptr));
    return deviceOpen_;
}

bool SoundSystem::bindLoopback() {
    if (bound_) unbind();
    loadLibrary();
    afterInit(entries.initLoopback && entries.renderLoopback && entries.start && entries.set3DFactors &&
              entries.initLoopback(kSoundInitFrequency));
    return deviceOpen_;
}

void SoundSystem::unbind() {
    if (!bound_) return;
    if (entries.stop) entries.stop();
    if (entries.free) entries.free();
    entries = AudioEntryPoints{};
    if (library_) platform().unloadLibrary(library_);
    library_ = 0;
    bound_ = false;
    deviceOpen_ = false;
}

}  // namespace ravelin
