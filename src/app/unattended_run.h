// The unattended runs over the saver's own run (windowed, silent, fixed seed): the capture mode
// (fixed dt and clock; PNG frames out; ends by itself), the benchmark mode (start-up time, frame
// rate, per-frame CPU time) and a plain window run. main.cpp calls runFrames once with the
// parsed options (app/run_options.h); bench_render calls it per size.
#pragma once

#include "app/run_options.h"

namespace ravelin {

// Runs the saver's start-up, frames and shutdown in a window of the asked size in the options'
// mode, and returns the exit code (1: no window, or a frame could not be written). The window
// run ends when its window is closed.
int runFrames(const RunOptions& options);

}  // namespace ravelin
