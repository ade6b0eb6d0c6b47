// The offline mix: runs the screensaver's own audio (cars on their lines, the camera director,
// engine sounds, music and the volume rules) with a fixed seed and frame time, renders it through
// the loopback device and writes a 16-bit stereo WAV file. No window or GL is needed; the shell's
// main calls runAudioCaptureCommand for "--capture-audio", tests call captureAudio directly.
#pragma once

#include <cstdint>
#include <string>

namespace ravelin {

struct AudioCaptureOptions {
    std::string path;          // WAV file written
    double seconds = 60.0;
    uint32_t seed = 1;
    float dt = 1.0f / 30.0f;   // frame time, seconds
    int32_t volume = 75;       // the output volume the run sets after the first shot
    bool music = true;
    bool engines = true;
};

struct AudioCaptureResult {
    uint64_t frames = 0;      // stereo frames written
    double peak = 0.0;        // largest absolute sample, 1 = full scale (before 16-bit clamping)
    double rms = 0.0;         // over both channels
    double clippedFraction = 0.0;  // samples beyond full scale
};

// Parses "--capture-audio FILE [--seconds N] [--seed S] [--dt SECONDS] [--volume V]
// [--no-music] [--no-engines]" (argv[0] skipped). False with a message in error otherwise.
bool parseAudioCaptureOptions(int argc, const char* const* argv, AudioCaptureOptions& options, std::string& error);

// Needs the platform installed (the archive comes from its resources). False when the loopback
// device or the file cannot be opened.
bool captureAudio(const AudioCaptureOptions& options, AudioCaptureResult& result, std::string& error);

// The whole command: parse, mix, print the levels; returns the process exit code.
int runAudioCaptureCommand(int argc, const char* const* argv);

}  // namespace ravelin
