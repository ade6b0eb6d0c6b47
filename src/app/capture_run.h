// The unattended modes over the saver's own run (runSaver, windowed, sound unbound): the capture
// mode (fixed seed, dt and clock; PNG frames out; ends by itself), the benchmark mode (start-up
// time, frame rate, per-frame CPU time) and a plain window run. main.cpp parses the command
// line with parseRunOptions and calls runFrames once; bench_render calls it per size.
#pragma once

#include <cstdint>
#include <string>

#include "platform/platform.h"

namespace ravelin {

enum class RunMode { Window, Capture, Benchmark };

struct RunOptions {
    RunMode mode = RunMode::Window;
    std::string captureDir;
    int frames = 300;        // capture: frames drawn
    int every = 1;           // capture: every K-th frame is written (frame 0 always)
    uint32_t seed = 1;       // capture and benchmark: the random generator's seed
    float dt = 1.0f / 30.0f; // capture: fixed frame time, seconds
    int width = 800, height = 600;
    bool sizeGiven = false;
    LocalTime time{12, 0, 0};  // capture: the clock overlay's time of day
    double seconds = 10.0;     // benchmark: how long to measure
    bool forceSingleTexture = false;
    bool showOverlay = true;   // capture and benchmark draw the clock and the frame rate
    int64_t startCounter = 0;  // platform counter read first thing in main
    // Benchmark: called after each presented frame with its index, and with -1 once the
    // frames are over (the bench program counts heap allocations with it).
    void (*frameDone)(long frame) = nullptr;
};

// Parses "--capture DIR [--frames N] [--every K] [--seed S] [--dt SECONDS] [--size WxH]
// [--time HH:MM:SS]", "--benchmark [--size WxH] [--seconds T]" and "--no-multitexture" (argv[0]
// is skipped). False with a message in error for anything it does not understand.
bool parseRunOptions(int argc, const char* const* argv, RunOptions& options, std::string& error);

// Runs the saver's start-up, frames and shutdown in a window of the asked size with this mode's
// hooks, and returns the exit code (1: no window, or a frame could not be written). The window
// run (neither mode) ends when its window is closed.
int runFrames(const RunOptions& options);

// Writes width × height RGB pixels, rows bottom-up as glReadPixels gives them, to a PNG file.
bool writePng(const std::string& path, const uint8_t* rgbBottomUp, int width, int height);

}  // namespace ravelin
