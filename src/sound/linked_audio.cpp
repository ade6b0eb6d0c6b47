// The audio library linked into the executable (the Linux build): the binding's table points
// straight at its functions.
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
    e.initLoopback = audioInitLoopback;
    e.renderLoopback = audioRenderLoopback;
    e.sampleFree = audioSampleFree;
    return e;
}

}  // namespace ravelin
