// The offline mix: the screensaver's own run without a window. It calls the run's parts that
// make sound, in the run's order, on a world that loads nothing to draw: the sound bound to the
// loopback device, the race's loading, the sound start, the first shot, the volume, then per
// frame the run's own update (cars, director, engines) and dt seconds of output.
#include "app/offline_mix.h"

#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <memory>
#include <vector>

#include "app/screensaver_run.h"
#include "base/random.h"

namespace ravelin {
namespace {

constexpr int kMixRate = 44100;

void putLe16(uint8_t* p, uint32_t v) {
    p[0] = uint8_t(v);
    p[1] = uint8_t(v >> 8);
}
void putLe32(uint8_t* p, uint32_t v) {
    for (int i = 0; i < 4; ++i) p[i] = uint8_t(v >> (8 * i));
}

void wavHeader(uint8_t* h, uint32_t dataBytes) {
    std::memcpy(h, "RIFF", 4);
    putLe32(h + 4, 36 + dataBytes);
    std::memcpy(h + 8, "WAVEfmt ", 8);
    putLe32(h + 16, 16);
    putLe16(h + 20, 1);  // PCM
    putLe16(h + 22, 2);
    putLe32(h + 24, kMixRate);
    putLe32(h + 28, kMixRate * 4);
    putLe16(h + 32, 4);
    putLe16(h + 34, 16);
    std::memcpy(h + 36, "data", 4);
    putLe32(h + 40, dataBytes);
}

// The screensaver's run with nothing drawn: the sound goes to the loopback device.
class OfflineMixRun final : public ScreensaverRun {
public:
    OfflineMixRun() : ScreensaverRun(false) {}
    void bindSound(WindowHandle) override { opened_ = world().sound.bindLoopback(); }
    bool opened() const { return opened_; }
    // The next count frames of output, through the bound library's table (linked in, or the DLL
    // the platform loaded).
    void render(float* stereo, uint32_t count) { world().sound.system.entries.renderLoopback(stereo, count); }

private:
    bool opened_ = false;
};

}  // namespace

bool parseAudioCaptureOptions(int argc, const char* const* argv, AudioCaptureOptions& options, std::string& error) {
    bool seen = false;
    for (int i = 1; i < argc; ++i) {
        std::string arg = argv[i];
        const char* value = i + 1 < argc ? argv[i + 1] : nullptr;
        auto number = [&](double low, double high, double& out) {
            if (!value) {
                error = arg + " needs a value";
                return false;
            }
            char* end = nullptr;
            out = std::strtod(value, &end);
            if (end == value || *end != '\0' || !(out >= low && out <= high)) {
                error = "bad value for " + arg + ": " + value;
                return false;
            }
            ++i;
            return true;
        };
        double d = 0;
        if (arg == "--capture-audio") {
            if (!value) {
                error = "--capture-audio needs a file name";
                return false;
            }
            options.path = value;
            seen = true;
            ++i;
        } else if (arg == "--seconds") {
            if (!number(0.01, 3600.0, d)) return false;
            options.seconds = d;
        } else if (arg == "--seed") {
            if (!number(0.0, 4294967295.0, d)) return false;
            options.seed = uint32_t(d);
        } else if (arg == "--dt") {
            if (!number(0.001, 1.0, d)) return false;
            options.dt = float(d);
        } else if (arg == "--volume") {
            if (!number(0.0, 100.0, d)) return false;
            options.volume = int32_t(d);
        } else if (arg == "--no-music") {
            options.music = false;
        } else if (arg == "--no-engines") {
            options.engines = false;
        } else {
            error = "unknown argument " + arg;
            return false;
        }
    }
    if (!seen) {
        error = "no --capture-audio FILE";
        return false;
    }
    return true;
}

bool captureAudio(const AudioCaptureOptions& options, AudioCaptureResult& result, std::string& error) {
    result = AudioCaptureResult{};
    FILE* file = std::fopen(options.path.c_str(), "wb");
    if (!file) {
        error = "cannot write " + options.path;
        return false;
    }
    uint8_t header[44];
    wavHeader(header, 0);
    std::fwrite(header, 1, sizeof header, file);

    // On the heap: the run holds its whole world.
    auto run = std::make_unique<OfflineMixRun>();
    run->bindSound(0);
    if (!run->opened()) {
        std::fclose(file);
        error = "no loopback audio device";
        return false;
    }
    rng().seed(options.seed);

    // The run's loading (without the pictures), sound start, first shot and volume, in order.
    run->loadRaceEarly();
    run->loadRaceLate();
    run->startSound(options.music, options.engines);
    run->startShots();
    run->setVolume(options.volume);

    // Output is rendered a frame at a time; the buffers are made once, before the loop.
    const uint64_t totalFrames = uint64_t(options.seconds * kMixRate + 0.5);
    const double framesPerStep = double(options.dt) * kMixRate;
    const size_t maxStep = size_t(framesPerStep) + 2;
    std::vector<float> mix(maxStep * 2);
    std::vector<uint8_t> pcm(maxStep * 4);
    double sumSquares = 0;
    uint64_t clipped = 0, written = 0;
    for (uint64_t step = 0; written < totalFrames; ++step) {
        run->updateFrame(options.dt);

        uint64_t until = std::min<uint64_t>(totalFrames, uint64_t(double(step + 1) * framesPerStep + 0.5));
        uint32_t count = uint32_t(until - written);
        if (count == 0) continue;
        run->render(mix.data(), count);
        for (size_t i = 0; i < size_t(count) * 2; ++i) {
            float v = mix[i];
            double a = std::fabs(double(v));
            if (a > result.peak) result.peak = a;
            sumSquares += double(v) * v;
            if (a > 1.0) ++clipped;
            float c = v > 1.0f ? 1.0f : v < -1.0f ? -1.0f : v;
            int32_t s = int32_t(std::lrint(c * 32767.0f));
            pcm[i * 2] = uint8_t(s & 0xFF);
            pcm[i * 2 + 1] = uint8_t((s >> 8) & 0xFF);
        }
        std::fwrite(pcm.data(), 1, size_t(count) * 4, file);
        written = until;
    }

    run->restoreVolume();
    run->unbindSound();

    result.frames = written;
    if (written > 0) {
        result.rms = std::sqrt(sumSquares / double(written * 2));
        result.clippedFraction = double(clipped) / double(written * 2);
    }
    wavHeader(header, uint32_t(std::min<uint64_t>(written * 4, 0xFFFFFFD0u)));
    bool ok = std::fseek(file, 0, SEEK_SET) == 0 && std::fwrite(header, 1, sizeof header, file) == sizeof header;
    ok = std::fclose(file) == 0 && ok;
    if (!ok) error = "cannot finish " + options.path;
    return ok;
}

int runAudioCaptureCommand(int argc, const char* const* argv) {
    AudioCaptureOptions options;
    std::string error;
    if (!parseAudioCaptureOptions(argc, argv, options, error)) {
        std::fprintf(stderr,
                     "ravelin: %s\nusage: ravelin --capture-audio FILE.wav [--seconds N] [--seed S] [--dt SECONDS]"
                     " [--volume 0-100] [--no-music] [--no-engines]\n",
                     error.c_str());
        return 2;
    }
    AudioCaptureResult result;
    if (!captureAudio(options, result, error)) {
        std::fprintf(stderr, "ravelin: %s\n", error.c_str());
        return 1;
    }
    auto dbfs = [](double v) { return v > 0 ? 20.0 * std::log10(v) : -999.0; };
    std::printf("ravelin: wrote %s: %.2f s, peak %.4f (%.1f dBFS), RMS %.4f (%.1f dBFS), clipped %.4f%%\n",
                options.path.c_str(), double(result.frames) / kMixRate, result.peak, dbfs(result.peak), result.rms,
                dbfs(result.rms), result.clippedFraction * 100.0);
    return 0;
}

}  // namespace ravelin
