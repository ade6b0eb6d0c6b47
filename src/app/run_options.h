// The unattended runs' command line: "--capture DIR …", "--benchmark …" and "--no-multitexture"
// with their values, parsed into RunOptions, and its usage text. The shell's main parses with
// parseRunOptions and hands the options to runFrames (app/unattended_run.h).
#pragma once

#include <cstdint>
#include <functional>
#include <string>

#include "platform/platform.h"

namespace ravelin {

// Which unattended run: a plain window, the capture (PNG frames) or the benchmark (figures).
enum class UnattendedMode { Window, Capture, Benchmark };

struct RunOptions {
    UnattendedMode mode = UnattendedMode::Window;
    std::string captureDir;
    int frames = 300;        // capture: frames drawn
    int every = 1;           // capture: every K-th frame is written (frame 0 always)
    uint32_t seed = 1;       // capture and benchmark: the random generator's seed
    float dt = 1.0f / 30.0f; // capture: fixed frame time, seconds
    // Benchmark: --dt was given, so the race steps by dt each frame rather than by the clock and
    // every run draws the same pictures in the same order (for comparing builds).
    bool dtGiven = false;
    int width = 800, height = 600;
    bool sizeGiven = false;
    LocalTime time{12, 0, 0};  // capture: the clock overlay's time of day
    double seconds = 10.0;     // benchmark: how long to measure
    bool forceSingleTexture = false;
    // Benchmark: the phase breakdown waits for each phase's drawing to finish and times it by the
    // clock (for rasterisers whose timer queries do not see their deferred work); slower frames.
    bool phaseSync = false;
    bool showOverlay = true;   // capture and benchmark draw the clock and the frame rate
    int64_t startCounter = 0;  // platform counter read first thing in main
    // Benchmark: called after each presented frame with its index, and with -1 once the
    // frames are over (the bench program counts heap allocations with it).
    std::function<void(long frame)> frameDone;
};

// One line: every option the unattended runs take.
extern const char kRunOptionsUsage[];

// Parses "--capture DIR [--frames N] [--every K] [--seed S] [--dt SECONDS] [--size WxH]
// [--time HH:MM:SS]", "--benchmark [--size WxH] [--seconds T] [--dt SECONDS]
// [--phase-sync]" and
// "--no-multitexture" (argv[0]
// is skipped). False with a message in error for anything it does not understand.
bool parseRunOptions(int argc, const char* const* argv, RunOptions& options, std::string& error);

}  // namespace ravelin
