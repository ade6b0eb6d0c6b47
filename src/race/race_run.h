// The race animation's place in a run: loading in the start-up order, the per-frame update
// (cars, then the camera director) and the frame-composition hooks (camera, car passes,
// transition). The shell calls installRaceHooks once before loading; the director is process-wide.
#pragma once

#include "race/camera_director.h"

namespace ravelin {

CameraDirector& cameraDirector();

// Start-up, as the saver run orders it: loadRaceEarly after the scene descriptions (race lines,
// shared car assets); loadRaceLate after the sky and flare (looks with their engine samples,
// grid, camera tracks, the director's counters and capture texture); startRaceShots after the
// sound has started (the director's first target and shot).
void loadRaceEarly();
void loadRaceLate();
void startRaceShots();

// One frame's animation: track time, cars 0 … 17, the director's update and shot change.
void updateRace(float dt);

// Registers the race's frame hooks; width × height is the window the capture viewport is
// restored to (0 × 0: read the GL viewport at capture time instead).
void installRaceHooks(int width = 0, int height = 0);

}  // namespace ravelin
