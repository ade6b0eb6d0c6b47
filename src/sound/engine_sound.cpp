// Engine sounds: three looping band channels per car whose volume and rate follow the car's
// speed, placed in listener space every frame. Calls go through the binding's entry table, so
// they are harmless when the library has no device (or is not bound at all).
#include "sound/engine_sound.h"

#include <cmath>

#include "sound/sound_system.h"

namespace ravelin {

const EngineBand kEngineBands[3] = {
    {"low.ogg", -100, -100, 200, 400, -20000, 50000, -10, 400},
    {"med.ogg", 0, 400, 450, 600, -20000, 30000, 0, 600},
    {"max.ogg", 250, 600, 1700, 1800, -10000, 50000, 250, 800},
};

namespace {

int32_t truncToInt(float value) {
    // Conversion toward zero, kept inside the 32-bit range (NaN gives 0).
    if (!(value == value)) return 0;
    if (value >= 2147483520.0f) return 2147483647;
    if (value <= -2147483648.0f) return -2147483647 - 1;
    return int32_t(value);
}

}  // namespace

int32_t EngineSound::engineSpeed(const SoundVector& velocity) {
    float speed = std::sqrt(velocity.x * velocity.x + velocity.y * velocity.y + velocity.z * velocity.z);
    return truncToInt(float(double(speed) * 105.0));
}

int32_t EngineSound::bandVolume(int32_t s, int32_t rise, int32_t full, int32_t fall, int32_t silent) {
    if (full <= s && s < fall) return 100;
    if (rise <= s && s < full) {
        float k = 100.0f / float(int64_t(full) - rise);
        int32_t v = truncToInt(float(int64_t(s) - rise) * k);
        return v < 0 ? 0 : v;
    }
    if (fall <= s && s <= silent) {
        if (silent == fall) return 100;  // a zero-width fade: the fall point itself is still full
        float k = 100.0f / float(int64_t(silent) - fall);
        int32_t v = 100 - truncToInt(float(int64_t(s) - fall) * k);
        return v > 100 ? 0 : v;
    }
    return 0;
}

int32_t EngineSound::bandFrequency(int32_t s, int32_t from, int32_t to, int32_t s0, int32_t s1) {
    if (s < s0) return from;
    if (s > s1) return to;
    if (s1 == s0) return from;  // s == s0 == s1
    float t = float(double(int64_t(s) - s0) / double(int64_t(s1) - s0));
    return truncToInt(float(from) + float(truncToInt(float(int64_t(to) - from) * t)));
}

void EngineSound::bandSettings(int32_t s, int32_t volume[3], int32_t frequency[3]) const {
    for (int b = 0; b < 3; ++b) {
        const EngineBand& band = kEngineBands[b];
        volume[b] = bandVolume(s, band.rise, band.full, band.fall, band.silent) / 5;
        frequency[b] = bandFrequency(s, baseFrequency[b] + band.fromOffset, baseFrequency[b] + band.toOffset,
                                     band.s0, band.s1);
    }
}

void EngineSound::startChannels(const AudioEntryPoints& a) {
    if (!a.samplePlay3D || !a.channelGetAttributes) return;
    for (int b = 0; b < 3; ++b) channel[b] = a.samplePlay3D(AudioHandle(sample[b]), &position, nullptr, nullptr);
    for (int b = 0; b < 3; ++b) a.channelGetAttributes(AudioHandle(channel[b]), &baseFrequency[b], nullptr, nullptr);
}

void EngineSound::update(const AudioEntryPoints& a, const SoundVector& newPosition, const SoundVector& newVelocity) {
    int32_t volume[3];
    int32_t frequency[3];
    bandSettings(engineSpeed(newVelocity), volume, frequency);
    if (a.channelSetAttributes) {
        for (int b = 0; b < 3; ++b)
            a.channelSetAttributes(AudioHandle(channel[b]), frequency[b], volume[b], kAudioPanUnchanged);
    }
    position = newPosition;
    velocity = newVelocity;
    if (a.channelSet3DPosition) {
        for (int b = 0; b < 3; ++b) a.channelSet3DPosition(AudioHandle(channel[b]), &position, nullptr, &velocity);
    }
    if (a.apply3D) a.apply3D();
}

}  // namespace ravelin
