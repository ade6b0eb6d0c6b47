// The phases of one frame, in the order the run goes through them: the animation, the parts of
// the composed picture, then the swap. Anything that looks at a frame piece by piece (the GL
// error check, a per-phase timer) names its pieces from this one list.
#pragma once

#include <cstddef>

namespace ravelin {

enum class FramePhase {
    Update,        // flare, race, director (a shot change may draw the transition capture)
    Sky,           // depth clear, camera, sky dome
    LandScene,     // "land.txt"
    CarPasses,     // every visible car's passes
    OverlayScene,  // "test.txt", after the car passes' state is put back
    SunAndFlare,
    Transition,    // the previous shot's picture fading out
    Texts,         // clock and frame rate
    Present,       // flush and swap (a capture's read-back comes just before)
};

inline constexpr size_t kFramePhaseCount = static_cast<size_t>(FramePhase::Present) + 1;

// Short lower-case names, for messages and figures.
inline constexpr const char* kFramePhaseNames[kFramePhaseCount] = {
    "update", "sky", "land scene", "car passes", "overlay scene", "sun and flare", "transition", "texts", "present",
};

inline const char* framePhaseName(FramePhase phase) { return kFramePhaseNames[static_cast<size_t>(phase)]; }

}  // namespace ravelin
