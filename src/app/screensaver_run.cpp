#include "app/screensaver_run.h"

#include "app/frame_composition.h"
#include "race/race_run.h"
#include "render/gl.h"
#include "render/gl_setup.h"

namespace ravelin {

ScreensaverRun::ScreensaverRun(bool drawn) : drawn_(drawn) {
    if (drawn_) world_.director.capture = this;
}

void ScreensaverRun::loadWorld() {
    loadFontAndScenes();
    loadRaceEarly();
    loadSkyAndFlare();
    loadRaceLate();
    startShots();
}

void ScreensaverRun::setUpGl(int32_t storedGamma, bool defGamma) {
    ravelin::setUpGl(GlSetupOptions{}, storedGamma, defGamma);
}

void ScreensaverRun::setOverlay(bool showFps, bool showClock, bool twelveHour) {
    world_.overlay = {showFps, showClock, twelveHour};
}

// The context took the window's size when it was made current; a later size (a host's resize)
// needs the viewport and the transition capture's restore size to follow.
void ScreensaverRun::windowSized(int width, int height) {
    glViewport(0, 0, width, height);
    width_ = width;
    height_ = height;
}

void ScreensaverRun::showLoadingScreen(int width, int height) {
    world_.loadingScreen.load(world_.textures);
    world_.loadingScreen.show(width, height);
}

void ScreensaverRun::bindSound(WindowHandle mainWindow) { world_.sound.bind(mainWindow); }

void ScreensaverRun::loadFontAndScenes() {
    world_.font.createFont(world_.textures);
    world_.overlayScene.load("test.txt", world_.textures);
    world_.landScene.load("land.txt", world_.textures);
}

void ScreensaverRun::loadRaceEarly() {
    loadRaceLinesAndCarAssets(world_.race, drawn_ ? &world_.textures : nullptr);
}

void ScreensaverRun::loadSkyAndFlare() {
    world_.sky.load(world_.textures);
    world_.flare.load(world_.textures);
}

void ScreensaverRun::loadRaceLate() {
    // The engines' samples load with the cars, before their looks.
    world_.sound.loadEngineSamples();
    loadCarsTracksAndDirector(world_.race, world_.director, drawn_ ? &world_.textures : nullptr);
}

void ScreensaverRun::startSound(bool music, bool effects) { world_.sound.start(music, effects); }

void ScreensaverRun::startShots() { startFirstShot(world_.director); }

void ScreensaverRun::setVolume(int32_t volume) { world_.sound.setVolume(volume); }

void ScreensaverRun::updateFrame(float dt) {
    world_.flare.update(dt);
    stepRace(world_.race, world_.director, dt);
    world_.sound.updateEngines(world_.race.cars);
}

void ScreensaverRun::drawFrame(float dt) { ravelin::drawFrame(world_, dt); }

void ScreensaverRun::presentFrame() { ravelin::presentFrame(); }

void ScreensaverRun::restoreVolume() { world_.sound.restoreVolume(); }

void ScreensaverRun::unbindSound() { world_.sound.unbind(); }

void ScreensaverRun::captureTransition(CameraDirector& director) {
    director.beginCapture(width_, height_);
    drawWorldPicture(world_);
    director.endCapture();
}

}  // namespace ravelin
