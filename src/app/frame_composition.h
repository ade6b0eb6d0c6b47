// Frame composition: draws one frame of a run's world in its fixed order (sky, land scene, car
// passes, overlay scene, sun and flare, scene transition, clock and frame rate) and presents it.
// The run calls drawFrame and presentFrame once per frame; its transition capture draws the
// world picture alone.
#pragma once

#include "app/run_world.h"

namespace ravelin {

// The 3D picture of the shot in progress: depth cleared, the director's camera, sky, land
// scene, car passes, overlay scene, sun and flare. What a transition capture keeps.
void drawWorldPicture(RunWorld& world);
// The world picture, the transition picture (ageing it by dt) and the clock and frame-rate
// texts: everything but the swap.
void drawFrame(RunWorld& world, float dt);
// Flush and swap.
void presentFrame();

}  // namespace ravelin
