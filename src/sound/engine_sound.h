// EngineSound: one per car; three looping 3D band samples driven by the car's speed and placed
// in listener space. Cars call loadSamples at look loading and update every frame; the run starts
// the channels when engine sounds are enabled. Also the music and the output-volume rules.
#pragma once

#include <cstdint>

#include "sound/audio/audio.h"  // SoundVector

namespace ravelin {

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
    virtual ~EngineSound() = default;
    void loadSamples();                                         // "low.ogg", "med.ogg", "max.ogg"
    void startChannels();                                       // when engine sounds are enabled
    void update(const SoundVector& position, const SoundVector& velocity);  // every frame

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

void startMusic();  // "music.ogg", a plain looping sample
void saveOutputVolume();
void setOutputVolume(int32_t volume);
void restoreOutputVolume();

}  // namespace ravelin
