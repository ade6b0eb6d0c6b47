// The phases of one frame, in the order the run goes through them: the animation, the parts of
// the composed picture, then the swap. Anything that looks at a frame piece by piece (the GL
// error check, the benchmark's per-phase timer) names its pieces from this one list.
#pragma once

#include <cstddef>

namespace ravelin {

enum class FramePhase {
    Update,      // flare, race, director (a shot change may draw the transition capture)
    Sky,         // depth clear, material, camera, sky dome
    Land,        // "land.txt"
    Cars,        // every visible car's passes
    Overlay,     // "test.txt", after the car passes' state is put back
    Flare,       // sun and lens flare
    Transition,  // the previous shot's picture fading out
    Texts,       // clock and frame rate
    Present,     // flush and swap (a capture's read-back comes just before)
};

inline constexpr size_t kFramePhaseCount = static_cast<size_t>(FramePhase::Present) + 1;

// Short lower-case single-word names, for messages and the benchmark's figures.
inline constexpr const char* kFramePhaseNames[kFramePhaseCount] = {
    "update", "sky", "land", "cars", "overlay", "flare", "transition", "texts", "present",
};

inline const char* framePhaseName(FramePhase phase) { return kFramePhaseNames[static_cast<size_t>(phase)]; }

// Told when each phase of a frame begins and ends (the benchmark times them). Every phase is
// reported in every frame, in order, even when it does nothing.
class FramePhaseObserver {
public:
    virtual void phaseBegins(FramePhase phase) = 0;
    virtual void phaseEnds(FramePhase phase) = 0;

protected:
    ~FramePhaseObserver() = default;
};

}  // namespace ravelin
