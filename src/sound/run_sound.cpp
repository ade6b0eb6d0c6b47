#include "sound/run_sound.h"

namespace ravelin {

void RunSound::loadEngineSamples() {
    for (EngineSound& engine : engines) engine.loadSamples(system.entries);
}

void RunSound::start(bool music, bool enginesOn) {
    const AudioEntryPoints& audio = system.entries;
    savedVolume = audio.getVolume ? audio.getVolume() : 0;
    setVolume(0);
    if (music) startMusic();
    if (enginesOn)
        for (EngineSound& engine : engines) engine.startChannels(audio);
}

void RunSound::setVolume(int32_t volume) {
    if (system.entries.setVolume) system.entries.setVolume(volume);
}

void RunSound::updateEngines(const std::array<Car, kCarCount>& cars) {
    for (size_t i = 0; i < engines.size(); ++i) {
        const Car& car = cars[i];
        const SoundVector position{car.soundPosition.x, car.soundPosition.y, car.soundPosition.z};
        const SoundVector velocity{car.soundVelocity.x, car.soundVelocity.y, car.soundVelocity.z};
        engines[i].update(system.entries, position, velocity);
    }
}

void RunSound::restoreVolume() { setVolume(savedVolume); }

}  // namespace ravelin
