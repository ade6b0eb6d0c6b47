// The race's part in a run, the same for every run that moves it (the screensaver, capture,
// benchmark, the offline mix, tests and tools): its loading in the run's order, the first shot
// and one frame's step. The state it works on belongs to the run's world (app/run_world.h).
#pragma once

#include "race/camera_director.h"

namespace ravelin {

class TextureCache;

// Loading, in two parts that the run puts around the sky and flare. textures: the run's cache,
// or null for a run that draws nothing (the offline mix has no GL context), which then reads
// only what moves the cars and the camera.
// The four race lines, then (drawing) the shared car assets.
void loadRaceLinesAndCarAssets(RaceState& race, TextureCache* textures);
// (Drawing) the car looks; the starting grid; the seventeen camera tracks; the director's
// transition counters and (drawing) its capture texture.
void loadCarsTracksAndDirector(RaceState& race, CameraDirector& director, TextureCache* textures);

// The director's first target and shot, and the camera's world pose for the first frame.
void startFirstShot(CameraDirector& director);

// One frame: the camera-track clock, cars 0 … 17 (each heard from where the last image was
// taken), the director's update and shot change (which may capture a transition and re-place
// the cars), then the camera's world pose for this frame. True when the shot changed.
bool stepRace(RaceState& race, CameraDirector& director, float dt);

}  // namespace ravelin
