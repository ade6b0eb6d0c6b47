// RunWorld: everything one run loads, animates, draws and plays — the texture cache, loading
// screen, overlay font and switches, the two scenes, sky, flare, the race, the camera director
// and the sound. The run (app/screensaver_run.h) makes it with itself and it goes with the run,
// so a second run in the same process starts from the same state. GL objects (textures,
// display lists) are not deleted here: they go with the GL context.
#pragma once

#include "race/camera_director.h"
#include "race/car.h"
#include "render/digit_font.h"
#include "render/lens_flare.h"
#include "render/loading_screen.h"
#include "render/scene.h"
#include "render/sky.h"
#include "render/texture.h"
#include "sound/run_sound.h"

namespace ravelin {

struct RunWorld {
    RunWorld() { director.attach(race); }
    // The director points into the race: the world stays where it was made.
    RunWorld(const RunWorld&) = delete;
    RunWorld& operator=(const RunWorld&) = delete;

    TextureCache textures;
    LoadingScreen loadingScreen;
    DigitFont font;
    OverlaySwitches overlay;
    SceneDescription overlayScene;  // "test.txt", drawn after the cars
    SceneDescription landScene;     // "land.txt", drawn before the cars
    Sky sky;
    LensFlare flare;
    RaceState race;
    CameraDirector director;
    RunSound sound;
};

}  // namespace ravelin
