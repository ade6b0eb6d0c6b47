// Frame composition: draws one frame of a run's world in its fixed order (sky, land scene, car
// passes, overlay scene, sun and flare, scene transition, clock and frame rate) and presents it.
// The run calls drawFrame and presentFrame once per frame; its transition capture draws the
// world picture alone.
#pragma once

#include "app/run_world.h"

namespace ravelin {

// The parts a frame is drawn in, in drawing order, with the names tools print for them. The
// sky phase includes the frame's set-up (depth clear, material, camera).
enum class FramePhase { Sky, Land, Cars, Overlay, Flare, Transition, OverlayText };
constexpr int kFramePhaseCount = 7;
constexpr const char* kFramePhaseNames[kFramePhaseCount] = {"sky",   "land",       "cars",        "overlay",
                                                            "flare", "transition", "overlay_text"};

// Told when each phase of a drawn frame begins and ends (the benchmark times them). Every phase
// is reported in every frame, in order, even when it draws nothing.
class FramePhaseObserver {
public:
    virtual void phaseBegins(FramePhase phase) = 0;
    virtual void phaseEnds(FramePhase phase) = 0;

protected:
    ~FramePhaseObserver() = default;
};

// The 3D picture of the shot in progress: depth cleared, the director's camera, sky, land
// scene, car passes, overlay scene, sun and flare. What a transition capture keeps.
void drawWorldPicture(RunWorld& world, FramePhaseObserver* phases = nullptr);
// The world picture, the transition picture (ageing it by dt) and the clock and frame-rate
// texts: everything but the swap.
void drawFrame(RunWorld& world, float dt, FramePhaseObserver* phases = nullptr);
// Flush and swap.
void presentFrame();

}  // namespace ravelin
