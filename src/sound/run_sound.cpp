#include "sound/run_sound.h"

#include "race/car.h"
#include "sound/engine_sound.h"
#include "sound/sound_system.h"

namespace ravelin {

bool bindRunSound(WindowHandle mainWindow) { return soundSystem().bind(mainWindow); }

void startRunSound(bool music, bool engines) {
    saveOutputVolume();
    setOutputVolume(0);
    if (music) startMusic();
    if (engines)
        for (Car& car : raceState().cars) car.engineSound.startChannels();
}

void setRunVolume(int32_t volume) { setOutputVolume(volume); }

void stopRunSound() {
    restoreOutputVolume();
    soundSystem().unbind();
}

}  // namespace ravelin
