// Frame composition: draws one frame in its fixed order (sky, land scene, car passes, overlay
// scene, sun and flare, scene transition, clock and frame rate) and presents it. Called once per
// frame by the run loop; the race animation registers the camera, car and transition hooks.
// The drawn objects (scenes, sky, flare, font) are process-wide and owned by render/world.h.
#pragma once

#include "base/math.h"

namespace ravelin {

// The race animation's parts of a frame. A null hook is skipped (the camera then falls back to
// the fixed test camera).
struct FrameHooks {
    // Loop steps after the flare update: cars, then the camera director (may capture a
    // transition through drawWorldForCapture).
    void (*update)(float dt) = nullptr;
    // Sets projection and modelview for the 3D scene (the modelview is the identity on entry)
    // and reports the pose it applied.
    void (*applyCamera)(CameraPose& view) = nullptr;
    // The car passes, drawn between the land scene and the overlay scene.
    void (*drawCars)(const Frustum& frustum) = nullptr;
    // Called every frame after the flare; draws and ages the transition picture when one is
    // active and does nothing otherwise.
    void (*drawTransition)(float dt) = nullptr;
};

void setFrameHooks(const FrameHooks& hooks);
const FrameHooks& frameHooks();

// The fixed camera used until a director registers applyCamera: a slow orbit around the
// circuit's centre, advanced by dt so that capture runs are reproducible.
void advanceTestCamera(float dt);

// Steps 1–13: depth clear to the lens flare (also the transition capture's picture).
void drawWorldForCapture();
// Steps 1–16 (everything but the swap).
void drawFrame(float dt);
// Step 17: flush and swap.
void presentFrame();
// drawFrame then presentFrame: one whole frame.
void composeFrame(float dt);

// The camera pose of the last image drawn.
const CameraPose& lastCameraPose();

}  // namespace ravelin
