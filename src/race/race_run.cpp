#include "race/race_run.h"

#include "app/frame_composition.h"
#include "render/gl.h"
#include "render/world.h"

namespace ravelin {

namespace {

void applyDirectorCamera(CameraPose& view) {
    CameraDirector& director = cameraDirector();
    director.apply();
    view.eye = director.eye;
    view.direction = director.direction;
    view.up = director.up;
}

void drawRaceCars(const Frustum& frustum) {
    RaceState& race = raceState();
    drawCars(race.cars, race.assets, frustum);
}

void drawDirectorTransition(float dt) {
    CameraDirector& director = cameraDirector();
    if (director.transitionActive) director.drawTransition(dt);
}

void renderSceneForCapture(void*) { drawWorldForCapture(); }

}  // namespace

CameraDirector& cameraDirector() {
    static CameraDirector director;
    return director;
}

void loadRaceEarly() {
    RaceState& race = raceState();
    loadRaceLines(race);
    loadCarAssets(race.assets, textureCache());
}

void loadRaceLate() {
    RaceState& race = raceState();
    loadCarLooks(race, textureCache());
    placeCars(race.cars);
    loadKeyframeTracks(race);
    CameraDirector& director = cameraDirector();
    director.attach(race);
    director.initCounters();
    director.createTransitionTexture();
}

void startRaceShots() { cameraDirector().initShots(); }

void updateRace(float dt) {
    RaceState& race = raceState();
    CameraDirector& director = cameraDirector();
    director.advanceTrackTime(dt);
    // The engine sounds hear the camera where the previous image was taken from.
    const CameraPose listener = director.pose();
    for (Car& car : race.cars) {
        const int line = car.raceLine >= 0 && car.raceLine < kRaceLineCount ? car.raceLine : 0;
        updateCar(car, dt, race.lines[line], listener, director.pointsPassed);
    }
    director.update();
    if (director.shotFinished) director.afterUpdate();
}

void installRaceHooks(int width, int height) {
    CameraDirector& director = cameraDirector();
    director.attach(raceState());
    director.windowWidth = width;
    director.windowHeight = height;
    director.renderScene = renderSceneForCapture;
    director.renderSceneContext = nullptr;
    FrameHooks hooks = frameHooks();
    hooks.update = updateRace;
    hooks.applyCamera = applyDirectorCamera;
    hooks.drawCars = drawRaceCars;
    hooks.drawTransition = drawDirectorTransition;
    setFrameHooks(hooks);
}

}  // namespace ravelin
