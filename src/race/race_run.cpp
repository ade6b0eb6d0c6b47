#include "race/race_run.h"

namespace ravelin {

void loadRaceLinesAndCarAssets(RaceState& race, TextureCache* textures) {
    loadRaceLines(race);
    if (textures) loadCarAssets(race.assets, *textures);
}

void loadCarsTracksAndDirector(RaceState& race, CameraDirector& director, TextureCache* textures) {
    if (textures) loadCarLooks(race, *textures);
    placeCars(race.cars);
    loadKeyframeTracks(race);
    director.initCounters();
    if (textures) director.createTransitionTexture();
}

void startFirstShot(CameraDirector& director) {
    director.initShots();
    director.computeView();
}

bool stepRace(RaceState& race, CameraDirector& director, float dt) {
    director.advanceTrackTime(dt);
    // The cars are heard from where the previous image was taken.
    const CameraPose listener = director.pose();
    for (Car& car : race.cars) {
        const int line = car.raceLine >= 0 && car.raceLine < kRaceLineCount ? car.raceLine : 0;
        updateCar(car, dt, race.lines[line], listener, director.pointsPassed);
    }
    director.update();
    const bool shotChanged = director.shotFinished;
    director.afterUpdate();
    director.computeView();
    return shotChanged;
}

}  // namespace ravelin
