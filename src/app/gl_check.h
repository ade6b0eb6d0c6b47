// The GL error check, a debug aid: when on (RAVELIN_GL_CHECK=1 in the environment, or
// enableGlCheck), glGetError is read after the start-up's loading and after every frame phase,
// each error is counted against the phase it followed, and the first one is printed with its
// phase. Off, a check is one flag test. The unattended runs fail when it counted anything.
#pragma once

#include <cstddef>

#include "app/frame_phases.h"

namespace ravelin {

// On or off from here on; it starts as RAVELIN_GL_CHECK says ("1", or any value but "0" and "").
void enableGlCheck(bool on);
bool glCheckEnabled();

// Reads and counts every pending GL error after the phase (or after the start-up's loading).
void glCheck(FramePhase phase);
void glCheckAfterLoading();

// Errors counted so far after the phase, after the loading, and in all.
size_t glErrorCount(FramePhase phase);
size_t glErrorCountAfterLoading();
size_t glErrorTotal();
void resetGlErrorCounts();

// One line to stdout: the total and the count of every phase that had any.
void printGlErrorCounts();

// Does one phase of a frame: the observer (when there is one) told around it, and the GL errors
// it raised counted against it.
template <class Work>
void runPhase(FramePhaseObserver* observer, FramePhase phase, Work work) {
    if (observer) observer->phaseBegins(phase);
    work();
    if (observer) observer->phaseEnds(phase);
    glCheck(phase);
}

}  // namespace ravelin
