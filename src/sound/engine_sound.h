// EngineSound: one per car; three looping 3D band samples driven by the car's speed and placed
// in listener space. Cars call loadSamples at look loading and update every frame; the run starts
// the channels when engine sounds are enabled. Also the music and the output-volume rules.
#pragma once

#include <cstdint>

namespace ravelin {

struct SoundVector {
    float x = 0.0f, y = 0.0f, z = 0.0f;
};

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

    uintptr_t sample[3] = {0, 0, 0};
    int32_t baseFrequency[3] = {0, 0, 0};
    uintptr_t channel[3] = {0, 0, 0};
    SoundVector position;
    SoundVector velocity;
};

void startMusic();
void saveOutputVolume();
void setOutputVolume(int32_t volume);
void restoreOutputVolume();

}  // namespace ravelin
