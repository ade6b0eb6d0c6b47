// The real subsystems behind the saver run's steps: GL set-up, the renderer's loading and frame
// composition, the race animation's loading and update, and the sound system.
#include "app/frame_composition.h"
#include "app/saver_run.h"
#include "race/car.h"
#include "render/gl_setup.h"
#include "sound/engine_sound.h"
#include "sound/sound_system.h"

namespace ravelin {
namespace {

void setUpGlStep(int32_t storedGamma, bool defGamma) { setUpGl(GlSetupOptions{}, storedGamma, defGamma); }

void bindSoundStep(WindowHandle mainWindow) { soundSystem().bind(mainWindow); }

void startSoundStep(bool music, bool effects) {
    saveOutputVolume();
    setOutputVolume(0);
    if (music) startMusic();
    if (effects)
        for (Car& car : raceState().cars) car.engineSound.startChannels();
}

void updateFrameStep(float dt) {
    if (frameHooks().update)
        frameHooks().update(dt);
    else
        advanceTestCamera(dt);
}

void unbindSoundStep() { soundSystem().unbind(); }

SaverSteps makeDefaultSteps() {
    SaverSteps steps;
    steps.setUpGl = setUpGlStep;
    steps.bindSound = bindSoundStep;
    steps.startSound = startSoundStep;
    steps.setVolume = setOutputVolume;
    steps.updateFrame = updateFrameStep;
    steps.drawFrame = drawFrame;
    steps.presentFrame = presentFrame;
    steps.restoreVolume = restoreOutputVolume;
    steps.unbindSound = unbindSoundStep;
    return steps;
}

}  // namespace

const SaverSteps& defaultSaverSteps() {
    static const SaverSteps steps = makeDefaultSteps();
    return steps;
}

}  // namespace ravelin
