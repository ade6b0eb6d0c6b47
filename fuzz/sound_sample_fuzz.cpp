// Fuzzes the audio library's sample load (Ogg Vorbis from memory) and a short playback of
// whatever decodes, on the loopback device.
#include <cstddef>
#include <cstdint>
#include <vector>

#include "sound/audio/audio.h"

using namespace ravelin;

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    static const bool ready = audioInitLoopback(44100);
    if (!ready) return 0;
    std::vector<uint8_t> bytes(data, data + size);  // exact bounds for the sanitizer
    AudioHandle sample = Audio_SampleLoad(true, bytes.data(), 0, uint32_t(bytes.size()), 1,
                                          kAudioSampleLoop | kAudioSample3D);
    if (sample != 0) {
        SoundVector position{10.0f, 0.0f, 10.0f};
        AudioHandle channel = Audio_SamplePlay3D(sample, &position, nullptr, nullptr);
        Audio_ChannelSetAttributes(channel, 88200, 50, kAudioPanUnchanged);
        Audio_Apply3D();
        static float out[2 * 512];
        audioRenderLoopback(out, 512);
        if (!audioSampleFree(sample)) __builtin_trap();
    }
    return 0;
}
