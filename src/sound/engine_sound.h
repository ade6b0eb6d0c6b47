// EngineSound: one per car; three looping 3D band samples driven by the car's speed and placed
// in listener space. A run's sound (sound/run_sound.h) holds the eighteen engines, loads their
// samples with the car looks, starts them when engine sounds are enabled and updates them every
// frame. Every call goes through the binding's entry table it is given.
#pragma once

#include <cstdint>

#include "sound/audio/audio.h"  // SoundVector

namespace ravelin {

struct AudioEntryPoints;

// One speed band: the volume envelope over engineSpeed and the rate ramp around the channel's
// own rate (fromOffset at s <= s0 to toOffset at s >= s1).
struct EngineBand {
    const char* file;
    int32_t rise, full, fall, silent;
    int32_t fromOffset, toOffset, s0, s1;
};
extern const EngineBand kEngineBands[3];

class EngineSound {
public:
    void loadSamples(const AudioEntryPoints& audio);    // "low.ogg", "med.ogg", "max.ogg"
    void startChannels(const AudioEntryPoints& audio);  // when engine sounds are enabled
    // Every frame, channels started or not.
    void update(const AudioEntryPoints& audio, const SoundVector& position, const SoundVector& velocity);

    // Band maths, exposed for tests.
    static int32_t engineSpeed(const SoundVector& velocity);
    static int32_t bandVolume(int32_t s, int32_t rise, int32_t full, int32_t fall, int32_t silent);
    static int32_t bandFrequency(int32_t s, int32_t from, int32_t to, int32_t s0, int32_t s1);
    // The channel volume (0..20) and rate each band gets at engine speed s.
    void bandSettings(int32_t s, int32_t volume[3], int32_t frequency[3]) const;

    uintptr_t sample[3] = {0, 0, 0};
    int32_t baseFrequency[3] = {0, 0, 0};
    uintptr_t channel[3] = {0, 0, 0};
    SoundVector position;
    SoundVector velocity;
};

}  // namespace ravelin
