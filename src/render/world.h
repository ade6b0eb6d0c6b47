// The process-wide drawn objects of the run: the land and overlay scenes, the sky, the lens
// flare, the digit font and the loading screen. They live from their loading step to the end of
// the process; the frame composition draws them, the run loads them in its order.
#pragma once

#include "render/digit_font.h"
#include "render/lens_flare.h"
#include "render/loading_screen.h"
#include "render/scene.h"
#include "render/sky.h"

namespace ravelin {

SceneDescription& landScene();     // "land.txt", drawn before the cars
SceneDescription& overlayScene();  // "test.txt", drawn after the cars
Sky& sky();
LensFlare& lensFlare();
DigitFont& digitFont();
LoadingScreen& loadingScreen();
TextureCache& textureCache();

// Whether the clock and frame-rate texts are drawn (the settings' switches, unless a run
// overrides them).
struct OverlaySwitches {
    bool showFps = false;
    bool showClock = false;
    bool twelveHour = false;
};
OverlaySwitches& overlaySwitches();

// The renderer's share of loading, in the run's order: the loading screen shown, then the
// font, the two scenes ("test.txt" before "land.txt"), the sky and the flare. Cars and camera
// tracks are loaded by their own code in between (hooks of the run).
void showLoadingScreen(int width, int height);
void loadFontAndScenes();
void loadSkyAndFlare();

// Forgets every drawn object and the texture cache (their GL objects go with the context).
// For programs that run several contexts one after another (benchmarks, tests).
void resetRenderWorld();

}  // namespace ravelin
