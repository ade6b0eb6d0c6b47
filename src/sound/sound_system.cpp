// The binding: on Linux the audio library is part of the executable, so binding is filling the
// table with its functions and opening the device.
#include "sound/sound_system.h"

namespace ravelin {

AudioEntryPoints audioLibraryEntryPoints() {
    AudioEntryPoints e;
    e.errorGetCode = Audio_ErrorGetCode;
    e.init = Audio_Init;
    e.free = Audio_Free;
    e.setVolume = Audio_SetVolume;
    e.start = Audio_Start;
    e.stop = Audio_Stop;
    e.getVolume = Audio_GetVolume;
    e.sampleLoad = Audio_SampleLoad;
    e.samplePlay3D = Audio_SamplePlay3D;
    e.samplePlay = Audio_SamplePlay;
    e.channelGetAttributes = Audio_ChannelGetAttributes;
    e.channelSetAttributes = Audio_ChannelSetAttributes;
    e.channelSet3DPosition = Audio_ChannelSet3DPosition;
    e.apply3D = Audio_Apply3D;
    e.set3DFactors = Audio_Set3DFactors;
    return e;
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
    entries = audioLibraryEntryPoints();
    afterInit(entries.init(1, kSoundInitFrequency, kAudioDevice3D, mainWindow, nullptr));
    return deviceOpen_;
}

bool SoundSystem::bindLoopback() {
    if (bound_) unbind();
    entries = audioLibraryEntryPoints();
    afterInit(audioInitLoopback(kSoundInitFrequency));
    return deviceOpen_;
}

void SoundSystem::unbind() {
    if (!bound_) return;
    if (entries.stop) entries.stop();
    if (entries.free) entries.free();
    entries = AudioEntryPoints{};
    bound_ = false;
    deviceOpen_ = false;
}

}  // namespace ravelin
