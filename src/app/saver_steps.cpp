// The real subsystems behind the saver run's steps: GL set-up, the renderer's loading and frame
// composition, the race animation's loading and update, and the sound system.
#include "app/frame_composition.h"
#include "app/saver_run.h"
#include "race/race_run.h"
#include "render/gl.h"
#include "render/gl_setup.h"
#include "render/world.h"
#include "sound/run_sound.h"

namespace ravelin {
namespace {

void setUpGlStep(int32_t storedGamma, bool defGamma) { setUpGl(GlSetupOptions{}, storedGamma, defGamma); }

void overlayStep(bool showFps, bool showClock, bool twelveHour) {
    overlaySwitches() = {showFps, showClock, twelveHour};
}

// The context took the window's size when it was made current; a later size (a host's resize)
// needs the viewport and the transition capture's restore size to follow.
void windowSizedStep(int width, int height) {
    glViewport(0, 0, width, height);
    installRaceHooks(width, height);
}

void bindSoundStep(WindowHandle mainWindow) { bindRunSound(mainWindow); }

void updateFrameStep(float dt) {
    lensFlare().update(dt);
    if (frameHooks().update)
        frameHooks().update(dt);
    else
        advanceTestCamera(dt);
}

SaverSteps makeDefaultSteps() {
    SaverSteps steps;
    steps.setUpGl = setUpGlStep;
    steps.overlay = overlayStep;
    steps.windowSized = windowSizedStep;
    steps.showLoadingScreen = showLoadingScreen;
    steps.bindSound = bindSoundStep;
    steps.loadFontAndScenes = loadFontAndScenes;
    steps.loadRaceEarly = loadRaceEarly;
    steps.loadSkyAndFlare = loadSkyAndFlare;
    steps.loadRaceLate = loadRaceLate;
    steps.startShots = startRaceShots;
    steps.startSound = startRunSound;
    steps.setVolume = setRunVolume;
    steps.updateFrame = updateFrameStep;
    steps.drawFrame = drawFrame;
    steps.presentFrame = presentFrame;
    // Restores the volume, then stops, frees and unbinds the library: both shutdown steps.
    steps.restoreVolume = stopRunSound;
    return steps;
}

}  // namespace

const SaverSteps& defaultSaverSteps() {
    static const SaverSteps steps = makeDefaultSteps();
    return steps;
}

}  // namespace ravelin
